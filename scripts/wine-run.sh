#!/usr/bin/env bash
# Runs a Windows program under Wine with the build folder's own prefix,
# inside a virtual X display unless one is given, and stops that prefix's
# wineserver afterwards. The exit status is the program's.
set -uo pipefail
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")" && pwd)
# A prefix of its own, apart from the one the editor runs in by hand.
export WINEPREFIX="${WINEPREFIX:-$build_dir/wineprefix-test}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=wine
[[ -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
# LC_ALL makes the ANSI code page 932 (set for Wine only: the shell itself
# may not have that locale).
wine=(env LC_ALL=ja_JP.UTF-8 "$wine")
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "The ja_JP.UTF-8 locale is missing: run scripts/setup.sh" >&2
    exit 1
fi

trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
"$(dirname "$0")/wine-prefix.sh" --unmanaged
if [[ -n "${QZ_USE_DISPLAY:-}" && -n "${DISPLAY:-}" ]]; then
    "${wine[@]}" "$exe" "$@"
else
    xvfb-run -a -s "-screen 0 1280x1024x24" "${wine[@]}" "$exe" "$@"
fi
