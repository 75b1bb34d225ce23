#!/usr/bin/env bash
# Installs Lumo into temporary prefixes and starts the installed programs from there.
#
# 1. This build, installed with --prefix into a temporary folder: every file in place, the desktop
#    entry and the AppStream metadata valid; the window started from there opens the database
#    named by --db or LUMO_DB.
# 2. This build installed into TEST_PREFIX, with the window the build made for that prefix
#    (lumo_at_test_prefix: the same program taking TEST_PREFIX as its install prefix): it runs
#    in the installed layout, creates nothing by itself and opens $XDG_DATA_HOME/lumo/lumo.sdb.
#
# Usage: install_test.sh SOURCE_DIR BUILD_DIR TEST_PREFIX CMAKE
set -euo pipefail
src=$1
build=$2
test_prefix=$3
cmake=${4:-cmake}
work=$build/install-test
export QT_QPA_PLATFORM=offscreen
app_id=org.lumo.Lumo

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

has_cli_target() { # build folder
    "$cmake" --build "$1" --target help 2>/dev/null | grep -q '^lumo-cli:'
}

check_tree() { # prefix build
    local prefix=$1
    test -x "$prefix/bin/lumo" || fail "bin/lumo missing in $prefix"
    if has_cli_target "$2"; then
        test -x "$prefix/bin/lumo-cli" || fail "bin/lumo-cli missing in $prefix"
    fi
    # The window's modules, where the installed window looks for them (bin/../lib…/lumo).
    find "$prefix" -path '*/lumo/lumo_alert_sound.so' | grep -q . ||
        fail "the alert sound module is missing in $prefix"
    find "$prefix" -path '*/lumo/lumo_page_fetch.so' | grep -q . ||
        fail "the page fetch module is missing in $prefix"
    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    test -f "$desktop" || fail "desktop entry missing"
    test -f "$metainfo" || fail "AppStream metainfo missing"
    for size in 16 32 48 64 128 256; do
        local icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
        test -f "$icon" || fail "icon ${size}x${size} missing"
        # PNG signature, then the width in the IHDR chunk.
        [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
            fail "$icon is no PNG"
        [ "$(od -An -tu1 -j16 -N4 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4}')" = "$size" ] ||
            fail "$icon is not $size pixels wide"
    done
    if has_cli_target "$2"; then
        check_unit "$prefix"
    fi
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
    else
        echo "skipped desktop-file-validate: desktop-file-utils is not installed"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
        # The installed tree as a whole: the entry, its desktop file and its icon found.
        appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"
    else
        echo "skipped appstreamcli validate: Debian's appstream is not installed"
    fi
}

# The systemd user unit starts the lumo-cli of this install, and a busy database (exit status 75)
# is retried.
check_unit() { # prefix
    local unit=$1/lib/systemd/user/lumo-cli.service
    test -f "$unit" || fail "systemd user unit missing in $1"
    # As written in the unit: quoted, with % doubled.
    local program=${1//%/%%}/bin/lumo-cli
    grep -qxF "ExecStart=\"$program\" run --every 300" "$unit" ||
        fail "the unit does not start $1/bin/lumo-cli: $(grep '^ExecStart=' "$unit")"
    ! grep '^RestartPreventExitStatus=' "$unit" | grep -qw 75 ||
        fail "the unit gives up on a busy database"
    if command -v systemd-analyze >/dev/null; then
        # Also finds out whether the program it names is there and can be run.
        systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
    else
        echo "skipped systemd-analyze verify: systemd is not installed"
    fi
}

window_pid=
start_window() { # program, then its arguments; environment from the caller
    "$@" >"$work/window.log" 2>&1 &
    window_pid=$!
}
stop_window() {
    kill "$window_pid" 2>/dev/null || true
    wait "$window_pid" 2>/dev/null || true
    window_pid=
}
trap stop_window EXIT

# True once the window holds `file` open (it has found and opened its database).
holds_open() { # file
    local file
    file=$(readlink -f "$1")
    for _ in $(seq 150); do
        kill -0 "$window_pid" 2>/dev/null || { cat "$work/window.log" >&2; return 1; }
        for fd in /proc/"$window_pid"/fd/*; do
            [ "$(readlink "$fd" 2>/dev/null)" = "$file" ] && return 0
        done
        sleep 0.1
    done
    return 1
}

new_database() { # path
    mkdir -p "$(dirname "$1")"
    "$build/lumo_makedb" "$src/assets/schema.sql" "$1"
}

rm -rf "$work/copy" "$work/home" "$work/given.sdb"
mkdir -p "$work/home"

echo "== this build installed into a temporary prefix"
"$cmake" --install "$build" --prefix "$work/copy" >/dev/null
check_tree "$work/copy" "$build"
new_database "$work/given.sdb"
start_window "$work/copy/bin/lumo" --db "$work/given.sdb"
holds_open "$work/given.sdb" || fail "the window did not open the database named by --db"
stop_window
LUMO_DB=$work/given.sdb start_window "$work/copy/bin/lumo"
holds_open "$work/given.sdb" || fail "the window did not open the database named by LUMO_DB"
stop_window
if has_cli_target "$build"; then
    "$work/copy/bin/lumo-cli" --help >/dev/null || fail "lumo-cli --help"
    # A prefix with a blank and a % still gives a unit that starts the program.
    odd="$work/odd prefix%1"
    rm -rf "$odd"
    "$cmake" --install "$build" --prefix "$odd" >/dev/null
    check_unit "$odd"
    rm -rf "$odd"
fi

echo "== installed into the prefix the test window takes as its own: the installed layout"
rm -rf "$test_prefix"
"$cmake" --install "$build" --prefix "$test_prefix" >/dev/null
check_tree "$test_prefix" "$build"
cp "$build/lumo_at_test_prefix" "$test_prefix/bin/lumo"

export HOME=$work/home XDG_DATA_HOME=$work/home/data
unset LUMO_DB
# No database yet: the window starts, asks (its question waits for an answer) and creates nothing.
start_window "$test_prefix/bin/lumo"
sleep 2
kill -0 "$window_pid" 2>/dev/null || { cat "$work/window.log" >&2; fail "the window did not start"; }
[ ! -e "$XDG_DATA_HOME/lumo" ] || fail "the installed window created $XDG_DATA_HOME/lumo unasked"
[ ! -e "$test_prefix/bin/lumo.sdb" ] || fail "a database appeared beside the installed program"
stop_window
# A database in the user's data folder is the one it opens.
new_database "$XDG_DATA_HOME/lumo/lumo.sdb"
start_window "$test_prefix/bin/lumo"
holds_open "$XDG_DATA_HOME/lumo/lumo.sdb" || fail "the installed window did not open the user's database"
stop_window
# The copy installed elsewhere stays portable: the user's database is not its business.
start_window "$work/copy/bin/lumo"
sleep 2
kill -0 "$window_pid" 2>/dev/null || { cat "$work/window.log" >&2; fail "the portable window did not start"; }
for fd in /proc/"$window_pid"/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" != "$XDG_DATA_HOME/lumo/lumo.sdb" ] ||
        fail "a program outside the recorded prefix opened the user's database"
done
stop_window
echo "PASS"
