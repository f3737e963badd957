#!/usr/bin/env bash
# Builds the Windows downloads twice from these sources, each time configured and
# built afresh in a folder of its own (of different names and depths), and checks
# that the two zips and the two installers are the same bytes, that the zip's
# members are dated by the last commit and that no folder of the build machine
# is named in the program. On a difference it shows where. Needs the Windows
# cross build's tools and freeglut (tools/deps-windows.sh).
# Usage: tools/test-reproducible-windows.sh
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

# The downloads' date must come from the commit, as in any build of them.
unset SOURCE_DATE_EPOCH

# Configures, builds only what the downloads hold, and packs them.
build_downloads()
{
    local dir=$1
    mkdir -p "$dir"
    {
        cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
            -DCMAKE_TOOLCHAIN_FILE="$src/cmake/x86_64-w64-mingw32.cmake" &&
            cmake --build "$dir" -j "$jobs" --target package_windows
    } >"$dir.log" 2>&1 || { cat "$dir.log" >&2; fail "the build in $dir failed"; }
}

first="$work/one/build"
second="$work/second-tree/elsewhere/b"
build_downloads "$first"
build_downloads "$second"

for suffix in windows-x64.zip setup.exe; do
    a=("$first"/marble-run-*-"$suffix")
    b=("$second"/marble-run-*-"$suffix")
    [ -f "${a[0]}" ] && [ -f "${b[0]}" ] || fail "missing: ${a[*]} ${b[*]}"
    if ! cmp -s "${a[0]}" "${b[0]}"; then
        echo "$(basename "${a[0]}"): the two builds differ. First differing bytes (offset, octal values):" >&2
        cmp -l "${a[0]}" "${b[0]}" | head -n 5 >&2 || true
        for f in marble.exe surface.bmp README.txt LICENSE.txt; do
            cmp "$first/packaging/windows/files/$f" "$second/packaging/windows/files/$f" >&2 || true
        done
        fail "two builds of one commit gave different $(basename "${a[0]}")"
    fi
done
zip=("$first"/marble-run-*-windows-x64.zip)
setup=("$first"/marble-run-*-setup.exe)

# Every member of the zip is dated by the last commit: packed in UTC, in the
# format's steps of two seconds (an odd second is rounded up).
if commit_time=$(git -C "$src" log -1 --format=%ct 2>/dev/null); then
    expected=$(date -u -d "@$((commit_time + commit_time % 2))" '+%Y-%m-%d %H:%M')
    while read -r day time; do
        [ "$day $time" = "$expected" ] || fail "a member is dated $day $time, not by the commit ($expected)"
    done < <(unzip -l "${zip[0]}" | sed -n 's/^ *[0-9]\+ \+\([0-9-]\+\) \([0-9:]\+\) .*/\1 \2/p')
else
    echo "not a git checkout: the zip's dates not checked"
fi

# No path of the build machine in the program: neither the sources' folder nor
# a build folder.
leaks=$(grep -laF -e "$src" -e "$work" "$first/packaging/windows/files/marble.exe" "$first/marble.exe" ||
    true)
[ -z "$leaks" ] || fail "build paths inside: $leaks"

echo "reproducible: two builds give $(basename "${zip[0]}"), sha256" \
    "$(sha256sum <"${zip[0]}" | cut -d' ' -f1), and $(basename "${setup[0]}"), sha256" \
    "$(sha256sum <"${setup[0]}" | cut -d' ' -f1)"
