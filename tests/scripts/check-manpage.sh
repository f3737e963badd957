#!/usr/bin/env bash
# Renders a manual page the way lintian does and fails on any warning from
# man, groff or the macros (a misspelt macro, an unknown escape, a line that
# cannot be set).
# Exits with 77 (a skipped test to ctest) when man is not installed.
# Usage: tests/scripts/check-manpage.sh PAGE
set -euo pipefail
page=$1
if ! command -v man >/dev/null; then
    echo "SKIP: man (man-db) is not installed, $page not rendered"
    exit 77
fi
[ -f "$page" ] || { echo "FAIL: no manual page $page" >&2; exit 1; }
status=0
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
    status=$?
if [ -n "$warnings" ] || [ "$status" -ne 0 ]; then
    echo "FAIL: $page renders with warnings (man status $status):" >&2
    echo "$warnings" >&2
    exit 1
fi
echo "$page renders without warnings"
