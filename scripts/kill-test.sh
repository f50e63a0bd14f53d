#!/usr/bin/env bash
# Kills a save of a 40 MB data file with SIGKILL at a random moment, again
# and again, and counts what the target holds afterwards (the old content,
# the new one, or something broken), how many temporary files the killed
# saves left in the folder, and how many of them are still there after the
# next save that is not killed (qzotool's saves remove those of writers
# that no longer run).
#   scripts/kill-test.sh tool|tool-wine|editor|recovery [runs]
#     tool       build/native/qzotool normalize onto the target
#     tool-wine  build/windows/qzotool.exe normalize under Wine
#     editor     build/windows/qzoedit.exe under Wine: Ctrl+S on the open file
#     recovery   the same editor writing its recovery file (1 s interval)
#                over an older one; the target is the recovery file
# Needs the native or Windows build; the editor run needs xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:?tool, tool-wine, editor or recovery}
runs=${2:-200}
root=$PWD
work=$root/build/kill-test
rm -rf "$work"
mkdir -p "$work/dir"

# The source: 40 MB of questions in LF lines, which saving writes as CR LF,
# so the old and the new content differ throughout. The editor opens it
# modified: a NUL byte is dropped on opening (one warning to dismiss).
python3 - "$work/old.qzf" <<'EOF'
import sys
lines = [b"QUIZODATA V1.4", b"#title,000000"]
i = 0
size = 0
while size < 40 * 1024 * 1024:
    line = b"question %d with some words,answer %d,<00" % (i, i)
    lines.append(line)
    size += len(line) + 1
    i += 1
lines[2] = lines[2].replace(b"question", b"que\0stion")
open(sys.argv[1], "wb").write(b"\n".join(lines) + b"\n")
EOF
target=$work/dir/target.qzf
expected_names="target.qzf"

source "$root/scripts/wine-env.sh"
wine_env "$root/build/windows/wineprefix-kill"
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

case $mode in
tool)
    save() { "$root/build/native/qzotool" normalize "$work/old.qzf" "$target" & pid=$!; }
    ;;
tool-wine)
    "$root/scripts/wine-prefix.sh" --unmanaged >/dev/null 2>&1 || true
    save() {
        env LC_ALL=ja_JP.UTF-8 "$wine" "$root/build/windows/qzotool.exe" normalize \
            "$(winpath "$work/old.qzf")" "$(winpath "$target")" & pid=$!
    }
    ;;
editor|recovery)
    "$root/scripts/setup.sh" xdotool >/dev/null
    start_display
    "$root/scripts/wine-prefix.sh" --unmanaged >/dev/null 2>&1 || true
    cp "$root/build/windows/qzoedit.exe" "$work/dir/"
    expected_names="qzoedit.exe QZOEDIT.INI target.qzf"
    if [[ $mode == recovery ]]; then
        printf '[Option]\r\nRecoveryInterval=1\r\n' >"$work/dir/QZOEDIT.INI"
        expected_names="$expected_names ~\$target.qzf.recover"
    fi
    # Starts the editor on the target and waits until it shows the warning
    # about the NUL byte: the file is loaded and modified.
    # Answers the warning about the NUL byte once it is shown.
    answer_warning() {
        for _ in $(seq 600); do
            box=$(xdotool search --name '^Quizo Editor$' 2>/dev/null | head -n 1) || true
            [[ -n $box ]] && break
            sleep 0.05
        done
        # No window manager: focus is given, not asked for (again while
        # the box is not yet shown).
        for _ in $(seq 50); do
            xdotool windowfocus --sync "$box" key Return 2>/dev/null && break
            sleep 0.05
        done
    }
    open_editor() {
        (cd "$work/dir" && exec env LC_ALL=ja_JP.UTF-8 "$wine" qzoedit.exe target.qzf) >/dev/null 2>&1 &
        pid=$!
        answer_warning
        main=
        for _ in $(seq 600); do
            main=$(xdotool search --name '^target.qzf - Quizo Editor$' 2>/dev/null | head -n 1) || true
            [[ -n $main ]] && ! xdotool search --name '^Quizo Editor$' >/dev/null 2>&1 && break
            sleep 0.05
        done
        sleep 0.2
    }
    save() {
        for _ in $(seq 50); do
            xdotool windowfocus --sync "$main" key ctrl+s 2>/dev/null && return
            sleep 0.05
        done
        echo "cannot reach the editor's window" >&2
        exit 1
    }
    ;;
*) echo "unknown mode $mode" >&2; exit 2 ;;
esac

