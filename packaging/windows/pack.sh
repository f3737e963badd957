#!/usr/bin/env bash
# Packs the Windows downloads from the staged files: the zip and the NSIS
# installer. Both are dated as every download is (packaging/source-date-epoch.sh),
# so one commit gives the same bytes in any folder.
#   pack.sh SOURCE_DIR FILES_DIR ICON WIZARD.bmp VERSION OUT.zip OUT-setup.exe
# MAKENSIS names the program to use (default: from PATH).
set -euo pipefail

src=$1 files=$2 icon=$3 wizard=$4 version=$5 zip_out=$6 setup_out=$7
makensis=${MAKENSIS:-makensis}
SOURCE_DATE_EPOCH=$("$src/packaging/source-date-epoch.sh" "$src")
export SOURCE_DATE_EPOCH

# The members in a fixed order, each with fixed permissions and the commit's
# date; zip stores local time, so the time zone is fixed too. -X leaves out
# the owner and the extra time fields.
members=(marble.exe surface.bmp README.txt LICENSE.txt)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "${members[@]}"; do
    cp "$files/$f" "$work/$f"
done
chmod 0755 "$work/marble.exe"
chmod 0644 "$work/surface.bmp" "$work/README.txt" "$work/LICENSE.txt"
touch -d "@$SOURCE_DATE_EPOCH" "${members[@]/#/$work/}"
rm -f "$zip_out"
(cd "$work" && TZ=UTC zip -X -9 -q "$zip_out.tmp" "${members[@]}")
mv "$zip_out.tmp" "$zip_out"

# The installer stores no file dates (SetDateSave off in the script).
"$makensis" -V2 -NOCD -INPUTCHARSET UTF8 \
    "-DVERSION=$version" "-DFILES=$work" "-DICON=$icon" "-DWIZARD=$wizard" "-DOUTFILE=$setup_out.tmp" \
    "$src/packaging/windows/installer.nsi"
mv "$setup_out.tmp" "$setup_out"
