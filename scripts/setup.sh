#!/usr/bin/env bash
# Installs whatever Debian packages Lumo needs to build, run and test, and builds it.
# Idempotent and quiet when everything is present already.
set -euo pipefail
cd "$(dirname "$0")/.."

# What a plain configure and build needs: the program, and the test and benchmark programs
# that CMake builds by default (ICU is the converter tests' reference table, OpenSSL their
# HTTPS test server's).
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6svg6
    libsqlite3-dev libboost-regex-dev libcurl4-openssl-dev ca-certificates
    libxml2-dev nlohmann-json3-dev
    fonts-wqy-microhei
    libgtest-dev libgmock-dev libbenchmark-dev libicu-dev libssl-dev
)
need_i386=no
# What running the whole test suite needs besides: each file of scripts/packages.d adds the
# tools of one group of tests (and sets need_i386=yes when they need 32-bit packages).
if [ "${1:-}" = "--tests" ]; then
    packages+=(xvfb xauth)
    for extra in scripts/packages.d/*.sh; do
        [ -e "$extra" ] || continue
        # shellcheck source=/dev/null
        source "$extra"
    done
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    echo "Installing: ${missing[*]}"
    if [ "$need_i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [ ! -f build/build.ninja ]; then
    echo "Building Lumo in build/ (the first build takes a few minutes)..."
    cmake -S . -B build -G Ninja >/dev/null
fi
# Quiet when there is nothing to do; a failed build stops here with the compiler's messages.
if ! build_log=$(cmake --build build 2>&1); then
    printf '%s\n' "$build_log" >&2
    exit 1
fi
test -x build/lumo && test -e build/lumo.sdb
