#!/usr/bin/env bash
# Builds the Debian package twice from these sources, each time configured and
# built afresh in a folder of its own (of different names and depths), and
# checks that the two .deb files are the same bytes, that they are dated by the
# last commit and that no folder of the build machine is named inside them. On
# a difference it shows where: the archive members and the files that differ.
# Usage: tools/test-reproducible.sh [CMAKE_ARGS...]
set -euo pipefail

src=$(realpath "$(dirname "$0")/..")
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# The package's date must come from the commit, as in any build of it.
unset SOURCE_DATE_EPOCH

# Configures, builds only what the package holds, and packs. Prints the .deb.
build_package()
{
    local dir=$1
    shift
    mkdir -p "$dir"
    {
        cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "$@" &&
            cmake --build "$dir" -j "$jobs" --target marble marble_icons marble_docs &&
            cpack --config "$dir/CPackConfig.cmake" -B "$dir/pkg"
    } >"$dir.log" 2>&1 || { cat "$dir.log" >&2; fail "the build in $dir failed"; }
    echo "$dir"/pkg/marble-run_*.deb
}

first=$(build_package "$work/one/build" "$@")
second=$(build_package "$work/second-tree/elsewhere/b" "$@")
[ -f "$first" ] && [ -f "$second" ] || fail "no package: $first $second"

if ! cmp -s "$first" "$second"; then
    echo "The two packages differ. First differing bytes (offset, octal values):" >&2
    cmp -l "$first" "$second" | head -n 5 >&2 || true
    echo "Archive members:" >&2
    diff <(ar tv "$first") <(ar tv "$second") >&2 || true
    echo "Contents:" >&2
    diff <(dpkg-deb -c "$first") <(dpkg-deb -c "$second") >&2 || true
    diff <(dpkg-deb -I "$first") <(dpkg-deb -I "$second") >&2 || true
    dpkg-deb -x "$first" "$work/x1"
    dpkg-deb -x "$second" "$work/x2"
    diff -r "$work/x1" "$work/x2" >&2 || true
    fail "two builds of one commit gave different packages"
fi

# Every member is dated by the last commit.
if commit_time=$(git -C "$src" log -1 --format=%ct 2>/dev/null); then
    expected=$(date -u -d "@$commit_time" '+%Y-%m-%d %H:%M')
    while read -r _ _ _ day time _; do
        [ "$day $time" = "$expected" ] || fail "a file is dated $day $time, not by the commit ($expected)"
    done < <(TZ=UTC dpkg-deb -c "$first")
else
    echo "not a git checkout: the package's date not checked"
fi

# No path of the build machine: neither the sources' folder nor a build folder.
dpkg-deb -x "$first" "$work/unpacked"
leaks=$(grep -rlaF -e "$src" -e "$work" "$work/unpacked" || true)
[ -z "$leaks" ] || fail "build paths inside: $leaks"

echo "reproducible: two builds give $(basename "$first"), sha256 $(sha256sum <"$first" | cut -d' ' -f1)"
