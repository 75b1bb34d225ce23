#!/usr/bin/env bash
# Installs what Lumo needs, builds it (empty lumo.sdb beside the program) and starts it. Installs
# no test tools and adds no foreign package architecture.
#
#   scripts/run.sh                     the window
#   scripts/run.sh --cli [ARGUMENTS]   lumo-cli alone, without Qt: runs build/lumo-cli ARGUMENTS
#                                      (--help when none are given)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --cli ]; then
    shift
    scripts/install-and-build.sh --cli
    [ $# -gt 0 ] || set -- --help
    exec build/lumo-cli "$@"
fi
scripts/install-and-build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "lumo: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
    exit 1
fi
exec build/lumo
