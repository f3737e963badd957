#!/usr/bin/env bash
# Builds one kind of download twice from these sources, each time configured (by its
# CMake preset) and built afresh in a folder of its own, of different names and
# depths, and checks that the two come out the same bytes, that every file inside is
# dated as packaging/source-date-epoch.sh says and that neither folder, nor the
# sources', is named inside. Where the two differ it shows how: with diffoscope when
# it is installed, else with listings of their contents and the files that differ.
#   tests/scripts/test-reproducible.sh deb       the Debian package
#   tests/scripts/test-reproducible.sh windows   the Windows zip and installer
#   tests/scripts/test-reproducible.sh web       the browser build's zip
set -euo pipefail

src=$(realpath "$(dirname "$0")/../..")
jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The date comes from the commit, as in any build from a checkout.
unset SOURCE_DATE_EPOCH
epoch=$("$src/packaging/source-date-epoch.sh" "$src")

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# Per kind: the preset to configure with, what is built and packed in a configured
# folder ($1), and the downloads, relative to it.
case ${1:-} in
    deb)
        preset=(play)
        pack() { cmake --build "$1" -j "$jobs" --target marble marble_icons marble_docs &&
            cpack --config "$1/CPackConfig.cmake" -B "$1/pkg"; }
        downloads=('pkg/marble-run_*.deb')
        ;;
    windows)
        preset=(windows -DBUILD_TESTING=OFF)
        pack() { cmake --build "$1" -j "$jobs" --target package_windows; }
        downloads=('marble-run-*-windows-x64.zip' 'marble-run-*-setup.exe')
        ;;
    web)
        preset=(web -DBUILD_TESTING=OFF)
        # Emscripten's tools load acorn from Debian's node modules.
        export NODE_PATH=/usr/share/nodejs
        pack() { cmake --build "$1" -j "$jobs" --target marble && "$src/tools/package-web.sh" "$1"; }
        downloads=('marble-run-*-web.zip')
        ;;
    *)
        echo "usage: $0 deb|windows|web" >&2
        exit 2
        ;;
esac

# A download's members with their dates and sizes, and its files unpacked into $2
# (an installer is not unpacked: it holds the zip's files).
unpack()
{
    mkdir -p "$2"
    case $1 in
        *.deb) TZ=UTC dpkg-deb -c "$1" && dpkg-deb -I "$1" && dpkg-deb -x "$1" "$2" ;;
        *.zip) unzip -l "$1" | tail -n +2 && unzip -q "$1" -d "$2" ;;
        *) ls -l "$1" ;;
    esac
}

# The dates of a download's members, "YYYY-MM-DD HH:MM" a line, and the one expected:
# a zip stores local time (packed in UTC) in steps of two seconds, an odd second
# rounded up.
dates()
{
    case $1 in
        *.deb) TZ=UTC dpkg-deb -c "$1" | awk '{ print $4, $5 }' ;;
        *.zip) unzip -l "$1" | sed -n 's/^ *[0-9]\+ \+\([0-9-]\+\) \([0-9:]\+\) .*/\1 \2/p' ;;
    esac
}
expected_date()
{
    case $1 in
        *.zip) date -u -d "@$((epoch + epoch % 2))" '+%Y-%m-%d %H:%M' ;;
        *) date -u -d "@$epoch" '+%Y-%m-%d %H:%M' ;;
    esac
}

build()
{
    local dir=$1
    mkdir -p "$dir"
    (cd "$src" && cmake --preset "${preset[@]}" -B "$dir" && pack "$dir") >"$dir.log" 2>&1 ||
        { cat "$dir.log" >&2; fail "the build in $dir failed"; }
}
first="$work/one/build"
second="$work/second-tree/elsewhere/b"
build "$first"
build "$second"

for pattern in "${downloads[@]}"; do
    a=$(compgen -G "$first/$pattern") || fail "no $pattern in $first"
    b=$(compgen -G "$second/$pattern") || fail "no $pattern in $second"
    name=$(basename "$a")
    if ! cmp -s "$a" "$b"; then
        echo "$name: the two builds differ." >&2
        if command -v diffoscope >/dev/null; then
            diffoscope --no-progress --text - "$a" "$b" >&2 || true
        else
            echo "First differing bytes (offset, octal values):" >&2
            cmp -l "$a" "$b" | head -n 5 >&2 || true
            diff <(unpack "$a" "$work/x1/$name") <(unpack "$b" "$work/x2/$name") >&2 || true
            diff -r "$work/x1/$name" "$work/x2/$name" >&2 || true
            echo "(diffoscope, when installed, shows the differences inside the files)" >&2
        fi
        fail "two builds of one commit gave different $name"
    fi

    while read -r day time; do
        [ "$day $time" = "$(expected_date "$a")" ] ||
            fail "a member of $name is dated $day $time, not $(expected_date "$a")"
    done < <(dates "$a")

    unpack "$a" "$work/unpacked/$name" >/dev/null
    leaks=$(grep -rlaF -e "$src" -e "$work" "$work/unpacked/$name" || true)
    [ -z "$leaks" ] || fail "build paths inside $name: $leaks"
    echo "reproducible: two builds give $name, sha256 $(sha256sum <"$a" | cut -d' ' -f1)"
done
