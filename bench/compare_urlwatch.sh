#!/bin/sh
# Steady-state plan checks through Lumo's core against urlwatch 2.25 on one local board page;
# prints the CPU time per check of each and their ratio.
#
#   bench/compare_urlwatch.sh [BUILD_DIR [CHECKS [ROUNDS]]]     (defaults: build 300 3)
#
# The two sides take turns for ROUNDS rounds; the last line gives the medians.
#
# Installs Debian's urlwatch with apt-get when it is missing and the script may (best effort;
# without it only Lumo's figure is printed), and builds steady_check_bench in BUILD_DIR.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
checks=${2:-300}
rounds=${3:-3}

if ! command -v urlwatch >/dev/null 2>&1; then
    echo "Installing urlwatch with apt-get (best effort)..."
    tries=0
    until DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends urlwatch \
        >/dev/null 2>&1; do
        tries=$((tries + 1))
        # Another apt may hold the lock for a while; anything else is not worth waiting for.
        if [ "$tries" -ge 10 ] || ! pgrep -x 'apt|apt-get|dpkg' >/dev/null 2>&1; then
            echo "urlwatch could not be installed."
            break
        fi
        sleep 15
    done
fi

cmake --build "$build" --target steady_check_bench >/dev/null
exec python3 "$here/urlwatch/compare.py" "$build/bench/steady_check_bench" "$checks" "$rounds"
