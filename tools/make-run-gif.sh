#!/usr/bin/env bash
# Makes the animated picture of one whole run that the README shows (make demo): starts
# the game on a virtual display (Xvfb), follows one run with record_run from its first
# frame through the fade-in, the rolling and the fade-out to the dark at its end, and
# turns the frames into a small looping GIF with ffmpeg and gifsicle.
#
# The game keeps 60 ticks a second on any display; the GIF shows it at that pace, 20
# frames a second, 320 pixels wide, in 96 colours.
#
#   tools/make-run-gif.sh build/marble docs/run.gif
set -euo pipefail

missing=()
for tool in ffmpeg:ffmpeg gifsicle:gifsicle Xvfb:xvfb; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Missing tools. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi

self=$(realpath "$0")
exe=$(realpath "$1")
out=$(realpath -m "$2")
dir=$(dirname "$exe")
recorder="$dir/tools/record_run"

# On the virtual display: record_run starts the game in the folder of its texture, its
# window titled with its path; one run of it into a lossless video of 20 frames a second.
if [ "${3:-}" = "--on-display" ]; then
    "$recorder" "$exe" 320 | {
        read -r width height
        ffmpeg -nostdin -loglevel error -f rawvideo -pix_fmt rgb24 -video_size "${width}x$height" \
            -framerate 20 -i - -c:v ffv1 -y "$4"
    }
    exit 0
fi

if [ ! -x "$recorder" ]; then
    echo "No $recorder: build first (make demo)." >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$self")/with-xvfb.sh" "$self" "$exe" "$out" --on-display "$work/run.mkv"
# One palette for the whole run; only the changed rectangle of each frame is stored.
ffmpeg -nostdin -loglevel error -i "$work/run.mkv" -vf "split[a][b];\
[a]palettegen=max_colors=96:stats_mode=diff[p];\
[b][p]paletteuse=dither=bayer:bayer_scale=3:diff_mode=rectangle" -y "$work/run.gif"
gifsicle -O3 --lossy=40 "$work/run.gif" -o "$out"
echo "$out: $(($(stat -c %s "$out") / 1024)) KiB"
