; Skarvelin's Windows installer: a per-user install, no administrator rights asked.
;   makensis -DVERSION=1.1.6 -DSTAGE=/abs/stage -DICON=/abs/skarvelin.ico \
;            -DOUTFILE=/abs/Skarvelin-1.1.6-setup.exe app/windows/installer.nsi
; STAGE holds exactly what the game needs; the whole of it is installed.
; Silent use: setup.exe /S [/D=folder]   and   uninstall.exe /S

Unicode true
; The 32-bit stub cannot start under a 64-bit-only Windows (or wine) and the game is 64-bit anyway.
Target amd64-unicode

!ifdef NSIS_WIN32_MAKENSIS
  !error "installer.nsi lists the stage with find and awk: build it with makensis on a POSIX host."
!endif
!ifndef VERSION
  !error "Missing -DVERSION=<major.minor.patch>, e.g. -DVERSION=1.1.6"
!endif
!ifndef STAGE
  !error "Missing -DSTAGE=<folder holding skarvelin.exe, data and fonts>"
!endif
!ifndef ICON
  !error "Missing -DICON=<path to skarvelin.ico>"
!endif
!ifndef OUTFILE
  !error "Missing -DOUTFILE=<path of the setup.exe to write>"
!endif
; makensis 3.08 crashes on non-ASCII file names (even in /FileExists below) unless it runs
; in a UTF-8 locale.
!system `cd "${STAGE}" 2>/dev/null || exit 0; \
  if [ -n "$(LC_ALL=C find . -name '*[! -~]*' | head -n 1)" ] && [ "$(locale charmap)" != UTF-8 ]; then \
    echo "installer.nsi: STAGE has non-ASCII file names: run makensis with LC_ALL=C.UTF-8" >&2; exit 1; \
  fi` = 0
!if ! /FileExists "${STAGE}/skarvelin.exe"
  !error "STAGE=${STAGE} holds no skarvelin.exe"
!endif
!if ! /FileExists "${ICON}"
  !error "ICON=${ICON} does not exist"
!endif
; Windows wants four numbers in the version resource: anything else cannot be shown there.
!system `printf '%s' "${VERSION}" | grep -Eqx '[0-9]+[.][0-9]+[.][0-9]+' || \
  { echo "installer.nsi: VERSION=${VERSION} is not major.minor.patch" >&2; exit 1; }` = 0

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skarvelin"

Name "Skarvelin"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Skarvelin"
; An upgrade lands where the last version went unless /D or the user says otherwise.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
BrandingText "Skarvelin ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Skarvelin"
VIAddVersionKey /LANG=1033 "CompanyName" "Skarvelin"
VIAddVersionKey /LANG=1033 "FileDescription" "Skarvelin ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Skarvelin"

!include "LogicLib.nsh"
!include "MUI2.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\skarvelin.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The installer speaks the Windows' interface language where it is Japanese, English elsewhere.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

; The uninstaller must remove what was installed and nothing else, and the folder may be one
; the user shares with other files: so list the stage's top-level entries now, while building.
; The game's folders go whole (the game may have added to them). The list is written beside
; OUTFILE because makensis 3.08 crashes including a !tempfile name in the C locale, and its
; backslashes are made with %c 92 because makensis turns those of a !system command into slashes.
!define STAGE_LIST "${OUTFILE}.uninstall-list.nsh"
; The shell gets this awk program in '...', so it must hold no apostrophe.
!define STAGE_LIST_AWK `BEGIN { q = sprintf("%c", 34); bs = sprintf("%c", 92) } \
  { name = substr($0, 3) } \
  index(name, "$") || index(name, q) { \
    print "installer.nsi: NSIS would misread $ or a quote in the STAGE name " name > "/dev/stderr"; bad = 1; next } \
  tolower(name) == "uninstall.exe" { \
    print "installer.nsi: STAGE must not hold uninstall.exe, the installer writes its own" > "/dev/stderr"; bad = 1; next } \
  { print "  " cmd " " q "$INSTDIR" bs name q } \
  END { exit bad }`
!system `cd "${STAGE}" && p='${STAGE_LIST_AWK}' && { \
  find . -mindepth 1 -maxdepth 1 -type d | LC_ALL=C sort | awk -v cmd="RMDir /r" "$p" && \
  find . -mindepth 1 -maxdepth 1 ! -type d | LC_ALL=C sort | awk -v cmd=Delete "$p"; \
} > "${STAGE_LIST}" || { rm -f "${STAGE_LIST}"; exit 1; }` = 0

Section "Skarvelin" SecGame
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; SetOutPath above is also the shortcut's working folder.
  CreateShortcut "$SMPROGRAMS\Skarvelin.lnk" "$INSTDIR\skarvelin.exe" "" "$INSTDIR\skarvelin.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Skarvelin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skarvelin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Skarvelin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecGame} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; An uninstaller copied elsewhere must not empty someone else's data and fonts folders.
  ${If} ${FileExists} "$INSTDIR\skarvelin.exe"
!include /CHARSET=UTF8 "${STAGE_LIST}"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ; Only when nothing of the user's is left in it.
  RMDir "$INSTDIR"

  ; A copy installed elsewhere later owns the shortcut and the key: leave them to it.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    Delete "$SMPROGRAMS\Skarvelin.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
!system `rm -f "${STAGE_LIST}"` = 0

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd
