#!/usr/bin/env bash
# Installs what Lumo needs, builds it (empty lumo.sdb beside the program) and starts it. Installs
# no test tools and adds no foreign package architecture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-and-build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "lumo: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
    exit 1
fi
exec build/lumo
