#!/usr/bin/env bash
# Packs the built page into marble-run-<version>-web.zip: its static files (the page,
# the game, the texture, the offline cache's worker, the web app manifest and its
# icons) at the top of the archive, as game portals expect them, to put on any web
# host as they are.
# The same sources give the same bytes: the files are dated as every download is
# (packaging/source-date-epoch.sh), listed in a fixed order, and stored without
# owners or extra time fields.
#   tools/package-web.sh BUILD_DIR     writes BUILD_DIR/marble-run-<version>-web.zip
set -euo pipefail

src=$(realpath "$(dirname "$0")/..")
build=$(realpath "$1")
version=$(sed -n 's/^project(marble VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
name=marble-run-$version-web
epoch=$("$src/packaging/source-date-epoch.sh" "$src")

files=(index.html marble.js marble.wasm surface.bmp sw.js manifest.webmanifest icon-192.png icon-512.png)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for f in "${files[@]}"; do
    [ -f "$build/$f" ] || { echo "missing $build/$f: run make web first" >&2; exit 1; }
    cp "$build/$f" "$stage/$f"
    chmod 644 "$stage/$f"
done
touch -d "@$epoch" "${files[@]/#/$stage/}"

rm -f "$build/$name.zip"
(cd "$stage" && TZ=UTC zip -q -X -D -9 "$build/$name.zip" "${files[@]}")
echo "$build/$name.zip"
