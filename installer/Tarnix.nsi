; The client's installer: per user, into a folder the user can write, because the client
; keeps its accounts, settings and records beside its program. Built by
; scripts/build-installer, which passes
;   SOURCE_DIR  the checkout (the version is read from res/version.h there)
;   BUILD_DIR   the Windows build holding Tarnix.exe, help.chm and, when built, Updata.exe
;   OUT_FILE    the installer to write
;   UPDATE_URL  where the provider publishes its version list (UpdateConfig.ini's URL)
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!searchparse /file "${SOURCE_DIR}/res/version.h" '#define TARNIX_VERSION_TEXT "' VERSION '"'
!searchparse /file "${SOURCE_DIR}/res/version.h" '#define TARNIX_VERSION_MAJOR ' VERSION_MAJOR
!searchparse /file "${SOURCE_DIR}/res/version.h" '#define TARNIX_VERSION_MINOR ' VERSION_MINOR

!define PRODUCT "澄远宽带拨号客户端"
!define PUBLISHER "澄远宽带"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnix"
!define PRODUCT_KEY "Software\Tarnix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define START_MENU "$SMPROGRAMS\${PRODUCT}"
; The client's main window and its exit command (the menu's 退出).
!define MAIN_WINDOW_CLASS "#32770"
!define EXIT_COMMAND 32778

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} 安装"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Tarnix"
InstallDirRegKey HKCU "${PRODUCT_KEY}" "InstallDir"
BrandingText "${PUBLISHER}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT}安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${SOURCE_DIR}/res/art/app.ico"
!define MUI_UNICON "${SOURCE_DIR}/res/art/app.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SOURCE_DIR}/installer/art/welcome.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SOURCE_DIR}/installer/art/welcome.bmp"
; Scaled to the page's height only, so that the globe stays round with any dialog font.
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH AspectFitHeight
!define MUI_UNWELCOMEFINISHPAGE_BITMAP_STRETCH AspectFitHeight
!define MUI_WELCOMEPAGE_TEXT "安装向导将在您的电脑上安装${PRODUCT} ${VERSION}。$\r$\n$\r$\n程序安装在您自己的文件夹中，不需要管理员权限。已经安装过的，帐号、设置和上网记录都会保留。$\r$\n$\r$\n如果客户端正在运行，安装时会先关闭它。$\r$\n$\r$\n$_CLICK"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tarnix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行${PRODUCT}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Ends a running client before its files are replaced or removed: the exit command first,
; which hangs up and closes the session's record as the user's own exit does; a client that
; has not ended after ten seconds (a dialog of it still open) is stopped.
!macro EndRunningClient un
Function ${un}EndRunningClient
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $2 0  ; clients ended so far (one per user session; a few at most)
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${PRODUCT}"
    ${If} $0 = 0
    ${OrIf} $2 >= 5
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i 0 r1)'
    ; SYNCHRONIZE | PROCESS_TERMINATE
    System::Call 'kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r1'
    ; Posted, as the menu posts it: the client handles it when its own loop comes round.
    System::Call 'user32::PostMessageW(p r0, i ${WM_COMMAND}, p ${EXIT_COMMAND}, p 0)'
    ${If} $1 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r1, i 10000) i .r3'
      ${If} $3 <> 0
        System::Call 'kernel32::TerminateProcess(p r1, i 1)'
        System::Call 'kernel32::WaitForSingleObject(p r1, i 5000)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r1)'
    ${Else}
      Sleep 1000
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndRunningClient ""
!insertmacro EndRunningClient "un."

; A program file that is running (the updater that started this installer) cannot be
; replaced, but it can be renamed out of the way; the copy is removed the next time.
!macro MakeWay file
  Delete "$INSTDIR\${file}.old"
  ClearErrors
  Delete "$INSTDIR\${file}"
  ${If} ${Errors}
    Rename "$INSTDIR\${file}" "$INSTDIR\${file}.old"
  ${EndIf}
!macroend

Section "!${PRODUCT}" SecProgram
  SectionIn RO
  Call EndRunningClient
  SetOutPath "$INSTDIR"
  ; Only the program's own files: config.xml, data\, MessageInfo.xml and Settings.ini
  ; belong to the user and are never written here.
  !insertmacro MakeWay Tarnix.exe
  File "${BUILD_DIR}/Tarnix.exe"
  File "${BUILD_DIR}/help.chm"
!if /FileExists "${BUILD_DIR}/Updata.exe"
  !insertmacro MakeWay Updata.exe
  File "${BUILD_DIR}/Updata.exe"
