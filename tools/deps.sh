#!/usr/bin/env bash
# Makes sure the Debian packages the build, the game and the tests need are present.
# As root it installs what is missing (tools/apt-install.sh, which waits for another
# apt job to finish); otherwise it prints the line to run.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri    # the game: GLUT, GLU, Mesa
    xvfb xauth x11-utils libx11-dev libxtst-dev        # a virtual display and X input for tests
    openbox                                            # a window manager for the window fit test
    libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
    clang libclang-rt-14-dev clang-format clang-tidy   # fuzzing, formatting, linting
    dpkg-dev xdotool                                   # the Debian package and its test
    lintian appstream desktop-file-utils man-db        # Debian's checks of the package
)

mapfile -t missing < <("$(dirname "$0")/missing-packages.sh" "${packages[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    "$(dirname "$0")/apt-install.sh" "${missing[@]}"
else
    echo "Missing Debian packages. As root (or with sudo), run: apt-get install -y ${missing[*]}" >&2
    exit 1
fi
