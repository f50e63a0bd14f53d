#!/usr/bin/env bash
# Runs every libFuzzer target for a few seconds on its corpus.
# Usage: scripts/fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-8}
shopt -s nullglob
for target in build/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    corpus=fuzz/corpus/$name
    work=build/fuzz/corpus-$name
    mkdir -p "$work"
    echo "-- $name (${seconds}s)"
    args=(-max_total_time="$seconds" -print_final_stats=0 -rss_limit_mb=2048)
    [[ -f fuzz/$name.dict ]] && args+=(-dict="fuzz/$name.dict")
    if [[ -d "$corpus" ]]; then
        "$target" "${args[@]}" "$work" "$corpus" 2>"build/fuzz/$name.log" || { tail -n 60 "build/fuzz/$name.log"; exit 1; }
    else
        "$target" "${args[@]}" "$work" 2>"build/fuzz/$name.log" || { tail -n 60 "build/fuzz/$name.log"; exit 1; }
    fi
done
