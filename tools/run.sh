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
# The screenshot tool starts the game and ends it once the picture is taken.
"$(dirname "$self")/with-xvfb.sh" "$shooter" --timeout 60 --lit "$exe" "$shot" || status=$?
if [ -f "$shot" ]; then
    echo "Screenshot: $shot"
fi
exit "$status"
