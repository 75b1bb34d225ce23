#!/usr/bin/env bash
# Makes the README's picture of the window: builds the lumo_screenshot tool in build/ and runs it
# headless (Qt's offscreen platform, the CJK fonts under /usr/share/fonts).
#
#   tools/screenshot.sh [OUTPUT.png] [PAGE]   (default docs/lumo-window.png, the welcome page)
#
# Needs a configured build/ (scripts/run.sh or scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/lumo-window.png}
page=${2:-0}
cmake --build build --target lumo_screenshot lumo_database >/dev/null
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts \
    build/lumo_screenshot build/lumo.sdb "$out" "$page"
echo "wrote $out"
