; Velmi's setup: installs the program, its calendar control, the help page and
; the alarm sound for all users, registers the control through its own
; DllRegisterServer, and writes a Start-menu shortcut and an uninstall entry.
; A running Velmi is closed first and started again at the end.
; Whether Velmi starts at sign-in is a check box, or /NOSTARTUP when silent
; (it also clears the box): setup runs elevated, maybe as another user, so it
; leaves the choice for all users and each user's first start of Velmi applies it.
; The uninstaller takes all of that away again and leaves the notes, which
; live in the registry under Software\Tolvane, alone: they are the user's.
;   makensis -DVERSION=x.y.z -DBIN=<folder with the files> -DOUT=<setup.exe> velmi.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmi"
; Velmi holds this mutex while it runs.
!define RUNNING_MUTEX "Local\Tolvane.Velmi.OneCopy"
!define SYNCHRONIZE 0x00100000
; Velmi's main window, found by its class; WM_CLOSE to it saves the note and
; ends Velmi, as its close box does.
!define MAIN_WINDOW_CLASS "VelmiMainWindow"
; How long a running Velmi gets to end, in milliseconds: it may be asking the
; user what to do with a note it could not save.
!define CLOSE_WAIT_MS 15000
!define VELMI_KEY "Software\Tolvane\Velmi"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Exit codes of a silent run that refused.
!define EXIT_RUNNING 2
!define EXIT_CONTROL_HELD 3

Name "Velmi"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\Tolvane\Velmi"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Velmi"
VIAddVersionKey "CompanyName" "Tolvane"
VIAddVersionKey "FileDescription" "Velmi setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Tolvane"

; StartAtSignIn for all users, 1 or 0.
Var startAtSignIn
; 1 once this setup has closed a running Velmi.
Var velmiClosed

Page directory
Page custom SignInPage "" ": Start at Sign-in"
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; $0 is not 0 while Velmi runs, which holds this mutex.
!macro FindRunningVelmi
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0'
    System::Call 'kernel32::CloseHandle(p r0)'
!macroend

; Refuses because Velmi runs: a box, or under /S the exit code alone.
!macro RefuseWhileVelmiRuns TEXT
    ${IfNot} ${Silent}
        MessageBox MB_OK|MB_ICONSTOP "${TEXT}"
    ${EndIf}
    SetErrorLevel ${EXIT_RUNNING}
    Quit
!macroend

Function .onInit
    SetShellVarContext all
    SetRegView 64
    ; An earlier install is upgraded where it is.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOSTARTUP" $1
    ${If} ${Errors}
        StrCpy $startAtSignIn 1
    ${Else}
        StrCpy $startAtSignIn 0
    ${EndIf}
FunctionEnd

Function SignInPage
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateCheckbox} 0 0 100% 12u "Start Velmi when I sign in"
    Pop $0
    ; The box's states are the value's: BST_CHECKED is 1, BST_UNCHECKED 0.
    ${NSD_SetState} $0 $startAtSignIn
    ${NSD_OnClick} $0 SignInBoxClicked
    nsDialogs::Show
FunctionEnd

Function SignInBoxClicked
    Pop $0
    ${NSD_GetState} $0 $startAtSignIn
FunctionEnd

; Asks a running Velmi to close and waits until its process has ended, which
; frees Nuv.ocx too; a Velmi still running after the wait refuses the upgrade
; before anything has changed. Each window is asked once: Velmi may be asking
; the user about a note it could not save, and a second request would ask again.
Function CloseRunningVelmi
    !insertmacro FindRunningVelmi
    ${If} $0 P= 0
        Return
    ${EndIf}
    ${IfNot} ${Silent}
    ${AndIf} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Velmi is running and will be closed to continue." IDCANCEL`
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
    DetailPrint "Closing Velmi"
    System::Call 'kernel32::GetTickCount() i .r5'
    IntOp $5 $5 + ${CLOSE_WAIT_MS}
    ; Until the mutex is gone: ExitDo leaves $0 saying that Velmi still runs.
    ${Do}
        System::Call 'kernel32::GetTickCount() i .r4'
        IntOp $4 $5 - $4
        ${IfThen} $4 < 0 ${|} ${ExitDo} ${|}
        ; A second copy that is just starting has a window for a moment too:
        ; each one found is closed in turn.
        FindWindow $1 "${MAIN_WINDOW_CLASS}"
        ${If} $1 = 0
            Sleep 100
        ${Else}
            System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
            System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
            ${IfThen} $3 P= 0 ${|} ${ExitDo} ${|}
            System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
            System::Call 'kernel32::WaitForSingleObject(p r3, i r4) i .r2'
            System::Call 'kernel32::CloseHandle(p r3)'
            ${IfThen} $2 <> 0 ${|} ${ExitDo} ${|}
        ${EndIf}
        !insertmacro FindRunningVelmi
    ${LoopWhile} $0 P<> 0
    ${If} $0 P<> 0
        !insertmacro RefuseWhileVelmiRuns "Velmi did not close. Close it, then try again. Nothing was changed."
    ${EndIf}
    StrCpy $velmiClosed 1
