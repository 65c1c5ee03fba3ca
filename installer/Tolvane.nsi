; The setups of Tolvane and Tolvard: each installs Tolvane.dll and Tolvard.exe,
; registers Tolvane's COM class for Explorer and Tolvard, and registers an uninstaller
; that takes it all away again: program files, registration, handler keys and the
; user's settings. The users' description files are never touched.
;
;   makensis -DARCH=x86 -DDIST=<32-bit binaries> -DOUTFILE=Tolvane-setup.exe Tolvane.nsi
;   makensis -DARCH=amd64 -DDIST=<64-bit binaries> -DDIST32=<32-bit binaries>
;            -DOUTFILE=Tolvane-setup-x64.exe Tolvane.nsi
;
; Tolvane-setup.exe (x86-ansi, so that it also runs on Windows 95, 98 and Me) is for
; 32-bit Windows and refuses to run on a 64-bit one. Tolvane-setup-x64.exe (amd64) is
; for 64-bit Windows, where a hook and an in-process server reach only programs of
; their own pointer size: it installs the 64-bit Tolvane.dll and Tolvard.exe,
; registered in the 64-bit registry view for Explorer and every 64-bit program, and
; in the folder "x86" the 32-bit Tolvane.dll, registered in the 32-bit view, with
; TolvardHook.exe, through which Tolvard runs the column hook for 32-bit programs.
; It also takes over an installation made by the 32-bit setup.
;
; Command line: /S installs (or, for uninstall.exe, removes) without asking;
; /D=<folder> (last, unquoted) chooses the folder; /AUTOSTART=0 or 1 decides whether
; Tolvard starts with Windows. Installing over an installation upgrades it in place,
; in its folder and with its start-with-Windows choice.

!ifndef ARCH | DIST | OUTFILE
  !error "Define ARCH, DIST and OUTFILE (see the head of this file)"
!endif

; The registry views: "default" is the setup's own. Only the 64-bit setup names the
; other one; a 32-bit Windows has one view, and Windows 95, NT 4 and 2000 do not know
; the flag behind SetRegView 32.
!if ${ARCH} == amd64
  !ifndef DIST32
    !error "The 64-bit setup needs DIST32, the folder of the 32-bit binaries"
  !endif
  Target amd64-unicode
  !define DEFAULT_FOLDER "$PROGRAMFILES64\Tolvane"
  !define FOLDER32 "$INSTDIR\x86"
!else
  Target x86-ansi
  !define DEFAULT_FOLDER "$PROGRAMFILES\Tolvane"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh

; The class id, the registry keys and values, and the version: common/Contract.h and
; the top CMakeLists.txt, handed over by the build as ${CONTRACT}.
!include "${CONTRACT}"
!define CLSID "${TOLVANE_CLASS_ID}"
!define CLASS_KEY "${TOLVANE_CLASS_KEY}"
!define CONTEXT_HANDLER_KEY "${TOLVANE_MENU_HANDLER_KEY}"
!define PAGE_HANDLER_KEY "${TOLVANE_PAGE_HANDLER_KEY}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "${TOLVARD_SETTINGS_KEY}"

Name "Tolvane and Tolvard"
OutFile "${OUTFILE}"
InstallDir "${DEFAULT_FOLDER}"
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
VIAddVersionKey "ProductVersion" "${VERSION_PRODUCT}"
VIAddVersionKey "LegalCopyright" "Varnoke"

Var TolvardWasRunning
Var OldFolder   ; the 64-bit setup: where the 32-bit setup installed, or empty

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
; each one it makes, so that the uninstaller removes exactly those, once empty. The
; notes for the 64-bit setup's 32-bit view end in "32". The uninstall key itself is
; always read and written in the setup's own view.
!macro NOTE_IF_NEW VIEW KEY VALUE
  SetRegView ${VIEW}
  ClearErrors
  EnumRegKey $0 HKCR "${KEY}" 0
  SetRegView default
  ${If} ${Errors}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${VALUE}" 1
  ${EndIf}
!macroend
!macro REMOVE_IF_MADE VIEW KEY VALUE
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${VALUE}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 1
    SetRegView ${VIEW}
    DeleteRegKey /ifnosubkeys /ifnovalues HKCR "${KEY}"
    SetRegView default
  ${EndIf}
!macroend

