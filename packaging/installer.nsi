; The per-user installer: no administrator rights, the program folder under
; the user's profile, where the monitor keeps its settings and history beside
; itself. Neither an upgrade nor the uninstaller touches RMonitor.ini,
; RVlaunch.ini, log\ or syslog\: they only write and remove the files below.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=2.04 -DSTAGE=folder -DICON=file.ico -DOUTFILE=setup.exe installer.nsi
;
; Silent: setup.exe /S [/STARTUP=1|0] [/D=folder]; Uninstall.exe /S.
; Exit code 2 when the monitor runs and so could not be replaced.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Routavista Monitor"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RoutavistaMonitor"
!define PUBLISHER "Qorvalabs"
!define LINK "${PRODUCT}.lnk"
; The monitor's main window (src/win32/panel_window.h), which is there for as
; long as it runs; the graph's window (src/rmview/win32/graph_window.h).
!define MONITOR_CLASS "RoutavistaMonitorMain"
!define GRAPH_CLASS "TRMViewForm"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\RMonitor.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Routavista Monitor を起動する"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\はじめに.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "「はじめに」を読む"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "プログラムを削除します。設定 (RMonitor.ini、RVlaunch.ini) と履歴 (log、syslog) はフォルダに残ります。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

LangString MonitorRunning ${LANG_JAPANESE} "Routavista Monitor (または履歴のグラフ) が動いています。$\r$\n$\r$\n通知領域のアイコンを右クリックして「終了」を選び、グラフのウィンドウも閉じてから [再試行] を押してください。"
LangString StartAtSignInDesc ${LANG_JAPANESE} "Windows にサインインしたときにモニタを起動します (スタートアップ フォルダのショートカット)。"
LangString ProgramDesc ${LANG_JAPANESE} "RMonitor.exe、履歴のグラフ RMView.exe、はじめに.txt とスタート メニューの項目。"
LangString KeptFiles ${LANG_JAPANESE} "設定と履歴は $INSTDIR に残しました。"

; Like the exe's own version resource, which names no copyright.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"

; A running exe cannot be replaced, and a half-replaced program folder is
; worse than none: wait for the user, or give up (at once when silent).
!macro MonitorMustEnd
    ${Do}
        FindWindow $0 "${MONITOR_CLASS}"
        ${If} $0 = 0
            FindWindow $0 "${GRAPH_CLASS}"
        ${EndIf}
        ${If} $0 = 0
            ${Break}
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MonitorRunning)" /SD IDCANCEL IDCANCEL`
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Loop}
!macroend

Section "${PRODUCT}" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${STAGE}/RMonitor.exe"
    File "${STAGE}/RMView.exe"
    File "${STAGE}/はじめに.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${LINK}" "$INSTDIR\RMonitor.exe"

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\RMonitor.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "サインイン時に起動" SecStartup
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMSTARTUP\${LINK}" "$INSTDIR\RMonitor.exe"
SectionEnd

; Unticked on an upgrade (or /STARTUP=0): the earlier choice is undone.
Section "-StartupOff"
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        Delete "$SMSTARTUP\${LINK}"
    ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(ProgramDesc)"
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "$(StartAtSignInDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    SetShellVarContext current
    !insertmacro MonitorMustEnd
    ; /STARTUP=1 or 0 when silent; otherwise an upgrade keeps the earlier choice.
    ${GetParameters} $0
    ${GetOptions} $0 "/STARTUP=" $1
    ${If} $1 == ""
    ${AndIf} ${FileExists} "$SMSTARTUP\${LINK}"
        StrCpy $1 "1"
    ${EndIf}
    ${If} $1 == "1"
        !insertmacro SelectSection ${SecStartup}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext current
    !insertmacro MonitorMustEnd
FunctionEnd

Section "Uninstall"
    Delete "$INSTDIR\RMonitor.exe"
    Delete "$INSTDIR\RMView.exe"
    Delete "$INSTDIR\はじめに.txt"
    Delete "$SMPROGRAMS\${LINK}"
    Delete "$SMSTARTUP\${LINK}"
    DeleteRegKey HKCU "${UNINST_KEY}"
    Delete "$INSTDIR\Uninstall.exe"
    ; Only an empty folder goes: the settings and the history stay.
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "$(KeptFiles)"
    ${EndIf}
SectionEnd