# The recovery file: the editor writes the document as it would save it
# over a recovery file left before (older than the data file, so it is
# not offered), from the moment it starts until the new one is in place.
if [[ $mode == recovery ]]; then
    "$root/build/native/qzotool" normalize "$work/old.qzf" "$work/new.qzf"
    printf 'QUIZODATA V1.4\r\nprevious,recovery,<00\r\n' >"$work/previous.qzf"
    recovery="$work/dir/~\$target.qzf.recover"
    new_size=$(stat -c %s "$work/new.qzf")
    seed() {
        cp "$work/old.qzf" "$target"
        cp "$work/previous.qzf" "$recovery"
        touch -d '1 hour ago' "$recovery"
    }
    seed
    start=$(date +%s%N)
    open_editor
    for _ in $(seq 3000); do
        [[ $(stat -c %s "$recovery") == "$new_size" ]] && cmp -s "$recovery" "$work/new.qzf" && break
        sleep 0.005
    done
    end=$(date +%s%N)
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    cmp -s "$recovery" "$work/new.qzf" || { echo "the editor wrote no recovery file" >&2; exit 1; }
    whole_ms=$(( (end - start) / 1000000 ))
    echo "start to recovery file written: ${whole_ms} ms"
    previous=0 new=0 broken=0 left=0 left_bytes=0
    for run in $(seq "$runs"); do
        seed
        sleep 0.3
        delay=$(python3 -c "import random; print(random.uniform(0, $whole_ms * 1.1) / 1000)")
        (cd "$work/dir" && exec env LC_ALL=ja_JP.UTF-8 "$wine" qzoedit.exe target.qzf) >/dev/null 2>&1 &
        pid=$!
        # The warning about the NUL byte is answered while the clock runs.
        answer_warning & answerer=$!
        sleep "$delay"
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        kill "$answerer" 2>/dev/null || true
        wait "$answerer" 2>/dev/null || true
        sleep 0.3
        if cmp -s "$recovery" "$work/previous.qzf"; then
            previous=$((previous + 1))
        elif cmp -s "$recovery" "$work/new.qzf"; then
            new=$((new + 1))
        else
            broken=$((broken + 1))
        fi
        for file in "$work/dir"/* "$work/dir"/.[!.]* "$work/dir"/~*; do
            [[ -e $file ]] || continue
            name=$(basename "$file")
            [[ " $expected_names " == *" $name "* ]] && continue
            left=$((left + 1))
            left_bytes=$((left_bytes + $(stat -c %s "$file")))
            rm -f "$file"
        done
    done
    echo "recovery: $runs runs: $previous previous, $new new, $broken broken; $left temporary files left ($((left_bytes / 1048576)) MB)"
    [[ $broken -eq 0 && $left -eq 0 ]]
    exit
fi

# The new content (the editor saves what qzotool normalize writes) and
# how long a whole save takes.
"$root/build/native/qzotool" normalize "$work/old.qzf" "$work/new.qzf"
cmp -s "$work/new.qzf" "$work/old.qzf" && { echo "saving would not change the file" >&2; exit 1; }
new_size=$(stat -c %s "$work/new.qzf")
cp "$work/old.qzf" "$target"
if [[ $mode == editor ]]; then
    open_editor
    start=$(date +%s%N)
    save
    for _ in $(seq 3000); do
        [[ $(stat -c %s "$target") == "$new_size" ]] && cmp -s "$target" "$work/new.qzf" && break
        sleep 0.005
    done
    end=$(date +%s%N)
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
else
    start=$(date +%s%N)
    save
    wait "$pid"
    end=$(date +%s%N)
fi
cmp -s "$target" "$work/new.qzf" || { echo "the save did not write the expected file" >&2; exit 1; }
whole_ms=$(( (end - start) / 1000000 ))
echo "whole save: ${whole_ms} ms"

# qzotool's temporary files stay where a killed save left them: the next
# save in the folder is to remove those of writers that no longer run.
old=0 new=0 broken=0 left=0 left_bytes=0
declare -A seen=()
for run in $(seq "$runs"); do
    cp "$work/old.qzf" "$target"
    if [[ $mode == editor ]]; then open_editor; fi
    # A moment anywhere in the save, and a little past it.
    delay=$(python3 -c "import random; print(random.uniform(0, $whole_ms * 1.1) / 1000)")
    save
    sleep "$delay"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # The Wine server closes a killed program's handles right after.
    if [[ $mode != tool ]]; then sleep 0.3; fi
    if cmp -s "$target" "$work/old.qzf"; then
        old=$((old + 1))
    elif cmp -s "$target" "$work/new.qzf"; then
        new=$((new + 1))
    else
        broken=$((broken + 1))
    fi
    for file in "$work/dir"/* "$work/dir"/.[!.]*; do
        [[ -e $file ]] || continue
        name=$(basename "$file")
        [[ " $expected_names " == *" $name "* || -n ${seen[$name]:-} ]] && continue
        seen[$name]=1
        left=$((left + 1))
        left_bytes=$((left_bytes + $(stat -c %s "$file")))
        if [[ $mode == editor ]]; then rm -f "$file"; fi
    done
done
# What is still there after one save that is not killed.
remaining=0
if [[ $mode != editor ]]; then
    save
    wait "$pid"
    for file in "$work/dir"/* "$work/dir"/.[!.]*; do
        [[ -e $file ]] || continue
        [[ " $expected_names " == *" $(basename "$file") "* ]] || remaining=$((remaining + 1))
    done
fi
echo "$mode: $runs runs: $old old, $new new, $broken broken; $left temporary files left by killed saves ($((left_bytes / 1048576)) MB), $remaining left after the next finished save"
# The editor's saves leave none at all; qzotool's next save removes what a
# killed one left.
[[ $broken -eq 0 && $remaining -eq 0 && ($mode != editor || $left -eq 0) ]]
