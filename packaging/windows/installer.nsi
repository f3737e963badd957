; The Windows installer of Marble Run, for makensis (NSIS 3) with its Modern UI.
;   makensis -DVERSION=1.0.0 -DFILES=<folder> -DICON=<marble.ico> -DWIZARD=<wizard.bmp>
;            -DOUTFILE=<setup.exe> installer.nsi
; FILES holds marble.exe, surface.bmp, LICENSE.txt and README.txt. The installer
; puts them in Program Files\marble-run, adds a Start-menu shortcut and, unless the
; player unticks it, a desktop shortcut, both starting the game in that folder (it
; reads surface.bmp from its working folder), and registers the uninstaller in Apps
; & features. Its last page can start the game. /S installs and uninstalls silently.

Unicode true
; A 64-bit installer for a 64-bit game: it writes the 64-bit Program Files and
; registry, and runs where only 64-bit programs do.
Target amd64-unicode
SetCompressor /SOLID lzma
; Files carry no date of the build machine: the same inputs give the same installer.
SetDateSave off
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh

!define NAME "Marble Run"
!define ID "marble-run"
!define PUBLISHER "the marble authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${ID}"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${ID}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
; The foot of every page names the game, not the tool that made the installer.
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT License."

; The game's icon on the installer, the uninstaller and the header of their pages;
; the game's picture beside the first and last pages.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run ${NAME}"
!define MUI_FINISHPAGE_RUN_FUNCTION RunGame

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${FILES}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

; In the install folder, where the game finds its texture.
Function RunGame
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\marble.exe"'
FunctionEnd

Section "${NAME}" SectionGame
    SectionIn RO
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
    ; An uninstaller started as itself copies itself to a temporary folder, starts the
    ; copy and returns at once; the copy cannot delete itself, so its folder stays.
    ; The silent one, which programs start and wait for, is started by the system's
    ; command processor instead: it copies the uninstaller to a temporary file, runs
    ; the copy in place of the original (_?= names the install folder and ends the
    ; copy's command line) until it is done, and then deletes the copy.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$SYSDIR\cmd.exe" /d /c "copy /b /y "$INSTDIR\uninstall.exe" "%TEMP%\${ID}-uninstall.exe" >nul && "%TEMP%\${ID}-uninstall.exe" /S _?=$INSTDIR& if errorlevel 1 (del "%TEMP%\${ID}-uninstall.exe" & exit 1) else del "%TEMP%\${ID}-uninstall.exe""'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, as Apps & features shows it.
    SectionGetSize ${SectionGame} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Desktop shortcut" SectionDesktop
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\${NAME}.lnk" "$INSTDIR\marble.exe" "" "$INSTDIR\marble.exe" 0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$DESKTOP\${NAME}.lnk"
    Delete "$INSTDIR\marble.exe"
    Delete "$INSTDIR\surface.bmp"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Out of the install folder, which a process's working folder would keep.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
