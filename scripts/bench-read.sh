#!/usr/bin/env bash
# Reading at file speed: times qzotool check, normalize and find (no match)
# on a generated data file of 1,000,000 lines (about 47 MB) beside `wc -l`,
# `cp` (and `cp` + `sync FILE`: normalize flushes its file to the disk)
# and `grep -c -F` on the same file, in the same run (best of RUNS),
# with the peak memory of each qzotool command against the file's size, and
# the in-memory read-and-classify rate of the benchmarks (goal: 1 GB/s).
# "scripts/bench-read.sh editor" also times opening in the editor under Wine
# (100,000 and 1,000,000 lines, opening again, memory against the file).
# Usage: scripts/bench-read.sh [editor]   (RUNS=n to change the run count;
# BEFORE=path/to/qzotool times that build too, beside its peers in the same
# run, as the "before" rows)
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native --target qzotool benchmarks >/dev/null
qzotool=build/native/qzotool

python3 - "$qzotool" build/native "${RUNS:-5}" "${BEFORE:-}" <<'PY'
import os
import subprocess
import sys
import time

qzotool, folder, runs, before = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
LINES = 1_000_000

# The editor benchmark's quiz: a title every 50 lines, questions with
# alternatives, comment lines and blank lines.
def line(i):
    if i % 50 == 0:
        return f"#第{i}章 A,311000'章のコメント"
    if i % 25 == 7:
        return f"'コメント行 {i}"
    if i % 40 == 13:
        return ""
    return f"問題{i}の答えは？,[答え{i}|こたえ],?2{i % 10}"

path = os.path.join(folder, "bench-read.qzf")
out = os.path.join(folder, "bench-read-out.qzf")
data = ("QUIZODATA V1.4\r\n" + "".join(line(i) + "\r\n" for i in range(LINES))).encode("cp932")
with open(path, "wb") as f:
    f.write(data)
size = len(data)
del data
print(f"{path}: {LINES:,} lines, {size / 1e6:.1f} MB")

C = {**os.environ, "LC_ALL": "C"}

def best(args, ok=(0,), env=None):
    """Best wall time and best processor time (user + system) of the runs,
    and the peak resident memory (bytes)."""
    wall = cpu = None
    for _ in range(runs):
        start = time.perf_counter()
        p = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
        _, status, usage = os.wait4(p.pid, 0)
        elapsed = time.perf_counter() - start
        code = os.waitstatus_to_exitcode(status)
        if code not in ok:
            sys.exit(f"{' '.join(map(str, args))}: exit {code}\n{p.stderr.read().decode(errors='replace')}")
        p.stderr.close()
        used = usage.ru_utime + usage.ru_stime
        wall = elapsed if wall is None else min(wall, elapsed)
        cpu = used if cpu is None else min(cpu, used)
    # A child's own peak: measured by a small parent (a forked child
    # counts the memory of the parent it was forked from).
    r = subprocess.run(["/usr/bin/time", "-f", "%M", *args], stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, env=env)
    peak = int(r.stderr.decode().strip().splitlines()[-1]) * 1024
    return wall, cpu, peak

text = "見つからない文字列"
# normalize flushes the file it writes to the disk before it renames it
# into place; cp does not, so cp followed by a flush of the copy (sync
# FILE) is a second peer of it. The goal is against cp alone.
pairs = [
    ("check", [qzotool, "check", path], (0, 1), "wc -l", ["wc", "-l", path], (0,), "<=2x"),
    ("normalize", [qzotool, "normalize", path, out], (0,), "cp", ["cp", path, out], (0,), "<=2x"),
    (None, None, None, "cp + sync", ["sh", "-c", 'cp "$1" "$2" && sync "$2"', "sh", path, out], (0,), ""),
    ("find (no match)", [qzotool, "find", text, path], (1,),
     "grep -c -F", ["grep", "-c", "-F", "-e", text.encode("cp932"), path], (1,), "keep"),
]
print("best of", runs, "runs; wall time, and processor time (user + system) in brackets")
print(f"{'qzotool':<16}{'time':>17}{'peer':>12}{'time':>17}{'ratio':>13}{'goal':>6}"
      f"{'peak RSS':>10}{'x file':>7}")
measured = []  # (label, wall, processor time) of the row before, for a second peer
for name, args, ok, peer, peer_args, peer_ok, goal in pairs:
    if args:
        measured = []
        for label, run in [(name, args)] + ([(name + " (before)", [before, *args[1:]])] if before else []):
            t, c, peak = best(run, ok)
            measured.append((label, t, c))
            pt, pc, _ = best(peer_args, peer_ok, C)
            print(f"{label:<16}{t * 1000:>6.0f} ms ({c * 1000:3.0f} ms){peer:>12}{pt * 1000:>6.0f} ms ({pc * 1000:3.0f} ms)"
                  f"{t / pt:>6.1f}x ({c / max(pc, 1e-3):4.1f}x){goal:>6}{peak / 1e6:>6.0f} MB{peak / size:>6.2f}x")
    else:
        for label, t, c in measured:
            pt, pc, _ = best(peer_args, peer_ok, C)
            print(f"{'  ' + label:<16}{'':>17}{peer:>12}{pt * 1000:>6.0f} ms ({pc * 1000:3.0f} ms)"
                  f"{t / pt:>6.1f}x ({c / max(pc, 1e-3):4.1f}x)")
os.remove(out)
PY

# The same readers in memory beside their peers (ratio: reader over peer).
build/native/benchmarks --benchmark_filter='Vs(LineCount|Copy|Memmem)' 2>/dev/null |
    grep -E '^BM_' | sed 's/^/  /'
echo "  (goal: check <= 2x the line count, normalize <= 2x the copy; the *File rows run the commands"
echo "   in-process on the file, normalize's synced_ratio against the copy flushed to the disk)"

# The in-memory rate of reading and classifying, and the document's memory.
build/native/benchmarks --benchmark_filter='BM_ReadDataFile|BM_LoadedDocumentMemory' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=false 2>/dev/null |
    grep -E '^BM_(ReadDataFile|LoadedDocumentMemory)' | grep -v -E '_(mean|median|stddev|cv)' |
    sed 's/^/  /'
echo "  (goal: read and classify at 1 GB/s or more; doc_ratio <= 2, load_peak_ratio <= 2.5)"

if [[ ${1:-} == editor ]]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target editor_bench >/dev/null
    scripts/wine-run.sh build/windows/editor_bench.exe open 2>&1 | grep '^open'
    echo "  (goal: 100,000 lines in 200 ms or less, 1,000,000 in 800 ms or less, reopening the same;"
    echo "   memory <= 2x the file after opening, <= 2.5x at the peak)"
fi