; The class registration in one view, through which Explorer, Tolvard and every
; program of that view's pointer size find its library, and the handler keys that
; Tolvard's switches leave on: $2 = 1 for the context-menu entry, $3 = 1 for the page.
!macro REGISTER_IN_VIEW VIEW SUFFIX LIBRARY
  SetRegView ${VIEW}
  WriteRegStr HKCR "${CLASS_KEY}" "" "Tolvane"
  WriteRegStr HKCR "${TOLVANE_SERVER_KEY}" "" "${LIBRARY}"
  WriteRegStr HKCR "${TOLVANE_SERVER_KEY}" "ThreadingModel" "Apartment"
  !insertmacro NOTE_IF_NEW ${VIEW} "*" "MadeStarKey${SUFFIX}"
  !insertmacro NOTE_IF_NEW ${VIEW} "*\shellex" "MadeShellexKey${SUFFIX}"
  !insertmacro NOTE_IF_NEW ${VIEW} "${TOLVANE_MENU_HANDLERS}" "MadeContextMenuHandlersKey${SUFFIX}"
  !insertmacro NOTE_IF_NEW ${VIEW} "${TOLVANE_PAGE_HANDLERS}" "MadePropertySheetHandlersKey${SUFFIX}"
  SetRegView ${VIEW}
  ${If} $2 = 1
    WriteRegStr HKCR "${CONTEXT_HANDLER_KEY}" "" "${CLSID}"
  ${EndIf}
  ${If} $3 = 1
    WriteRegStr HKCR "${PAGE_HANDLER_KEY}" "" "${CLSID}"
  ${EndIf}
  SetRegView default
!macroend

!macro UNREGISTER_IN_VIEW VIEW SUFFIX
  SetRegView ${VIEW}
  DeleteRegKey HKCR "${CONTEXT_HANDLER_KEY}"
  DeleteRegKey HKCR "${PAGE_HANDLER_KEY}"
  DeleteRegKey HKCR "${CLASS_KEY}"
  SetRegView default
  !insertmacro REMOVE_IF_MADE ${VIEW} "${TOLVANE_MENU_HANDLERS}" "MadeContextMenuHandlersKey${SUFFIX}"
  !insertmacro REMOVE_IF_MADE ${VIEW} "${TOLVANE_PAGE_HANDLERS}" "MadePropertySheetHandlersKey${SUFFIX}"
  !insertmacro REMOVE_IF_MADE ${VIEW} "*\shellex" "MadeShellexKey${SUFFIX}"
  !insertmacro REMOVE_IF_MADE ${VIEW} "*" "MadeStarKey${SUFFIX}"
!macroend

; Replaces a file that may be in use: Explorer keeps Tolvane.dll loaded while it uses
; the extension, and the column hook maps it into every process of the desktop.
; Windows NT lets a loaded file be renamed, so the old one moves aside and goes at
; the next restart; where even that fails (Windows 95), the new file waits beside it
; and takes its place at the next restart.
; FOLDER is the output path (SetOutPath), SOURCE the folder of the built binary.
!macro REPLACE_FILE FOLDER SOURCE NAME
  Delete "${FOLDER}\${NAME}.old"
  Delete "${FOLDER}\${NAME}"
  ${If} ${FileExists} "${FOLDER}\${NAME}"
    Rename "${FOLDER}\${NAME}" "${FOLDER}\${NAME}.old"
    Delete /REBOOTOK "${FOLDER}\${NAME}.old"
  ${EndIf}
  ${If} ${FileExists} "${FOLDER}\${NAME}"
    File "/oname=${NAME}.new" "${SOURCE}\${NAME}"
    Rename /REBOOTOK "${FOLDER}\${NAME}.new" "${FOLDER}\${NAME}"
  ${Else}
    File "${SOURCE}\${NAME}"
  ${EndIf}
!macroend

Section "Tolvane and Tolvard (required)" SecProgram
  SectionIn RO
  Call EndTolvard
  SetOutPath "$INSTDIR"
  !insertmacro REPLACE_FILE "$INSTDIR" "${DIST}" "Tolvane.dll"
  !insertmacro REPLACE_FILE "$INSTDIR" "${DIST}" "Tolvard.exe"
!if ${ARCH} == amd64
  SetOutPath "${FOLDER32}"
  !insertmacro REPLACE_FILE "${FOLDER32}" "${DIST32}" "Tolvane.dll"
  !insertmacro REPLACE_FILE "${FOLDER32}" "${DIST32}" "TolvardHook.exe"
  SetOutPath "$INSTDIR"
  Call TakeOverOldInstallation
!endif
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The context-menu entry and the property page start switched on, as Tolvard's
  ; switches read when this user has never set them; a switch the user has turned
  ; off stays off across an upgrade.
  StrCpy $2 1
  ClearErrors
  ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "${TOLVARD_ENABLE_CONTEXT}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 0
    DetailPrint "The context-menu entry stays switched off"
    StrCpy $2 0
  ${EndIf}
  StrCpy $3 1
  ClearErrors
  ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "${TOLVARD_ENABLE_PROPERTY}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = 0
    DetailPrint "The property page stays switched off"
    StrCpy $3 0
  ${EndIf}
  !insertmacro REGISTER_IN_VIEW default "" "$INSTDIR\Tolvane.dll"
!if ${ARCH} == amd64
  !insertmacro REGISTER_IN_VIEW 32 "32" "${FOLDER32}\Tolvane.dll"