!endif
  ; The update check compares the installed version, a decimal number such as 1.2, with the
  ; provider's version list; written anew so that an upgrade states its own version.
  FileOpen $0 "$INSTDIR\UpdateConfig.ini" w
  FileWrite $0 "[Version]$\r$\nVersion=${VERSION_MAJOR}.${VERSION_MINOR}$\r$\n[URL]$\r$\nURL=${UPDATE_URL}$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninst.exe"

  CreateDirectory "${START_MENU}"
  CreateShortcut "${START_MENU}\${PRODUCT}.lnk" "$INSTDIR\Tarnix.exe"
  CreateShortcut "${START_MENU}\${PRODUCT}帮助.lnk" "$INSTDIR\help.chm"
  CreateShortcut "${START_MENU}\卸载${PRODUCT}.lnk" "$INSTDIR\uninst.exe"

  WriteRegStr HKCU "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarnix.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "桌面快捷方式" SecDesktop
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\Tarnix.exe"
SectionEnd

; /NODESKTOP leaves out the desktop shortcut (for silent installs: /S /NODESKTOP).
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NODESKTOP" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecDesktop} 0
  ${EndIf}
FunctionEnd

; Removes the start-with-Windows value when it starts this copy of the client; a value that
; names another program is someone else's.
!macro RemoveRunValue root
  ReadRegStr $0 ${root} "${RUN_KEY}" "Tarnix"
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $0 $0 -1
  ${EndIf}
  ${If} $0 == "$INSTDIR\Tarnix.exe"
    DeleteRegValue ${root} "${RUN_KEY}" "Tarnix"
  ${EndIf}
!macroend

; Uninstalling asks whether to keep the records and accounts; silently (/S) they are kept
; unless /KEEPDATA=no is given (/KEEPDATA=yes keeps them without asking).
Var KeepData

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/KEEPDATA=" $1
  ${If} ${Errors}
    StrCpy $KeepData ""
  ${ElseIf} $1 == "no"
    StrCpy $KeepData "no"
  ${Else}
    StrCpy $KeepData "yes"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.EndRunningClient
  ${If} $KeepData == ""
    MessageBox MB_YESNO|MB_ICONQUESTION "是否保留上网记录和帐号？$\r$\n$\r$\n选“是”：帐号、设置、上网记录、消息和快捷面板留在$\r$\n$INSTDIR$\r$\n以后重新安装到这里可以继续使用。$\r$\n选“否”：把它们一起删除。" /SD IDYES IDYES keep
    StrCpy $KeepData "no"
    Goto decided
    keep:
    StrCpy $KeepData "yes"
    decided:
  ${EndIf}

  Delete "$INSTDIR\Tarnix.exe"
  Delete "$INSTDIR\Tarnix.exe.old"
  Delete "$INSTDIR\Updata.exe"
  Delete "$INSTDIR\Updata.exe.old"
  Delete "$INSTDIR\help.chm"
  Delete "$INSTDIR\UpdateConfig.ini"
  Delete "$INSTDIR\uninst.exe"

  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "${START_MENU}\${PRODUCT}.lnk"
  Delete "${START_MENU}\${PRODUCT}帮助.lnk"
  Delete "${START_MENU}\卸载${PRODUCT}.lnk"
  RMDir "${START_MENU}"

  !insertmacro RemoveRunValue HKCU
  ; An older client wrote the value for the whole machine; without administrator rights
  ; this does nothing.
  !insertmacro RemoveRunValue HKLM
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${PRODUCT_KEY}"

  ${If} $KeepData == "no"
    ; Only the files the client itself writes, so that nothing else in the folder is lost.
    Delete "$INSTDIR\config.xml"
    Delete "$INSTDIR\config.xml.*"
    Delete "$INSTDIR\MessageInfo.xml"
    Delete "$INSTDIR\MessageInfo.xml.*"
    Delete "$INSTDIR\Settings.ini"
    Delete "$INSTDIR\Settings.ini.*"
    ; Month files (2026-11.xml) with their kept-aside and temporary copies.
    Delete "$INSTDIR\data\record\*-*.xml"
    Delete "$INSTDIR\data\record\*-*.xml.*"
    Delete "$INSTDIR\data\opensoft.xml"
    Delete "$INSTDIR\data\opensoft.xml.*"
    RMDir "$INSTDIR\data\record"
    RMDir "$INSTDIR\data"
  ${EndIf}
  ; Removed only when empty: kept data, or files of the user's own, keep the folder.
  RMDir "$INSTDIR"
SectionEnd
