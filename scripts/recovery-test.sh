#!/usr/bin/env bash
# Recovery and the one-editor-per-file lock, tried from outside as a user
# would, on the real editor under Wine in a virtual display (xdotool):
#  1. an edit typed into the pane (not committed), the recovery interval
#     waited out, the editor killed with SIGKILL; started again on the
#     file, the offer is answered with Restore and the document saved: it
#     holds the edit, and nothing else changed;
#  2. a second editor on a file the first one holds shows the warning and,
#     cancelled, opens nothing of it;
#  3. after the holder was killed, a third editor opens the file at once.
# Exit status 0 when every step went as it should.
#   scripts/recovery-test.sh [QZOEDIT_EXE]   (default: built here first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
exe=${1:-}
if [[ -z $exe ]]; then
    scripts/setup.sh >/dev/null
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target qzoedit >/dev/null
    exe=build/windows/qzoedit.exe
fi

work=$(mktemp -d)
source scripts/wine-env.sh
wine_env "$(dirname "$(realpath "$exe")")/wineprefix-recovery"
on_exit 'rm -rf "$work"'
scripts/wine-prefix.sh --unmanaged >/dev/null 2>&1 || true
cp "$exe" samples/sample.qzf samples/map.bmp samples/flag.png "$work/"
interval=2
printf '[Window]\r\nShow=0\r\nLeft=0\r\nTop=0\r\nWidth=760\r\nHeight=520\r\nListWidth=330\r\n[Option]\r\nRecoveryInterval=%s\r\n' \
    "$interval" >"$work/QZOEDIT.INI"

start_display

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The newest visible window whose title is exactly $1, waiting up to $2 s.
window() {
    local id
    for _ in $(seq $((${2:-20} * 10))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
# Starts an editor on the sample; its process id in $pid.
start_editor() {
    (cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$wine" qzoedit.exe sample.qzf) >/dev/null 2>&1 &
    pid=$!
}
# Keys to a window, given the focus first (there is no window manager).
keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key --delay 100 "$@"
    sleep 0.5
}

# 1. Edit, wait, kill, restore.
start_editor
main=$(window "sample.qzf - Quizo Editor") || { echo "the editor did not start"; exit 1; }
sleep 1
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool mousemove --window "$main" 40 120 click 1
sleep 0.3
keys "$main" ctrl+Home $(printf 'Down %.0s' $(seq 15))
# The question box of the pane, then its end.
xdotool mousemove --window "$main" 580 180 click 1
sleep 0.3
keys "$main" ctrl+End
xdotool type --delay 60 "XYZ"
sleep $((2 * interval + 2))
recovery="$work/~\$sample.qzf.recover"
[[ -f $recovery ]] || fail "no recovery file after the interval"
kill -9 "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
sleep 1
cmp -s "$work/sample.qzf" samples/sample.qzf || fail "the data file changed before it was saved"
start_editor
if box=$(window "Quizo Editor"); then
    sleep 1
    keys "$box" Return
else
    fail "no offer of the recovery file"
fi
main=$(window "sample.qzf - Quizo Editor") || fail "the restored document is not bound to sample.qzf"
keys "$main" ctrl+s
sleep 1
python3 - "$work/sample.qzf" samples/sample.qzf <<'PY' || fail "the saved file is not the sample with the edit"
import sys
saved = open(sys.argv[1], "rb").read().split(b"\r\n")
original = open(sys.argv[2], "rb").read().split(b"\r\n")
question = "日本の首都は？".encode("cp932")
expected = [line.replace(question + b",", question + b"XYZ,", 1) if line.startswith(question + b",") else line
            for line in original]
if saved != expected:
    for i, (a, b) in enumerate(zip(saved, expected)):
        if a != b:
            print("line", i + 1, a, b)
    sys.exit(1)
PY
[[ ! -f $recovery ]] || fail "the recovery file outlived the save"

# 2. A second editor on the file the first one holds: the warning, cancelled.
first=$pid
start_editor
second=$pid
if box=$(window "Quizo Editor"); then
    sleep 1
    keys "$box" Escape
    window "新規.qzf - Quizo Editor" >/dev/null || fail "the cancelled second editor did not start untitled"
else
    fail "no warning in the second editor"
fi
kill -9 "$second" 2>/dev/null || true
wait "$second" 2>/dev/null || true

# 3. The holder killed: the file opens at once in a third editor.
kill -9 "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true
sleep 1
start_editor
window "sample.qzf - Quizo Editor" >/dev/null || fail "a file held by a killed editor did not open"
sleep 1
xdotool search --onlyvisible --name '^Quizo Editor$' >/dev/null 2>&1 && fail "a lock of a killed editor was taken for a live one"

if [[ $failures -eq 0 ]]; then echo "recovery-test: every step passed"; else echo "recovery-test: $failures failed"; fi
[[ $failures -eq 0 ]]
