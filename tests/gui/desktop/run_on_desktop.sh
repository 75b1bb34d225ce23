#!/usr/bin/env bash
# Runs one command on a headless desktop of its own and takes the desktop down after it:
# an X server without a screen (Xvfb, on a display number it picks itself), a session bus
# (dbus-launch), a window manager (openbox), an XEmbed tray (trayer) and a notification server
# (dunst). Nothing needs to run beforehand; everything started here is stopped on every way out.
#
#   run_on_desktop.sh SECONDS COMMAND...     the command gets DISPLAY, DBUS_SESSION_BUS_ADDRESS
#                                            and QT_QPA_PLATFORM=xcb, and SECONDS to finish
set -u
limit=$1
shift
work=$(mktemp -d)
pids=()
bus_pid=""

stop_desktop() {
    local p
    for p in "${pids[@]}" $bus_pid; do kill "$p" 2>/dev/null; done
    for p in "${pids[@]}" $bus_pid; do
        for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$p" 2>/dev/null
    done
    rm -rf "$work"
}
trap stop_desktop EXIT
trap 'exit 130' INT TERM

# Waits up to 10 s for a condition (a command) to hold.
wait_for() {
    local what=$1
    shift
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "run_on_desktop: $what did not come up" >&2
    exit 1
}

# The X server says which display it took.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for "Xvfb" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
wait_for "the X server's connections" xprop -root WM_NAME

eval "$(dbus-launch --sh-syntax)" || { echo "run_on_desktop: dbus-launch failed" >&2; exit 1; }
bus_pid=$DBUS_SESSION_BUS_PID
export DBUS_SESSION_BUS_ADDRESS

# Each part once the one before is up: the tray docks with the window manager, and dunst
# draws on the desktop they make.
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for "the window manager" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'

# A tray that starts too early now and then gives up at once: it gets a second start.
for attempt in 1 2; do
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        --transparent false >"$work/trayer.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        xdotool search --classname trayer 2>/dev/null | grep -q . && break 2
        sleep 0.1
    done
    [ "$attempt" = 2 ] && { cat "$work/trayer.log" >&2; echo "run_on_desktop: the tray did not come up" >&2; exit 1; }
done
dunst >"$work/dunst.log" 2>&1 &
pids+=($!)
wait_for "the notification server" dunstctl count

export QT_QPA_PLATFORM=xcb
timeout --kill-after=5 "$limit" "$@"
status=$?
if [ "$status" != 0 ]; then
    # What the desktop said, for the failure's report.
    for part in openbox trayer dunst; do
        kill -0 "$(pgrep -n -x "$part" 2>/dev/null || echo 0)" 2>/dev/null || echo "run_on_desktop: $part is not running" >&2
        tail -n 5 "$work/$part.log" >&2
    done
fi
exit "$status"
