; The Windows installer of kuranote, made by scripts/windows/installer.sh with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=2.1 -DVERSION4=2.1.0.0 -DSOURCE=FOLDER -DOUTFILE=SETUP.EXE
;            -DICON=kuranote.ico -DLICENSE=LICENSE kuranote.nsi
; FOLDER holds exactly the files of the zip and kuranote-files.txt, the list of them.
;
; Per user, without administrator rights, into %LOCALAPPDATA%\Programs\kuranote. Every file it installs is
; named in kuranote-files.txt, so that an upgrade first removes what the older version installed and an
; uninstall removes only what was installed; a file it never put there stays, and a line of the list that is
; no name of ours, or names the user's data, removes nothing (filelist.nsh). Once installed, it upgrades
; where it is installed and nowhere else; a fresh install never replaces a file that is already there. The
; user's data lives in %APPDATA%\kuranote, which it never touches.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include WordFunc.nsh
!addincludedir "${__FILEDIR__}"
!include filelist.nsh

!define PRODUCT "くらノート"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kuranote"
!define SETTINGS_KEY "Software\kuranote"
!define FILE_LIST "kuranote-files.txt"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Where a fresh install goes unless another folder is chosen; an installed kuranote is found through its
; Apps entry (.onInit).
InstallDir "$LOCALAPPDATA\Programs\kuranote"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "kuranote"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kuranote.exe"

; The folder installed in, when kuranote is installed: it holds the list of what it installed. "" otherwise.
Var Installed

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_PAGE_CUSTOMFUNCTION_PRE DirectoryPre
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Functions the installer and the uninstaller both need (NSIS names the uninstaller's "un.").
!insertmacro LIST_FUNCTIONS ""
!insertmacro LIST_FUNCTIONS "un."
!macro SHARED_FUNCTIONS un
; Windows refuses to open a running program's file for writing: a program file of the folder that cannot
; be opened so belongs to a running program. Sets $0 to 1 when one of the two is running.
Function ${un}IsRunning
    StrCpy $0 0
    ${ForEach} $1 1 2 + 1
        StrCpy $2 "$INSTDIR\kuranote.exe"
        ${IfThen} $1 == 2 ${|} StrCpy $2 "$INSTDIR\kuranote_conv.exe" ${|}
        ${If} ${FileExists} $2
            ClearErrors
            FileOpen $3 $2 a
            ${If} ${Errors}
                StrCpy $0 1
            ${Else}
                FileClose $3
            ${EndIf}
        ${EndIf}
    ${Next}
FunctionEnd

; Asks to close the programs until they are closed; Cancel (and /S, where nobody is asked) ends with exit
; code 3, having changed nothing.
Function ${un}RequireNotRunning
    retry:
    Call ${un}IsRunning
    ${If} $0 == 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT}が実行中です。$\r$\n${PRODUCT} (kuranote.exe と kuranote_conv.exe) を閉じてから、$\r$\n「再試行」を押してください。" \
            /SD IDCANCEL IDRETRY retry
        SetErrorLevel 3
        Quit
    ${EndIf}
FunctionEnd

; Removes what the folder's kuranote-files.txt names: files, then the folders (named with a final
; backslash, deepest first), each folder only when empty. A file the list does not name stays, and so does
; whatever a line names that is no name of ours or the user's data: the details show those lines.
Function ${un}RemoveListed
    ClearErrors
    FileOpen $ListFile "$INSTDIR\${FILE_LIST}" r
    ${If} ${Errors}
        Return
    ${EndIf}
    ${Do}
        Call ${un}ReadListLine
        ${If} $ListVerdict == bad
            DetailPrint "${FILE_LIST} のこの行はファイルの名前として正しくないため、何も削除しません: $ListLine"
        ${ElseIf} $ListVerdict == keep
            DetailPrint "利用者のデータのため削除しません: $ListLine"
        ${ElseIf} $ListVerdict == use
        ${AndIf} $ListFolder = 1
            RMDir "$INSTDIR\$ListLine"
        ${ElseIf} $ListVerdict == use
            Delete "$INSTDIR\$ListLine"
        ${EndIf}
    ${LoopUntil} $ListEnd = 1
    FileClose $ListFile
FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; Sets $Installed: the folder the Apps entry names, when it still holds the list of what was installed
; there. A folder moved or deleted by hand is no install any more.
Function FindInstalled
    StrCpy $Installed ""
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\${FILE_LIST}"
        StrCpy $Installed $0
    ${EndIf}
FunctionEnd

; Sets $0 to 1 when the command line chose the folder (/D=, always the last option). NSIS has taken /D=
; out of $CMDLINE and put its folder into $INSTDIR before .onInit: only the process's own command line
; still tells.
Function IsFolderChosen
    System::Call "kernel32::GetCommandLineW() t .r1"
    StrCpy $0 0
    StrLen $2 $1
    ${For} $3 1 $2
        StrCpy $4 $1 4 $3
        ${If} $4 S== " /D="
            StrCpy $0 1
            ${Break}
        ${EndIf}
    ${Next}
