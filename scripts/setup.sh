#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need.
# Does nothing when they are all present. Run as root (or with sudo).
set -euo pipefail

packages=(
    build-essential cmake ninja-build git
    googletest libgtest-dev libbenchmark-dev zlib1g-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64 libz-mingw-w64-dev
    wine wine64 xvfb xauth fonts-ipafont
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# Wine's recommended libraries (X rendering, its fonts) are part of what
# the GUI tests run with, so recommendations are installed too.
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
