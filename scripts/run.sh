#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on the bundled sample.
# Without an X display it runs in a virtual one and saves a screenshot to
# build/screenshot.png after a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z "${DISPLAY:-}" ]]; then
    scripts/setup.sh imagemagick
else
    scripts/setup.sh
fi
cmake --preset windows >/dev/null
cmake --build --preset windows --target qzoedit

export WINEPREFIX="${WINEPREFIX:-$PWD/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=wine
[[ -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
scripts/wine-prefix.sh
# Wine's drive Z: is the root of the file system.
sample="Z:$(printf '%s' "$PWD/samples/sample.qzf" | tr '/' '\\')"

if [[ -n "${DISPLAY:-}" ]]; then
    exec env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample"
fi

echo "No X display: running in a virtual one; close with Ctrl+C."
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
# Xvfb picks a free display number and writes it out.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s "$number_file" ]] && break; sleep 0.1; done
display=:$(head -n 1 "$number_file")
rm -f "$number_file"
export DISPLAY=$display
env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample" &
editor=$!
sleep 12
import -window root build/screenshot.png && echo "Screenshot: build/screenshot.png"
wait "$editor"
