#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need and
# generates the ja_JP, en_US and zh_CN UTF-8 locales. Does nothing when all is present.
# Run as root (or with sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build git
    googletest libgtest-dev libbenchmark-dev zlib1g-dev libpng-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-ipafont locales
    cups printer-driver-cups-pdf poppler-utils
    fp-utils
    xdotool
)
packages+=("$@")

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    # Wine's recommended libraries (X rendering, its fonts) are part of what
    # the GUI tests run with, so recommendations are installed too.
    $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Under ja_JP.UTF-8 Wine's ANSI code page is 932 and it can map Japanese
# file names; the GUI tests also run under en_US.UTF-8 (code page 1252) and
# zh_CN.UTF-8 (936). Debian generates only the locales listed in locale.gen.
locale_gen=/etc/locale.gen
generate=0
for loc in ja_JP en_US zh_CN; do
    locale -a 2>/dev/null | grep -qix "$loc\.utf-\?8" && continue
    echo "Generating the $loc.UTF-8 locale"
    if grep -qE "^#[[:space:]]*$loc\.UTF-8 UTF-8" "$locale_gen"; then
        $sudo sed -i -E "s/^#[[:space:]]*($loc\.UTF-8 UTF-8)/\1/" "$locale_gen"
    elif ! grep -qE "^$loc\.UTF-8 UTF-8" "$locale_gen" 2>/dev/null; then
        echo "$loc.UTF-8 UTF-8" | $sudo tee -a "$locale_gen" >/dev/null
    fi
    generate=1
done
if ((generate)); then $sudo locale-gen >/dev/null; fi
