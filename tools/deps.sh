#!/usr/bin/env bash
# Makes sure the Debian packages of one set are present. As root it installs what is
# missing (tools/apt-install.sh, which waits for another apt job to finish);
# otherwise it prints the line to run.
#   tools/deps.sh play   building and playing the game (make run): the compiler, CMake,
#                        freeglut, GLU, Mesa, stb, and Xvfb where there is no display
#   tools/deps.sh test   that and everything the tests, checks, fuzzing and benchmarks
#                        use (make test)
set -euo pipefail

play=(
    build-essential cmake pkg-config
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri     # the game: GLUT, GLU, Mesa
    libx11-dev libxtst-dev libstb-dev                  # the icon painter and screenshot tool
)
# Without a display make run plays on a virtual one.
[ -n "${DISPLAY:-}" ] || play+=(xvfb)
test=(
    "${play[@]}"
    xvfb xauth x11-utils                               # a virtual display for tests
    openbox                                            # a window manager for the window fit test
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format clang-tidy   # fuzzing, formatting, linting
    dpkg-dev xdotool                                   # the Debian package and its test
    lintian appstream desktop-file-utils man-db        # Debian's checks of the package
)
case ${1:-} in
    play) packages=("${play[@]}") ;;
    test) packages=("${test[@]}") ;;
    *)
        echo "usage: tools/deps.sh play|test" >&2
        exit 2
        ;;
esac

mapfile -t missing < <("$(dirname "$0")/missing-packages.sh" "${packages[@]}" | sort -u)
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    "$(dirname "$0")/apt-install.sh" "${missing[@]}"
else
    echo "Missing Debian packages. As root (or with sudo), run: apt-get install -y ${missing[*]}" >&2
    exit 1
fi
