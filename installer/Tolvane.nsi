; Tolvane-setup.exe: installs Tolvane.dll and Tolvard.exe, registers Tolvane's COM
; class for Explorer and Tolvard, and registers an uninstaller that takes it all away
; again: program files, registration, handler keys and the user's settings. The
; users' description files are never touched.
;
;   makensis -DARCH=x86|amd64 -DDIST=<folder with the binaries> -DOUTFILE=<setup.exe> Tolvane.nsi
;
; The shipped installer is x86-ansi, so that it also runs on Windows 95, 98 and Me;
; amd64 makes the same installer for a 64-bit build.
;
; Command line: /S installs (or, for uninstall.exe, removes) without asking;
; /D=<folder> (last, unquoted) chooses the folder; /AUTOSTART=0 or 1 decides whether
; Tolvard starts with Windows. Installing over an installation upgrades it in place,
; in its folder and with its start-with-Windows choice.

!ifndef ARCH | DIST | OUTFILE
  !error "Define ARCH, DIST and OUTFILE (see the head of this file)"
!endif

!if ${ARCH} == amd64
  Target amd64-unicode
!else
  Target x86-ansi
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define CLSID "{9C52E1B7-0A4F-11d3-B6E2-7F41C08D5A96}"
!define CLASS_KEY "CLSID\${CLSID}"
!define CONTEXT_HANDLER_KEY "*\shellex\ContextMenuHandlers\Tolvane"
!define PAGE_HANDLER_KEY "*\shellex\PropertySheetHandlers\Tolvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Varnoke\Tolvard\Settings"
!define VERSION "1.13.0.247"

Name "Tolvane and Tolvard"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tolvane"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Notavell"
VIAddVersionKey "CompanyName" "Varnoke"
VIAddVersionKey "FileDescription" "Tolvane and Tolvard Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "1.13.00"
VIAddVersionKey "LegalCopyright" "Varnoke"

Var TolvardWasRunning

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tolvard.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Tolvard now"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Tolvard keeps Tolvane.dll loaded while its column hook runs, so it has to end before
; the library is replaced or removed. Its hidden frame is the top-level window titled
; "Tolvard", and WM_CLOSE ends it the way Exit does (the hook stopped, the icon
; removed); the library is free once the process has gone. Its message boxes carry
; the same title; WM_CLOSE answers them like their OK button, as it closes the About
; box, and the frame comes next round. Gives up after about twenty seconds.
!define SYNCHRONIZE 0x00100000
!macro DEFINE_END_TOLVARD PREFIX
Function ${PREFIX}EndTolvard
  StrCpy $TolvardWasRunning 0
  StrCpy $1 0
  ${Do}
    ; Its About box first: the splash, before the frame exists, or opened from the
    ; icon's menu, which ends before the frame does.
    FindWindow $0 "#32770" "About Tolvard"
    ${If} $0 = 0
      FindWindow $0 "" "Tolvard"
    ${EndIf}
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    StrCpy $TolvardWasRunning 1
    DetailPrint "Ending Tolvard"
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${If} $3 <> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i 1000)'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 20
FunctionEnd
!macroend
!insertmacro DEFINE_END_TOLVARD ""
!insertmacro DEFINE_END_TOLVARD "un."

; The shell's handler lists under HKCR\* exist on every Windows, but not always all
; of them (a new Wine prefix lacks some). The installation notes in its uninstall key
; each one it makes, so that the uninstaller removes exactly those, once empty.
!macro NOTE_IF_NEW KEY VALUE
  ClearErrors
  EnumRegKey $0 HKCR "${KEY}" 0
  ${If} ${Errors}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${VALUE}" 1
  ${EndIf}
!macroend
!macro REMOVE_IF_MADE KEY VALUE
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${VALUE}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 1
    DeleteRegKey /ifnosubkeys /ifnovalues HKCR "${KEY}"
  ${EndIf}
!macroend

; Replaces a file that may be in use: Explorer keeps Tolvane.dll loaded while it uses
; the extension, and the column hook maps it into every process of the desktop.
; Windows NT lets a loaded file be renamed, so the old one moves aside and goes at
; the next restart; where even that fails (Windows 95), the new file waits beside it
; and takes its place at the next restart.
!macro REPLACE_FILE NAME
  Delete "$INSTDIR\${NAME}.old"
  Delete "$INSTDIR\${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    Rename "$INSTDIR\${NAME}" "$INSTDIR\${NAME}.old"
    Delete /REBOOTOK "$INSTDIR\${NAME}.old"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    File "/oname=${NAME}.new" "${DIST}\${NAME}"
    Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
  ${Else}
    File "${DIST}\${NAME}"
  ${EndIf}
