# A Windows user of their own for a real-window test under Wine. Source it after xsession.sh.
# new_wine_user makes it in $work/wine: the optional .NET and browser runtimes left out (their installers
# would ask for a download), Wine's menu builder off (nothing reaches the real home's menus), and the IPA
# Gothic fonts where Windows keeps fonts, standing in for Windows' Japanese and dialog fonts (Wine ships no
# Japanese font). Sets wine (the program) and appdata (the user's AppData\Roaming). Then the steps a
# person takes with the checklist's windows.

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
# Wine's server of this user writes the registry as it ends: it must end, with the programs it still runs,
# before the working folder goes.
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; /usr/lib/wine/wineserver -w 2>/dev/null || true; cleanup' EXIT

new_wine_user() {
    DISPLAY='' $wine wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
    /usr/lib/wine/wineserver -w
    cp /usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    local font
    for font in "MS UI Gothic" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif"; do
        DISPLAY='' $wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAPGothic /f \
            >>"$work/wineboot.log" 2>&1 || fail "the font replacement for $font was refused"
    done
    /usr/lib/wine/wineserver -w
    appdata=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -name Roaming | head -n 1)
    [[ -d $appdata ]] || fail "the Wine user has no AppData\\Roaming"
}

# Starts a program of the folder under Wine, as a double-click would, or with the arguments given as a file
# dropped on it would; sets program_pid. Wine's own process (started directly, not through a wrapper) is the
# one whose id the windows carry.
start_program() {
    # Qt for Windows has its own platform plugin: the X one chosen for the Linux programs is not for it.
    (cd "$1" && exec env -u QT_QPA_PLATFORM $wine "./$2.exe" "${@:3}") >"$work/$2.log" 2>&1 &
    program_pid=$!
    started_pids+=("$program_pid")
}

wait_for_end() {
    poll "$2" has_ended "$1" || fail "$3 did not end within $2 s"
    exit_code=0
    wait "$1" || exit_code=$?
}

# Starts the checklist and waits for both windows; sets pid, main and search.
start_checklist() {
    start_program "$1" kuranote
    pid=$program_pid
    poll 60 window_of "$pid" '^くらノート ver2\.1$' || fail "the main window did not appear"
    main=$window
    wait_for_window "$pid" '^検索\('
    search=$window
}

# Presses keys in the main window and waits for the question box; sets box.
ask() {
    click_title_bar "$main"
    xdotool key "$1"
    wait_for_window "$pid" '^くらノート$'
    box=$window
    wait_for_focus "$box"
}

quit_with_no() {
    ask alt+z
    xdotool key n
    wait_for_end "$pid" 20 kuranote.exe
    [[ $exit_code -eq 0 ]] || fail "kuranote.exe ended with exit code $exit_code"
}
