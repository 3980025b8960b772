#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it. First how it judges each line of its list of
# installed files (filelist.nsh, in a program of its own), its own list included. Then a silent install (/S)
# gives the zip's files in %LOCALAPPDATA%\Programs\kuranote, the Start-menu entry くらノート and the Apps
# entry; the installed kuranote.exe seeds %APPDATA%\kuranote and saves a tick in a real window (Xvfb,
# openbox, xdotool); an installer refuses while it runs; a higher version, made by the same script without
# one of the zip's files, installs over it, removes that file and keeps the tick; the older one is then
# refused, and so is /D= naming another folder; the same one repairs, and a damaged list deletes nothing of
# the user's; the uninstaller removes what was installed and nothing else, and leaves the data alone. A
# fresh install into someone else's folder is refused; into the folder the uninstall left, it works; after
# the install folder was moved by hand, an upgrade installs afresh.
#
# Usage: run_wine_installer.sh SETUP.EXE ZIP   (the installer and the zip it was made from)
set -euo pipefail

if [[ $# -ne 2 ]]; then
    echo "usage: $0 SETUP.EXE ZIP" >&2
    exit 2
fi
setup=$(realpath "$1") zip=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)

work_prefix=kuranote-wine-installer
# shellcheck source=../support/xsession.sh
source "$here/../support/xsession.sh"
require_tools Xvfb openbox xdotool xwininfo unzip cmp iconv strings wrestool makensis /usr/lib/wine/wine64
# shellcheck source=../support/wineuser.sh
source "$here/../support/wineuser.sh"

# shellcheck source=../../scripts/windows/version.sh
source "$here/../../scripts/windows/version.sh"
version=$kuranote_version
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\kuranote'
left_out=README.txt
higher=99.0

step "A higher-version installer from the same script, without $left_out"
bash "$here/../../scripts/windows/installer.sh" "$zip" "$work/higher-setup.exe" --version "$higher" \
    --leave-out "$left_out" >"$work/installer.log" 2>&1 || fail "installer.sh could not make the higher version"

step "A new Wine user, with the IPA Gothic fonts"
new_wine_user
users=$(dirname "$(dirname "$appdata")")
installed=$users/AppData/Local/Programs/kuranote
shortcut="$appdata/Microsoft/Windows/Start Menu/Programs/くらノート.lnk"
data=$appdata/kuranote

# Runs an installer or uninstaller silently, without a window, until it ends, with the options given after
# /S (/D= comes last); sets exit_code.
run_silently() {
    exit_code=0
    $wine "$1" /S "${@:2}" >>"$work/setup.log" 2>&1 || exit_code=$?
}
# A folder of this machine as Wine's programs name it (Wine maps the Unix root to drive Z:).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The Apps entry's values, as "name=value" lines in UTF-8; empty when there is no entry.
apps_entry() {
    rm -f "$work/entry.reg"
    $wine reg export "$uninstall_key" 'Z:'"${work//\//\\}"'\entry.reg' >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$work/entry.reg" | tr -d '\r' | sed -n 's/^"\([^"]*\)"=/\1=/p'
}
entry_value() { apps_entry | sed -n "s/^$1=//p"; }

# Every file of a folder with its checksum: what "nothing changed" compares.
state_of() { (cd "$1" && find . -type f -exec md5sum {} + | sort -k 2); }
folder_state() { state_of "$installed"; }
data_unchanged() { diff -u "$work/saved-data" <(state_of "$data") >&2 || fail "$1 changed %APPDATA%\\kuranote"; }

# Runs an installer that must refuse, with the options given after the first four: it ends with the exit
# code given, and neither the install folder nor the Apps entry's version changes.
refuses() {
    local installer=$1 code=$2 installed_version=$3 why=$4
    folder_state >"$work/state-before"
    run_silently "$installer" "${@:5}"
    [[ $exit_code -eq $code ]] || fail "the installer ended with exit code $exit_code $why, not $code"
    diff -u "$work/state-before" <(folder_state) >&2 || fail "the installer refused $why changed the install folder"
    [[ $(entry_value DisplayVersion) == "\"$installed_version\"" ]] ||
        fail "the installer refused $why changed the Apps entry"
}

# The verdicts of a list's lines, one a line: "use", "bad" or "keep", a tab, the line as read (by the program
# the first step makes).
verdicts_of() {
    cp "$1" "$work/verdicts/lines.txt"
    rm -f "$work/verdicts/verdicts.txt"
    (cd "$work/verdicts" && $wine verdicts.exe) >>"$work/setup.log" 2>&1 || fail "the verdicts program failed"
    tr -d '\r' <"$work/verdicts/verdicts.txt"
}

# The zip's files, as found in the install folder: the names, one a line.
zip_files() { unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$(basename "$zip" .zip)/||" | sort; }
installed_files() { (cd "$installed" && find . -type f | sed 's|^\./||' | sort); }

# The user's own files in the install folder, planted before the upgrade: a file of theirs, a portable data
# file and a set-aside recovery record at the top, and a backup.
planted=(backup-of-mine.csv backup/planted.txt mine.csv kuradata_v2.csv kuradata_v2.csv.recovery-20260101-120000)
plant() {
    local file
    for file in "${planted[@]}"; do
        mkdir -p "$(dirname "$installed/$file")"
        printf "the user's %s\r\n" "$file" >"$installed/$file"
    done
    planted_before=$(planted_state)
}
planted_state() { (cd "$installed" && md5sum "${planted[@]}" 2>&1); }
planted_unchanged() {
    [[ $(planted_state) == "$planted_before" ]] || fail "$1 changed the user's files: $(planted_state)"
}
# The install folder's files but the list, uninstall.exe and the planted ones.
installers_files() {
    local file patterns=(-e uninstall.exe -e kuranote-files.txt)
    for file in "${planted[@]}"; do patterns+=(-e "$file"); done
    installed_files | grep -vx "${patterns[@]}"
}
# Adds to the installed list lines that, taken as text, delete the user's files: wildcards, a path out of
# the folder, a trailing dot, a short name, and the user's data named outright.
damage_list() {
    printf '%s\r\n' '*.csv' '..\..\..\Roaming\kuranote\kuradata_v2.csv' 'mine.cs?' '<.csv' 'mine.csv.' 'KURADA~1.CSV' \
        kuradata_v2.csv KURADATA_V2.CSV.RECOVERY-20260101-120000 'backup\planted.txt' "backup\\" >>"$installed/kuranote-files.txt"
}

one_record_changed() { [[ $(diff "$1" "$2" | grep -c '^<') -eq 1 ]]; }
has_no() { [[ ! -e $1 ]]; }
files_gone() { [[ -z $(find "$installed" -name '*.exe' -o -name '*.dll' 2>/dev/null) ]]; }

# Every Wine process from here on, the installers too, belongs to this screen's desktop.
step "Start Xvfb and openbox"
start_screen

step "How the installer judges each line of its list"
# The installer's own reading of the list, in a program of its own: it writes the verdict of each line.
mkdir -p "$work/verdicts"
makensis -V2 -INPUTCHARSET UTF8 -DPACKAGING="$here/../../packaging/windows" -DOUTFILE="$work/verdicts/verdicts.exe" \
    "$here/filelist_verdicts.nsi" >"$work/makensis.log" 2>&1 || fail "makensis could not make the verdicts program"
# Each case: the verdict, a space, the line (printf %b escapes). A line is used only when made of ASCII
# letters, digits, _ - + . ( ) and backslashes between names, none empty nor starting or ending with a dot;
# what is the user's data stays whatever the list says. (Shellcheck takes a doubled backslash, which %b reads
# as one, before a closing quote for an escaped quote.)
# shellcheck disable=SC1003
cases=(
    'use kuranote.exe' 'use platforms\\qwindows.dll' 'use a_b-c+d(e)1.F' 'use sample\\kuradata_v2.csv' 'use sample\\'
    'keep kuradata_v2.csv' 'keep KuraData_V2.CSV.recovery-20260101-120000' 'keep kurasize.dat' 'keep kuraword.csv'
    'keep kuradata.csv' 'keep kuranote.lock' 'keep backup\\' 'keep Backup\\kuradata_v2.csv.20260101-120000'
    'bad *.csv' 'bad ..\\..\\..\\Roaming\\kuranote\\kuradata_v2.csv' 'bad mine.cs?' 'bad <.csv' 'bad >.csv'
    'bad mine.csv.' 'bad KURADA~1.CSV' 'bad sample.\\x.txt' 'bad .\\kuranote.exe' 'bad .hidden' 'bad \\kuranote.exe'
    'bad sample\\\\x.txt' 'bad sample\\\\' 'bad \\' 'bad C:\\Windows\\x.dll' 'bad a b.txt' 'bad kuranote.exe '
    'bad k\xe3\x81\x8f.txt' 'bad kuranote.exe\x00x' 'bad kura"data.csv' "bad $(printf 'a%.0s' {1..1500})"
)
# One list of them all: CR LF line ends, an empty line among them, and the last one with no line end.
{
    for case in "${cases[@]}"; do printf '%b\r\n' "${case#* }"; done
    printf '\r\nuninstall.exe'
} >"$work/cases.txt"
# Each line the verdict expected, the one given and the line as read; a line judged wrongly differs in the two.
verdicts_of "$work/cases.txt" >"$work/case-verdicts.txt"
paste <(printf '%s\n' "${cases[@]%% *}" use) <(cut -c1-60 "$work/case-verdicts.txt") |
    awk -F'\t' '$1 != $2' >"$work/wrong-verdicts.txt"
[[ ! -s $work/wrong-verdicts.txt ]] || fail "lines judged wrongly (expected, given, line): $(cat "$work/wrong-verdicts.txt")"

step "Install with /S: the zip's files, the shortcut and the Apps entry"
run_silently "$setup"
[[ $exit_code -eq 0 ]] || fail "the installer ended with exit code $exit_code"
diff -u <(zip_files) <(installers_files) >&2 || fail "the install folder does not hold exactly the zip's files"
[[ -f $installed/uninstall.exe ]] || fail "no uninstall.exe"
verdicts_of "$installed/kuranote-files.txt" >"$work/list-verdicts.txt"
[[ $(cut -f1 "$work/list-verdicts.txt" | sort -u) == use &&
    $(wc -l <"$work/list-verdicts.txt") -eq $(wc -l <"$installed/kuranote-files.txt") ]] ||
    fail "the list the installer wrote fails its own check: $(grep -v '^use' "$work/list-verdicts.txt")"
# The icon Explorer, the taskbar, the shortcut and the Apps entry show, and the version Explorer shows.
for program in kuranote kuranote_conv; do
    resources=$(wrestool -l "$installed/$program.exe")
    [[ $resources == *type=group_icon* && $resources == *type=version* ]] ||
        fail "$program.exe carries no icon or no version resource: $resources"
done
[[ -f $shortcut ]] || fail "no Start-menu entry くらノート.lnk"
strings -el "$shortcut" | grep -q 'Programs\\kuranote\\kuranote\.exe$' ||
    fail "the Start-menu entry does not start the installed kuranote.exe: $(strings -el "$shortcut")"
[[ $(entry_value DisplayName) == '"くらノート"' ]] || fail "the Apps entry: $(apps_entry)"
[[ $(entry_value DisplayVersion) == "\"$version\"" ]] || fail "the Apps entry's version: $(apps_entry)"
for value in Publisher DisplayIcon UninstallString EstimatedSize; do
    [[ -n $(entry_value "$value") ]] || fail "the Apps entry has no $value: $(apps_entry)"
done
[[ $(entry_value NoModify) == dword:00000001 && $(entry_value NoRepair) == dword:00000001 ]] ||
    fail "the Apps entry offers to modify or repair: $(apps_entry)"

step "The installed kuranote.exe seeds %APPDATA%\\kuranote; Home and Enter tick the first row; セーブ(&S) saves"
start_checklist "$installed"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp -s "$data/$file" "$installed/sample/$file" || fail "%APPDATA%\\kuranote\\$file is not the sample's"
done
click_title_bar "$main"
xdotool key Home Return
ask alt+s
xdotool key Return
poll 10 one_record_changed "$data/kuradata_v2.csv" "$installed/sample/kuradata_v2.csv" ||
    fail "the save did not change one record: $(diff "$data/kuradata_v2.csv" "$installed/sample/kuradata_v2.csv" | head)"

step "While kuranote.exe runs, an installer refuses (exit code 3) and changes nothing"
refuses "$work/higher-setup.exe" 3 "$version" "while kuranote.exe ran"
quit_with_no
# What the data folder holds now is what every later step must leave as it is.
state_of "$data" >"$work/saved-data"

step "Version $higher installs over it: $left_out, which only the older installed, is gone; the ticks stay"
plant
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 ]] || fail "the higher version's installer ended with exit code $exit_code"
[[ ! -e $installed/$left_out ]] || fail "$left_out, installed only by the older version, is still there"
diff -u <(zip_files | grep -vx "$left_out") <(installers_files) >&2 ||
    fail "after the upgrade the install folder does not hold the higher version's files"
planted_unchanged "the upgrade"
[[ $(entry_value DisplayVersion) == "\"$higher\"" ]] || fail "the Apps entry's version after the upgrade: $(apps_entry)"
data_unchanged "the upgrade"

step "The older installer is refused over the newer version (exit code 2), changing nothing"
refuses "$setup" 2 "$higher" "over the newer version"

step "/D= naming another folder than the installed one is refused (exit code 2), nothing written there"
refuses "$work/higher-setup.exe" 2 "$higher" "with /D= naming another folder" "/D=$(windows_path "$work/elsewhere")"
[[ ! -e $work/elsewhere ]] || fail "the installer refused with /D= made $work/elsewhere"

step "The same version again repairs: a deleted program file comes back"
rm "$installed/kuranote_conv.exe"
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 && -f $installed/kuranote_conv.exe ]] || fail "the repair ended with $exit_code"

