#!/usr/bin/env bash
# Installs the Debian packages Lumo needs (scripts/install-packages.sh) and builds Lumo in build/,
# with the empty lumo.sdb beside the program. Quiet when there is nothing to do; while it builds,
# it shows how far the build is.
#
#   scripts/install-and-build.sh           the program (and the test programs a plain build makes)
#   scripts/install-and-build.sh --tests   besides: the test tools, and warnings as errors
#   scripts/install-and-build.sh --cli     lumo-cli and the core alone, without Qt (none of its
#                                          packages is installed); combines with --tests
#
# CMake runs on every call (about a second) with the options below, so a changed option always
# reaches the build, and what one call turned on the next call without it turns off again;
# options not given here keep their value in build/CMakeCache.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/options.sh
source scripts/lib/options.sh
lumo_setup_options scripts/install-and-build.sh "$@"
scripts/install-packages.sh "$@"

options=(-G Ninja)
if [ "$tests" = yes ]; then
    options+=(-DLUMO_BUILD_TESTS=ON -DLUMO_WERROR=ON)
else
    # A plain build gives a program whatever the compiler warns about.
    options+=(-DLUMO_WERROR=OFF)
fi
if [ "$window" = yes ]; then
    options+=(-DLUMO_GUI=ON)
else
    options+=(-DLUMO_GUI=OFF)
fi
if [ ! -f build/build.ninja ]; then
    echo "Building Lumo in build/ (the first build takes a few minutes)..."
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Reads the build's output, keeps all of it in $log and shows the progress: on a terminal one
# line that keeps changing, elsewhere (CI, a log file) a line at each quarter of the build.
show_progress() {
    local line step total percent quarter shown=0 terminal=no updated=no
    [ -t 1 ] && terminal=yes
    while IFS= read -r line; do
        printf '%s\n' "$line" >>"$log"
        [[ $line =~ ^\[([0-9]+)/([0-9]+)\]\  ]] || continue
        step=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
        percent=$((step * 100 / total))
        if [ "$terminal" = yes ]; then
            printf '\r\033[KBuilding: %d%% (%d of %d steps)' "$percent" "$step" "$total"
            updated=yes
        else
            quarter=$((percent / 25))
            if [ "$quarter" -gt "$shown" ]; then
                shown=$quarter
                echo "Building: $percent% ($step of $total steps)"
            fi
        fi
    done
    if [ "$updated" = yes ]; then
        printf '\r\033[K'
    fi
}

# A failed configure or build stops here with CMake's or the compiler's messages.
if ! cmake -S . -B build "${options[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi
: >"$log"
if ! NINJA_STATUS='[%f/%t] ' cmake --build build 2>&1 | show_progress; then
    cat "$log" >&2
    exit 1
fi
if [ "$window" = yes ]; then
    test -x build/lumo
else
    test -x build/lumo-cli
fi
test -e build/lumo.sdb
