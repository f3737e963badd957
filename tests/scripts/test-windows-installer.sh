#!/usr/bin/env bash
# Checks the Windows downloads of a configured Windows build: builds them
# (package_windows), looks at the resources of the shipped marble.exe and at the
# zip's members, then installs the installer silently under Wine, checks the
# installed files, the Start-menu and desktop shortcuts and the uninstall entry
# of Apps & features, starts the installed game through its shortcut until its
# window appears and ends it with Escape, uninstalls it silently as Windows would
# (its QuietUninstallString) and checks that nothing of it, and no temporary
# folder of the uninstaller, is left once that returns. Needs Wine, an X display
# (the test command runs under Xvfb) and xdotool.
# Usage: tests/scripts/test-windows-installer.sh BUILD_DIR
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
game=""
cleanup()
{
    if [ -n "$game" ] && kill -0 "$game" 2>/dev/null; then
        kill -KILL "$game" 2>/dev/null || true
    fi
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

# 1. The downloads, built as `make package-windows` builds them.
cmake --build "$build" --target package_windows >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; fail "building package_windows failed"; }
setups=("$build"/marble-run-*-setup.exe)
zips=("$build"/marble-run-*-windows-x64.zip)
[ ${#setups[@]} -eq 1 ] && [ -f "${setups[0]}" ] || fail "expected one installer, got: ${setups[*]}"
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "expected one zip, got: ${zips[*]}"
setup=${setups[0]}
zip=${zips[0]}
files="$build/packaging/windows/files"
version=${setup##*/marble-run-}
version=${version%-setup.exe}

# 2. The zip holds the four files, in this order, and nothing else; the texts
#    have Windows line ends.
members=$(unzip -Z1 "$zip") || fail "cannot list $zip"
[ "$members" = $'marble.exe\nsurface.bmp\nREADME.txt\nLICENSE.txt' ] ||
    fail "the zip's members are not marble.exe, surface.bmp, README.txt, LICENSE.txt: $members"
unzip -q "$zip" -d "$work/unzipped"
for f in marble.exe surface.bmp README.txt LICENSE.txt; do
    cmp -s "$work/unzipped/$f" "$files/$f" || fail "$f in the zip is not the staged $f"
done
for f in README.txt LICENSE.txt; do
    lines=$(wc -l <"$files/$f")
    crlf=$(grep -c $'\r$' "$files/$f" || true)
    [ "$lines" -gt 0 ] && [ "$lines" -eq "$crlf" ] || fail "$f has lines without CRLF ends"
done

# 3. The program's resources: icons (3) in one icon group (14), the version (16)
#    and the manifest (24); the icon group holds the seven sizes. The version's
#    strings are UTF-16; the manifest is plain text.
exe="$files/marble.exe"
objdump=x86_64-w64-mingw32-objdump
resources=$("$objdump" -p "$exe") || fail "cannot read marble.exe"
types=$(grep -E '^[0-9a-f]+   Entry: ID: ' <<<"$resources" | sed 's/.*ID: 0x0*\([0-9a-f]*\),.*/\1/' |
    tr '\n' ' ')
[ "$types" = "3 e 10 18 " ] ||
    fail "marble.exe's resource types are '$types', not icon, icon group, version, manifest"
icons=$(sed -n '/^010   Entry: ID: 0x000003,/{n;p;q}' <<<"$resources")
[[ $icons == *"IDs: 7" ]] || fail "marble.exe does not carry seven icon images: $icons"
# The COFF header's time stamp, 4 bytes at 8 past the PE header, is zero.
pe=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
[ "$(od -An -tu4 -j $((pe + 8)) -N 4 "$exe" | tr -d ' ')" = 0 ] || fail "marble.exe carries a link time"
utf16=$(strings -el "$exe")
for text in "Marble Run" "the marble authors" "$version" "MIT License"; do
    [[ $utf16 == *"$text"* ]] || fail "marble.exe's version resource lacks '$text'"
done
manifest=$(strings "$exe")
for text in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' '>true</dpiAware>' \
    '>PerMonitorV2</dpiAwareness>'; do
    [[ $manifest == *"$text"* ]] || fail "marble.exe's manifest lacks $text"
done

# 4. The Wine prefix of the build's tests (tests/scripts/wine-run.sh makes it on
#    first use), without Wine's menu builder, which would copy the shortcut into
#    this machine's own menus.
scripts=$(dirname "$(realpath "$0")")
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
programs="$WINEPREFIX/drive_c/Program Files/marble-run"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
shortcut="$menu/Marble Run.lnk"
desktop="$WINEPREFIX/drive_c/users/Public/Desktop/Marble Run.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\marble-run'
# A run stopped half-way may have left an installation: start from a new prefix.
if [ -e "$programs" ] || [ -e "$shortcut" ] || [ -e "$desktop" ]; then
    rm -rf "$WINEPREFIX"
fi
"$scripts/wine-run.sh" reg query "$key" >/dev/null 2>&1 && fail "the prefix already has an uninstall entry"

# 5. A silent install: the files, byte for byte what was packed.
wine "$setup" /S >"$work/setup.log" 2>&1 || { cat "$work/setup.log" >&2; fail "the installer failed"; }
wineserver -w
for f in marble.exe surface.bmp README.txt LICENSE.txt; do
    cmp -s "$programs/$f" "$files/$f" || fail "Program Files/marble-run/$f is not the packed $f"
done
[ -f "$programs/uninstall.exe" ] || fail "no uninstall.exe in Program Files/marble-run"

# 6. The desktop shortcut, ticked unless the player unticks it, is there. The
#    Start-menu shortcut starts the game in the install folder, where it reads its
#    texture. Read from the shell link's header: its flags say which parts
#    follow; the working folder is the third of its strings (UTF-16, here ASCII).
[ -f "$desktop" ] || fail "no desktop shortcut 'Marble Run.lnk'"
[ -f "$shortcut" ] || fail "no Start-menu shortcut 'Marble Run.lnk'"
read -ra bytes <<<"$(od -An -tu1 -v "$shortcut" | tr '\n' ' ')"
u16() { echo $((bytes[$1] | bytes[$1 + 1] << 8)); }
flags=$(($(u16 20) | $(u16 22) << 16))
pos=76
((flags & 0x1)) && pos=$((pos + 2 + $(u16 $pos)))                  # the target's item list
((flags & 0x2)) && pos=$((pos + ($(u16 $pos) | $(u16 $((pos + 2))) << 16))) # the link info
working=""
for part in 0x4 0x8 0x10; do # name, relative path, working folder
    ((flags & part)) || continue
    count=$(u16 $pos)
    pos=$((pos + 2))
    if [ "$part" = 0x10 ]; then
        for ((i = 0; i < count; ++i)); do
            char=$(u16 $((pos + 2 * i)))
            # Some writers count the terminating null.
            [ "$char" -eq 0 ] || working+=$(printf "\\x$(printf %02x "$char")")
        done
    fi
    pos=$((pos + 2 * count))
done
[ "$working" = 'C:\Program Files\marble-run' ] ||
    fail "the shortcut's working folder is '$working', not the install folder"

# 7. The uninstall entry of Apps & features.
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r') || fail "no uninstall entry $key"
value()
{
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$entry"
}
[ "$(value DisplayName)" = "Marble Run" ] || fail "DisplayName is '$(value DisplayName)'"
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion is '$(value DisplayVersion)'"
[ "$(value Publisher)" = "the marble authors" ] || fail "Publisher is '$(value Publisher)'"
[ "$(value DisplayIcon)" = '"C:\Program Files\marble-run\marble.exe",0' ] ||
    fail "DisplayIcon is '$(value DisplayIcon)'"
[ "$(value UninstallString)" = '"C:\Program Files\marble-run\uninstall.exe"' ] ||
    fail "UninstallString is '$(value UninstallString)'"
# The silent uninstall runs a copy of the uninstaller in place of the one in the
# install folder, under the system's command processor, which waits for it.
quiet=$(value QuietUninstallString)
[[ $quiet == '"C:\windows\system32\cmd.exe" /d /c '* ]] &&
    [[ $quiet == *'"%TEMP%\marble-run-uninstall.exe" /S _?=C:\Program Files\marble-run&'* ]] ||
    fail "QuietUninstallString is '$quiet'"
size=$(value EstimatedSize)
[[ $size =~ ^0x[0-9a-f]+$ ]] && [ $((size)) -ge $(($(stat -c %s "$files/marble.exe") / 1024)) ] ||
    fail "EstimatedSize '$size' is not the size in KiB of what was installed"

# 8. The installed game, started through its shortcut as from the Start menu:
#    its window, 1273 x 970 and titled by the program's path, must appear, the
#    game must run in the install folder (Wine keeps a program's folder as its
#    process's working directory), and Escape must end it. `start` hands the
#    link to the shell and returns: the game is found by its window.
[ -n "${DISPLAY:-}" ] || fail "no X display (run under tools/with-xvfb.sh)"
wine start /unix "$shortcut" >"$work/start.log" 2>&1 ||
    { cat "$work/start.log" >&2; fail "the shortcut does not start"; }
window=""
for _ in $(seq 300); do
    found=$(xdotool search --onlyvisible --name '^C:.Program Files.marble-run.marble\.exe$' \
        2>/dev/null) || found=""
    window=${found%%$'\n'*}
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "no window of the installed game appeared"
game=$(xdotool getwindowpid "$window") || fail "the game's window names no process"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/^ *Geometry: *//p')
[ "$geometry" = 1273x970 ] || fail "the game's window is $geometry, not 1273x970"
[ "$(readlink -f "/proc/$game/cwd")" = "$(readlink -f "$programs")" ] ||
    fail "the game runs in $(readlink -f "/proc/$game/cwd"), not in its install folder"
for attempt in $(seq 300); do
    if [ $((attempt % 25)) -eq 1 ]; then
        xdotool windowfocus --sync "$window" key Escape 2>/dev/null || true
    fi
    kill -0 "$game" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$game" 2>/dev/null && fail "the game did not end on Escape"
game=""
wineserver -w

# 9. A silent uninstall, its command line run as Windows runs it (from a batch
#    file: the line verbatim). When it returns, nothing of the game is left (no
#    folder, no shortcut, no entry) and no temporary folder of the uninstaller
#    (~nsu*.tmp) or copy of it.
printf '@%s\r\n' "$quiet" >"$work/uninstall.bat"
wine cmd /c "$(winepath -w "$work/uninstall.bat")" >"$work/uninstall.log" 2>&1 ||
    { cat "$work/uninstall.log" >&2; fail "the uninstaller failed"; }
[ ! -e "$programs" ] || fail "left behind when the uninstaller returned: $(find "$programs")"
[ ! -e "$shortcut" ] || fail "left behind: the Start-menu shortcut"
[ ! -e "$desktop" ] || fail "left behind: the desktop shortcut"
wine reg query "$key" >/dev/null 2>&1 && fail "left behind: the uninstall entry"
temporary=$(find "$WINEPREFIX/drive_c" \( -name '~nsu*.tmp' -o -name 'marble-run-uninstall.exe' \) \
    -print)
[ -z "$temporary" ] || fail "left behind: $temporary"
wineserver -w

echo "windows installer test: $(basename "$setup") and $(basename "$zip") hold the game with its" \
    "resources; it installs, starts from its shortcut, quits on Escape and uninstalls silently"
