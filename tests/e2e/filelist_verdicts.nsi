; Reads lines.txt beside itself as the installer reads kuranote-files.txt, and writes into verdicts.txt, for
; each line that is not empty, what the installer does with it: "use", "bad" or "keep", a tab and the line.
;   makensis -INPUTCHARSET UTF8 -DPACKAGING=packaging/windows -DOUTFILE=VERDICTS.EXE filelist_verdicts.nsi
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SilentInstall silent
OutFile "${OUTFILE}"

!addincludedir "${PACKAGING}"
!include filelist.nsh
!insertmacro LIST_FUNCTIONS ""

Section
    FileOpen $ListFile "$EXEDIR\lines.txt" r
    FileOpen $0 "$EXEDIR\verdicts.txt" w
    ${Do}
        Call ReadListLine
        ${If} $ListVerdict != ""
            FileWrite $0 "$ListVerdict$\t$ListLine$\r$\n"
        ${EndIf}
    ${LoopUntil} $ListEnd = 1
    FileClose $0
    FileClose $ListFile
SectionEnd
