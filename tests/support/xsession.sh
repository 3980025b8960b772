# What the real-window tests share: timed steps, failures that show the programs' logs, polling, and an
# Xvfb screen run by openbox, with every process started here ended when the script ends.
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

has_ended() { [[ ! -e /proc/$1 ]] || [[ $(sed -E 's/^.*\) (.).*$/\1/' "/proc/$1/stat") == Z ]]; }

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
