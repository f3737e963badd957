; The Windows installer of Marble Run, for makensis (NSIS 3).
;   makensis -DVERSION=1.0.0 -DFILES=<folder> -DICON=<marble.ico> -DOUTFILE=<setup.exe> installer.nsi
; FILES holds marble.exe, surface.bmp, LICENSE.txt and README.txt. The installer
; puts them in Program Files\marble-run, adds a Start-menu shortcut that starts the
; game in that folder (it reads surface.bmp from its working folder) and registers
; the uninstaller in Apps & features. /S installs and uninstalls silently.

Unicode true
; A 64-bit installer for a 64-bit game: it writes the 64-bit Program Files and
; registry, and runs where only 64-bit programs do.
Target amd64-unicode
SetCompressor /SOLID lzma
; Files carry no date of the build machine: the same inputs give the same installer.
SetDateSave off
ManifestDPIAware true
RequestExecutionLevel admin

!define NAME "Marble Run"
!define ID "marble-run"
!define PUBLISHER "the marble authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${ID}"

Name "${NAME}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${ID}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT License."

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${FILES}\LICENSE.txt"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Marble Run"
    SetOutPath "$INSTDIR"
    File "${FILES}\marble.exe"
    File "${FILES}\surface.bmp"
    File "${FILES}\LICENSE.txt"
    File "${FILES}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut's working folder is the current output folder, the install folder.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\marble.exe" "" "$INSTDIR\marble.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\marble.exe$\",0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, as Apps & features shows it.
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$INSTDIR\marble.exe"
    Delete "$INSTDIR\surface.bmp"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
