# shellcheck shell=bash
# Package installation for the set-up scripts (sourced). Debian and Ubuntu: dpkg and apt-get.
#
# lumo_install_required PACKAGE...    installs what is missing; on failure prints one line that
#                                     names the packages and apt's error, and returns 1
# lumo_install_optional TITLE ARCH PACKAGE...
#                                     installs a group of extra test tools best effort (ARCH: a
#                                     foreign architecture the group needs, or ""); on failure
#                                     prints one "optional: TITLE unavailable (...)" line, puts
#                                     back the architecture it added, and returns 0
#
# Runs apt-get as root (through sudo when needed), waiting for apt's lock held by another run.

lumo_apt_updated=no

# Prints the packages of the arguments that are not installed, one a line.
lumo_missing_packages() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed"; then
            printf '%s\n' "$p"
        fi
    done
}

lumo_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

lumo_apt_get() {
    lumo_as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"
}

# Refreshes the package indexes once per run (again after an architecture was added). A mirror
# out of step breaks one index while the others refresh: that is reported in a line, and the
# install that follows decides whether the indexes there are enough.
lumo_apt_update() {
    [ "$lumo_apt_updated" = yes ] && return 0
    lumo_apt_updated=yes
    local out
    if out=$(lumo_apt_get update 2>&1); then
        return 0
    fi
    local refreshed failed error
    refreshed=$(grep -cE '^(Hit|Get):' <<<"$out" || true)
    failed=$(grep -cE '^Err:' <<<"$out" || true)
    error=$(grep -m1 -E '^(E|W): ' <<<"$out" || true)
    [ -n "$error" ] || error=$(tail -n1 <<<"$out")
    echo "note: apt-get update failed for $failed of $((refreshed + failed)) indexes (${error#?: });" \
        "installing from the indexes there are" >&2
}

# Installs the packages. On failure sets lumo_apt_error (apt's reason, short) and lumo_apt_culprits
# (those that cannot be installed even alone, or all of them when each alone could) and returns 1.
lumo_apt_install() {
    local out
    lumo_apt_error=""
    lumo_apt_culprits=""
    if out=$(lumo_apt_get install -y -q "$@" 2>&1); then
        return 0
    fi
    local error
    error=$(grep -m1 '^E: ' <<<"$out" || true)
    [ -n "$error" ] || error=$(tail -n1 <<<"$out")
    error=${error#E: }
    case "$error" in
    *"held broken packages"*) error="held broken packages" ;;
    esac
    lumo_apt_error=${error%.}
    # apt blames every package of a broken chain; a dry run of each requested package alone
    # tells which of them cannot be installed.
    local p culprits=()
    if [ $# -gt 1 ]; then
        for p in "$@"; do
            if ! apt-get install -s -q "$p" >/dev/null 2>&1; then
                culprits+=("$p")
            fi
        done
    fi
    [ ${#culprits[@]} -gt 0 ] || culprits=("$@")
    lumo_apt_culprits="${culprits[*]}"
    lumo_apt_culprits=${lumo_apt_culprits// /, }
    return 1
}

lumo_install_required() {
    local missing
    mapfile -t missing < <(lumo_missing_packages "$@")
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    lumo_apt_update
    if ! lumo_apt_install "${missing[@]}"; then
        echo "lumo: cannot install the required packages ${missing[*]}" \
            "($lumo_apt_culprits cannot be installed: $lumo_apt_error)" >&2
        return 1
    fi
}

lumo_has_architecture() {
    { dpkg --print-architecture && dpkg --print-foreign-architectures; } 2>/dev/null | grep -qxF "$1"
}

lumo_install_optional() {
    local title=$1 arch=$2
    shift 2
    local missing
    mapfile -t missing < <(lumo_missing_packages "$@")
    [ ${#missing[@]} -gt 0 ] || return 0
    local added=no
    if [ -n "$arch" ] && ! lumo_has_architecture "$arch"; then
        if ! lumo_as_root dpkg --add-architecture "$arch"; then
            echo "optional: $title unavailable (the $arch architecture cannot be added)"
            return 0
        fi
        added=yes
        lumo_apt_updated=no
    fi
    echo "Installing (optional, $title): ${missing[*]}"
    lumo_apt_update
    if lumo_apt_install "${missing[@]}"; then
        return 0
    fi
    echo "optional: $title unavailable ($lumo_apt_culprits cannot be installed: $lumo_apt_error)"
    # The architecture goes again, so that its indexes trouble no later apt-get update; refused
    # (and kept) when a package of it was installed after all.
    if [ "$added" = yes ] && lumo_as_root dpkg --remove-architecture "$arch" 2>/dev/null; then
        lumo_apt_updated=no
    fi
    return 0
}
