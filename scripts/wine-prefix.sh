#!/usr/bin/env bash
# Prepares a Wine prefix for the editor once: maps the Japanese Windows font
# names the program asks for onto the IPA fonts, and (with --unmanaged, for
# tests in a virtual display without a window manager) makes Wine's windows
# unmanaged, since otherwise Wine waits two seconds for every window it
# hides or destroys; QZ_WINE_DPI sets the desktop's display scale (dots per
# inch). Usage: WINEPREFIX=... scripts/wine-prefix.sh [--unmanaged]
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
marker="$WINEPREFIX/.quizo-editor${1:-}${QZ_WINE_DPI:+-dpi$QZ_WINE_DPI}"
[[ -f "$marker" ]] && exit 0

source "$(dirname "$0")/wine-env.sh"
wine_env ""
reg=$(mktemp --suffix=.reg)
on_exit 'rm -f "$reg"'
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
    printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
    printf '"ＭＳ Ｐ明朝"="IPAPMincho"\r\n'
    printf '"ＭＳ 明朝"="IPAMincho"\r\n'
    printf '"MS UI Gothic"="IPAPGothic"\r\n'
    if [[ -n "${QZ_WINE_DPI:-}" ]]; then
        printf '\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n' "$QZ_WINE_DPI"
    fi
    if [[ "${1:-}" == --unmanaged ]]; then
        printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
    fi
} | iconv -f UTF-8 -t UTF-16 > "$reg"
env LC_ALL=ja_JP.UTF-8 "$wine" regedit /S "$(env LC_ALL=ja_JP.UTF-8 winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
touch "$marker"
