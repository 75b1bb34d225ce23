# shellcheck shell=bash
# The options of the set-up scripts (sourced): --tests and --cli, in any order.
#
# lumo_setup_options SCRIPT [ARGUMENT...]
#     sets tests (yes with --tests, else no) and window (no with --cli, else yes); any other
#     argument prints "usage: SCRIPT [--tests] [--cli]" on standard error and exits 2.

# shellcheck disable=SC2034  # tests and window are the caller's
lumo_setup_options() {
    local script=$1 argument
    shift
    tests=no
    window=yes
    for argument in "$@"; do
        case "$argument" in
        --tests) tests=yes ;;
        --cli) window=no ;;
        *)
            echo "usage: $script [--tests] [--cli]" >&2
            exit 2
            ;;
        esac
    done
}
