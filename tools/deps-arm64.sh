#!/usr/bin/env bash
# Makes sure the packages of the arm64 cross build are present: the cross compiler,
# user-mode emulation and, through multiarch, the arm64 libraries the game and its
# tests link, with Mesa's arm64 drivers, on which the package test starts the game.
# As root it installs what is missing (tools/apt-install.sh, which waits for another
# apt job to finish); otherwise it prints the line to run.
#   tools/deps-arm64.sh           install (or print) what is missing
#   tools/deps-arm64.sh --check   only answer: exit 0 when the arm64 suite can be built
set -euo pipefail

if [ "${1:-}" = --check ]; then
    command -v aarch64-linux-gnu-g++ >/dev/null && command -v qemu-aarch64 >/dev/null &&
        [ -f /usr/lib/aarch64-linux-gnu/cmake/GTest/GTestConfig.cmake ]
    exit
fi

packages=(
    g++-aarch64-linux-gnu qemu-user
    libgtest-dev:arm64 libgmock-dev:arm64
    freeglut3-dev:arm64 libglu1-mesa-dev:arm64 libxtst-dev:arm64 libgl1-mesa-dri:arm64
)

foreign=$(dpkg --print-foreign-architectures)
mapfile -t missing < <("$(dirname "$0")/missing-packages.sh" "${packages[@]}")
grep -qx arm64 <<<"$foreign" && [ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    "$(dirname "$0")/apt-install.sh" --add-architecture arm64 "${missing[@]}"
else
    add=""
    grep -qx arm64 <<<"$foreign" || add="dpkg --add-architecture arm64 && "
    echo "Missing packages for the arm64 build. As root (or with sudo), run:" \
        "${add}apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
