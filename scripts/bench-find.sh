#!/usr/bin/env bash
# Times `qzotool find` on a generated data file of 100,000 question lines
# under one title (about 5 MB) and compares it with `grep -c -F` on the same
# file: once for a text that no line holds and once for a text that every
# question holds.
# Usage: scripts/bench-find.sh [QZOTOOL]   (default: build/native/qzotool,
# built with the native preset first)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -ge 1 ]]; then
    qzotool=$1
else
    cmake --preset native >/dev/null
    cmake --build --preset native --target qzotool >/dev/null
    qzotool=build/native/qzotool
fi
data_dir=$(dirname "$qzotool")

python3 - "$qzotool" "$data_dir/bench-find.qzf" <<'EOF'
import os
import subprocess
import sys
import time

qzotool, path = sys.argv[1], sys.argv[2]
QUESTIONS = 100_000
RUNS = 5

def question(n):
    return f"問{n}：一番高い山は？,富士山 Fuji {n},<00'地理"

lines = ["QUIZODATA V1.4", "#ベンチマーク用の問題集,000000"]
lines += [question(n) for n in range(QUESTIONS)]
data = ("\r\n".join(lines) + "\r\n").encode("cp932")
with open(path, "wb") as f:
    f.write(data)
print(f"{path}: {len(lines) - 1} lines, {len(data) / 1e6:.1f} MB")

def best_time(args, expected_status, env=None):
    """Best wall time of RUNS runs, and the output of the last one."""
    best = None
    for _ in range(RUNS):
        start = time.perf_counter()
        result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        elapsed = time.perf_counter() - start
        if result.returncode != expected_status:
            sys.exit(f"{args[0]} exited with {result.returncode}:\n"
                     + result.stderr.decode(errors="replace"))
        best = elapsed if best is None else min(best, elapsed)
    return best, result.stdout

# (label, search text, lines that hold it)
searches = [
    ("no match", "見つからない文字列", 0),
    ("every question", "Fuji", QUESTIONS),
]
print(f"{'search':<16}{'qzotool find':>14}{'grep -c -F':>14}{'ratio':>8}")
for label, text, expected in searches:
    found_status = 0 if expected else 1
    tool_time, out = best_time([qzotool, "find", text, path], found_status)
    numbers = out.split()
    if len(numbers) != expected:
        sys.exit(f"qzotool find {text}: {len(numbers)} lines, expected {expected}")
    # grep sees the file's bytes, so it gets the code page 932 form and
    # the C locale.
    grep_time, out = best_time(["grep", "-c", "-F", "-e", text.encode("cp932"), path],
                               found_status, {**os.environ, "LC_ALL": "C"})
    if int(out) != expected:
        sys.exit(f"grep -c -F {text}: {int(out)} lines, expected {expected}")
    print(f"{label:<16}{tool_time * 1000:>11.1f} ms{grep_time * 1000:>11.1f} ms"
          f"{tool_time / grep_time:>7.1f}x")
EOF
