#!/usr/bin/env bash
# Checks that includes run one way, then builds everything and runs every
# test: native unit tests, the same under AddressSanitizer/UBSan, short
# libFuzzer runs, the Windows program's GUI tests under Wine and Xvfb (all
# of them under ja_JP.UTF-8 and en_US.UTF-8, code pages 932 and 1252, a few
# under zh_CN.UTF-8, code page 936, each locale in a prefix of its own, and the
# main window and panes at 150 % (144 dpi)), and
# the release package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== layers"
scripts/check-layers.sh

for preset in native asan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
scripts/fuzz.sh "${QZ_FUZZ_SECONDS:-8}"

echo "== windows"
# The print tests print on the "PDF" queue (cups-pdf).
scripts/printer-setup.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows

echo "== package"
cmake --build --preset windows --target package

echo "All tests passed."