step "A damaged list (wildcards, a path out of the folder, a short name, the data named) deletes nothing of the user's"
damage_list
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 ]] || fail "the installer with a damaged list ended with exit code $exit_code"
diff -u <(zip_files | grep -vx "$left_out") <(installers_files) >&2 ||
    fail "with a damaged list the install folder does not hold the installer's files"
planted_unchanged "the installer with a damaged list"
data_unchanged "the installer with a damaged list"

step "The uninstaller with /S, its list damaged too, removes what was installed, the shortcut and the entry; the rest stays"
damage_list
run_silently "$installed/uninstall.exe"
[[ $exit_code -eq 0 ]] || fail "the uninstaller ended with exit code $exit_code"
# It copies itself elsewhere and returns before that copy has finished.
poll 60 files_gone || fail "the uninstaller left program files: $(installed_files)"
poll 20 has_no "$installed/uninstall.exe" || fail "uninstall.exe is still there"
/usr/lib/wine/wineserver -w
[[ $(installed_files) == "$(printf '%s\n' "${planted[@]}" | sort)" ]] ||
    fail "the install folder holds other files than the planted ones: $(installed_files)"
planted_unchanged "the uninstaller"
[[ ! -e $shortcut ]] || fail "the Start-menu entry is still there"
[[ -z $(apps_entry) ]] || fail "the Apps entry is still there: $(apps_entry)"
data_unchanged "the uninstaller"