FunctionEnd

; Setup runs elevated, Velmi must not. explorer.exe hands the shortcut to the
; signed-in user's shell, which starts Velmi unelevated, as that user, in the
; shortcut's folder, the install folder; Wine's explorer.exe starts it likewise.
Function StartClosedVelmi
    ${If} $velmiClosed = 1
        Exec '"$WINDIR\explorer.exe" "$SMPROGRAMS\Velmi.lnk"'
    ${EndIf}
FunctionEnd

Section "Velmi"
    Call CloseRunningVelmi
    ; The control must be replaceable before anything changes: a program that
    ; has it loaded keeps the file open.
    ${If} ${FileExists} "$INSTDIR\Nuv.ocx"
        ClearErrors
        FileOpen $1 "$INSTDIR\Nuv.ocx" a
        ${If} ${Errors}
            ${IfNot} ${Silent}
                MessageBox MB_OK|MB_ICONSTOP "Nuv.ocx in $INSTDIR is in use by another program. Close it, then try again. Nothing was changed."
            ${EndIf}
            SetErrorLevel ${EXIT_CONTROL_HELD}
            ; Velmi was not what held it: it may run on.
            Call StartClosedVelmi
            Quit
        ${EndIf}
        FileClose $1
        ; The old control's registration goes before its file is replaced.
        UnRegDLL "$INSTDIR\Nuv.ocx"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${BIN}/Velmi.exe"
    File "${BIN}/Nuv.ocx"
    File "${BIN}/VelmiReg.htm"
    File "${BIN}/velmi-main.png"
    File "${BIN}/laser.wav"
    ClearErrors
    RegDLL "$INSTDIR\Nuv.ocx"
    ${If} ${Errors}
        DetailPrint "Nuv.ocx could not be registered."
        SetErrorLevel 4
    ${EndIf}

    ; The shortcut starts in the install folder, where "laser.wav" is found.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\Velmi.lnk" "$INSTDIR\Velmi.exe"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmi"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tolvane"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmi.exe,0"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    WriteRegDWORD HKLM "${VELMI_KEY}" "StartAtSignIn" $startAtSignIn
    Call StartClosedVelmi
SectionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro FindRunningVelmi
    ${If} $0 P<> 0
        !insertmacro RefuseWhileVelmiRuns "Velmi is running. Close it, then try again."
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ; DllUnregisterServer takes the class, the ProgID, the type library and
    ; its interfaces away.
    UnRegDLL "$INSTDIR\Nuv.ocx"
    Delete "$INSTDIR\Velmi.exe"
    Delete "$INSTDIR\Nuv.ocx"
    Delete "$INSTDIR\VelmiReg.htm"
    Delete "$INSTDIR\velmi-main.png"
    Delete "$INSTDIR\laser.wav"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\Velmi.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The choice for all users, and the sign-in start of the user who
    ; uninstalls: other users' keys cannot be reached from here.
    DeleteRegValue HKLM "${VELMI_KEY}" "StartAtSignIn"
    DeleteRegKey /ifempty HKLM "${VELMI_KEY}"
    DeleteRegValue HKCU "${RUN_KEY}" "Velmi"
    DeleteRegValue HKCU "${VELMI_KEY}" "StartAtSignInApplied"
    ; Only empty folders go.
    RMDir "$INSTDIR"
    RMDir "$PROGRAMFILES64\Tolvane"
SectionEnd
