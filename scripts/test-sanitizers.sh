#!/usr/bin/env bash
# Builds the core tests under ThreadSanitizer and under AddressSanitizer with UBSan, each in a
# build folder of its own (build-tsan, build-asan), and runs them. Any race, memory fault or
# undefined behaviour fails the script. Extra arguments go to core_tests (e.g. --gtest_filter=...).
# The core tests need no Qt: these builds leave the window out and may not find Qt at all, so
# they also show that the core and its tests build on a machine without Qt.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
jobs="${LUMO_JOBS:-$(nproc)}"

# Sanitizer reports end the run with a failing exit code at the first finding.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
export ASAN_OPTIONS="halt_on_error=1 exitcode=67 detect_leaks=1 detect_stack_use_after_return=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1 exitcode=68 print_stacktrace=1 ${UBSAN_OPTIONS:-}"

run_under() {
    local sanitizer="$1" folder="$2"
    shift 2
    echo "== core tests under ${sanitizer} sanitizer (${folder})"
    # Configured on every run, so that changed options are always picked up (a no-op otherwise).
    cmake -S . -B "${folder}" "${generator[@]}" "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMO_SANITIZER="${sanitizer}" -DLUMO_BUILD_BENCH=OFF -DLUMO_GUI=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >/dev/null
    cmake --build "${folder}" --target core_tests -j"${jobs}"
    # A hang fails the run instead of holding it up: the whole suite takes well under a minute.
    timeout --kill-after=10 "${LUMO_SANITIZER_TIMEOUT:-900}" \
        "${folder}/tests/core_tests" --gtest_brief=1 "$@"
}

run_under thread build-tsan "$@"
run_under address build-asan "$@"
echo "== sanitizers: no findings"
