#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source file of the
# repository that the given build's compile database knows.
# Usage: tools/tidy.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/tidy.sh BUILD_DIR}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 1; }
root=$(pwd)
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' | while read -r f; do
    grep -q "\"file\": \"$root/$f\"" "$build/compile_commands.json" && echo "$f"
done)
echo "clang-tidy: ${#files[@]} files"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet >"$log" 2>&1 ||
    status=$?
# clang-tidy counts the warnings it filtered out of system headers; drop that noise.
grep -v 'warnings\? generated\.$' "$log" || true
[ $status -eq 0 ] && echo "clang-tidy: clean"
exit $status