!macroend

Section "Tolvane and Tolvard (required)" SecProgram
  SectionIn RO
  Call EndTolvard
  SetOutPath "$INSTDIR"
  !insertmacro REPLACE_FILE "Tolvane.dll"
  !insertmacro REPLACE_FILE "Tolvard.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The class registration, through which Explorer and Tolvard find the library.
  WriteRegStr HKCR "${CLASS_KEY}" "" "Tolvane"
  WriteRegStr HKCR "${CLASS_KEY}\InProcServer32" "" "$INSTDIR\Tolvane.dll"
  WriteRegStr HKCR "${CLASS_KEY}\InProcServer32" "ThreadingModel" "Apartment"

  !insertmacro NOTE_IF_NEW "*" "MadeStarKey"
  !insertmacro NOTE_IF_NEW "*\shellex" "MadeShellexKey"
  !insertmacro NOTE_IF_NEW "*\shellex\ContextMenuHandlers" "MadeContextMenuHandlersKey"
  !insertmacro NOTE_IF_NEW "*\shellex\PropertySheetHandlers" "MadePropertySheetHandlersKey"

  ; The context-menu entry and the property page start switched on, as Tolvard's
  ; switches read when this user has never set them; a switch the user has turned
  ; off stays off across an upgrade.
  ClearErrors
  ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "EnableContext"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 0
    DetailPrint "The context-menu entry stays switched off"
  ${Else}
    WriteRegStr HKCR "${CONTEXT_HANDLER_KEY}" "" "${CLSID}"
  ${EndIf}
  ClearErrors
  ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "EnableProperty"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 0
    DetailPrint "The property page stays switched off"
  ${Else}
    WriteRegStr HKCR "${PAGE_HANDLER_KEY}" "" "${CLSID}"
  ${EndIf}

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Tolvard.lnk" "$INSTDIR\Tolvard.exe" "" "$INSTDIR\Tolvard.exe" 0 \
    SW_SHOWNORMAL "" "Switches Tolvane's description features on and off"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tolvane and Tolvard"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.13.00"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varnoke"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tolvard.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start Tolvard with Windows" SecAutostart
  WriteRegStr HKLM "${RUN_KEY}" "Tolvard" '"$INSTDIR\Tolvard.exe"'
SectionEnd

; An upgrade keeps the choice made at the first installation.
Section "-Autostart off"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKLM "${RUN_KEY}" "Tolvard"
  ${EndIf}
SectionEnd

; Tolvard was ended for an upgrade: start the new one in its place.
Section "-Restart Tolvard"
  ${If} $TolvardWasRunning = 1
    Exec '"$INSTDIR\Tolvard.exe"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} \
    "The shell extension Tolvane.dll and its tray program Tolvard.exe."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} \
    "Starts Tolvard when you log on, which puts the description column into Explorer."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  StrCpy $TolvardWasRunning 0
  ; Upgrading an installation without the start-with-Windows entry: keep it so.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${RUN_KEY}" "Tolvard"
  ${If} $0 != ""
  ${AndIf} $1 == ""
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART=" $1
  ${IfNot} ${Errors}
    ${If} $1 == "0"
      !insertmacro UnselectSection ${SecAutostart}
    ${Else}
      !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.EndTolvard

  DeleteRegKey HKCR "${CONTEXT_HANDLER_KEY}"
  DeleteRegKey HKCR "${PAGE_HANDLER_KEY}"
  DeleteRegKey HKCR "${CLASS_KEY}"
  !insertmacro REMOVE_IF_MADE "*\shellex\ContextMenuHandlers" "MadeContextMenuHandlersKey"
  !insertmacro REMOVE_IF_MADE "*\shellex\PropertySheetHandlers" "MadePropertySheetHandlersKey"
  !insertmacro REMOVE_IF_MADE "*\shellex" "MadeShellexKey"
  !insertmacro REMOVE_IF_MADE "*" "MadeStarKey"

  ; The settings of this user: Tolvane's options, and Tolvard's switches and what its
  ; wizard learned about Explorer.
  DeleteRegKey HKCU "Software\Varnoke\Tolvane"
  DeleteRegKey HKCU "Software\Varnoke\Tolvard"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "Software\Varnoke"
  DeleteRegValue HKLM "${RUN_KEY}" "Tolvard"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tolvard.lnk"
  Delete /REBOOTOK "$INSTDIR\Tolvane.dll"
  Delete /REBOOTOK "$INSTDIR\Tolvane.dll.old"
  Delete /REBOOTOK "$INSTDIR\Tolvard.exe"
  Delete /REBOOTOK "$INSTDIR\Tolvard.exe.old"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
