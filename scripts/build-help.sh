#!/usr/bin/env bash
# Compiles the help file from the sources in help/ with chmcmd (package
# fp-utils): the UTF-8 sources are converted to code page 932 in a work
# folder beside the output, then compiled there.
#   scripts/build-help.sh HELP_SOURCE_DIR OUTPUT.CHM
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
work="$(dirname "$out")/help-work"
rm -rf "$work"
mkdir -p "$work"
cd "$src"
find . -type f | while read -r f; do
    mkdir -p "$work/$(dirname "$f")"
    case "$f" in
    *.htm | *.hhc | *.hhk | *.hhp | *.h | *.css)
        # A character that code page 932 lacks stops the build here.
        sed 's/charset=UTF-8/charset=Shift_JIS/' "$f" | iconv -f UTF-8 -t CP932 >"$work/$f" ||
            { echo "build-help: $f has a character outside code page 932" >&2; exit 1; }
        ;;
    *) cp "$f" "$work/$f" ;;
    esac
done

# chmcmd (3.2.2) writes each page of the context map as the absolute path
# of the source file, which the help viewer looks for inside the file and
# never finds. Run from the root of a chroot, the sources' folder is "/" and
# the pages are "/page.htm", as they are stored. The chroot holds chmcmd and
# the libraries it loads (those ldd lists and the two it opens itself).
chmcmd=$(command -v chmcmd)
libs=$(ldd "$chmcmd" | grep -o '/[^ ]*')
libdir=$(dirname "$(grep '/libc\.so' <<<"$libs")")
for lib in $libs "$libdir/libpthread.so.0" "$libdir/libdl.so.2"; do
    mkdir -p "$work/$(dirname "$lib")"
    cp -L "$lib" "$work/$lib"
done
cp "$chmcmd" "$work/chmcmd"
cd "$work"
if [[ $(id -u) -eq 0 ]]; then
    run=(chroot . /chmcmd qzoedit.hhp)
else
    run=(unshare --map-root-user chroot . /chmcmd qzoedit.hhp)
fi
log=$("${run[@]}" 2>&1) || { echo "$log" >&2; exit 1; }
if grep -qiE 'error|does not exist|not found' <<<"$log"; then
    echo "$log" >&2
    exit 1
fi
mv -f QZOEDIT.CHM "$out"
