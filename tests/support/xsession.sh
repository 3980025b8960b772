# What the real-window tests share: timed steps, failures that show the programs' logs, polling, an Xvfb
# screen run by openbox, with every process started here ended when the script ends, and the mouse.
# Source it after setting `work_prefix`; it makes the working folder $work. A script may define
# `on_failure` to add to a failure's report (a picture of the screen, for instance).

export LC_ALL=C.UTF-8
# The programs show their windows on the X server started here, whatever the caller set.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY SESSION_MANAGER

started_ms=$(date +%s%3N)
step() { printf '[%6.1f s] %s\n' "$(( $(date +%s%3N) - started_ms ))e-3" "$*"; }

fail() {
    echo "FAIL: $*" >&2
    if declare -F on_failure >/dev/null; then on_failure; fi
    for log in "${work:-/nonexistent}"/*.log; do
        [[ -s $log ]] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# Runs a command every 0.1 s until it succeeds; returns 1 after the given number of seconds.
poll() {
    local deadline=$(( $(date +%s%3N) + $1 * 1000 ))
    shift
    until "$@"; do
        (( $(date +%s%3N) < deadline )) || return 1
        sleep 0.1
    done
}

require_tools() {
    local missing=() tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [[ ${#missing[@]} -eq 0 ]] || fail "missing tools: ${missing[*]} (bash scripts/test.sh installs them)"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/${work_prefix:-kuranote}.XXXXXX")
started_pids=()
cleanup() {
    local pid i
    for (( i = ${#started_pids[@]} - 1; i >= 0; i-- )); do
        pid=${started_pids[i]}
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A free display is chosen by Xvfb itself, so that tests never meet another session's screen.
start_screen() {
    local fd
    exec {fd}>"$work/display"
    Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    started_pids+=($!)
    exec {fd}>&-
    poll 20 grep -q '^[0-9]' "$work/display" || fail "Xvfb did not start"
    DISPLAY=":$(head -n 1 "$work/display")"
    export DISPLAY
    openbox --sm-disable --startup "touch $work/wm-ready" >"$work/openbox.log" 2>&1 &
    started_pids+=($!)
    poll 20 test -e "$work/wm-ready" || fail "openbox did not start"
}

# A process that ends between the two tests has no stat file left to read: that is an end too.
has_ended() { [[ ! -e /proc/$1 ]] || [[ $(sed -E 's/^.*\) (.).*$/\1/' "/proc/$1/stat" 2>/dev/null || echo Z) == Z ]]; }

# A shown window of the process whose title matches the pattern; sets window.
window_of() {
    window=$(xdotool search --all --pid "$1" --onlyvisible --name "$2" 2>/dev/null | awk 'NR == 1') || true
    [[ -n $window ]]
}
no_window_of() { ! window_of "$@"; }
wait_for_window() { poll 20 window_of "$1" "$2" || fail "no window titled $2 appeared"; }

title_of() { xdotool getwindowname "$1" 2>/dev/null; }
is_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
wait_for_focus() { poll 10 is_active "$1" || fail "the window \"$(title_of "$1")\" did not get the focus"; }

# Where a window is, and what a person does with the mouse.

# The window's inside (without the frame) on the screen: sets left, top, width, height.
geometry() {
    local info
    info=$(xwininfo -id "$1")
    left=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$info")
    top=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$info")
    width=$(awk '/^ *Width:/ { print $2 }' <<<"$info")
    height=$(awk '/^ *Height:/ { print $2 }' <<<"$info")
}

# The frame's thickness left, right, top (the title bar) and bottom: sets frame_l, frame_r, frame_t, frame_b.
frame_extents() {
    read -r frame_l frame_r frame_t frame_b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -e 's/^.*= //' -e 's/,//g')
    [[ -n $frame_b ]] || fail "the window manager gave the window \"$(title_of "$1")\" no frame"
}

mouse_is_at() { [[ $(xdotool getmouselocation) == "x:$1 y:$2 "* ]]; }

# Moves the mouse to a point of the screen. (mousemove --sync would wait for a motion that never
# comes when the mouse is already there.)
move_mouse() {
    xdotool mousemove "$1" "$2"
    poll 5 mouse_is_at "$1" "$2" || fail "the mouse did not move to $1,$2"
}

# A click at a point inside the window.
click() {
    geometry "$1"
    move_mouse $((left + $2)) $((top + $3))
    xdotool click 1
}

# A click on the middle of the title bar: focuses the window without touching its contents.
click_title_bar() {
    geometry "$1"
    frame_extents "$1"
    move_mouse $((left + width / 2)) $((top - frame_t / 2))
    xdotool click 1
    wait_for_focus "$1"
}

frame_is_at() { geometry "$1"; frame_extents "$1"; (( left - frame_l == $2 && top - frame_t == $3 )); }

# Drags the window by its title bar so that its frame's top-left corner lands on the point.
drag_window() {
    local id=$1 x=$2 y=$3 from_x from_y to_x to_y i
    geometry "$id"
    frame_extents "$id"
    from_x=$((left + width / 2))
    from_y=$((top - frame_t / 2))
    to_x=$((from_x + x - (left - frame_l)))
    to_y=$((from_y + y - (top - frame_t)))
    move_mouse "$from_x" "$from_y"
    xdotool mousedown 1
    for i in 1 2 3 4 5 6 7 8; do
        move_mouse $((from_x + (to_x - from_x) * i / 8)) $((from_y + (to_y - from_y) * i / 8))
    done
    xdotool mouseup 1
    poll 10 frame_is_at "$id" "$x" "$y" || fail "dragging \"$(title_of "$id")\" did not move it to $x,$y"
}

# The part of the screen that holds both windows with their frames.
shot_both() {
    local x0 y0 x1 y1 id
    x0=100000 y0=100000 x1=0 y1=0
    for id in "$1" "$2"; do
        geometry "$id"
        frame_extents "$id"
        (( left - frame_l < x0 )) && x0=$((left - frame_l))
        (( top - frame_t < y0 )) && y0=$((top - frame_t))
        (( left + width + frame_r > x1 )) && x1=$((left + width + frame_r))
        (( top + height + frame_b > y1 )) && y1=$((top + height + frame_b))
    done
    import -window root -crop "$((x1 - x0))x$((y1 - y0))+$x0+$y0" +repage "$3"
}
