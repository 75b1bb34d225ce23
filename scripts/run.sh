#!/usr/bin/env bash
# Sets Lumo up (packages, build, empty lumo.sdb beside the program) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "lumo: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
    exit 1
fi
exec build/lumo
