#!/usr/bin/env bash
# Builds the browser build's zip twice from these sources, each time configured and
# built afresh in a folder of its own (of different names and depths), and checks that
# the two zips are the same bytes and name no folder of the build machine. On a
# difference it lists the files inside that differ.
#   tools/test-reproducible-web.sh
set -euo pipefail

src=$(realpath "$(dirname "$0")/..")
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export NODE_PATH=/usr/share/nodejs
unset SOURCE_DATE_EPOCH

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

build_zip()
{
    local dir=$1
    mkdir -p "$dir"
    {
        emcmake cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
            -DMARBLE_PACKAGE=OFF -DBUILD_TESTING=OFF &&
            cmake --build "$dir" -j "$jobs" --target marble &&
            "$src/tools/package-web.sh" "$dir"
    } >"$dir.log" 2>&1 || { cat "$dir.log" >&2; fail "the build in $dir failed"; }
    echo "$dir"/marble-run-*-web.zip
}

first=$(build_zip "$work/one/build-web")
second=$(build_zip "$work/second-tree/elsewhere/b")
[ -f "$first" ] && [ -f "$second" ] || fail "no zip: $first $second"

for zip in "$first" "$second"; do
    if unzip -p "$zip" | grep -aq -e "$work" -e "$src"; then
        fail "$zip names a folder of the build machine"
    fi
done
if ! cmp "$first" "$second"; then
    mkdir "$work/a" "$work/b"
    unzip -q "$first" -d "$work/a"
    unzip -q "$second" -d "$work/b"
    diff -rq "$work/a" "$work/b" >&2 || true
    fail "two builds of the web zip differ"
fi
echo "Reproducible: $(basename "$first"), $(stat -c %s "$first") bytes, the same from both builds."
