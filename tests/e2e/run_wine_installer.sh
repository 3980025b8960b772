#!/usr/bin/env bash
# The Windows installer under Wine, as a user meets it: a silent install (/S) gives the zip's files in
# %LOCALAPPDATA%\Programs\kuranote, the Start-menu entry くらノート and the Apps entry; the installed
# kuranote.exe seeds %APPDATA%\kuranote and saves a tick in a real window (Xvfb, openbox, xdotool); an
# installer refuses while it runs; a higher version, made by the same script without one of the zip's
# files, installs over it, removes that file and keeps the tick; the older one is then refused and the same
# one repairs; the uninstaller removes what was installed and nothing else, and leaves the data alone.
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

# Runs an installer or uninstaller silently, without a window, until it ends; sets exit_code.
run_silently() {
    exit_code=0
    $wine "$@" /S >>"$work/setup.log" 2>&1 || exit_code=$?
}

# The Apps entry's values, as "name=value" lines in UTF-8; empty when there is no entry.
apps_entry() {
    rm -f "$work/entry.reg"
    $wine reg export "$uninstall_key" 'Z:'"${work//\//\\}"'\entry.reg' >/dev/null 2>&1 || return 0
    iconv -f UTF-16 -t UTF-8 "$work/entry.reg" | tr -d '\r' | sed -n 's/^"\([^"]*\)"=/\1=/p'
}
entry_value() { apps_entry | sed -n "s/^$1=//p"; }

# Every file of the install folder with its checksum: what "nothing changed" compares.
folder_state() { (cd "$installed" && find . -type f -exec md5sum {} + | sort -k 2); }

# Runs an installer that must refuse: it ends with the exit code given, and neither the install folder nor
# the Apps entry's version changes.
refuses() {
    local installer=$1 code=$2 installed_version=$3 why=$4
    folder_state >"$work/state-before"
    run_silently "$installer"
    [[ $exit_code -eq $code ]] || fail "the installer ended with exit code $exit_code $why, not $code"
    diff -u "$work/state-before" <(folder_state) >&2 || fail "the installer refused $why changed the install folder"
    [[ $(entry_value DisplayVersion) == "\"$installed_version\"" ]] ||
        fail "the installer refused $why changed the Apps entry"
}

# The zip's files, as found in the install folder: the names, one a line.
zip_files() { unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$(basename "$zip" .zip)/||" | sort; }
installed_files() { (cd "$installed" && find . -type f | sed 's|^\./||' | sort); }

one_record_changed() { [[ $(diff "$1" "$2" | grep -c '^<') -eq 1 ]]; }
has_no() { [[ ! -e $1 ]]; }
files_gone() { [[ -z $(find "$installed" -name '*.exe' -o -name '*.dll' 2>/dev/null) ]]; }

# Every Wine process from here on, the installers too, belongs to this screen's desktop.
step "Start Xvfb and openbox"
start_screen

step "Install with /S: the zip's files, the shortcut and the Apps entry"
run_silently "$setup"
[[ $exit_code -eq 0 ]] || fail "the installer ended with exit code $exit_code"
diff -u <(zip_files) <(installed_files | grep -vx -e uninstall.exe -e kuranote-files.txt) >&2 ||
    fail "the install folder does not hold exactly the zip's files"
[[ -f $installed/uninstall.exe ]] || fail "no uninstall.exe"
# The icon Explorer, the taskbar, the shortcut and the Apps entry show, and the version Explorer shows.
for program in kuranote kuranote_conv; do
    resources=$(wrestool -l "$installed/$program.exe")
    [[ $resources == *type=group_icon* && $resources == *type=version* ]] ||
        fail "$program.exe carries no icon or no version resource: $resources"
done
[[ -f $shortcut ]] || fail "no Start-menu entry くらノート.lnk"
strings -el "$shortcut" | grep -q 'Programs\\kuranote\\kuranote\.exe$' ||
    fail "the Start-menu entry does not start the installed kuranote.exe: $(strings -el "$shortcut")"
# shellcheck source=../../scripts/windows/version.sh
source "$here/../../scripts/windows/version.sh"
version=$kuranote_version
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
mkdir -p "$work/saved"
cp "$data"/kuradata_v2.csv "$data"/kurasize.dat "$data"/kuraword.csv "$work/saved/"

step "Version $higher installs over it: $left_out, which only the older installed, is gone; the ticks stay"
touch "$installed/backup-of-mine.csv"
mkdir -p "$installed/backup"
echo mine >"$installed/backup/planted.txt"
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 ]] || fail "the higher version's installer ended with exit code $exit_code"
[[ ! -e $installed/$left_out ]] || fail "$left_out, installed only by the older version, is still there"
diff -u <(zip_files | grep -vx "$left_out") \
    <(installed_files | grep -vx -e uninstall.exe -e kuranote-files.txt -e backup-of-mine.csv -e backup/planted.txt) >&2 ||
    fail "after the upgrade the install folder does not hold the higher version's files"
[[ -f $installed/backup-of-mine.csv && -f $installed/backup/planted.txt ]] || fail "the upgrade removed a file it never installed"
[[ $(entry_value DisplayVersion) == "\"$higher\"" ]] || fail "the Apps entry's version after the upgrade: $(apps_entry)"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp "$data/$file" "$work/saved/$file" || fail "the upgrade changed %APPDATA%\\kuranote\\$file"
done

step "The older installer is refused over the newer version (exit code 2), changing nothing"
refuses "$setup" 2 "$higher" "over the newer version"

step "The same version again repairs: a deleted program file comes back"
rm "$installed/kuranote_conv.exe"
run_silently "$work/higher-setup.exe"
[[ $exit_code -eq 0 && -f $installed/kuranote_conv.exe ]] || fail "the repair ended with $exit_code"

step "The uninstaller with /S removes what was installed, the shortcut and the entry; the rest stays"
run_silently "$installed/uninstall.exe"
[[ $exit_code -eq 0 ]] || fail "the uninstaller ended with exit code $exit_code"
# It copies itself elsewhere and returns before that copy has finished.
poll 60 files_gone || fail "the uninstaller left program files: $(installed_files)"
poll 20 has_no "$installed/uninstall.exe" || fail "uninstall.exe is still there"
/usr/lib/wine/wineserver -w
[[ $(installed_files) == $'backup-of-mine.csv\nbackup/planted.txt' ]] ||
    fail "the install folder holds other files than the planted ones: $(installed_files)"
[[ ! -e $shortcut ]] || fail "the Start-menu entry is still there"
[[ -z $(apps_entry) ]] || fail "the Apps entry is still there: $(apps_entry)"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp "$data/$file" "$work/saved/$file" || fail "the uninstaller changed %APPDATA%\\kuranote\\$file"
done

step "PASS"
