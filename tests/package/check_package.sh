#!/usr/bin/env bash
# Checks kuranote's packages as a user gets them: the Debian package's control data and content, its menu
# entry and software-centre entry through their validators, its icons, and the portable archive's content.
# Then the programs unpacked from the Debian package (dpkg-deb -x, nothing installed on the system) run in
# a real X window (Xvfb with openbox, driven by xdotool) for a user whose home folder is empty: the first
# start makes and fills the user's data folder, a tick is saved, the second start finds it, and the
# converter works on the same folder.
#
# Usage: check_package.sh BUILD_DIR | PACKAGES_DIR
#   BUILD_DIR (holding CPackConfig.cmake): the packages are made there with cpack, into a temporary folder.
#   PACKAGES_DIR: the packages already made by scripts/package.sh.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 BUILD_DIR | PACKAGES_DIR" >&2
    exit 2
fi

work_prefix=kuranote-package
# shellcheck source=../support/xsession.sh
source "$(dirname "$0")/../support/xsession.sh"
unset XDG_DATA_HOME
require_tools dpkg-deb lintian man desktop-file-validate appstreamcli identify Xvfb openbox xdotool xprop iconv cmp

# ---------------------------------------------------------------------------------------------
# The packages

if [[ -f $1/CPackConfig.cmake ]]; then
    step "Make the packages with cpack"
    cpack --config "$1/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 || fail "cpack failed"
    packages=$work/packages
else
    packages=$1
