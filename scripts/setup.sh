#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need and
# generates the ja_JP.UTF-8 locale. Does nothing when all is present.
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

# Under this locale Wine's ANSI code page is 932 and it can map Japanese
# file names; Debian generates only the locales listed in locale.gen.
locale_gen=/etc/locale.gen
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "Generating the ja_JP.UTF-8 locale"
    if grep -qE '^#[[:space:]]*ja_JP\.UTF-8 UTF-8' "$locale_gen"; then
        $sudo sed -i -E 's/^#[[:space:]]*(ja_JP\.UTF-8 UTF-8)/\1/' "$locale_gen"
    elif ! grep -qE '^ja_JP\.UTF-8 UTF-8' "$locale_gen" 2>/dev/null; then
        echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a "$locale_gen" >/dev/null
    fi
    $sudo locale-gen >/dev/null
fi
