#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it: its
# fields and paths (none shared with Debian's KDE globe, also called marble), the
# checks Debian runs on packages where their tools are installed (lintian,
# appstreamcli, desktop-file-validate, man), and then, unpacked into a scratch
# root (no dpkg database, nothing installed), that its command starts the game
# from an unrelated working directory with the texture found. A package for
# another architecture (a cross build's) is checked the same way, its game
# started under qemu user-mode emulation as its launcher would start it. Needs
# an X display (the test command runs under Xvfb) and xdotool.
# With --hardened (a build with Debian's hardening flags) lintian must find no
# hardening flag missing from the game.
# Usage: tests/scripts/test-package.sh BUILD_DIR [--hardened]
set -euo pipefail

build=$(realpath "$1")
hardened=$([ "${2:-}" = --hardened ] && echo yes || echo no)
scripts=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
game=""
cleanup()
{
    if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
        kill -KILL "$game" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# True while the game runs; a finished but not yet reaped child does not count.
running()
{
    local state
    state=$(awk '{print $3}' "/proc/$game/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

fail()
{
    echo "FAIL: $*" >&2
    if [ -s "$work/stderr" ]; then
        echo "--- game's standard error:" >&2
        cat "$work/stderr" >&2
    fi
    exit 1
}

# True when the text has a line starting with one of the given prefixes.
has_line()
{
    local text=$1 prefix
    shift
    for prefix in "$@"; do
        [[ $'\n'"$text" == *$'\n'"$prefix"* ]] && return 0
    done
    return 1
}

# The file is gzip -9n output: no name and no time stamp, best compression.
gzip_9n()
{
    [ "$(od -An -tx1 -N9 "$1" 2>/dev/null | tr -d ' \n')" = 1f8b08000000000002 ] && gzip -t "$1"
}

app=io.github.marble_authors.marble_run

# 1. Package into the scratch folder, so `make package` output is left alone.
cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/pkg/marble-run_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one marble-run_*.deb, got: ${debs[*]}"
deb=${debs[0]}

# 2. Control fields: the name, the section, the maintainer and the runtime
#    libraries a fresh system must pull in. Debian's globe is the package
#    "marble": ours must never claim to be it, replace it or provide it, so apt
#    can neither offer one as an upgrade of the other nor remove one for the other.
[ "$(dpkg-deb -f "$deb" Package)" = marble-run ] || fail "package name is not marble-run"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
relations=$(dpkg-deb -f "$deb" Provides Replaces Conflicts Breaks)
names_marble='(^|[ ,:])marble([ ,(]|$)'
[[ ! $relations =~ $names_marble ]] || fail "a relation names Debian's marble: $relations"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libglut3.12 libglu1-mesa libgl1-mesa-dri libc6 libstdc++6; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# The architecture packed for, and whether this machine runs it natively.
arch=$(dpkg-deb -f "$deb" Architecture)
native=$(dpkg --print-architecture)

# 3. Paths: every file is named after marble-run or lies in a folder of that
#    name, so none can be shared with another package's marble.
contents=$(dpkg-deb -c "$deb") || fail "cannot list the package"
while read -r mode _ _ _ _ path _; do
    [ "${mode:0:1}" = d ] && continue
    [[ $path == *marble-run* || $path == *"$app"* ]] || fail "file outside the marble-run names: $path"
done <<<"$contents"

# 4. The files, unpacked as dpkg would place them.
root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
[ -x "$usr/games/marble-run" ] || fail "no command usr/games/marble-run"
[ -x "$usr/lib/games/marble-run/marble" ] || fail "no game binary usr/lib/games/marble-run/marble"
cmp -s "$usr/share/games/marble-run/surface.bmp" "$scripts/../../assets/surface.bmp" ||
    fail "usr/share/games/marble-run/surface.bmp missing or not the shipped texture"
doc="$usr/share/doc/marble-run"
copyright_format="Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
[ "$(head -n 1 "$doc/copyright" 2>/dev/null)" = "$copyright_format" ] ||
    fail "no machine-readable copyright file"
gzip_9n "$doc/changelog.gz" || fail "no changelog.gz compressed with gzip -9n"
manpage="$usr/share/man/man6/marble-run.6.gz"
gzip_9n "$manpage" || fail "no manual page compressed with gzip -9n: $manpage"
desktop="$usr/share/applications/$app.desktop"
[ -f "$desktop" ] || fail "no desktop entry $app.desktop"
grep -qx 'Exec=marble-run' "$desktop" && grep -qx "Icon=$app" "$desktop" ||
    fail "desktop entry does not start marble-run with its icon"
metainfo="$usr/share/metainfo/$app.metainfo.xml"
metadata=$(cat "$metainfo" 2>/dev/null) || fail "no AppStream metadata $app.metainfo.xml"
for element in "<id>$app</id>" "<launchable type=\"desktop-id\">$app.desktop</launchable>" \
    "<binary>marble-run</binary>" "<project_license>MIT</project_license>" \
    "<content_rating type=\"oars-1.1\""; do
    [[ $metadata == *"$element"* ]] || fail "AppStream metadata lacks $element"
done
# The keys are named as the game reads them: a, d and b, in lower case.
if grep -Eq '\<(with|and) [ADB]\>' "$desktop" "$metainfo"; then
    fail "the desktop entry or the metadata names a key in capitals; the game reads a, d and b"
fi
# The game is a program of the package's architecture, linked against that
# architecture's freeglut.
exe="$usr/lib/games/marble-run/marble"
case $arch in
    amd64) machine="Advanced Micro Devices X86-64" ;;
    arm64) machine=AArch64 ;;
    *) machine="" ;;
