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

source scripts/wine-env.sh
wine_env "${WINEPREFIX:-$PWD/build/windows/wineprefix}"
scripts/wine-prefix.sh
# Wine's drive Z: is the root of the file system.
sample="Z:$(printf '%s' "$PWD/samples/sample.qzf" | tr '/' '\\')"

if [[ -n "${DISPLAY:-}" ]]; then
    exec env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample"
fi

echo "No X display: running in a virtual one; close with Ctrl+C."
start_display
env LC_ALL=ja_JP.UTF-8 "$wine" build/windows/qzoedit.exe "$sample" &
editor=$!
sleep 12
import -window root build/screenshot.png && echo "Screenshot: build/screenshot.png"
wait "$editor"
