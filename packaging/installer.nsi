; The station's installer, built by make_dist with VERSION, ARCH (win64 or win32), STAGE (the
; folder of the files) and OUTFILE defined: the programs into Program Files, Start-menu
; shortcuts, an uninstaller in Add/Remove Programs. Uninstalling removes the programs and
; the shortcuts and keeps the settings (in the user's registry) and every record (on D: or
; the first usable drive).
Unicode true
!include "x64.nsh"
!include "LogicLib.nsh"

!define PRODUCT "QEL Station"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QEL Station"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!if "${ARCH}" == "win64"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro ArchitectureView
!if "${ARCH}" == "win64"
  SetRegView 64
!endif
!macroend

Function .onInit
!if "${ARCH}" == "win64"
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "此安装包用于 64 位 Windows，请使用 win32 安装包。$\r$\nThis package is for 64-bit Windows; use the win32 package."
    Abort
  ${EndIf}
!endif
  !insertmacro ArchitectureView
FunctionEnd

Function un.onInit
  !insertmacro ArchitectureView
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}/qel.exe"
  File "${STAGE}/qel_link.exe"
  File "${STAGE}/chanprobe.exe"
  File "${STAGE}/lumo.dll"
  File "${STAGE}/qelreport.exe"
  File "${STAGE}/busy_status.bmp"
  File "${STAGE}/busy_status.gif"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcuts start in the program folder: qel reads its busy images from there.
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\qel.lnk" "$INSTDIR\qel.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\chanprobe.lnk" "$INSTDIR\chanprobe.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\qel.exe"
  Delete "$INSTDIR\qel_link.exe"
  Delete "$INSTDIR\chanprobe.exe"
  Delete "$INSTDIR\lumo.dll"
  Delete "$INSTDIR\qelreport.exe"
  Delete "$INSTDIR\busy_status.bmp"
  Delete "$INSTDIR\busy_status.gif"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}\qel.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\chanprobe.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The uninstaller that started this copy of itself may hold its file a moment longer, so
  ; the folder is retried for a few seconds; it goes last.
  StrCpy $0 0
  ${Do}
    RMDir "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR"
    ${OrIf} $0 >= 50
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
    Sleep 100
  ${Loop}
SectionEnd
