#!/usr/bin/env bash
# The real kuranote and kuranote_conv in a real X window, used as a person uses them: keys, clicks
# and typing through xdotool, on an Xvfb screen run by the openbox window manager, so that windows
# get frames, focus follows clicks and a new window is activated as on a desktop. The files the
# programs write are compared byte for byte with the expected ones, and the windows are saved as
# PNG pictures.
#
# Usage: run_e2e.sh KURANOTE KURANOTE_CONV FILES_DIR SAMPLE_DIR SCREENSHOT_DIR
#   FILES_DIR holds the small catalogue, settings, word file and old file (code page 932) and, under
#   expected/, what the programs must write. SAMPLE_DIR is the bundled sample, used for the pictures.
set -euo pipefail

if [[ $# -ne 5 ]]; then
    echo "usage: $0 KURANOTE KURANOTE_CONV FILES_DIR SAMPLE_DIR SCREENSHOT_DIR" >&2
    exit 2
fi
readonly kuranote_bin=$1 converter_bin=$2 files=$3 sample=$4 shots=$5

work_prefix=kuranote-e2e
# shellcheck source=../support/xsession.sh
source "$(dirname "$0")/../support/xsession.sh"
on_failure() {
    if [[ -n ${DISPLAY:-} ]]; then
        import -window root "$shots/failure.png" 2>/dev/null &&
            echo "screen at the failure: $shots/failure.png" >&2
    fi
}
require_tools Xvfb openbox xdotool xmodmap xwininfo xprop import convert identify cmp iconv

# ---------------------------------------------------------------------------------------------
# The screen, the window manager, and the programs' processes

mkdir -p "$shots" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config

# Starts a program from its folder, as a double-click would; sets program_pid.
start_program() {
    local folder=$1 name=$2
    (cd "$folder" && exec "./$name") >"$work/$name.log" 2>&1 &
    program_pid=$!
    started_pids+=("$program_pid")
}

# Starts kuranote in a folder and waits for both its windows with their first titles; sets the
# caller's pid, main and search.
start_checklist() {
    start_program "$1" kuranote
    pid=$program_pid
    wait_for_window "$pid" '^くらノート ver2\.1$'
    main=$window
    wait_for_window "$pid" '^検索\('
    search=$window
    wait_for_title "$main" "くらノート ver2.1"
    wait_for_title "$search" "検索(全アイテム/全アイテム/名前順)"
}

# Waits for a program to end; sets exit_code.
wait_for_end() {
    poll "$2" has_ended "$1" || fail "$3 did not end within $2 s"
    exit_code=0
    wait "$1" || exit_code=$?
}

# ---------------------------------------------------------------------------------------------
# Windows: finding them, where they are, what they show

title_is() { [[ $(title_of "$1") == "$2" ]]; }
wait_for_title() {
    poll 10 title_is "$1" "$2" || fail "the title stayed \"$(title_of "$1")\" instead of \"$2\""
    step "  title: $2"
}


outer_size_is() { geometry "$1"; frame_extents "$1"; (( width + frame_l + frame_r == $2 && height + frame_t + frame_b == $3 )); }

# Waits for the window's outer size, frame and title bar included, in pixels.
wait_for_outer_size() {
    poll 10 outer_size_is "$@" ||
        fail "\"$(title_of "$1")\" is $((width + frame_l + frame_r))x$((height + frame_t + frame_b)) with its frame, not $2x$3"
    step "  \"$(title_of "$1")\" is $2x$3 pixels with its frame"
}

# The window as a picture: its inside, or with "frame" its frame and title bar too.
shot() {
    if [[ ${3:-} == frame ]]; then
        import -frame -window "$1" "$2"
    else
        import -window "$1" "$2"
    fi
}

# A stored colour (the decimal text of 0x00BBGGRR) as the screen shows it: #RRGGBB.
screen_colour() { printf '#%02X%02X%02X' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)); }