FunctionEnd

; Sets $0 to 1 when the folders $1 and $2 are the same, written with or without a final backslash and in
; any letter case, as Windows compares folder names.
Function IsSameFolder
    ${DoWhile} $1 != ""
        StrCpy $0 $1 1 -1
        ${IfThen} $0 != "\" ${|} ${Break} ${|}
        StrCpy $1 $1 -1
    ${Loop}
    ${DoWhile} $2 != ""
        StrCpy $0 $2 1 -1
        ${IfThen} $0 != "\" ${|} ${Break} ${|}
        StrCpy $2 $2 -1
    ${Loop}
    StrCpy $0 0
    ${IfThen} $1 == $2 ${|} StrCpy $0 1 ${|}
FunctionEnd

; Sets $0 to a file this installer would write that is already in $INSTDIR, "" when there is none. A
; folder holding kuranote-files.txt is an install of kuranote, whose files an upgrade replaces.
Function FindFileInTheWay
    StrCpy $0 ""
    ${If} ${FileExists} "$INSTDIR\${FILE_LIST}"
        Return
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        StrCpy $0 uninstall.exe
        Return
    ${EndIf}
    FileOpen $ListFile "$PLUGINSDIR\${FILE_LIST}" r
    ${Do}
        Call ReadListLine
        ${If} $ListVerdict == use
        ${AndIf} $ListFolder = 0
        ${AndIf} ${FileExists} "$INSTDIR\$ListLine"
            StrCpy $0 $ListLine
            ${Break}
        ${EndIf}
    ${LoopUntil} $ListEnd = 1
    FileClose $ListFile
FunctionEnd

; A fresh install never replaces a file that is there already: someone else's README.txt, a portable
; kuranote's programs. Under /S it ends with exit code 2; on the folder page a person may choose another.
Function RefuseFolderInUse
    Call FindFileInTheWay
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP \
            "フォルダ「$INSTDIR」には、すでにファイル「$0」があります。$\r$\nくらノートがインストールしたものではないため、置き換えずに残します。$\r$\nこのフォルダにはインストールできません。空のフォルダか、新しいフォルダを選んでください。" \
            /SD IDOK
        ${If} ${Silent}
            SetErrorLevel 2
            Quit
        ${EndIf}
        Abort
    ${EndIf}
FunctionEnd

Function .onInit
    InitPluginsDir
    ; The list of what this installer writes, to look for files in the way before writing any.
    File "/oname=$PLUGINSDIR\${FILE_LIST}" "${SOURCE}/${FILE_LIST}"
    Call FindInstalled
    ${If} $Installed != ""
        ; An older version never replaces a newer one; the same version installs again, as a repair.
        ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
        ${If} $0 != ""
            ${VersionCompare} $0 "${VERSION}" $1
            ${If} $1 == 1
                MessageBox MB_OK|MB_ICONSTOP \
                    "${PRODUCT} $0 がインストールされています。$\r$\nそれより古い ${VERSION} はインストールできません。" /SD IDOK
                SetErrorLevel 2
                Quit
            ${EndIf}
        ${EndIf}
        ; An upgrade goes where the older version is: in another folder it would leave that one behind.
        Call IsFolderChosen
        ${If} $0 == 1
            StrCpy $1 $INSTDIR
            StrCpy $2 $Installed
            Call IsSameFolder
            ${If} $0 == 0
                MessageBox MB_OK|MB_ICONSTOP \
                    "${PRODUCT}は「$Installed」にインストールされています。$\r$\n別のフォルダ「$INSTDIR」にはインストールできません。$\r$\n新しい版は同じフォルダにインストールしてください (フォルダを変えるには、先にアンインストールします)。" \
                    /SD IDOK
                SetErrorLevel 2
                Quit
            ${EndIf}
        ${EndIf}
        StrCpy $INSTDIR $Installed
    ${ElseIf} ${Silent}
        Call RefuseFolderInUse
    ${EndIf}
    Call RequireNotRunning
FunctionEnd

; An upgrade shows no folder page: it goes where kuranote is installed.
Function DirectoryPre
    ${If} $Installed != ""
        Abort
    ${EndIf}
FunctionEnd

Function DirectoryLeave
    Call RefuseFolderInUse
FunctionEnd

Section "-kuranote" program
    ; The folder may have been changed on the directory page since the first check.
    Call RequireNotRunning
    ; What the older version installed goes first, so that nothing the newer one dropped stays behind.
    Call RemoveListed
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\kuranote.exe" "" "$INSTDIR\kuranote.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "kuranote"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kuranote.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    SectionGetSize ${program} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    Call un.RequireNotRunning
FunctionEnd

Section "Uninstall"
    Call un.RemoveListed
    Delete "$INSTDIR\${FILE_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Earlier installers also kept the folder here.
    DeleteRegValue HKCU "${SETTINGS_KEY}" "InstallDir"
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
SectionEnd
