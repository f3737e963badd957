#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest does for every test of the Windows
# build (the toolchain's CMAKE_CROSSCOMPILING_EMULATOR), with its exit status.
# The Wine prefix is the build folder's own, wine-prefix/ beside its CMakeCache.txt
# (or WINEPREFIX when set), made on first use: the first start of a fresh prefix
# takes some seconds, and tests started at once wait for it under a lock. No Mono or
# Gecko is asked for, a crash ends the program at once instead of waiting in Wine's
# debugger, and Wine's own messages are off.
#   tests/scripts/wine-run.sh PROGRAM.exe [ARGS...]
#   tests/scripts/wine-run.sh --init      only make the prefix of the build folder it runs in
set -euo pipefail

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml,winedbg.exe="}
if [ -z "${WINEPREFIX:-}" ]; then
    if [ "$1" = --init ]; then dir=$PWD; else dir=$(cd "$(dirname "$1")" && pwd); fi
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
        dir=$(dirname "$dir")
    done
    [ "$dir" = / ] && dir="${TMPDIR:-/tmp}/marble-wine-$(id -u)"
    export WINEPREFIX="$dir/wine-prefix"
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
) 9>"$WINEPREFIX.lock"

[ "$1" = --init ] && exit 0
exec wine "$@"
