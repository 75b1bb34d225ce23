#!/usr/bin/env bash
# Fuzzes the module loader: builds the libFuzzer target with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it on the seed images for a while.
#
#   tests/winmodule/fuzz/run.sh [SECONDS] [BUILD_DIR]   fuzz for SECONDS (default 60)
#   tests/winmodule/fuzz/run.sh --seeds [BUILD_DIR]     rewrite the seed images in seeds/
#
# Exit code 0 when the run found nothing; 77 when clang with libFuzzer is not available. Found
# crashes are left as crash-* files in BUILD_DIR. New inputs go to a scratch corpus in BUILD_DIR,
# never into seeds/.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
mode=${1:-60}
build=${2:-$root/build-fuzz}
mkdir -p "$build"
build=$(cd "$build" && pwd)

cxx=""
for candidate in clang++-14 clang++; do
    if command -v "$candidate" >/dev/null; then
        cxx=$candidate
        break
    fi
done
if [ -z "$cxx" ]; then
    echo "skipped: clang++ is not installed" >&2
    exit 77
fi

includes=(-I"$root/src" -I"$root/tests")
sources=("$root/src/winmodule/ModuleImageLoader.cpp" "$root/src/winmodule/ModulePlatform.cpp"
    "$root/src/winmodule/PortableModulePlatform.cpp" "$root/tests/support/FakeModulePlatform.cpp")

if [ "$mode" = "--seeds" ]; then
    "$cxx" -std=c++20 -O1 -g "${includes[@]}" "$here/make_seeds.cpp" \
        "$root/tests/support/PeImageWriter.cpp" -o "$build/make_seeds"
    mkdir -p "$here/seeds"
    "$build/make_seeds" "$here/seeds"
    echo "seeds written to $here/seeds"
    exit 0
fi

fuzzer="$build/module_image_loader_fuzz"
if ! "$cxx" -std=c++20 -O1 -g -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "${includes[@]}" "$here/ModuleImageLoaderFuzz.cpp" "${sources[@]}" -o "$fuzzer"; then
    if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
        "$cxx" -x c++ -fsanitize=fuzzer - -o "$build/fuzz_probe" 2>/dev/null; then
        echo "skipped: $cxx cannot link libFuzzer (libclang-rt-14-dev missing?)" >&2
        exit 77
    fi
    exit 1
fi

corpus="$build/fuzz_corpus"
mkdir -p "$corpus"
cd "$build"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
"$fuzzer" -max_total_time="$mode" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$here/seeds"
