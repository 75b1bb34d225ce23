#!/usr/bin/env bash
# Installs the Debian packages Lumo needs; quiet when everything is present.
#
#   scripts/install-packages.sh           what the program and a plain build need
#   scripts/install-packages.sh --tests   besides: the test command's own tools, and each group of
#                                         extra test tools in scripts/packages.d, best effort
#   scripts/install-packages.sh --cli     lumo-cli alone (with --tests: and its tests): no Qt
#
# Required packages that cannot be installed stop the script with one line naming them and apt's
# error (exit 1). A group of extra test tools that cannot be installed prints one
# "optional: ... unavailable (...)" line and the script goes on; its tests report themselves
# skipped. Required packages are installed first, before a group adds a foreign architecture.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=scripts/lib/packages.sh
source scripts/lib/packages.sh
# shellcheck source=scripts/lib/options.sh
source scripts/lib/options.sh

lumo_setup_options scripts/install-packages.sh "$@"

# The core and lumo-cli, and the test and benchmark programs a plain build makes (ICU is the
# converter tests' reference table, OpenSSL their HTTPS test server's).
required=(
    cmake ninja-build g++ pkg-config
    libsqlite3-dev libboost-regex-dev libcurl4-openssl-dev ca-certificates
    libxml2-dev libgumbo-dev nlohmann-json3-dev libcli11-dev
    libgtest-dev libgmock-dev libbenchmark-dev libicu-dev libssl-dev
)
if [ "$window" = yes ]; then
    # The window: Qt 6 Widgets, Qt Multimedia for the chime, and a font with Chinese characters.
    required+=(qt6-base-dev qt6-multimedia-dev libqt6svg6 fonts-wqy-microhei)
fi
if [ "$tests" = yes ]; then
    # The formatting check, pinned to the version .clang-format was written for, and a real feed
    # reader for the Atom feed's tests.
    required+=(clang-format-14 python3-feedparser)
fi

lumo_install_required "${required[@]}" || exit 1

if [ "$tests" = yes ]; then
    # Each file names one group: group_title, group_packages, and group_architecture when the
    # group needs a foreign architecture.
    for group in scripts/packages.d/*.sh; do
        [ -e "$group" ] || continue
        group_title="" group_architecture="" group_packages=()
        # shellcheck source=/dev/null
        source "$group"
        lumo_install_optional "$group_title" "$group_architecture" "${group_packages[@]}"
    done
fi
exit 0
