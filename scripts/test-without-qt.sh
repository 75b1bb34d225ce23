#!/usr/bin/env bash
# Builds lumo-cli and its tests as a machine without Qt would (LUMO_GUI=OFF, and CMake forbidden
# to find Qt 6 at all) in a build folder of its own (build-noqt) and runs the tests. A Qt
# dependency creeping into the core or lumo-cli fails the configure or the build. The core tests
# are built the same way by scripts/test-sanitizers.sh, so they are not built a third time here.
# Extra arguments go to the test program (e.g. --gtest_filter=...).
set -euo pipefail
cd "$(dirname "$0")/.."

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
folder=build-noqt

echo "== lumo-cli and the core without Qt (${folder})"
# Configured on every run, so that changed options are always picked up (a no-op otherwise).
cmake -S . -B "${folder}" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_GUI=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DLUMO_BUILD_BENCH=OFF -DLUMO_WERROR=ON >/dev/null
cmake --build "${folder}" --target lumo-cli cli_tests -j"${LUMO_JOBS:-$(nproc)}"
# Only what was built: nothing of it may have been linked against Qt.
if ldd "${folder}/lumo-cli" "${folder}/lumo_page_fetch.so" "${folder}/tests/cli_tests" |
    grep -i 'libQt'; then
    echo "lumo-cli, its fetch module or its tests link Qt" >&2
    exit 1
fi
"${folder}/tests/cli_tests" --gtest_brief=1 "$@"
echo "== without Qt: built and passed"
