#!/usr/bin/env bash
# Installs the Debian packages Lumo needs (scripts/install-packages.sh) and builds Lumo in build/,
# with the empty lumo.sdb beside the program. Quiet when there is nothing to do.
#
#   scripts/install-and-build.sh           the program (and the test programs a plain build makes)
#   scripts/install-and-build.sh --tests   besides: the test tools, and warnings as errors
#
# CMake runs on every call (about a second) with the options below, so a changed option always
# reaches the build; options not given here keep their value in build/CMakeCache.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh "$@"

options=(-G Ninja)
if [ "${1:-}" = "--tests" ]; then
    options+=(-DLUMO_BUILD_TESTS=ON -DLUMO_WERROR=ON)
fi
if [ ! -f build/build.ninja ]; then
    echo "Building Lumo in build/ (the first build takes a few minutes)..."
fi
# A failed configure or build stops here with CMake's or the compiler's messages.
if ! log=$(cmake -S . -B build "${options[@]}" 2>&1); then
    printf '%s\n' "$log" >&2
    exit 1
fi
if ! log=$(cmake --build build 2>&1); then
    printf '%s\n' "$log" >&2
    exit 1
fi
test -x build/lumo && test -e build/lumo.sdb
