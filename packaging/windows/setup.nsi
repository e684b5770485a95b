; qv-updater-<version>-setup.exe: installs the programs of the Windows zip, with Start-menu
; entries and an entry in "Apps & features". Without administrator rights it installs for the
; current user (%LOCALAPPDATA%\Programs); with them, or with /ALLUSERS, for all users under
; Program Files. /S and /D= work as for every NSIS installer.
;
; scripts/package builds it with
;   makensis -DCONFIG=<win64 build>/packaging/setup-config.nsh -DSTAGE=<zip's folder>
;            -DFILES=<scripts/windows-setup-files STAGE> -DOUTFILE=<setup.exe>
;            [-DSIGN_UNINSTALLER=scripts/sign-windows] setup.nsi
; CONFIG holds the version and the icon (made by CMake from the project), FILES the File and
; Delete lines of every file of the zip, so that the installer holds what the zip holds.

!include "${CONFIG}"
!include "${FILES}"

Unicode true
; The programs are 64-bit: a 64-bit installer sees the registry and Program Files as they do.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\qv-updater"
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\QV Updater.lnk"
!define PROMPT_SHORTCUT "$SMPROGRAMS\QV Updater command prompt.lnk"

; The window is what every entry points at: a build without it is no release.
!if ! /FileExists "${STAGE}/qv-updater.exe"
  !error "${STAGE}/qv-updater.exe is missing: the win64 build made no qv-updater.exe"
!endif

; A signed release signs the uninstaller too, as makensis writes it (scripts/sign-windows).
!ifdef SIGN_UNINSTALLER
  !uninstfinalize '"${SIGN_UNINSTALLER}" "%1"' = 0
!endif

Name "QV Updater"
OutFile "${OUTFILE}"
BrandingText "QV Updater ${QV_VERSION}"

VIProductVersion "${QV_VERSION_QUAD}"
VIFileVersion "${QV_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "QV Updater"
VIAddVersionKey /LANG=1033 "ProductVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "QV Updater ${QV_VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${QV_PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${QV_COPYRIGHT}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "qv-updater-${QV_VERSION}-setup.exe"

; Both install modes, the current user's without a UAC prompt. The mode and the folder of an
; earlier installation are read from its uninstall entry, so an upgrade lands where it was.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "QV Updater"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${QV_ICON}"
!define MUI_UNICON "${QV_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\qv-updater.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start QV Updater"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var UninstallMode ; the command-line switch that tells the uninstaller the mode

Function .onInit
  ; MultiUser sets the mode's default folder over the one that /D= gave.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
FunctionEnd

Function un.onInit
  ; The uninstaller removes the folder it was run from, whatever another mode's entry says.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_UNINIT
  StrCpy $INSTDIR $R9
FunctionEnd

; An earlier installation in this mode is removed by its own uninstaller first, so that files
; it had and this version has not do not stay behind. It runs in place (_?=) and leaves itself.
Function RemoveEarlierInstallation
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIfNot} ${FileExists} "$0\${UNINSTALLER}"
    Return
  ${EndIf}
  DetailPrint "Removing the installation in $0"
  ExecWait '"$0\${UNINSTALLER}" /S /$MultiUser.InstallMode _?=$0' $1
  Delete "$0\${UNINSTALLER}"
  RMDir "$0"
FunctionEnd

Section "QV Updater" SecMain
  SectionIn RO
  Call RemoveEarlierInstallation

  SetOutPath "$INSTDIR"
  !insertmacro QV_INSTALL_FILES
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The working folder of a shortcut is the output path at its creation: the program folder.
  CreateShortCut "${SHORTCUT}" "$INSTDIR\qv-updater.exe" "" "$INSTDIR\qv-updater.exe" 0 \
    SW_SHOWNORMAL "" "Write new firmware into QV-310 and QV-410 radios"
  CreateShortCut "${PROMPT_SHORTCUT}" "$SYSDIR\cmd.exe" \
    '/k "qv-flash --version & echo Type qv-flash --help for the commands."' \
    "$INSTDIR\qv-flash.exe" 0 SW_SHOWNORMAL "" "A command prompt in the QV Updater folder, for qv-flash"

  StrCpy $UninstallMode "/$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "QV Updater"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${QV_VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${QV_PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${QV_HOMEPAGE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qv-updater.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\${UNINSTALLER}" $UninstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\${UNINSTALLER}" $UninstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there: the technician's service log
; (%LOCALAPPDATA%\qv-updater\jobs.jsonl) and remembered settings (HKCU\Software\qv-updater)
; stay, and so does a folder that /D= named and that holds other files.
Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "${PROMPT_SHORTCUT}"
  !insertmacro QV_REMOVE_FILES
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
