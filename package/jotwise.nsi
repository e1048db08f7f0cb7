; The per-user installer. scripts/package compiles it with
;   makensis -INPUTCHARSET UTF8 -DBUILD_DIR=<build> -DPROGRAM_DIR=<stage>
;            -DOUT_FILE=<setup.exe> [-DSIGN=<command>]
; after the build has left jotwise_version.nsh in <build> and the files to
; ship, Jotwise.exe and Jotwise.chm, in <stage>. With SIGN, makensis runs
; `SIGN file` on the uninstaller and on the installer it writes. Nothing
; here needs an administrator: files go below the user's profile and every
; registry value under HKCU.
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include "${BUILD_DIR}/jotwise_version.nsh"

!define PRODUCT "Jotwise"
!define PUBLISHER "KOVA"
!define MAIN_CLASS "Jotwise"
!define IDM_EXIT 1009
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Jotwise"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define STORE_KEY "Software\KOVA\Jotwise"

Name "${PRODUCT} ${JOTWISE_VERSION}"
OutFile "${OUT_FILE}"
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\Jotwise"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${JOTWISE_VERSION}"

VIProductVersion "${JOTWISE_VERSION_DOTTED}"
VIFileVersion "${JOTWISE_VERSION_DOTTED}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${JOTWISE_VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${JOTWISE_VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 KOVA"

!define MUI_ICON "${SOURCE_DIR}/res/jotwise.ico"
!define MUI_UNICON "${SOURCE_DIR}/res/jotwise.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Jotwise.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Jotwise を起動する"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Set when the installer closed a running Jotwise, which a silent run then
; starts again at the end, as the finish page offers to.
Var JotwiseWasRunning

; Asks a running Jotwise to exit the way its tray menu does, which saves
; every note; its main window going is the sign that it did. The process is
; waited for when the system lets us open it, as its exe stays locked until
; it ends; otherwise the window is given twenty seconds to go. Jotwise
; keeps open editor text as a draft and ends even with a dialog up; it
; stays only when that draft cannot be written, and then says why in a box
; of its own: the user may read it and retry. Silent runs give up with
; exit code 2.
!macro CLOSE_JOTWISE PREFIX
Function ${PREFIX}CloseJotwise
    Push $0
    Push $1
    Push $2
    Push $3
    ${Do}
        FindWindow $0 "${MAIN_CLASS}" ""
        ${If} $0 = 0
            ${Break}
        ${EndIf}
        StrCpy $JotwiseWasRunning 1
        StrCpy $1 0
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
        ; SYNCHRONIZE is all that waiting needs.
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
        DetailPrint "Jotwise を終了しています..."
        SendMessage $0 ${WM_COMMAND} ${IDM_EXIT} 0 /TIMEOUT=5000
        ${If} $2 <> 0
            System::Call 'kernel32::WaitForSingleObject(p r2, i 20000) i'
            System::Call 'kernel32::CloseHandle(p r2)'
        ${Else}
            ${For} $3 1 200
                FindWindow $0 "${MAIN_CLASS}" ""
                ${IfThen} $0 = 0 ${|} ${Break} ${|}
                Sleep 100
            ${Next}
        ${EndIf}
        FindWindow $0 "${MAIN_CLASS}" ""
        ${If} $0 = 0
            ${Break}
        ${EndIf}
        ${If} ${Silent}
            SetErrorLevel 2
            Quit
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Jotwise を終了できませんでした。$\r$\nJotwise が表示しているメッセージを確認してから「再試行」を押してください。" \
            IDRETRY retry
        Quit
        retry:
    ${Loop}
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_JOTWISE ""
!insertmacro CLOSE_JOTWISE "un."

Section "Jotwise" SecProgram
    SectionIn RO
    Call CloseJotwise
    SetOutPath "$INSTDIR"
    File "${PROGRAM_DIR}/Jotwise.exe"
    File "${PROGRAM_DIR}/Jotwise.chm"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Jotwise.lnk" "$INSTDIR\Jotwise.exe" "" "$INSTDIR\Jotwise.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Jotwise (ジョット・ワイズ)"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${JOTWISE_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Jotwise.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Windows の起動時に Jotwise を起動する" SecRun
    WriteRegStr HKCU "${RUN_KEY}" "Jotwise" '"$INSTDIR\Jotwise.exe"'
SectionEnd

; Unticking the box on an upgrade takes back the earlier choice.
Section "-ForgetRun"
    ${IfNot} ${SectionIsSelected} ${SecRun}
        DeleteRegValue HKCU "${RUN_KEY}" "Jotwise"
    ${EndIf}
SectionEnd

Function .onInstSuccess
    ${If} ${Silent}
    ${AndIf} $JotwiseWasRunning == 1
        Exec '"$INSTDIR\Jotwise.exe"'
    ${EndIf}
FunctionEnd

Function .onInit
    ; An upgrade keeps the user's earlier choice about starting at logon.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ReadRegStr $1 HKCU "${RUN_KEY}" "Jotwise"
    ${If} $0 != ""
    ${AndIf} $1 == ""
        !insertmacro UnselectSection ${SecRun}
    ${EndIf}
FunctionEnd

Section "un.Jotwise" UnSecProgram
    SectionIn RO
    Call un.CloseJotwise
    Delete "$INSTDIR\Jotwise.exe"
    Delete "$INSTDIR\Jotwise.chm"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Jotwise.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Jotwise"
SectionEnd

; Off unless ticked: notes outlive the program by default, so that a
; reinstall or an upgrade by way of removal finds them again.
Section /o "un.メモのデータも削除する" UnSecNotes
    DeleteRegKey HKCU "${STORE_KEY}"
    DeleteRegKey /ifempty HKCU "Software\KOVA"
SectionEnd

; Last, so that the entry disappears only once everything else is gone.
Section "-un.Entry"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