fi
debs=("$packages"/kuranote_*.deb)
archives=("$packages"/kuranote-*.tar.gz)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "not one kuranote_*.deb in $packages"
[[ ${#archives[@]} -eq 1 && -f ${archives[0]} ]] || fail "not one kuranote-*.tar.gz in $packages"
deb=${debs[0]} archive=${archives[0]}

step "The Debian package's control data: $(basename "$deb")"
[[ $(dpkg-deb -f "$deb" Package) == kuranote ]] || fail "the package is not named kuranote"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 libicu72 fonts-ipafont-gothic qt6-qpa-plugins \
    qt6-translations-l10n; do
    [[ $depends =~ (^|[ ,|])$needed([ ,]|$) ]] || fail "the package does not depend on $needed: $depends"
done

step "The Debian package's content"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort >"$work/deb-content"
sort >"$work/deb-expected" <<'EOF'
-rwxr-xr-x ./usr/bin/kuranote
-rwxr-xr-x ./usr/bin/kuranote_conv
-rw-r--r-- ./usr/share/applications/kuranote.desktop
-rw-r--r-- ./usr/share/metainfo/io.github.kuranote.kuranote.metainfo.xml
-rw-r--r-- ./usr/share/kuranote/sample/kuradata_v2.csv
-rw-r--r-- ./usr/share/kuranote/sample/kurasize.dat
-rw-r--r-- ./usr/share/kuranote/sample/kuraword.csv
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/24x24/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/64x64/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/128x128/apps/kuranote.png
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/kuranote.png
-rw-r--r-- ./usr/share/man/man1/kuranote.1.gz
-rw-r--r-- ./usr/share/man/man1/kuranote_conv.1.gz
-rw-r--r-- ./usr/share/man/ja/man1/kuranote.1.gz
-rw-r--r-- ./usr/share/man/ja/man1/kuranote_conv.1.gz
-rw-r--r-- ./usr/share/doc/kuranote/copyright
-rw-r--r-- ./usr/share/doc/kuranote/changelog.gz
-rw-r--r-- ./usr/share/lintian/overrides/kuranote
EOF
diff -u "$work/deb-expected" "$work/deb-content" >&2 || fail "the Debian package holds other files than expected"

step "lintian accepts the Debian package: no error, no warning but the overrides it ships"
lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.log")"

root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin share=$root/usr/share
desktop_file=$share/applications/kuranote.desktop

step "The manual pages render without a warning, in English and in Japanese"
for page in "$share"/man/man1/*.1.gz "$share"/man/ja/man1/*.1.gz; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/man.log" ||
        fail "man could not show $page: $(cat "$work/man.log")"
    [[ ! -s $work/man.log ]] || fail "man warns about $page: $(cat "$work/man.log")"
    grep -q -- '--folder' "$work/page.txt" || fail "$page does not describe --folder"
done

step "The menu entry and the software-centre entry pass their validators"
desktop-file-validate "$desktop_file" || fail "desktop-file-validate refused kuranote.desktop"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli refused the metainfo file: $(cat "$work/appstream.log")"
entry() { sed -n "s/^$1=//p" "$desktop_file"; }
[[ -x $bin/$(entry Exec) ]] || fail "the menu entry starts $(entry Exec), which the package does not hold"
for size in 16 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/$(entry Icon).png
    [[ $(identify -format %wx%h "$icon") == "${size}x$size" ]] || fail "$icon is not $size pixels square"
done

step "The portable archive's content: $(basename "$archive"), with no data file outside sample/"
folder=$(basename "$archive" .tar.gz)
tar -tvzf "$archive" | awk '{ print $1, $6 }' | sort >"$work/archive-content"
sort >"$work/archive-expected" <<EOF
-rwxr-xr-x $folder/kuranote
-rwxr-xr-x $folder/kuranote_conv
drwxr-xr-x $folder/sample/
-rw-r--r-- $folder/sample/kuradata_v2.csv
-rw-r--r-- $folder/sample/kurasize.dat
-rw-r--r-- $folder/sample/kuraword.csv
-rw-r--r-- $folder/README.txt
-rw-r--r-- $folder/LICENSE
EOF
diff -u "$work/archive-expected" "$work/archive-content" >&2 || fail "the archive holds other files than expected"
tar -xzf "$archive" -C "$work"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp -s "$work/$folder/sample/$file" "$share/kuranote/sample/$file" || fail "the archive's $file is not the sample"
done

step "Unpacked over a folder in the older layout (data beside the programs, a tick saved), it keeps the tick"
# The older archives held the sample files beside the programs, and the programs saved into them.
older=$work/older/$folder saved=$work/saved
mkdir -p "$older" "$saved"
cp -r "$work/$folder/." "$older/"
cp "$older"/sample/kurasize.dat "$older"/sample/kuraword.csv "$older/"
sed '2s/,0\r$/,1\r/' "$older/sample/kuradata_v2.csv" >"$older/kuradata_v2.csv"
! cmp -s "$older/kuradata_v2.csv" "$older/sample/kuradata_v2.csv" || fail "the sample's first item has villager 4 ticked"
cp "$older"/kuradata_v2.csv "$older"/kurasize.dat "$older"/kuraword.csv "$saved/"
tar -xzf "$archive" -C "$work/older"
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp "$older/$file" "$saved/$file" >&2 || fail "unpacking over the folder changed its $file"
done

# ---------------------------------------------------------------------------------------------
# The command line, where no window may open

# A user whose home folder is empty, here and below.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

step "--version, --help and a wrong option in a terminal without a display"
# As over ssh or in a console: no X, no Wayland, no platform chosen.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
for program in kuranote kuranote_conv; do
    version=$("${no_display[@]}" "$bin/$program" --version) || fail "$program --version failed"
    [[ $version == "$program $(dpkg-deb -f "$deb" Version)" ]] || fail "$program --version said: $version"
    "${no_display[@]}" "$bin/$program" --help >"$work/help.txt" || fail "$program --help failed"
    grep -q -- '--folder <DIR>' "$work/help.txt" || fail "$program --help does not name --folder"
    grep -q "^Usage: .*/$program \[options\]" "$work/help.txt" || fail "$program --help does not name the program"
    code=0
    "${no_display[@]}" "$bin/$program" --no-such-option >"$work/out.txt" 2>"$work/err.txt" || code=$?
    [[ $code -eq 2 ]] || fail "$program --no-such-option ended with $code, not 2"
    [[ ! -s $work/out.txt ]] || fail "$program --no-such-option wrote to standard output"
    grep -q "no-such-option" "$work/err.txt" || fail "$program --no-such-option: $(cat "$work/err.txt")"
done
code=0
"${no_display[@]}" "$bin/kuranote" extra >"$work/out.txt" 2>"$work/err.txt" || code=$?
[[ $code -eq 2 ]] || fail "kuranote extra ended with $code, not 2"
grep -q "余分な引数です: extra" "$work/err.txt" || fail "kuranote extra: $(cat "$work/err.txt")"

step "Qt's own options go to Qt, also before --version; a mistyped one is refused by the name typed"
for program in kuranote kuranote_conv; do
    version=$("${no_display[@]}" "$bin/$program" -platform offscreen --version) ||
        fail "$program -platform offscreen --version failed"
    [[ $version == "$program "* ]] || fail "$program -platform offscreen --version said: $version"
    code=0
    "${no_display[@]}" "$bin/$program" -platfrom offscreen >"$work/out.txt" 2>"$work/err.txt" || code=$?
    [[ $code -eq 2 ]] || fail "$program -platfrom ended with $code, not 2"
    grep -q -- ": -platfrom$" "$work/err.txt" || fail "$program -platfrom: $(cat "$work/err.txt")"
done
[[ -z $(ls -A "$HOME") ]] || fail "the command line alone wrote into the home folder: $(ls -A "$HOME")"

# Starts the checklist offscreen on a copy of the sample with Qt's options, waits until it holds the folder
# (it is then past the command line and running), and ends it.
start_offscreen() {
    rm -rf "$work/offscreen"
    mkdir "$work/offscreen"
    cp "$share/kuranote/sample/"* "$work/offscreen"
    "${no_display[@]}" "$bin/kuranote" -platform offscreen "$@" --folder "$work/offscreen" >"$work/offscreen.log" 2>&1 &
    local offscreen_pid=$!
    started_pids+=("$offscreen_pid")
    poll 10 test -e "$work/offscreen/kuranote.lock" || fail "kuranote $* did not start: $(cat "$work/offscreen.log")"
    has_ended "$offscreen_pid" && fail "kuranote $* ended: $(cat "$work/offscreen.log")"
    kill "$offscreen_pid"
    wait "$offscreen_pid" || true
}

step "Offscreen starts with Qt's -style and -session; a style given after '=' reaches Qt"
start_offscreen -style Fusion -session X
start_offscreen -style=NoSuchStyle
grep -q "invalid style override 'NoSuchStyle'" "$work/offscreen.log" ||
    fail "-style=NoSuchStyle did not reach Qt: $(cat "$work/offscreen.log")"

# ---------------------------------------------------------------------------------------------
# The unpacked programs in a real window, for a user with an empty home folder

data=$HOME/.local/share/kuranote
sample=$share/kuranote/sample

wait_for_end() {
    poll 10 has_ended "$1" || fail "$2 did not end"
    local code=0
    wait "$1" || code=$?
    [[ $code -eq 0 ]] || fail "$2 ended with exit code $code"
}

# Started by its full path from a folder without files, as the menu starts it; sets pid.
start() {
    (cd "$work" && exec "$bin/$1") >"$work/$1.log" 2>&1 &
    pid=$!
    started_pids+=("$pid")
}

# Starts the checklist and waits for both windows; sets pid and main.
start_checklist() {
    start kuranote
    wait_for_window "$pid" '^くらノート ver2\.1$'
    main=$window
    wait_for_window "$pid" '^検索\('
}

# Answers a question box of the main window with a key, once it has the focus.
answer() {
    wait_for_window "$pid" '^くらノート$'
    wait_for_focus "$window"
    xdotool key "$1"
    poll 10 no_window_of "$pid" '^くらノート$' || fail "the question did not close"
}

# Toggles villager 1's tick of the list's second row with keys and saves: the list has the focus in
# the main window, where Down selects the second row and Enter ticks or unticks it.
toggle_second_row_and_save() {
    xdotool windowactivate "$main"
    wait_for_focus "$main"
    xdotool key Down Return
    xdotool key alt+s
    answer Return
}

quit_without_saving() {
    xdotool windowactivate "$main"
    wait_for_focus "$main"
    xdotool key alt+z
    answer n
    wait_for_end "$pid" kuranote
}

flag_digits() { iconv -f CP932 -t UTF-8 "$1" | sed -E 's/^.*",([0-9]),([0-9]),([0-9]),([0-9])\r?$/\1\2\3\4/'; }
# The number of records whose flags differ between two catalogues.
records_changed() { diff <(flag_digits "$1") <(flag_digits "$2") | grep -c '^<' || true; }
one_record_changed() { [[ $(records_changed "$1" "$2") -eq 1 ]]; }

step "Start Xvfb and openbox"
start_screen

step "First start with an empty home folder: the data folder is made and given the sample files"
start_checklist
for file in kuradata_v2.csv kurasize.dat kuraword.csv; do
    cmp -s "$data/$file" "$sample/$file" || fail "$data/$file is not the sample's"
done
[[ $(ls "$bin") == $'kuranote\nkuranote_conv' ]] || fail "files were written beside the program: $(ls "$bin")"

step "The window's class is the menu entry's StartupWMClass"
wm_class=$(xprop -id "$main" WM_CLASS | sed -E 's/^.*= "[^"]*", "([^"]*)"$/\1/')
[[ $wm_class == "$(entry StartupWMClass)" ]] || fail "WM_CLASS is $(xprop -id "$main" WM_CLASS)"

step "Tick a row and save, then quit"
toggle_second_row_and_save
poll 10 one_record_changed "$data/kuradata_v2.csv" "$sample/kuradata_v2.csv" ||
    fail "the save did not change one record's flags: $(records_changed "$data/kuradata_v2.csv" "$sample/kuradata_v2.csv")"
cp "$data/kuradata_v2.csv" "$work/ticked.csv"
quit_without_saving

step "Second start: it finds the tick, so toggling the same row gives the sample back"
start_checklist
cmp -s "$data/kuradata_v2.csv" "$work/ticked.csv" || fail "the second start changed the saved catalogue"
toggle_second_row_and_save
poll 10 cmp -s "$data/kuradata_v2.csv" "$sample/kuradata_v2.csv" ||
    fail "toggling the ticked row did not give the sample back: the second start did not read the saved tick"
quit_without_saving

step "The converter works on the same folder"
{ printf '"name","got"\r\n'; printf '"こもれびの植木鉢",1\r\n'; } | iconv -f UTF-8 -t CP932 >"$data/kuradata.csv"
start kuranote_conv
wait_for_window "$pid" '^kuranote_conv$'
wait_for_focus "$window"
xdotool key Return
wait_for_end "$pid" kuranote_conv
one_record_changed "$data/kuradata_v2.csv" "$sample/kuradata_v2.csv" || fail "the converter did not mark one record"
iconv -f CP932 -t UTF-8 "$data/kuradata_v2.csv" | grep -q '^"こもれびの植木鉢",.*,1,[01],[01],[01]'$'\r''$' ||
    fail "the converter did not tick こもれびの植木鉢 for villager 1"

step "PASS"
