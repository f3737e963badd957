#!/usr/bin/env bash
# Prints the date every download is stamped with, as SOURCE_DATE_EPOCH (seconds since
# 1970 UTC): the environment's SOURCE_DATE_EPOCH when set (a distribution's build),
# else the time of the sources' last commit, else the date of the release in
# packaging/changelog.in, so that sources without their history still give the same
# bytes every time. The .deb (packaging/CPackProject.cmake.in), the Windows downloads
# (packaging/windows/pack.sh) and the web zip (tools/package-web.sh) all take it here.
#   packaging/source-date-epoch.sh [SOURCE_DIR]
set -euo pipefail

src=${1:-$(dirname "$0")/..}
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "$SOURCE_DATE_EPOCH"
elif ! git -C "$src" log -1 --format=%ct 2>/dev/null; then
    # The date that ends the changelog's first signature line, " -- Name  Mon, 07 Dec 2026 ...".
    released=$(sed -n 's/^ -- .*  \([A-Z][a-z][a-z], .*\)$/\1/p' "$src/packaging/changelog.in" | head -n 1)
    [ -n "$released" ] || { echo "no release date in $src/packaging/changelog.in" >&2; exit 1; }
    echo "No commit and no SOURCE_DATE_EPOCH: dated by the release, $released" >&2
    date -u -d "$released" +%s
fi
