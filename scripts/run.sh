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
sample=$(env LC_ALL=ja_JP.UTF-8 winepath -w "$PWD/samples/sample.qzf" 2>/dev/null || echo "samples\\sample.qzf")

if [[ -n "${DISPLAY:-}" ]]; then
    exec env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample"
fi

echo "No X display: running in a virtual one; close with Ctrl+C."
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
display=:$(( 90 + RANDOM % 9 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample" &
editor=$!
sleep 12
import -window root build/screenshot.png && echo "Screenshot: build/screenshot.png"
wait "$editor"
