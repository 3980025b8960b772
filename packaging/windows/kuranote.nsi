; The Windows installer of kuranote, made by scripts/windows/installer.sh with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=2.1 -DVERSION4=2.1.0.0 -DSOURCE=FOLDER -DOUTFILE=SETUP.EXE
;            -DICON=kuranote.ico -DLICENSE=LICENSE kuranote.nsi
; FOLDER holds exactly the files of the zip and kuranote-files.txt, the list of them.
;
; Per user, without administrator rights, into %LOCALAPPDATA%\Programs\kuranote. Every file it installs is
; named in kuranote-files.txt, so that an upgrade first removes what the older version installed and an
; uninstall removes only what was installed; a file it never put there stays. The user's data lives in
; %APPDATA%\kuranote, which it never touches.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include WordFunc.nsh

!define PRODUCT "くらノート"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kuranote"
!define SETTINGS_KEY "Software\kuranote"
!define FILE_LIST "kuranote-files.txt"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\kuranote"
; Installing again goes where the last install went.
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallDir"

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

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Functions the installer and the uninstaller both need (NSIS names the uninstaller's "un.").
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

; Removes what kuranote-files.txt names: files, then the folders (named with a final backslash, deepest
; first), each folder only when empty. A file the list does not name stays.
Function ${un}RemoveListed
    ClearErrors
    FileOpen $0 "$INSTDIR\${FILE_LIST}" r
    ${If} ${Errors}
        Return
    ${EndIf}
    ${Do}
        ClearErrors
        FileRead $0 $1
        ${If} ${Errors}
            ${Break}
        ${EndIf}
        ${Do}
            StrCpy $2 $1 1 -1
            ${If} $2 != "$\n"
            ${AndIf} $2 != "$\r"
                ${Break}
            ${EndIf}
            StrCpy $1 $1 -1
        ${Loop}
        ${If} $1 == ""
            ${Continue}
        ${EndIf}
        StrCpy $2 $1 1 -1
        ${If} $2 == "\"
            RMDir "$INSTDIR\$1"
        ${Else}
            Delete "$INSTDIR\$1"
        ${EndIf}
    ${Loop}
    FileClose $0
FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

Function .onInit
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
    Call RequireNotRunning
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

    WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
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
    DeleteRegValue HKCU "${SETTINGS_KEY}" "InstallDir"
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
SectionEnd