!endif

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\Tolvard.lnk" "$INSTDIR\Tolvard.exe" "" "$INSTDIR\Tolvard.exe" 0 \
    SW_SHOWNORMAL "" "Switches Tolvane's description features on and off"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tolvane and Tolvard"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_PRODUCT}"
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

!if ${ARCH} == amd64
; An installation by the 32-bit setup on this 64-bit Windows (registered in the 32-bit
; view only, so that 64-bit Explorer never saw it) is taken over: its entries in the
; 32-bit view go, its notes of the shell keys it made become this installation's notes
; for that view, and its files go unless they were in this folder (then they have just
; been replaced). The user's settings stay, unlike with its own uninstaller.
!macro TAKE_OVER_NOTE VALUE
  SetRegView 32
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${VALUE}"
  SetRegView default
  ${IfNot} ${Errors}
  ${AndIf} $0 = 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${VALUE}32" 1
  ${EndIf}
!macroend
Function TakeOverOldInstallation
  ${If} $OldFolder == ""
    Return
  ${EndIf}
  DetailPrint "Taking over the installation of the 32-bit setup in $OldFolder"
  !insertmacro TAKE_OVER_NOTE "MadeStarKey"
  !insertmacro TAKE_OVER_NOTE "MadeShellexKey"
  !insertmacro TAKE_OVER_NOTE "MadeContextMenuHandlersKey"
  !insertmacro TAKE_OVER_NOTE "MadePropertySheetHandlersKey"
  SetRegView 32
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKLM "${RUN_KEY}" "Tolvard"
  SetRegView default
  ${If} $OldFolder != $INSTDIR
    Delete /REBOOTOK "$OldFolder\Tolvane.dll"
    Delete /REBOOTOK "$OldFolder\Tolvane.dll.old"
    Delete /REBOOTOK "$OldFolder\Tolvard.exe"
    Delete /REBOOTOK "$OldFolder\Tolvard.exe.old"
    Delete "$OldFolder\uninstall.exe"
    RMDir /REBOOTOK "$OldFolder"
  ${EndIf}
FunctionEnd
!endif

Function .onInit
  StrCpy $TolvardWasRunning 0
  StrCpy $OldFolder ""
!if ${ARCH} == amd64
  SetRegView 32
  ReadRegStr $OldFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $2 HKLM "${RUN_KEY}" "Tolvard"
  SetRegView default
  ; Its own folder when the user chose one; its default place was the 32-bit program
  ; folder (which $PROGRAMFILES32 does not name in a 64-bit setup).
  ReadRegStr $3 HKLM "Software\Microsoft\Windows\CurrentVersion" "ProgramFilesDir (x86)"
  ${If} $OldFolder != ""
  ${AndIf} $OldFolder != "$3\Tolvane"
  ${AndIf} $INSTDIR == "${DEFAULT_FOLDER}"
    StrCpy $INSTDIR $OldFolder
  ${EndIf}
!else
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup is for 32-bit Windows. On this 64-bit Windows, please run Tolvane-setup-x64.exe: it installs Tolvane for the 64-bit Explorer and for 32-bit programs." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $2 ""
!endif
  ; Upgrading an installation without the start-with-Windows entry: keep it so.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${RUN_KEY}" "Tolvard"
  ${If} $0 != ""
  ${AndIf} $1 == ""
  ${OrIf} $OldFolder != ""
  ${AndIf} $2 == ""
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

  !insertmacro UNREGISTER_IN_VIEW default ""
!if ${ARCH} == amd64
  !insertmacro UNREGISTER_IN_VIEW 32 "32"
!endif

  ; The settings of this user: Tolvane's options, and Tolvard's switches and what its
  ; wizard learned about Explorer.
  DeleteRegKey HKCU "${TOLVANE_SETTINGS_KEY}"
  DeleteRegKey HKCU "${TOLVARD_KEY}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${VARNOKE_KEY}"
  DeleteRegValue HKLM "${RUN_KEY}" "Tolvard"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tolvard.lnk"
  Delete /REBOOTOK "$INSTDIR\Tolvane.dll"
  Delete /REBOOTOK "$INSTDIR\Tolvane.dll.old"
  Delete /REBOOTOK "$INSTDIR\Tolvard.exe"
  Delete /REBOOTOK "$INSTDIR\Tolvard.exe.old"
!if ${ARCH} == amd64
  Delete /REBOOTOK "${FOLDER32}\Tolvane.dll"
  Delete /REBOOTOK "${FOLDER32}\Tolvane.dll.old"
  Delete /REBOOTOK "${FOLDER32}\TolvardHook.exe"
  Delete /REBOOTOK "${FOLDER32}\TolvardHook.exe.old"
  RMDir /REBOOTOK "${FOLDER32}"
!endif
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
