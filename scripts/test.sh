#!/usr/bin/env bash
# The test command: installs Lumo's packages and test tools (extra test tools best effort),
# builds everything with warnings as errors and runs the whole test suite headless; ends with
# ctest's summary and why tests were skipped. Extra arguments go to ctest (-R NAME, ...).
#
#   scripts/test.sh [CTEST ARGUMENTS]         everything
#   scripts/test.sh --cli [CTEST ARGUMENTS]   lumo-cli and the core alone, without Qt
#
# Exit code: 0 when every test that could run passed (skipped tests do not fail the run).
set -euo pipefail
cd "$(dirname "$0")/.."
setup=(--tests)
if [ "${1:-}" = --cli ]; then
    setup+=(--cli)
    shift
fi
scripts/install-and-build.sh "${setup[@]}"

status=0
# The core tests again under ThreadSanitizer and under AddressSanitizer with UBSan, each in a
# build folder of its own; left out when ctest is given a selection (-R NAME, ...) or
# LUMO_SANITIZERS=off, for a quick local run.
if [ "${LUMO_SANITIZERS:-on}" != off ] && [ $# -eq 0 ]; then
    scripts/test-sanitizers.sh || status=1
fi
# lumo-cli and the core tests once more as a machine without Qt builds them; left out like the
# sanitizers, with LUMO_WITHOUT_QT=off, and in the --cli run, whose build is that already.
if [ "${LUMO_WITHOUT_QT:-on}" != off ] && [ $# -eq 0 ] && [ ${#setup[@]} -eq 1 ]; then
    scripts/test-without-qt.sh || status=1
fi

export QT_QPA_PLATFORM=offscreen
results=Testing/lumo-results.xml
rm -f "build/$results"
(cd build && ctest --output-on-failure --timeout 600 -j"$(nproc)" --output-junit "$results" "$@") ||
    status=1

# Why tests were skipped, from ctest's JUnit report of their output: a test of ours that cannot
# run prints "skipped: REASON", a GoogleTest case "FILE:LINE: Skipped" with the reason below.
if [ -f "build/$results" ]; then
    reasons=$(python3 - "build/$results" <<'PYTHON'
import sys
import xml.etree.ElementTree as ElementTree

for case in ElementTree.parse(sys.argv[1]).getroot().iter("testcase"):
    skipped = case.find("skipped")
    if skipped is None:
        continue
    lines = (case.findtext("system-out") or "").splitlines()
    reason = skipped.get("message", "")
    for i, line in enumerate(lines):
        if line.startswith("skipped: "):
            reason = line[len("skipped: "):]
            break
        if line.endswith(": Skipped") and i + 1 < len(lines) and lines[i + 1].strip():
            reason = lines[i + 1].strip()
            break
    print(f"  {case.get('name')}: {reason}")
PYTHON
)
    if [ -n "$reasons" ]; then
        echo "Skipped tests and why:"
        printf '%s\n' "$reasons"
    fi
fi
exit $status