step "/S /D= into a folder holding someone else's README.txt is refused (exit code 2), the file as it was"
mkdir -p "$work/someone"
printf "someone else's read-me\r\n" >"$work/someone/README.txt"
state_of "$work/someone" >"$work/someone-before"
run_silently "$setup" "/D=$(windows_path "$work/someone")"
[[ $exit_code -eq 2 ]] || fail "the installer into someone else's folder ended with exit code $exit_code, not 2"
diff -u "$work/someone-before" <(state_of "$work/someone") >&2 || fail "the installer refused changed someone else's folder"
[[ -z $(apps_entry) ]] || fail "the installer refused made an Apps entry: $(apps_entry)"

step "Into the folder the uninstall left with the user's files, installing again works"
run_silently "$setup"
[[ $exit_code -eq 0 ]] || fail "installing into the folder the uninstall left ended with exit code $exit_code"
diff -u <(zip_files) <(installers_files) >&2 || fail "the install folder does not hold the zip's files"
planted_unchanged "installing again"

step "After the install folder was moved by hand, an upgrade installs afresh, leaving the moved one alone"
mv "$installed" "$work/moved"
state_of "$work/moved" >"$work/moved-before"
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 ]] || fail "the upgrade after the folder was moved ended with exit code $exit_code"
diff -u <(zip_files | grep -vx "$left_out") <(installed_files | grep -vx -e uninstall.exe -e kuranote-files.txt) >&2 ||
    fail "after the folder was moved the upgrade did not install the higher version's files afresh"
[[ $(entry_value DisplayVersion) == "\"$higher\"" ]] || fail "the Apps entry's version: $(apps_entry)"
diff -u "$work/moved-before" <(state_of "$work/moved") >&2 || fail "the upgrade changed the moved folder"
data_unchanged "the upgrade after the folder was moved"

step "PASS"
