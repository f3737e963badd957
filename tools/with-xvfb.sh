#!/usr/bin/env bash
# Runs a command on a virtual X display of its own: Xvfb picks a free display
# number itself (-displayfd), so concurrent runs never share or race for one.
# -noreset keeps the server up between clients: by default it resets when the
# last one disconnects, and a client connecting meanwhile is refused. The screen is
# 1600 x 1200 unless XVFB_SCREEN names another, as WIDTHxHEIGHTxDEPTH (1366x768x24).
#   tools/with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1600x1200x24}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r display <"$fifo" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
"$@"
