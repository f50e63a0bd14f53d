#!/usr/bin/env bash
# Runs every libFuzzer target on its corpus and prints how many inputs each
# one ran. Crash, leak, timeout and out-of-memory inputs are written into
# build/fuzz/artifacts/, never into the source tree.
# Usage: scripts/fuzz.sh [seconds per target]      short run (CI: 8 s)
#        scripts/fuzz.sh --long [minutes] [target]  long run, 5 minutes each
#                                                   unless told, all targets
#                                                   unless one is named
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-8}
only=
if [[ ${1:-} == --long ]]; then
    seconds=$(( ${2:-5} * 60 ))
    only=${3:-}
fi
# Freed memory AddressSanitizer holds back to catch uses after free: its
# default of 256 MB alone is near the 300 MB a target may use; 64 MB still
# spans thousands of inputs.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
shopt -s nullglob
for target in build/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    [[ -n $only && $only != "$name" ]] && continue
    corpus=fuzz/corpus/$name
    work=build/fuzz/corpus-$name
    mkdir -p "$work"
    # Inputs up to 4 KB, picked by libFuzzer's entropic schedule (inputs
    # that reach what few others reach first) with each input's share
    # scaled by how long it takes: on grown corpora the plain schedule
    # spent its time on the larger, slower inputs (the scan target: 407
    # bytes and 416 us an input on average, against 61 bytes and 61 us) and
    # ran a quarter to a third as many inputs, for no more coverage. One
    # process fills a corpus folder here, so it is not looked through again
    # every second for inputs others added (a grown corpus of thousands of
    # files cost the GIFT writer's target a tenth of its time).
    args=(-max_total_time="$seconds" -max_len=4096 -entropic=1 -entropic_scale_per_exec_time=1 -reload=0 -print_final_stats=1 -rss_limit_mb=2048
          -artifact_prefix="$artifacts/$name-")
    [[ -f fuzz/$name.dict ]] && args+=(-dict="fuzz/$name.dict")
    dirs=("$work")
    [[ -d $corpus ]] && dirs+=("$corpus")
    # Seeds the build writes (the PNG test images for png).
    [[ -d build/fuzz/${name}_fixtures ]] && dirs+=("build/fuzz/${name}_fixtures")
    log=build/fuzz/$name.log
    if ! "$target" "${args[@]}" "${dirs[@]}" 2>"$log"; then
        tail -n 60 "$log"
        echo "fuzz target $name failed; the input is in $artifacts/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -n 1)
    echo "-- $name: ${runs:-?} inputs in ${seconds}s, $(( ${runs:-0} / seconds )) per second, peak ${rss:-?} MB"
done
