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

# Starts one part of the desktop in the background and waits until READY (a command) holds.
# A part that exits, or is not ready in SECONDS, says so with its log and is started once more;
# a part that fails twice ends the run. (desktop_start_test.sh fails on any second start, so the
# second chance never hides a desktop that comes up only now and then.)
#   start_part NAME SECONDS READY COMMAND...
start_part() {
    local name=$1 seconds=$2 ready=$3 attempt pid
    shift 3
    for attempt in 1 2; do
        "$@" >"$work/$name.log" 2>&1 &
        pid=$!
        pids+=("$pid")
        for _ in $(seq $((seconds * 10))); do
            sh -c "$ready" >/dev/null 2>&1 && return 0
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            echo "run_on_desktop: $name was not ready after ${seconds} s (start $attempt)" >&2
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        else
            wait "$pid"
            echo "run_on_desktop: $name exited with status $? (start $attempt)" >&2
        fi
        tail -n 20 "$work/$name.log" >&2
    done
    echo "run_on_desktop: $name did not come up" >&2
    exit 1
}

# The X server says which display it took. It keeps running as it is when its last client leaves
# (-noreset): a reset at that moment turned away a client connecting meanwhile, such as the window
# manager just after a readiness check let go.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for "Xvfb" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
wait_for "the X server's connections" xprop -root WM_NAME

eval "$(dbus-launch --sh-syntax)" || { echo "run_on_desktop: dbus-launch failed" >&2; exit 1; }
bus_pid=$DBUS_SESSION_BUS_PID
export DBUS_SESSION_BUS_ADDRESS

# Each part once the one before is up: the tray docks with the window manager, and dunst
# draws on the desktop they make.
start_part openbox 30 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' \
    openbox --sm-disable
start_part trayer 10 'xdotool search --classname trayer | grep -q .' \
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 --transparent false
# Ready once it owns the notifications' name on the bus: a call to that name before then would
# have the bus start a dunst of its own, and the two would race for it.
start_part dunst 30 'dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q "boolean true"' dunst

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
