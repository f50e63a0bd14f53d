#!/usr/bin/env bash
# Times qzotool's reading commands on hostile and broken input and prints,
# per file and command, the exit status, the seconds, the peak memory and
# the first message: every row should answer within 2 s with a clear
# message and a memory use within a small multiple of the file.
#   scripts/bench-bad-input.sh   (needs the native build)
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$PWD/build/native/qzotool
work=$PWD/build/bad-input
rm -rf "$work"
mkdir -p "$work/folder"
python3 - "$work" <<'EOF'
import os, sys
w = sys.argv[1]
header = b"QUIZODATA V1.4\r\n"
files = {
    "empty.qzf": b"",
    "header_only.qzf": header,
    "random_50mb.qzf": header + os.urandom(50 << 20),
    "line_20mb.qzf": header + b"q" * (20 << 20) + b",a,<00\r\n",
    "hash_lines.qzf": header + b"#\r\n" * 1_000_000,
    "cr_bytes.qzf": header + b"\r" * (10 << 20),
    "cut_double_byte.qzf": header + b"#t,000000\r\nq,a\x82",
    "utf8_bom.qzf": b"\xef\xbb\xbf" + header,
    "nested_brackets.qzf": header + b"#t,000000\r\nq," + b"[" * 10000 + b"a" + b"]" * 10000 + b",<00\r\n",
}
for name, data in files.items():
    open(os.path.join(w, name), "wb").write(data)
EOF
mkfifo "$work/fifo.qzf"
printf '%-22s %-16s %4s %7s %8s  %s\n' file command exit seconds "peak MB" message
for file in empty header_only random_50mb line_20mb hash_lines cr_bytes cut_double_byte utf8_bom \
            nested_brackets folder missing fifo /dev/zero ""; do
    case $file in
    /dev/zero) path=/dev/zero ;;
    "") path="" ;;
    folder) path=$work/folder ;;
    missing) path=$work/missing.qzf ;;
    *) path=$work/$file.qzf ;;
    esac
    for command in check list answers "check --problems"; do
        # shellcheck disable=SC2086
        /usr/bin/time -f '%e %M' -o "$work/time" timeout 20 "$tool" $command "$path" \
            >/dev/null 2>"$work/err" && status=0 || status=$?
        read -r seconds kb < <(tail -n 1 "$work/time")
        message=$(grep -v "^Command" "$work/err" | head -n 1 | sed "s|$work/||") || true
        printf '%-22s %-16s %4s %7s %8s  %s\n' "${file:-(empty name)}" "$command" "$status" "$seconds" \
            "$((kb / 1024))" "${message:0:90}"
    done
done