# How many pixels of the picture have the colour (#RRGGBB).
colour_count() {
    convert "$1" -format %c histogram:info:- |
        awk -v c="$2" 'toupper($3) == toupper(c) { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# Takes a new picture of the window and tells whether it shows the colour on more than so many pixels.
shows_colour() { shot "$1" "$2" && (( $(colour_count "$2" "$3") > $4 )); }

# The first line of the picture, counted from the top, whose pixel in the column has the colour.
first_line_with() {
    convert "$1" -crop "1x$(identify -format %h "$1")+$2+0" +repage txt:- |
        awk -F'[ ,:]+' -v c="$3" 'line == "" && toupper($0) ~ toupper(c) { line = $2 } END { print line }'
}

# The rectangle (WxH+X+Y) inside the area WxH+X+Y where two pictures differ; 0x0+... when they agree.
difference_box() {
    convert "$1" "$2" -compose difference -composite -crop "$3" +repage -threshold 0 -format '%@' info: \
        2>/dev/null || true
}

differ_in() { [[ $(difference_box "$@") =~ ^[1-9][0-9]*x[1-9][0-9]*\+ ]]; }

# Takes a new picture of the window and tells whether it differs from the earlier one inside the area.
changed_since() { shot "$1" "$3" && differ_in "$2" "$3" "$4"; }

# ---------------------------------------------------------------------------------------------
# Typing

# Types ASCII text into the focused control.
type_ascii() { xdotool type --delay 40 "$1"; }

# Gives each character of the text a key of its own on the keyboard map. xdotool would otherwise map
# such a character to a spare key just for the moment of typing it, and a program that looks the
# key up after the mapping was put back reads nothing.
bind_keys() {
    local text=$1 char spare i
    mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 && $2 > 8 { print $2 }')
    for (( i = 0; i < ${#text}; i++ )); do
        char=${text:i:1}
        (( ${#spare[@]} > i )) || fail "no spare key left on the keyboard map for $char"
        xmodmap -e "keycode ${spare[i]} = $(printf 'U%04X' "'$char")"
    done
}

# Types Japanese text into the search window's key box one character at a time, once the window
# has taken in the previous one (its title shows it).
type_key_into_search() {
    local search=$1 text=$2 title_rest=$3 typed="" char i
    for (( i = 0; i < ${#text}; i++ )); do
        char=${text:i:1}
        typed+=$char
        xdotool type --delay 40 "$char"
        wait_for_title "$search" "検索($typed$title_rest"
    done
}

# ---------------------------------------------------------------------------------------------
# Copies of the programs and their files

# A program folder whose path holds Japanese characters and a space, with both programs and the files.
make_folder() {
    local folder=$work/$1
    mkdir -p "$folder"
    cp "$kuranote_bin" "$folder/kuranote"
    cp "$converter_bin" "$folder/kuranote_conv"
    shift
    cp "$@" "$folder/"
    program_folder=$folder
}

expect_file() {
    cmp -s "$1" "$2" || {
        echo "--- expected $(basename "$2"):" >&2; iconv -f CP932 -t UTF-8 "$2" >&2 || true
        echo "--- written:" >&2; iconv -f CP932 -t UTF-8 "$1" >&2 || true
        fail "$3"
    }
}
files_are() { cmp -s "$1" "$2" && cmp -s "$3" "$4"; }

# ---------------------------------------------------------------------------------------------
# What a person does with the checklist

# Focuses the main window by its title bar and presses the keys of a menu command that asks a
# question ("くらノート" boxes); sets box to the question once it has the focus.
ask() {
    local pid=$1 main=$2 keys=$3
    click_title_bar "$main"
    xdotool key "$keys"
    wait_for_window "$pid" '^くらノート$'
    box=$window
    wait_for_focus "$box"
}

question_closed() { poll 10 no_window_of "$1" '^くらノート$' || fail "the question did not close"; }
another_window_of() { window_of "$1" "$2" && [[ $window != "$3" ]]; }

# Clicks the row to select it and presses Enter, and sees the row's check box change.
tick_row() {
    local main=$1
    click "$main" "$row_x" "$row_y"
    wait_for_focus "$main"
    shot "$main" "$work/row-selected.png"
    xdotool key Return
    poll 10 changed_since "$main" "$work/row-selected.png" "$work/row-ticked.png" "$row_rect" ||
        fail "Enter did not change the row's check box"
}

# Comes back to the main window by its title bar after typing in the search window, and ticks the
# first listed row with Home and Enter, as after a click on the row.
tick_first_row_by_keys() {
    local main=$1
    click_title_bar "$main"
    shot "$main" "$work/row-unselected.png"
    xdotool key Home Return
    poll 10 changed_since "$main" "$work/row-unselected.png" "$work/row-ticked.png" "$row_rect" ||
        fail "Home and Enter did not change the first row"
}

# ---------------------------------------------------------------------------------------------
# Layout of the windows in pixels (15 twips to a pixel), as drawn inside their frames

readonly key_box_x=70 key_box_y=66          # txtseek, left 840 top 840
readonly show_button_x=92 show_button_y=12  # Command2, left 840 top 0
readonly sort_button_x=92 sort_button_y=37  # Command1, left 840 top 360
readonly town_column_x=3                    # x inside lbltown, left of lblname: lbltown's colour from its top
readonly list_left=8 list_top=56            # ListView1, left 120 top 840, below the menu bar
readonly name_label_x=50 name_label_y=34    # lblname, left 120 top 360, below the menu bar
readonly town_label_x=50 town_label_y=10    # lbltown, left 0 top 0, below the menu bar

# Villagers' background colours, as the test settings store them.
villager1_back=$(screen_colour 16771280)
villager2_back=$(screen_colour 14735615)
readonly villager1_back villager2_back

checklist_scenario() {
    make_folder "くらノート 試験" "$files/kuradata_v2.csv" "$files/kurasize.dat" "$files/kuraword.csv" \
        "$files/kuradata.csv"
    local folder=$program_folder main search pid menu row_band box
    local saved_data=$files/expected/saved_kuradata_v2.csv saved_settings=$files/expected/saved_kurasize.dat

    step "Start kuranote in $folder"
    start_checklist "$folder"

    step "Drag the two windows apart by their title bars"
    drag_window "$main" 40 40
    drag_window "$search" 560 40
    shot "$main" "$work/main-start.png"
    shot "$search" "$work/search-start.png"
    (( $(colour_count "$work/main-start.png" "$villager1_back") > 5000 )) ||
        fail "the main window is not in villager 1's background colour"
    (( $(colour_count "$work/search-start.png" "$villager1_back") > 1000 )) ||
        fail "the search window is not in villager 1's background colour"
    menu=$(first_line_with "$work/main-start.png" "$town_column_x" '#004000')
    [[ -n $menu ]] || fail "the village name label was not found below the menu bar"

    step "Type a key that matches nothing into the search window"
    click "$search" "$key_box_x" "$key_box_y"
    wait_for_focus "$search"
    xdotool key ctrl+a
    type_ascii "zzz"
    wait_for_title "$search" "検索(zzz/全アイテム/名前順)"
    shot "$main" "$work/main-empty.png"

    step "Type \"Lamp\": one row is left, and the title follows"
    xdotool key ctrl+a
    type_ascii "Lamp"
    wait_for_title "$search" "検索(Lamp/全アイテム/名前順)"
    geometry "$main"
    local list_area
    list_area="$((width - 2 * list_left))x$((height - menu - list_top - 8))+$list_left+$((menu + list_top))"
    poll 10 changed_since "$main" "$work/main-empty.png" "$work/main-lamp.png" "$list_area" ||
        fail "the list did not change for the key Lamp"
    row_band=$(difference_box "$work/main-empty.png" "$work/main-lamp.png" "$list_area")
    local row_top row_height
    row_height=$(sed -E 's/^[0-9]+x([0-9]+).*$/\1/' <<<"$row_band")
    row_top=$(( $(sed -E 's/^.*\+([0-9]+)$/\1/' <<<"$row_band") + menu + list_top ))
    (( row_height >= 8 && row_height <= 60 )) || fail "the one row left is $row_band, not one row"
    # Read by tick_row: a point inside the row's name, and the row's rectangle.
    local row_y=$((row_top + row_height / 2)) row_x=$((list_left + 60))
    local row_rect="$((width - 2 * list_left))x$row_height+$list_left+$row_top"
    step "  the row lies $row_height pixels high at $row_top"

    step "Back in the main window by its title bar, Home and Enter: villager 1 ticks Lamp Alpha"
    tick_first_row_by_keys "$main"

    step "Type a Japanese key, waiting for the title after each character"
    click "$search" "$key_box_x" "$key_box_y"
    wait_for_focus "$search"
    xdotool key ctrl+a BackSpace
    wait_for_title "$search" "検索(/全アイテム/名前順)"
    type_key_into_search "$search" "の皿" "/全アイテム/名前順)"

    step "F2 switches to villager 2: both windows take villager 2's colours"
    click_title_bar "$main"
    xdotool key F2
    poll 10 shows_colour "$main" "$work/main-v2.png" "$villager2_back" 5000 ||
        fail "the main window did not take villager 2's background colour"
    (( $(colour_count "$work/main-v2.png" "$villager1_back") == 0 )) || fail "villager 1's colour is still shown"
    shot "$search" "$work/search-v2.png"
    (( $(colour_count "$work/search-v2.png" "$villager2_back") > 1000 )) ||
        fail "the search window did not take villager 2's background colour"

    step "Click the row and press Enter: villager 2 ticks よぞらの皿"
    tick_row "$main"

    step "Click villager 2's name and rename her Sora"
    click "$main" "$name_label_x" $((menu + name_label_y))
    wait_for_window "$pid" '^なまえ$'
    box=$window
    wait_for_focus "$box"
    xdotool key ctrl+a
    type_ascii "Sora"
    xdotool key Return
    poll 10 no_window_of "$pid" '^なまえ$' || fail "the name box did not close"

    step "The sort and show-mode buttons change the search window's title"
    click "$search" "$sort_button_x" "$sort_button_y"
    wait_for_title "$search" "検索(の皿/全アイテム/No順)"
    click "$search" "$show_button_x" "$show_button_y"
    wait_for_title "$search" "検索(の皿/未取得/No順)"
    click "$search" "$show_button_x" "$show_button_y"
    wait_for_title "$search" "検索(の皿/全アイテム/No順)"

    step "セーブ(&S) with OK writes both files"
    ask "$pid" "$main" alt+s
    xdotool key Return
    question_closed "$pid"
    poll 10 files_are "$folder/kuradata_v2.csv" "$saved_data" "$folder/kurasize.dat" "$saved_settings" || true
    expect_file "$folder/kuradata_v2.csv" "$saved_data" "the saved catalogue is not the expected one"
    expect_file "$folder/kurasize.dat" "$saved_settings" "the saved settings are not the expected ones"

    step "おわる(&Z) with Cancel keeps the program running"
    ask "$pid" "$main" alt+z
    xdotool key Escape
    question_closed "$pid"
    has_ended "$pid" && fail "the program ended although the quit question was cancelled"
    window_of "$pid" '^くらノート ver2\.1$' || fail "the main window went away after Cancel"
    window_of "$pid" '^検索\(' || fail "the search window went away after Cancel"

    step "セーブ(&S) with Cancel: the program answers, and writes nothing"
    ask "$pid" "$main" alt+s
    xdotool key Escape
    question_closed "$pid"

    step "Untick よぞらの皿 for villager 2, then おわる(&Z) with No: the program ends and writes nothing"
    tick_row "$main"
    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    [[ $exit_code -eq 0 ]] || fail "kuranote ended with exit code $exit_code"
    expect_file "$folder/kuradata_v2.csv" "$saved_data" "No at the quit question changed the catalogue"
    expect_file "$folder/kurasize.dat" "$saved_settings" "No at the quit question changed the settings"

    converter_scenario "$folder"
    recovery_scenario "$folder"
}

# Every file of a folder, the backup folder's too, with its time and a digest of its bytes.
folder_state() { (cd "$1" && ls -lR --time-style=full-iso && find . -type f -exec md5sum -- {} + | sort); }

# A second program started on a folder in use shows one error box, ends with exit code 1 and writes nothing.
refused_while_running() {
    local folder=$1 program=$2 title=$3 before
    step "$program started on the folder in use: one message, exit code 1, no file touched"
    before=$(folder_state "$folder")
    start_program "$folder" "$program"
    local second=$program_pid
    wait_for_window "$second" "^$title\$"
    wait_for_focus "$window"
    xdotool key Return
    wait_for_end "$second" 10 "the second $program"
    [[ $exit_code -eq 1 ]] || fail "the second $program ended with exit code $exit_code, not 1"
    [[ $(folder_state "$folder") == "$before" ]] ||
        fail "the second $program changed the folder's files"
}

# A session killed before it saved: the next start offers its change back in a real message box.
recovery_scenario() {
    local folder=$1 main search pid box
    step "Start kuranote, rename the village Minato, and kill the program before it saves"
    start_checklist "$folder"
    click "$main" "$town_label_x" $((menu + town_label_y))
    wait_for_window "$pid" '^むら$'
    box=$window
    wait_for_focus "$box"
    xdotool key ctrl+a
    type_ascii "Minato"
    xdotool key Return
    poll 10 no_window_of "$pid" '^むら$' || fail "the village name box did not close"
    poll 10 test -e "$folder/kuradata_v2.csv.recovery" || fail "the change was not kept in the recovery file"
    refused_while_running "$folder" kuranote 'くらノート'
    refused_while_running "$folder" kuranote_conv 'kuranote_conv'
    kill -KILL "$pid"
    wait_for_end "$pid" 10 "the killed kuranote"

    step "Start it again: the killed copy's lock is taken over; Escape at the question keeps the record aside"
    start_program "$folder" kuranote
    pid=$program_pid
    wait_for_window "$pid" '^くらノート$'
    box=$window
    wait_for_focus "$box"
    xdotool key Escape
    poll 10 compgen -G "$folder/kuradata_v2.csv.recovery-*" >/dev/null || fail "Escape did not keep the record aside"
    local aside
    aside=$(basename "$(compgen -G "$folder/kuradata_v2.csv.recovery-*")")
    [[ ! -e $folder/kuradata_v2.csv.recovery ]] || fail "the record was not moved aside"
    step "  the message that names $aside"
    poll 10 another_window_of "$pid" '^くらノート$' "$box" || fail "no message followed the question"
    wait_for_focus "$window"
    xdotool key Return
    question_closed "$pid"
    wait_for_window "$pid" '^くらノート ver2\.1$'
    main=$window
    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    [[ -e $folder/$aside ]] || fail "いいえ at the close question deleted the record kept aside"

    step "Given its name back, the record is offered again, and Y (はい) restores it"
    mv "$folder/$aside" "$folder/kuradata_v2.csv.recovery"
    start_program "$folder" kuranote
    pid=$program_pid
    wait_for_window "$pid" '^くらノート$'
    box=$window
    wait_for_focus "$box"
    shot "$box" "$shots/recovery-question.png" frame
    xdotool key y
    question_closed "$pid"
    wait_for_window "$pid" '^くらノート ver2\.1$'
    main=$window
    wait_for_window "$pid" '^検索\('

    step "セーブ(&S) with OK writes the restored name, and the recovery file goes"
    ask "$pid" "$main" alt+s
    xdotool key Return
    question_closed "$pid"
    poll 10 grep -q '^"Minato"' "$folder/kurasize.dat" || fail "the restored village name was not saved"
    [[ ! -e $folder/kuradata_v2.csv.recovery ]] || fail "the save left the recovery file behind"
    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    [[ $exit_code -eq 0 ]] || fail "kuranote ended with exit code $exit_code"
}

converter_scenario() {
    local folder=$1 message converter
    step "Start kuranote_conv beside the old kuradata.csv"
    start_program "$folder" kuranote_conv
    local pid=$program_pid
    wait_for_window "$pid" '^こんばーちゃ$'
    converter=$window
    step "  the window manager activates the new window, which converts and shows its final message"
    wait_for_window "$pid" '^kuranote_conv$'
    message=$window
    wait_for_focus "$message"
    expect_file "$folder/kuradata_v2.csv" "$files/expected/converted_kuradata_v2.csv" \
        "the converted catalogue is not the expected one"
    shot "$message" "$shots/converter-message.png" frame
    # The message opens over the converter window; moved aside, it lets the window's caption be seen.
    drag_window "$message" 40 40
    shot "$converter" "$shots/converter-window.png" frame
    has_ended "$pid" && fail "the converter ended before its message was answered"
    window_of "$pid" '^こんばーちゃ$' || fail "the converter window went away before its message was answered"

    step "Enter closes the message and ends the converter"
    xdotool key Return
    wait_for_end "$pid" 10 "kuranote_conv"
    [[ $exit_code -eq 0 ]] || fail "kuranote_conv ended with exit code $exit_code"
}

# What a folder holds, file by file, with every file's bytes.
folder_state() { (cd "$1" && ls -lR --time-style=full-iso && find . -type f -exec md5sum {} + | sort -k 2); }

# Starts kuranote_conv from its folder with a newer catalogue, as a file dropped on it would, and waits for the
# question; sets pid and box.
start_update() {
    (cd "$1" && exec ./kuranote_conv "$2") >"$work/kuranote_conv-update.log" 2>&1 &
    pid=$!
    started_pids+=("$pid")
    wait_for_window "$pid" '^kuranote_conv$'
    box=$window
    wait_for_focus "$box"
}

# A newer catalogue taken in by kuranote_conv FILE: Escape and いいえ write nothing; はい keeps a copy of the old
# catalogue in backup/ and writes the newer one with every villager's ticks.
update_scenario() {
    make_folder "カタログ更新" "$files/kurasize.dat" "$files/kuraword.csv"
    local folder=$program_folder newer="$work/新しい カタログ.csv" ticked=$files/expected/converted_kuradata_v2.csv
    local pid box key before copy
    cp "$ticked" "$folder/kuradata_v2.csv"
    cp "$files/newer_kuradata_v2.csv" "$newer"
    before=$(folder_state "$folder")
    for key in Escape n; do
        step "kuranote_conv with a newer catalogue; $key at the question: exit code 1, nothing written"
        start_update "$folder" "$newer"
        if [[ $key == n ]]; then
            shot "$box" "$shots/update-question.png" frame
        fi
        xdotool key "$key"
        wait_for_end "$pid" 10 "kuranote_conv"
        [[ $exit_code -eq 1 ]] || fail "$key at the question ended kuranote_conv with exit code $exit_code, not 1"
        [[ $(folder_state "$folder") == "$before" ]] || fail "$key at the question changed the folder"
    done

    step "Y (はい): the old catalogue copied into backup/, the newer one written with the ticks, the copy named"
    start_update "$folder" "$newer"
    xdotool key y
    poll 10 another_window_of "$pid" '^kuranote_conv$' "$box" || fail "no message followed the question"
    wait_for_focus "$window"
    expect_file "$folder/kuradata_v2.csv" "$files/expected/updated_kuradata_v2.csv" \
        "the updated catalogue is not the expected one"
    copy=$(compgen -G "$folder/backup/kuradata_v2.csv.before-update-[0-9]*-[0-9]*") ||
        fail "no copy of the old catalogue in backup/: $(ls -A "$folder/backup" 2>&1)"
    expect_file "$copy" "$ticked" "the copy in backup/ is not the old catalogue"
    cmp -s "$folder/kurasize.dat" "$files/kurasize.dat" || fail "the update changed the settings"
    cmp -s "$folder/kuraword.csv" "$files/kuraword.csv" || fail "the update changed the word file"
    cmp -s "$newer" "$files/newer_kuradata_v2.csv" || fail "the update changed the newer catalogue's file"
    shot "$window" "$shots/update-message.png" frame
    step "  Enter closes the message: exit code 0"
    xdotool key Return
    wait_for_end "$pid" 10 "kuranote_conv"
    [[ $exit_code -eq 0 ]] || fail "kuranote_conv ended with exit code $exit_code after the update"
}

# The main window's width and height and the search window's width and height, lines 14 to 17 of the settings.
stored_sizes() { sed -n '14,17p' "$1" | tr -d '\r' | paste -sd ' '; }
stored_sizes_are() { [[ $(stored_sizes "$1") == "$2" ]]; }

minimum_size_scenario() {
    make_folder "最小の大きさ" "$files/kuradata_v2.csv" "$files/kuraword.csv"
    local folder=$program_folder main search pid box
    awk 'NR == 14 || NR == 15 { print "1500\r"; next } NR == 16 || NR == 17 { print "150\r"; next } { print }' \
        "$files/kurasize.dat" >"$folder/kurasize.dat"

    step "Start kuranote with both windows' stored sizes below their minimums"
    start_checklist "$folder"
    # 4720 x 3600 and 2055 x 2995 twips at the nearest pixel, frame included, before anything moves them.
    wait_for_outer_size "$main" 315 240
    wait_for_outer_size "$search" 137 200

    step "Move the search window off the main window; セーブ(&S) with OK stores exactly the minimums"
    drag_window "$search" 40 40
    ask "$pid" "$main" alt+s
    xdotool key Return
    question_closed "$pid"
    poll 10 stored_sizes_are "$folder/kurasize.dat" "4720 3600 2055 2995" ||
        fail "the saved sizes are $(stored_sizes "$folder/kurasize.dat"), not 4720 3600 2055 2995"

    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
}

# Every shown window of the process, the list's context menu included.
shown_windows() { xdotool search --all --pid "$1" --onlyvisible --name '' 2>/dev/null | wc -l; }
more_windows_than() { (( $(shown_windows "$1") > $2 )); }

# Opens the list's context menu by the given means (a right click, or keys), takes B (以前のセーブに戻す), and
# waits for the dialog with the focus; sets dialog.
open_saved_states() {
    local pid=$1 main=$2 how=$3 before
    before=$(shown_windows "$pid")
    if [[ $how == right-click ]]; then
        geometry "$main"
        move_mouse $((left + list_left + 60)) $((top + menu + list_top + 30))
        xdotool click 3
    else
        click_title_bar "$main"
        xdotool key "$how"
    fi
    poll 10 more_windows_than "$pid" "$before" || fail "$how did not open the list's menu"
    if [[ -n ${4:-} ]]; then
        import -window root -crop "$(( width + 220 ))x$(( height + 40 ))+$(( left - 10 ))+$(( top - 30 ))" +repage "$4"
    fi
    xdotool key b
    wait_for_window "$pid" '^以前のセーブに戻す$'
    dialog=$window
    wait_for_focus "$dialog"
}

# Going back to a kept save from the list's context menu, by the mouse and then by the keyboard alone: the
# files come back byte for byte, and what they replaced is kept so that going back is undone the same way.
goback_scenario() {
    make_folder "以前のセーブ" "$files/kuradata_v2.csv" "$files/kurasize.dat" "$files/kuraword.csv"
    local folder=$program_folder main search pid box dialog menu
    step "Start kuranote, tick the first row with Home and Enter, and save: backup/ keeps the replaced pair"
    start_checklist "$folder"
    drag_window "$main" 40 40
    drag_window "$search" 560 40
    shot "$main" "$work/goback-start.png"
    menu=$(first_line_with "$work/goback-start.png" "$town_column_x" '#004000')
    click_title_bar "$main"
    xdotool key Home Return
    ask "$pid" "$main" alt+s
    xdotool key Return
    question_closed "$pid"
    poll 10 compgen -G "$folder/backup/kurasize.dat.[0-9]*" >/dev/null || fail "the save kept no pair in backup/"
    cp "$folder/kuradata_v2.csv" "$work/saved_kuradata_v2.csv"
    cp "$folder/kurasize.dat" "$work/saved_kurasize.dat"

    step "The right button on the list opens its menu; B, Enter on the newest save, Y: the files as they were"
    open_saved_states "$pid" "$main" right-click "$shots/list-menu.png"
    sleep 1
    shot "$dialog" "$shots/saved-states.png" frame
    xdotool key Return
    wait_for_window "$pid" '^くらノート$'
    box=$window
    wait_for_focus "$box"
    xdotool key y
    question_closed "$pid"
    poll 10 files_are "$folder/kuradata_v2.csv" "$files/kuradata_v2.csv" "$folder/kurasize.dat" "$files/kurasize.dat" ||
        fail "going back did not write the files as they were before the save"

    step "Shift+F10, B, Enter, Y: back to the save that going back replaced"
    open_saved_states "$pid" "$main" shift+F10
    xdotool key Return
    wait_for_window "$pid" '^くらノート$'
    wait_for_focus "$window"
    xdotool key y
    question_closed "$pid"
    poll 10 files_are "$folder/kuradata_v2.csv" "$work/saved_kuradata_v2.csv" "$folder/kurasize.dat" \
        "$work/saved_kurasize.dat" || fail "going back again did not write the saved files"
    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    [[ $exit_code -eq 0 ]] || fail "kuranote ended with exit code $exit_code"
}

# A newer catalogue taken in from the window: Shift+F10 opens the list's menu, N the file chooser, where the
# path is typed; はい at the summary writes what kuranote_conv NEW.csv writes, and the list shows it.
takein_scenario() {
    make_folder "取り込み" "$files/kurasize.dat" "$files/kuraword.csv"
    local folder=$program_folder main search pid menu before chooser
    cp "$files/expected/converted_kuradata_v2.csv" "$folder/kuradata_v2.csv"
    cp "$files/newer_kuradata_v2.csv" "$work/newer.csv"
    step "Start kuranote; Shift+F10, N: the file chooser; type the newer catalogue's path and Enter"
    start_checklist "$folder"
    drag_window "$main" 40 40
    drag_window "$search" 560 40
    click_title_bar "$main"
    shot "$main" "$work/takein-before.png"
    xdotool key shift+F10
    sleep 1
    xdotool key n
    wait_for_window "$pid" '^新しいカタログを取り込む$'
    chooser=$window
    wait_for_focus "$chooser"
    type_ascii "$work/newer.csv"
    xdotool key Return
    step "  Y at the summary, Enter at the message: the newer catalogue with the ticks, and in the list"
    wait_for_window "$pid" '^くらノート$'
    wait_for_focus "$window"
    xdotool key y
    poll 10 cmp -s "$folder/kuradata_v2.csv" "$files/expected/updated_kuradata_v2.csv" ||
        fail "the catalogue taken in from the window is not what kuranote_conv NEW.csv writes"
    wait_for_window "$pid" '^くらノート$'
    wait_for_focus "$window"
    xdotool key Return
    question_closed "$pid"
    geometry "$main"
    poll 10 changed_since "$main" "$work/takein-before.png" "$work/takein-after.png" \
        "$((width - 16))x$((height - 100))+8+90" || fail "the list did not show the newer catalogue"
    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    [[ $exit_code -eq 0 ]] || fail "kuranote ended with exit code $exit_code"
}

sample_screenshots() {
    make_folder "サンプル" "$sample/kuradata_v2.csv" "$sample/kurasize.dat" "$sample/kuraword.csv"
    local folder=$program_folder main search pid
    step "Pictures of the sample catalogue into $shots"
    start_checklist "$folder"
    drag_window "$main" 40 40
    geometry "$main"
    frame_extents "$main"
    drag_window "$search" $((40 + frame_l + width + frame_r + 8)) 40
    # The mouse rests on the search window's key box, away from the list.
    click "$search" "$key_box_x" "$key_box_y"
    wait_for_focus "$search"
    shot "$main" "$shots/main-window.png" frame
    shot "$search" "$shots/search-window.png" frame

    xdotool key ctrl+a BackSpace
    wait_for_title "$search" "検索(/全アイテム/名前順)"
    type_key_into_search "$search" "しずく" "/全アイテム/名前順)"
    shot_both "$main" "$search" "$shots/filtered.png"

    click_title_bar "$main"
    xdotool key F2
    # Villager 2 of the sample has the background colour 16443094.
    poll 10 shows_colour "$main" "$work/sample-v2.png" "$(screen_colour 16443094)" 5000 ||
        fail "the sample's villager 2 colours did not show"
    shot_both "$main" "$search" "$shots/villager2.png"

    ask "$pid" "$main" alt+z
    xdotool key n
    wait_for_end "$pid" 10 "kuranote"
    for picture in main-window search-window filtered villager2; do
        step "  $shots/$picture.png"
    done
}

step "Start Xvfb and the openbox window manager"
start_screen
bind_keys "の皿しずく"
checklist_scenario
update_scenario
goback_scenario
takein_scenario
minimum_size_scenario
sample_screenshots
step "PASS"
