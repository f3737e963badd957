#!/usr/bin/env bash
# Makes sure the packages of the browser build are present: Debian's emscripten and
# binaryen, node to run the tests, the GoogleTest sources they are built from, and
# Chromium for the checks in a real browser, and zip for the page's package. As root
# it installs what is missing; otherwise it prints the line to run.
#   tools/deps-web.sh           install (or print) what is missing
#   tools/deps-web.sh --check   only answer: exit 0 when the browser build can be made
set -euo pipefail

if [ "${1:-}" = --check ]; then
    command -v em++ >/dev/null && command -v wasm-opt >/dev/null && command -v node >/dev/null &&
        command -v zip >/dev/null && command -v unzip >/dev/null &&
        [ -f /usr/src/googletest/CMakeLists.txt ]
    exit
fi

packages=(emscripten binaryen nodejs googletest chromium zip unzip)

mapfile -t missing < <("$(dirname "$0")/missing-packages.sh" "${packages[@]}")
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    "$(dirname "$0")/apt-install.sh" "${missing[@]}"
else
    echo "Missing packages for the browser build. As root (or with sudo), run:" \
        "apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
