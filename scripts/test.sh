#!/usr/bin/env bash
# The test command: installs Lumo's packages and test tools (extra test tools best effort),
# builds everything with warnings as errors and runs the whole test suite headless; ends with
# ctest's summary and why tests were skipped. Extra arguments go to ctest (-R NAME, ...).
#
# Exit code: 0 when every test that could run passed (skipped tests do not fail the run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-and-build.sh --tests

status=0
# The core tests again under ThreadSanitizer and under AddressSanitizer with UBSan, each in a
# build folder of its own; left out when ctest is given a selection (-R NAME, ...) or
# LUMO_SANITIZERS=off, for a quick local run.
if [ "${LUMO_SANITIZERS:-on}" != off ] && [ $# -eq 0 ]; then
    scripts/test-sanitizers.sh || status=1
fi

export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure --timeout 600 -j2 "$@") || status=1

# Why tests were skipped: each skipped test printed a "skipped: REASON" line.
reasons=$(awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $3 }
    /^skipped: / { sub(/^skipped: /, ""); print "  " name ": " $0 }
' build/Testing/Temporary/LastTest.log 2>/dev/null || true)
if [ -n "$reasons" ]; then
    echo "Skipped tests and why:"
    printf '%s\n' "$reasons"
fi
exit $status
