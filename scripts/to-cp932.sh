#!/usr/bin/env bash
# Writes a UTF-8 text file as code page 932 with CR LF line breaks, for
# reading on Windows: scripts/to-cp932.sh IN OUT
set -euo pipefail
iconv -f UTF-8 -t CP932 "$1" | sed 's/$/\r/' >"$2.tmp"
mv -f "$2.tmp" "$2"
