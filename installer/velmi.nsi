; Velmi's setup: installs the program, its calendar control, the help page and
; the alarm sound for all users, registers the control through its own
; DllRegisterServer, and writes a Start-menu shortcut and an uninstall entry.
; /NOSTARTUP keeps Velmi from starting at sign-in: setup runs elevated, maybe
; as another user, so it leaves the choice for all users and each user's first
; start of Velmi applies it.
; The uninstaller takes all of that away again and leaves the notes, which
; live in the registry under Software\Tolvane, alone: they are the user's.
;   makensis -DVERSION=x.y.z -DBIN=<folder with the files> -DOUT=<setup.exe> velmi.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmi"
; Velmi holds this mutex while it runs.
!define RUNNING_MUTEX "Local\Tolvane.Velmi.OneCopy"
!define SYNCHRONIZE 0x00100000
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

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Refuses while Velmi runs: a box, or under /S the exit code alone.
!macro RefuseWhileVelmiRuns
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONSTOP "Velmi is running. Close it, then try again."
        ${EndIf}
        SetErrorLevel ${EXIT_RUNNING}
        Quit
    ${EndIf}
!macroend

Function .onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro RefuseWhileVelmiRuns
    ; An earlier install is upgraded where it is.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Section "Velmi"
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

    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/NOSTARTUP" $1
    ${If} ${Errors}
        WriteRegDWORD HKLM "${VELMI_KEY}" "StartAtSignIn" 1
    ${Else}
        WriteRegDWORD HKLM "${VELMI_KEY}" "StartAtSignIn" 0
    ${EndIf}
SectionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
    !insertmacro RefuseWhileVelmiRuns
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
