#!/usr/bin/env bash
# Sets Lumo up with its test tools, builds everything and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 600 -j2 "$@"
