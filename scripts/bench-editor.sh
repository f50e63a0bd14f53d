#!/usr/bin/env bash
# Times the editor under Wine on a generated 100,000-line data file and on
# lines with one very long field ("scripts/bench-editor.sh long": only those;
# "select-sort": only selecting and sorting; "bulk": only copy, cut, paste,
# swap and group change; "info": only the data information dialog and the
# customize sheet's Apply; "problems": only the problem check window;
# "replace": only Replace All from the replace dialog and its undo;
# "recovery": only the longest gap between keys typed while the recovery
# file is written; "marks": only opening the marks window and
# redrawing its chart after a resize; "exchange": only importing 100,000
# rows through the import dialog and exporting them;
# "print": only counting printed pages and drawing one, on the "PDF" queue;
# "preview": only turning pages in the print preview, on that queue).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build --preset windows --target editor_bench
[[ "${1:-}" == print || "${1:-}" == preview ]] && scripts/printer-setup.sh >/dev/null
scripts/wine-run.sh build/windows/editor_bench.exe "$@"
