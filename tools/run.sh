#!/usr/bin/env bash
# Starts the game in the folder that holds surface.bmp (the game reads it from its
# working directory). Without a display it plays on a virtual one (Xvfb) until the
# light has faded in, saves a screenshot beside the game and prints its path.
#
#   tools/run.sh build/marble
set -euo pipefail
self=$(realpath "$0")
exe=$(realpath "$1")
dir=$(dirname "$exe")
shooter="$dir/tools/screenshot"
cd "$dir"

# On the virtual display: the game in the background, the screenshot once it is lit.
if [ "${2:-}" = "--shoot" ]; then
    "$exe" &
    game=$!
    status=0
    "$shooter" --timeout 60 --lit "$exe" "$3" || status=$?
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    exit "$status"
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$exe"
fi
if [ ! -x "$shooter" ]; then
    echo "No display found, and no $shooter to take a screenshot: build first." >&2
    exit 1
fi
echo "No display found: playing on a virtual display (Xvfb) until the light is up."
shot="$dir/screenshot.png"
rm -f "$shot"
status=0
"$(dirname "$self")/with-xvfb.sh" "$self" "$exe" --shoot "$shot" || status=$?
if [ -f "$shot" ]; then
    echo "Screenshot: $shot"
fi
exit "$status"
