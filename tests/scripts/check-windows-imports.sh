#!/usr/bin/env bash
# Checks that a Windows program runs on any Windows without anything installed
# beside it: it must be of the graphical subsystem (no console window opens with it)
# and import only DLLs that every Windows has, the C and C++ runtimes being linked
# in. Prints the DLLs it imports.
#   tests/scripts/check-windows-imports.sh PROGRAM.exe
set -euo pipefail

allowed=" advapi32.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll winmm.dll "
headers=$(x86_64-w64-mingw32-objdump -p "$1")
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
echo "$1 imports:" $dlls
status=0
for dll in $dlls; do
    if [[ "$allowed" != *" $dll "* ]]; then
        echo "not a DLL of every Windows: $dll" >&2
        status=1
    fi
done
if ! grep -q '^Subsystem.*(Windows GUI)' <<<"$headers"; then
    echo "not a program of the graphical subsystem: a console window would open with it" >&2
    status=1
fi
exit $status
