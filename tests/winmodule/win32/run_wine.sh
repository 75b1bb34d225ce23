#!/usr/bin/env bash
# Runs a 32-bit Windows program under Wine, headless and without questions, in a Wine prefix of
# its own under the build directory.
#
#   run_wine.sh STATE_DIR SHIM_SOURCE --init          create the prefix (a minute or more)
#   run_wine.sh STATE_DIR SHIM_SOURCE PROGRAM ARGS... run PROGRAM in the current directory
#
# The exit code is the program's; 77 means this machine cannot run 32-bit Windows programs at
# all (the test then shows as skipped).
#
# Kernels without 32-bit user mode (some virtual machines run their guests that way) still run
# 32-bit Wine under qemu's user-mode emulation: qemu-i386-static is registered for i386 programs
# (binfmt_misc, needs root once per boot), and a small preloaded library gives Wine the
# mmap(MAP_FIXED_NOREPLACE) that qemu 7 lacks.
set -uo pipefail

state=$1
shim_source=$2
shift 2
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe="
unset DISPLAY WAYLAND_DISPLAY

skip() {
    echo "skipped: $*" >&2
    exit 77
}

# The 32-bit loader itself, so that no shell wrapper sits between us and Wine.
loader=""
for candidate in /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine /usr/lib32/wine/wine; do
    if [ -x "$candidate" ]; then
        loader=$candidate
        break
    fi
done
[ -n "$loader" ] || loader=$(command -v wine) || skip "32-bit Wine is not installed"
server=""
for candidate in "$(dirname "$loader")/wineserver32" "$(dirname "$loader")/wineserver"; do
    if [ -x "$candidate" ]; then
        server=$candidate
        break
    fi
done
[ -n "$server" ] || server=$(command -v wineserver) || skip "wineserver is not installed"
export WINESERVER=$server

runs_here() { "$loader" --version >/dev/null 2>&1; }

register_qemu() {
    local qemu
    qemu=$(command -v qemu-i386-static) || return 1
    [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && return 0
    [ "$(id -u)" -eq 0 ] || return 1
    if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || return 1
    fi
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register 2>/dev/null
    # Another run may have registered it at the same moment.
    [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]
}

build_shim() {
    local host
    host=$(cc -print-multiarch 2>/dev/null)
    [ -n "$host" ] || host=x86_64-linux-gnu
    local shim="$state/shim/lib/i386-linux-gnu/liblumo_noreplace.so"
    local placeholder="$state/shim/lib/$host/liblumo_noreplace.so"
    mkdir -p "$(dirname "$shim")" "$(dirname "$placeholder")"
    if [ ! -f "$shim" ] || [ "$shim_source" -nt "$shim" ]; then
        cc -m32 -O2 -fPIC -shared -nostdlib -ffreestanding -o "$shim.tmp" "$shim_source" &&
            mv "$shim.tmp" "$shim" || return 1
    fi
    # The dynamic loader expands $LIB per word size; 64-bit helpers get an empty library.
    if [ ! -f "$placeholder" ]; then
        printf '' >"$state/shim/empty.c"
        cc -shared -nostdlib -o "$placeholder.tmp" "$state/shim/empty.c" &&
            mv "$placeholder.tmp" "$placeholder" || return 1
    fi
    export LD_PRELOAD="$state/shim/\$LIB/liblumo_noreplace.so"
}

# Once qemu is registered for i386 programs it runs all of them, so Wine needs the shim.
emulated() { grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; }

if ! emulated && ! runs_here; then
    register_qemu || skip "this kernel runs no 32-bit programs and qemu-i386-static cannot stand in"
fi
if emulated; then
    build_shim || skip "cannot build the mmap shim for Wine under qemu"
    echo "note: 32-bit Wine runs under qemu user-mode emulation" >&2
fi
runs_here || skip "32-bit Wine does not start on this machine"

init_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    exec 9>"$state/prefix.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "creating the Wine prefix $WINEPREFIX" >&2
        rm -rf "$WINEPREFIX"
        timeout 900 "$loader" wineboot --init </dev/null
        # The registry reaches the disk when the server ends.
        timeout 300 "$server" -w
    fi
    flock -u 9
    [ -f "$WINEPREFIX/system.reg" ]
}

init_prefix || {
    echo "the Wine prefix could not be created" >&2
    exit 1
}

if [ "${1:-}" = "--init" ]; then
    exit 0
fi

timeout 600 "$loader" "$@" </dev/null
status=$?
# Nothing of Wine outlives the test.
timeout 60 "$server" -k
exit $status
