#!/usr/bin/env bash
# Installs whatever Debian packages Lumo needs to build, run and test, and builds it.
# Idempotent and quiet when everything is present already.
set -euo pipefail
cd "$(dirname "$0")/.."

# Build and run.
packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-multimedia-dev libqt6svg6
    libsqlite3-dev libboost-regex-dev libcurl4-openssl-dev ca-certificates
    fonts-wqy-microhei
)
# Tests and benchmarks.
if [ "${1:-}" = "--tests" ]; then
    packages+=(
        libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libssl-dev openssl
        xvfb xauth
    )
fi

need_i386=no
for extra in scripts/packages.d/*.sh; do
    [ -e "$extra" ] || continue
    # shellcheck source=/dev/null
    source "$extra"
done

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
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja >/dev/null
fi
cmake --build build -- --quiet 2>&1 | grep -v '^ninja: no work to do' || true
test -x build/lumo && test -e build/lumo.sdb
