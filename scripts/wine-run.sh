#!/usr/bin/env bash
# Runs a Windows program under Wine with the build folder's own prefix,
# inside a virtual X display unless one is given, and stops that prefix's
# wineserver afterwards. The exit status is the program's.
set -uo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
source "$(dirname "$0")/wine-env.sh"
# A prefix of its own, apart from the one the editor runs in by hand.
wine_env "${WINEPREFIX:-$build_dir/wineprefix-test}"
# LC_ALL makes the ANSI code page 932 (set for Wine only: the shell itself
# may not have that locale).
wine=(env LC_ALL=ja_JP.UTF-8 "$wine")
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "The ja_JP.UTF-8 locale is missing: run scripts/setup.sh" >&2
    exit 1
fi

"$(dirname "$0")/wine-prefix.sh" --unmanaged
if [[ -z "${QZ_USE_DISPLAY:-}" || -z "${DISPLAY:-}" ]]; then start_display 1280x1024x24; fi
"${wine[@]}" "$exe" "$@"
