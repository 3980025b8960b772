#!/usr/bin/env bash
# The Windows programs, unpacked from their zip, in real windows under Wine: an Xvfb screen run by openbox,
# driven by keys and clicks through xdotool, as a person uses them. A tick with the keyboard and a save,
# checked byte for byte; a close answered No; going back to the save's replaced files from the list's menu; the converter against the Linux converter on the same files;
# the zip unpacked over a portable folder keeping its tick; a second copy on a folder in use; the user's own
# data folder seeded from the zip's samples; and a picture.
#
# Usage: run_wine_e2e.sh ZIP LINUX_KURANOTE_CONV FILES_DIR PICTURE
#   FILES_DIR holds the small catalogue, settings, word file and old file (code page 932).
set -euo pipefail

if [[ $# -ne 4 ]]; then
    echo "usage: $0 ZIP LINUX_KURANOTE_CONV FILES_DIR PICTURE" >&2
    exit 2
fi
zip=$(realpath "$1") linux_converter=$(realpath "$2") files=$(realpath "$3") picture=$(realpath -m "$4")

work_prefix=kuranote-wine-e2e
# shellcheck source=../support/xsession.sh
source "$(dirname "$0")/../support/xsession.sh"
on_failure() {
    if [[ -n ${DISPLAY:-} ]]; then
        import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "${picture%.png}-failure.png" &&
            echo "screen at the failure: ${picture%.png}-failure.png" >&2
    fi
}
require_tools Xvfb openbox xdotool xwininfo xprop import unzip cmp perl /usr/lib/wine/wine64

# shellcheck source=../support/wineuser.sh
source "$(dirname "$0")/../support/wineuser.sh"

step "A new Wine user, with the IPA Gothic fonts"
new_wine_user

step "Unpack $(basename "$zip")"
unzip -q "$zip" -d "$work/unpacked"
name=$(basename "$zip" .zip)
unpacked=$work/unpacked/$name
[[ -f $unpacked/kuranote.exe ]] || fail "the zip holds no $name/kuranote.exe"
# Nothing in the zip lands where the programs write: its data files are the samples in sample/.
data_files=$(unzip -Z1 "$zip" | grep -Ei '\.(csv|dat)$' | grep -v "^$name/sample/" || true)
[[ -z $data_files ]] || fail "the zip holds data files outside sample/: $data_files"

# A copy of the unpacked folder, in $work/NAME/, with the test files as its data; sets folder.
portable_folder() {
    folder=$work/$1/$name
    mkdir -p "$work/$1"
    cp -r "$unpacked" "$folder"
    cp "$files"/kuradata_v2.csv "$files"/kurasize.dat "$files"/kuraword.csv "$files"/kuradata.csv "$folder/"
}

step "Start Xvfb and the openbox window manager"
start_screen

step "The portable folder: Home and Enter tick the first row, セーブ(&S) with OK saves it"
portable_folder portable
start_checklist "$folder"
click_title_bar "$main"
xdotool key Home Return
ask alt+s
xdotool key Return
# The first row in name order is Lamp Alpha: its villager 1 flag, and nothing else, changes.
perl -pe 's/^("Lamp Alpha",.*),0,(\d,\d,\d\r)$/$1,1,$2/' "$files/kuradata_v2.csv" >"$work/expected.csv"
! cmp -s "$work/expected.csv" "$files/kuradata_v2.csv" || fail "the test catalogue has no unticked Lamp Alpha"
poll 10 cmp -s "$folder/kuradata_v2.csv" "$work/expected.csv" ||
    fail "the saved catalogue is not the test catalogue with Lamp Alpha ticked: $(cmp "$folder/kuradata_v2.csv" "$work/expected.csv")"

step "おわる(&Z) answered いいえ ends the program"
quit_with_no

step "The zip unpacked over the portable folder (unzip -o) keeps the saved tick and the other files"
mkdir -p "$work/before"
cp "$folder"/kuradata_v2.csv "$folder"/kurasize.dat "$folder"/kuraword.csv "$folder"/kuradata.csv "$work/before/"
unzip -o -q "$zip" -d "$work/portable"
cmp "$folder/kuradata_v2.csv" "$work/expected.csv" || fail "unpacking the zip over the folder lost the saved tick"
for file in kurasize.dat kuraword.csv kuradata.csv; do
    cmp "$folder/$file" "$work/before/$file" || fail "unpacking the zip over the folder changed $file"
done

# Every shown window of the process, the list's context menu included.
shown_windows() { xdotool search --all --pid "$1" --onlyvisible --name '' 2>/dev/null | wc -l; }
more_windows_than() { (( $(shown_windows "$1") > $2 )); }

step "The right button on the list opens its menu; B, Enter on the newest save, Y: the files before the save"
start_checklist "$folder"
click_title_bar "$main"
windows_before=$(shown_windows "$pid")
geometry "$main"
# Inside the list, below its column titles: the list starts 56 pixels below the menu bar.
move_mouse $((left + 60)) $((top + 110))
xdotool click 3
poll 10 more_windows_than "$pid" "$windows_before" || fail "the right button did not open the list's menu"
xdotool key b
wait_for_window "$pid" '^以前のセーブに戻す$'
wait_for_focus "$window"
xdotool key Return
wait_for_window "$pid" '^くらノート$'
wait_for_focus "$window"
xdotool key y
poll 20 cmp -s "$folder/kuradata_v2.csv" "$files/kuradata_v2.csv" ||
    fail "going back did not write the catalogue as it was before the save"
cmp "$folder/kurasize.dat" "$files/kurasize.dat" || fail "going back did not write the settings as they were"
compgen -G "$folder/backup/kuradata_v2.csv.[0-9]*-[0-9]*" >/dev/null || fail "going back kept no pair in backup"
quit_with_no

step "kuranote_conv.exe writes what the Linux converter writes from the same files"
cp "$files/kuradata_v2.csv" "$folder/"
start_program "$folder" kuranote_conv
converter=$program_pid
poll 60 window_of "$converter" '^kuranote_conv$' || fail "the converter's final message did not appear"
wait_for_focus "$window"
xdotool key Return
wait_for_end "$converter" 20 kuranote_conv.exe
[[ $exit_code -eq 0 ]] || fail "kuranote_conv.exe ended with exit code $exit_code"
mkdir -p "$work/linux"
cp "$files"/kuradata_v2.csv "$files"/kurasize.dat "$files"/kuraword.csv "$files"/kuradata.csv "$work/linux/"
"$linux_converter" --folder "$work/linux" >"$work/linux-converter.log" 2>&1 &
linux=$!
started_pids+=("$linux")
wait_for_window "$linux" '^kuranote_conv$'
wait_for_focus "$window"
xdotool key Return
wait_for_end "$linux" 20 "the Linux kuranote_conv"
! cmp -s "$work/linux/kuradata_v2.csv" "$files/kuradata_v2.csv" || fail "the Linux converter changed nothing"
cmp "$folder/kuradata_v2.csv" "$work/linux/kuradata_v2.csv" || fail "the two converters wrote different catalogues"

another_window_of() { window_of "$1" "$2" && [[ $window != "$3" ]]; }

# What a folder holds, file by file, with every file's bytes.
folder_state() { (cd "$1" && ls -lR --time-style=full-iso && find . -type f -exec md5sum {} + | sort -k 2); }

# Starts kuranote_conv.exe with a newer catalogue and waits for its question; sets converter.
start_update() {
    start_program "$folder" kuranote_conv "$newer"
    converter=$program_pid
    poll 60 window_of "$converter" '^kuranote_conv$' || fail "kuranote_conv.exe asked nothing about the newer catalogue"
    question=$window
    wait_for_focus "$question"
}

step "kuranote_conv.exe given a newer catalogue, as a file dropped on it: Escape and いいえ write nothing"
portable_folder update
ticked=$files/expected/converted_kuradata_v2.csv
cp "$ticked" "$folder/kuradata_v2.csv"
cp "$files/newer_kuradata_v2.csv" "$work/新しい カタログ.csv"
# Explorer hands a dropped file over by its full path; Wine's drive Z: is the Linux root.
newer="Z:${work//\//\\}\\新しい カタログ.csv"
before=$(folder_state "$folder")
for key in Escape n; do
    start_update
    xdotool key "$key"
    wait_for_end "$converter" 20 kuranote_conv.exe
    [[ $exit_code -eq 1 ]] || fail "$key at the question ended kuranote_conv.exe with exit code $exit_code, not 1"
    [[ $(folder_state "$folder") == "$before" ]] || fail "$key at the question changed the folder"
done

step "はい: the old catalogue copied into backup\\, the newer one written with the ticks, exit code 0"
start_update
xdotool key y
poll 20 another_window_of "$converter" '^kuranote_conv$' "$question" || fail "no message followed the question"
wait_for_focus "$window"
cmp "$folder/kuradata_v2.csv" "$files/expected/updated_kuradata_v2.csv" || fail "the updated catalogue is not the expected one"
copy=$(compgen -G "$folder/backup/kuradata_v2.csv.before-update-[0-9]*-[0-9]*") ||
    fail "no copy of the old catalogue in backup: $(ls -A "$folder/backup" 2>&1)"
cmp "$copy" "$ticked" || fail "the copy in backup is not the old catalogue"
cmp "$folder/kurasize.dat" "$files/kurasize.dat" || fail "the update changed the settings"
cmp "$folder/kuraword.csv" "$files/kuraword.csv" || fail "the update changed the word file"
xdotool key Return
wait_for_end "$converter" 20 kuranote_conv.exe
[[ $exit_code -eq 0 ]] || fail "kuranote_conv.exe ended with exit code $exit_code after the update"

step "Unpacked as it comes, kuranote.exe makes %APPDATA%\\kuranote from the zip's samples"
folder=$work/fresh
cp -r "$unpacked" "$folder"
start_checklist "$folder"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp -s "$appdata/kuranote/$file" "$unpacked/sample/$file" || fail "%APPDATA%\\kuranote\\$file is not the sample's"
done

step "A second kuranote.exe on the same folder: one message, exit code 1"
start_program "$folder" kuranote
second=$program_pid
poll 60 window_of "$second" '^くらノート$' || fail "the second copy showed no message"
wait_for_focus "$window"
xdotool key Return
wait_for_end "$second" 20 "the second kuranote.exe"
[[ $exit_code -eq 1 ]] || fail "the second kuranote.exe ended with exit code $exit_code, not 1"

step "The picture of both windows on the sample catalogue: $picture"
# Wine draws the windows' frames itself, so they are placed side by side for the picture, not dragged.
geometry "$main"
xdotool windowmove "$main" 20 40 windowmove "$search" $((20 + width + 16)) 40
click_title_bar "$main"
sleep 1
mkdir -p "$(dirname "$picture")"
shot_both "$main" "$search" "$picture"
quit_with_no

step "PASS"
