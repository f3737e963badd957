#!/usr/bin/env bash
# Makes sure the Windows cross build can be made and tested here: the MinGW-w64 cross
# compiler, Wine to run its programs, NSIS and zip for the downloads, and freeglut built for
# Windows. No Debian package holds a Windows freeglut, so it is built from Debian's own
# source package (apt-get source freeglut) as a static library, once, into .deps/ in
# the checkout, which every Windows build folder then uses. Fetching the source needs
# a deb-src entry: as root this script adds one for the fetch and removes it again.
# As root it installs what is missing; otherwise it prints the lines to run.
#   tools/deps-windows.sh           install (or print) what is missing, build freeglut
#   tools/deps-windows.sh --check   only answer: exit 0 when the Windows suite can be built
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
prefix="$deps/mingw"
toolchain="$root/cmake/x86_64-w64-mingw32.cmake"

packages=(g++-mingw-w64-x86-64-posix wine wine64 nsis dpkg-dev zip unzip)

tools_present()
{
    command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null &&
        command -v makensis >/dev/null
}

if [ "${1:-}" = --check ]; then
    tools_present && { [ -f "$prefix/lib/libfreeglut_static.a" ] || [ "$(id -u)" -eq 0 ]; }
    exit
fi

mapfile -t missing < <("$(dirname "$0")/missing-packages.sh" "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        "$root/tools/apt-install.sh" "${missing[@]}"
    else
        echo "Missing packages for the Windows build. As root (or with sudo), run:" \
            "apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
fi

# freeglut, built once: the library and headers under .deps/mingw.
[ -f "$prefix/lib/libfreeglut_static.a" ] && exit 0

mkdir -p "$deps"
source_dir=$(find "$deps" -maxdepth 1 -type d -name 'freeglut-*' | head -n 1)
if [ -z "$source_dir" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "freeglut's source is needed for the Windows build. As root, run tools/deps-windows.sh," >&2
        echo "or add a deb-src entry for Debian's archive and run:" >&2
        echo "  sudo apt-get update && (cd $deps && apt-get source freeglut)" >&2
        exit 1
    fi
    # A source list of its own, read alone: the fetch neither needs nor refreshes
    # the other lists, and nothing of it stays in the system's sources.
    list="/etc/apt/sources.list.d/marble-freeglut-src.list"
    trap 'rm -f "$list"' EXIT
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main" >"$list"
    apt_opts=(-o DPkg::Lock::Timeout=600 -o Dir::Etc::SourceList="$list"
              -o Dir::Etc::SourceParts=- -o APT::Get::List-Cleanup=0 -o APT::Sandbox::User=root)
    echo "Fetching Debian's freeglut source into .deps/"
    apt-get "${apt_opts[@]}" update -qq
    (cd "$deps" && apt-get "${apt_opts[@]}" source -qq freeglut >/dev/null)
    rm -f "$list"
    trap - EXIT
    source_dir=$(find "$deps" -maxdepth 1 -type d -name 'freeglut-*' | head -n 1)
fi

echo "Building freeglut for Windows (static) in .deps/"
build="$deps/freeglut-build"
log="$deps/freeglut-build.log"
rm -rf "$build"
if ! {
    cmake -S "$source_dir" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_SHARED_LIBS=OFF \
        -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_REPLACE_GLUT=OFF &&
        cmake --build "$build" -j "${JOBS:-2}" && cmake --install "$build"
} >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "Building freeglut failed: see $log" >&2
    exit 1
fi
rm -rf "$build" "$log"
