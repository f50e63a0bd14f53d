#!/usr/bin/env bash
# Fails, naming the DLL, when a Windows program imports a DLL that Windows
# itself does not ship (a compiler runtime, zlib, ...): the programs are
# copied out of the package and run as they are.
#   scripts/check-imports.sh PROGRAM.exe...
set -euo pipefail
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll"
system_dlls+=" ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll winspool.drv "
status=0
for exe in "$@"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    [[ -n "$dlls" ]] || { echo "$exe: no import table found" >&2; status=1; }
    for dll in $dlls; do
        [[ "$system_dlls" == *" $dll "* ]] || { echo "$exe imports $dll, which is not a system DLL" >&2; status=1; }
    done
    echo "$exe:" $dlls
done
exit $status
