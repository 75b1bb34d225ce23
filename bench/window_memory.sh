#!/bin/sh
# Peak memory (VmHWM) of Lumo's window at idle against a bare Qt window of the same size, both
# offscreen. Lumo starts from a temporary folder holding a copy of the program and the empty
# lumo.sdb the build makes; each program is read SETTLE seconds after its start, then killed.
# Each is started three times and the median is taken: now and then a start of Lumo peaks about
# 6 MB higher than the others.
#
#   bench/window_memory.sh [BUILD_DIR [SETTLE]]     (defaults: build 3)
set -eu
build=${1:-build}
settle=${2:-3}
cmake --build "$build" --target lumo lumo_database bare_window_bench >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$build/lumo" "$build/lumo.sdb" "$folder/"

# Prints the VmHWM in KB of a program started in the folder, after it settled.
peak() {
    (cd "$folder" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$folder" exec "$@" >/dev/null 2>&1) &
    pid=$!
    sleep "$settle"
    kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
    kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    echo "${kb:-0}"
}

# The median of three starts.
median() {
    a=$(peak "$@")
    b=$(peak "$@")
    c=$(peak "$@")
    printf '%s\n%s\n%s\n' "$a" "$b" "$c" | sort -n | sed -n 2p
}

lumo=$(median "$folder/lumo")
bare=$(median "$(cd "$build/bench" && pwd)/bare_window_bench")
awk -v l="$lumo" -v b="$bare" 'BEGIN {
    printf "Lumo window:  %6.1f MB peak\nbare window:  %6.1f MB peak\nratio:        %6.2f\n",
           l / 1024, b / 1024, (b > 0 ? l / b : 0) }'