esac
if [ -n "$machine" ]; then
    found=$(readelf -h "$exe" | sed -n 's/^ *Machine: *//p')
    [ "$found" = "$machine" ] || fail "the game is built for '$found', not for $arch ($machine)"
else
    echo "no machine known for $arch: the game's ELF header not checked"
fi
dynamic=$(readelf -d "$exe") || fail "cannot read the game's dynamic section"
[[ $dynamic == *"(NEEDED)"*"[libglut.so.3.12]"* ]] || fail "the game does not link libglut.so.3.12"
for size in 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$app.png"
    [ "$(od -An -tx1 -N8 "$icon" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] ||
        fail "icon $icon missing or not a PNG"
done

# 5. Debian's own checks, each where its tool is installed: no error and no
#    warning. Output is captured first and then searched.
# lintian is asked for its pedantic and informational tags as well: of those, an
# unneeded section fails the test too, and in a hardened build a hardening tag (a
# protection the game was built without).
if command -v lintian >/dev/null; then
    status=0
    report=$(lintian --pedantic --display-info "$deb" 2>"$work/lintian.err") || status=$?
    if [ "$status" -ne 0 ] || has_line "$report" "E: " "W: " ||
        [[ $report == *" binary-has-unneeded-section"* ]] ||
        [[ $hardened = yes && $report == *" hardening-"* ]]; then
        cat "$work/lintian.err" >&2
        fail "lintian (status $status): $report"
    fi
else
    echo "lintian not installed: package not linted"
fi
if command -v appstreamcli >/dev/null; then
    status=0
    report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || status=$?
    if [ "$status" -ne 0 ] || has_line "$report" "E: " "W: "; then
        fail "appstreamcli validate (status $status): $report"
    fi
else
    echo "appstreamcli not installed: metadata not validated"
fi
if command -v desktop-file-validate >/dev/null; then
    status=0
    report=$(desktop-file-validate "$desktop" 2>&1) || status=$?
    [ "$status" -eq 0 ] && [ -z "$report" ] || fail "desktop-file-validate (status $status): $report"
else
    echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v man >/dev/null; then
    "$scripts/check-manpage.sh" "$manpage" >/dev/null || fail "the installed manual page does not render cleanly"
else
    echo "man not installed: installed manual page not rendered"
fi

# 6. Start the unpacked command from somewhere unrelated. A foreign program runs
#    under qemu with the host's multiarch libraries (-L /), started as the
#    launcher starts it, which cannot itself exec it: in the data folder, with
#    argv[0] marble-run. Emulated, Mesa's software renderer is slow, so the
#    waits below are given four times longer.
[ -n "${DISPLAY:-}" ] || fail "no X display (run under tools/with-xvfb.sh)"
patience=1
if [ "$arch" != "$native" ]; then
    emulator=""
    [ "$arch" = arm64 ] && emulator=qemu-aarch64
    multiarch=$(dpkg-architecture -a "$arch" -q DEB_HOST_MULTIARCH 2>/dev/null) || multiarch=""
    if [ -z "$emulator" ] || ! command -v "$emulator" >/dev/null; then
        echo "package test: $(basename "$deb") passes Debian's checks; not started: no emulator for $arch"
        exit 0
    fi
    if [ ! -f "/usr/lib/$multiarch/dri/swrast_dri.so" ]; then
        echo "package test: $(basename "$deb") passes Debian's checks; not started: Mesa's $arch" \
            "drivers are missing (apt-get install libgl1-mesa-dri:$arch)"
        exit 0
    fi
    patience=4
fi
mkdir "$work/elsewhere"
cd "$work/elsewhere"
# A sanitized build still checks memory errors, but not leaks at exit: freeglut's
# exit handler closes the display, which unloads Mesa's driver (swrast_dri.so),
# and the driver's remaining allocations then lose their roots and their module
# name, so no suppression can name them. The game's own objects stay reachable.
# Harmless for a build without sanitizers.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
if [ "$arch" = "$native" ]; then
    "$usr/games/marble-run" 2>"$work/stderr" &
else
    (cd "$usr/share/games/marble-run" && exec "$emulator" -L / -0 marble-run "$exe") 2>"$work/stderr" &
fi
game=$!

# The launcher execs the game, so $game is the game itself: its window, titled
# "marble-run" (the argv[0] the launcher gives), must appear.
window=""
for _ in $(seq $((150 * patience))); do
    running || fail "the game exited before opening its window"
    # Only a mapped window can take the keyboard focus below.
    found=$(xdotool search --onlyvisible --pid "$game" --name '^marble-run$' 2>/dev/null) || found=""
    window=${found%%$'\n'*}
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "no window titled 'marble-run' appeared"

[ "$(readlink -f /proc/$game/cwd)" = "$(readlink -f "$usr/share/games/marble-run")" ] ||
    fail "the game does not run in share/games/marble-run: $(readlink -f /proc/$game/cwd)"
# Under emulation the running program is the emulator.
if [ "$arch" = "$native" ] && [ "$(readlink -f /proc/$game/exe)" != "$(readlink -f "$exe")" ]; then
    fail "the running program is not the unpacked game: $(readlink -f /proc/$game/exe)"
fi

# 7. Escape ends the game with status 0. Pressed again every few seconds in
#    case the first press came before the window could take the focus.
for attempt in $(seq $((150 * patience))); do
    if [ $((attempt % 25)) -eq 1 ]; then
        xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
    fi
    running || break
    sleep 0.2
done
running && fail "the game did not end on Escape"
status=0
wait "$game" || status=$?
game=""
[ "$status" -eq 0 ] || fail "the game ended with status $status"

if grep -q "Failed to open DIB file" "$work/stderr"; then
    fail "the game did not find its texture"
fi
if [ "$arch" = "$native" ]; then
    echo "package test: $(basename "$deb") passes Debian's checks, unpacks, starts from any" \
        "directory and quits on Escape"
else
    echo "package test: $(basename "$deb") passes Debian's checks, unpacks, starts under" \
        "$emulator and quits on Escape"
fi
