#!/usr/bin/env bash
# Packs the built page into marble-run-<version>-web.zip: one folder of static files
# (index.html, marble.js, marble.wasm, surface.bmp) to put on any web host as it is.
# The same sources give the same bytes: the files are dated by the last commit (or
# by SOURCE_DATE_EPOCH when set), listed in a fixed order, and stored without owners
# or extra time fields.
#   tools/package-web.sh BUILD_DIR     writes BUILD_DIR/marble-run-<version>-web.zip
set -euo pipefail

src=$(realpath "$(dirname "$0")/..")
build=$(realpath "$1")
version=$(sed -n 's/^project(marble VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
name=marble-run-$version-web
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct 2>/dev/null || echo 0)}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$name"
for f in index.html marble.js marble.wasm surface.bmp; do
    [ -f "$build/$f" ] || { echo "missing $build/$f: run make web first" >&2; exit 1; }
    cp "$build/$f" "$stage/$name/$f"
    chmod 644 "$stage/$name/$f"
done
chmod 755 "$stage/$name"
touch -h -d "@$epoch" "$stage/$name" "$stage/$name"/*

rm -f "$build/$name.zip"
(cd "$stage" && TZ=UTC zip -q -X -D -9 "$build/$name.zip" \
    "$name/index.html" "$name/marble.js" "$name/marble.wasm" "$name/surface.bmp")
echo "$build/$name.zip"
