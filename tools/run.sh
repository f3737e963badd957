#!/usr/bin/env bash
# Starts the game in the folder that holds surface.bmp (the game reads it from its
# working directory). Without a display it plays a short while on a virtual one
# and saves a screenshot instead.
set -euo pipefail
exe=$(realpath "$1")
cd "$(dirname "$exe")"
if [ -n "${DISPLAY:-}" ]; then
    exec "$exe"
fi
echo "No display found: running the game on a virtual display (Xvfb) for a few seconds."
xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" timeout 8 "$exe" || true
