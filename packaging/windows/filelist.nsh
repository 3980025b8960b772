; Reading kuranote-files.txt, the list of what an install put into its folder, one line at a time. A list
; can be damaged (a disk error, an edit), and NSIS's Delete expands wildcards (* ? < > "), drops trailing
; dots and spaces, and matches short names (KURADA~1.CSV) in any letter case: so no line is trusted as text.
; The line is read byte by byte and compared as numbers, never through Windows' code pages or its
; language-aware string comparison.
;
; A line is used only when it is made of ASCII letters, digits, _ - + . ( ) and backslashes between names
; (a folder's line ends with one backslash more), with no empty name, none that starts or ends with a dot,
; and at most 259 characters. A used line whose first name is where the programs keep the user's data (the
; data files, their recovery records and set-aside copies, the lock, backup\) is kept whatever the list says.
;
; ReadListLine reads the next line of the list open as $ListFile and sets
;   $ListLine     the line, without its line end (a byte outside printable ASCII shown as ?);
;   $ListVerdict  "use", "bad" (not a name the installer writes), "keep" (the user's data) or "" (empty);
;   $ListFolder   1 when the line names a folder (it ends with a backslash), 0 when a file;
;   $ListEnd      1 when the list has ended with this line.

!include LogicLib.nsh

Var ListFile
Var ListLine
Var ListVerdict
Var ListFolder
Var ListEnd
Var ListByte
Var ListLength
Var ListNameLength
Var ListFirstName
Var ListInFirstName
Var ListPrevious
Var ListChar

; Keeps the line when its first name, in lower case, begins with the given prefix.
!macro LIST_KEEP_IF_PREFIX prefix
    StrLen $ListChar "${prefix}"
    StrCpy $ListChar $ListFirstName $ListChar
    ${If} $ListChar S== "${prefix}"
        StrCpy $ListVerdict keep
    ${EndIf}
!macroend

!macro LIST_FUNCTIONS un
Function ${un}ReadListLine
    StrCpy $ListLine ""
    StrCpy $ListVerdict use
    StrCpy $ListEnd 0
    StrCpy $ListLength 0
    StrCpy $ListNameLength 0
    StrCpy $ListFirstName ""
    StrCpy $ListInFirstName 1
    StrCpy $ListPrevious 0
    ${Do}
        ClearErrors
        FileReadByte $ListFile $ListByte
        ${If} ${Errors}
            StrCpy $ListEnd 1
            ${Break}
        ${EndIf}
        ; CR or LF ends a line; the empty line between CR and LF is skipped by the caller.
        ${If} $ListByte = 13
        ${OrIf} $ListByte = 10
            ${Break}
        ${EndIf}

        ; $ListChar: the byte as a name may hold it, in lower case; "" when no name may hold it.
        StrCpy $ListChar ""
        ${If} $ListByte >= 65
        ${AndIf} $ListByte <= 90
            IntOp $ListChar $ListByte + 32
        ${ElseIf} $ListByte >= 97
        ${AndIf} $ListByte <= 122
            StrCpy $ListChar $ListByte
        ${ElseIf} $ListByte >= 48
        ${AndIf} $ListByte <= 57
            StrCpy $ListChar $ListByte
        ${ElseIf} $ListByte = 95
        ${OrIf} $ListByte = 45
        ${OrIf} $ListByte = 43
        ${OrIf} $ListByte = 46
        ${OrIf} $ListByte = 40
        ${OrIf} $ListByte = 41
            StrCpy $ListChar $ListByte
        ${EndIf}
        ${If} $ListChar != ""
            IntFmt $ListChar "%c" $ListChar
        ${EndIf}

        ${If} $ListByte = 92
            ; A backslash ends a name, which must not be empty nor end with a dot.
            ${If} $ListNameLength = 0
            ${OrIf} $ListPrevious = 46
                StrCpy $ListVerdict bad
            ${EndIf}
            StrCpy $ListNameLength 0
            StrCpy $ListInFirstName 0
        ${ElseIf} $ListChar == ""
            StrCpy $ListVerdict bad
        ${Else}
            ; A name starting with a dot, "." and ".." among them.
            ${If} $ListNameLength = 0
            ${AndIf} $ListByte = 46
                StrCpy $ListVerdict bad
            ${EndIf}
            IntOp $ListNameLength $ListNameLength + 1
            ${If} $ListInFirstName = 1
            ${AndIf} $ListNameLength <= 32
                StrCpy $ListFirstName "$ListFirstName$ListChar"
            ${EndIf}
        ${EndIf}

        IntOp $ListLength $ListLength + 1
        ${If} $ListLength <= 259
            ${If} $ListByte >= 32
            ${AndIf} $ListByte <= 126
                IntFmt $ListChar "%c" $ListByte
            ${Else}
                StrCpy $ListChar "?"
            ${EndIf}
            StrCpy $ListLine "$ListLine$ListChar"
        ${Else}
            ; Longer than a Windows path may be: no file the installer writes.
            StrCpy $ListVerdict bad
        ${EndIf}
        StrCpy $ListPrevious $ListByte
    ${Loop}

    ${If} $ListLength = 0
        StrCpy $ListVerdict ""
        Return
    ${EndIf}
    ; The last name of a file's line must not end with a dot either.
    ${If} $ListPrevious = 46
        StrCpy $ListVerdict bad
    ${EndIf}
    StrCpy $ListFolder 0
    ${IfThen} $ListPrevious = 92 ${|} StrCpy $ListFolder 1 ${|}
    ; The user's data: the backup folder, and the data files at the top, whose recovery records and their
    ; set-aside copies carry the same names with more after them.
    ${If} $ListVerdict == use
        ${If} $ListFirstName S== "backup"
            StrCpy $ListVerdict keep
        ${EndIf}
        !insertmacro LIST_KEEP_IF_PREFIX "kuradata_v2.csv"
        !insertmacro LIST_KEEP_IF_PREFIX "kurasize.dat"
        !insertmacro LIST_KEEP_IF_PREFIX "kuraword.csv"
        !insertmacro LIST_KEEP_IF_PREFIX "kuradata.csv"
        !insertmacro LIST_KEEP_IF_PREFIX "kuranote.lock"
    ${EndIf}
FunctionEnd
!macroend
