#!/usr/bin/env bash
# Line coverage of the portable core by the native unit tests (gcov).
# (core folders and qzotool). Prints each folder's executed/instrumented lines and the total;
# with --uncovered, first the lines never executed, per file.
set -euo pipefail
uncovered=${1:-}
cd "$(dirname "$0")/.."
cmake --preset coverage >/dev/null
cmake --build --preset coverage --target core_tests >/dev/null
build=build/coverage
find "$build" -name '*.gcda' -delete
"$build/core_tests" --gtest_brief=1 >/dev/null
objdirs=("$build/CMakeFiles/qz_core.dir" "$build/CMakeFiles/qz_tool.dir")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && find "${objdirs[@]/#/$OLDPWD/}" -name '*.gcda' -print0 |
    xargs -0 gcov --json-format --preserve-paths >/dev/null 2>&1 || true)
python3 - "$work" "$PWD/src" "$uncovered" <<'PY'
import gzip, json, os, sys, collections
work, src, uncovered = sys.argv[1], sys.argv[2], sys.argv[3] == '--uncovered'
seen = {}
for name in os.listdir(work):
    if not name.endswith('.gcov.json.gz'):
        continue
    with gzip.open(os.path.join(work, name)) as f:
        data = json.load(f)
    for entry in data['files']:
        path = os.path.realpath(os.path.join(data.get('current_working_directory', ''), entry['file']))
        if not path.startswith(src + '/'):
            continue
        lines = seen.setdefault(path, {})
        for line in entry['lines']:
            n = line['line_number']
            lines[n] = lines.get(n, 0) + line['count']
if uncovered:
    for path in sorted(seen):
        missed = sorted(n for n, c in seen[path].items() if c == 0)
        if missed:
            print(os.path.relpath(path, src), ' '.join(map(str, missed)))
folders = collections.defaultdict(lambda: [0, 0])
for path, lines in seen.items():
    parts = os.path.relpath(path, src).split('/')
    folder = parts[1] if parts[0] == 'core' and len(parts) > 2 else parts[0]
    folders[folder][0] += sum(1 for c in lines.values() if c > 0)
    folders[folder][1] += len(lines)
total = [0, 0]
for folder in sorted(folders):
    hit, all_ = folders[folder]
    total[0] += hit; total[1] += all_
    print(f"{folder:12} {hit:6}/{all_:<6} {100.0 * hit / all_:5.1f}%")
print(f"{'total':12} {total[0]:6}/{total[1]:<6} {100.0 * total[0] / total[1]:5.1f}%")
PY
