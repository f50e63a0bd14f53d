#!/usr/bin/env bash
# Runs a Windows program under Wine with the build folder's own prefix,
# inside a virtual X display unless one is given, and stops that prefix's
# wineserver afterwards. The exit status is the program's.
set -uo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
source "$(dirname "$0")/wine-env.sh"
# The locale Wine runs in (QZ_WINE_LOCALE, ja_JP.UTF-8 unless told) gives
# the system's code page: 932 for Japanese, 1252 for en_US, 936 for zh_CN.
# It is set for Wine only: the shell itself may not have that locale.
locale_name=${QZ_WINE_LOCALE:-ja_JP.UTF-8}
# A prefix of its own, apart from the one the editor runs in by hand; one
# per locale, since a prefix keeps the code page it was made in.
if [[ $locale_name == ja_JP.UTF-8 ]]; then default_prefix=$build_dir/wineprefix-test
else default_prefix=$build_dir/wineprefix-test-${locale_name%%.*}; fi
# QZ_WINE_DPI (96 unless told) is the display scale the prefix's desktop
# reports: 144 is 150 %, 192 is 200 %. A prefix of its own for it too.
if [[ -n "${QZ_WINE_DPI:-}" && "${QZ_WINE_DPI}" != 96 ]]; then
    default_prefix=$default_prefix-dpi$QZ_WINE_DPI
fi
wine_env "${WINEPREFIX:-$default_prefix}"
wine=(env LC_ALL="$locale_name" "$wine")
if ! locale -a 2>/dev/null | grep -qix "${locale_name%%.*}\.utf-\?8"; then
    echo "The $locale_name locale is missing: run scripts/setup.sh" >&2
    exit 1
fi

"$(dirname "$0")/wine-prefix.sh" --unmanaged
if [[ -z "${QZ_USE_DISPLAY:-}" || -z "${DISPLAY:-}" ]]; then start_display 1280x1024x24; fi
"${wine[@]}" "$exe" "$@"
