#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/../.."
files=$(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
bad=0
for f in $files; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
        echo "not formatted: $f (run: clang-format -i $f)"
        bad=1
    fi
done
[ $bad -eq 0 ] && echo "format check: all files formatted"
exit $bad
