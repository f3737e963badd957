#!/usr/bin/env bash
# Prints, one a line, those of the named Debian packages that are not installed:
# the tools/deps*.sh scripts install them, or say what to run.
#   tools/missing-packages.sh PACKAGE...
set -euo pipefail
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
done
