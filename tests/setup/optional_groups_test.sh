#!/usr/bin/env bash
# The set-up script against a broken package mirror, with a fake apt-get and dpkg on PATH: the
# 32-bit index fails to refresh, wine32 has held broken packages, and one group names a package
# that does not exist. Required packages still install (before any foreign architecture is
# added), each unavailable group prints one line, the run goes on; a required package that cannot
# be installed stops it with one line; --cli installs no package of the window. Then a configure
# without the Windows loader tools lists their tests, and ctest reports them skipped and exits 0.
#
#   optional_groups_test.sh CMAKE CTEST CXX CC
set -uo pipefail
cmake=$1 ctest=$2 cxx=$3 cc=$4
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expect_line() { # FILE LINE
    grep -qxF -- "$2" "$1" || fail "expected the line '$2' in $(basename "$1"):$(printf '\n%s' "$(cat "$1")")"
}

expect_match() { # FILE REGEX
    grep -qE -- "$2" "$1" || fail "expected /$2/ in $(basename "$1"):$(printf '\n%s' "$(cat "$1")")"
}

# --- the fakes: state lives in $FAKE_STATE (installed packages, foreign architectures, a log) ---
fake=$work/bin
mkdir -p "$fake"
cat >"$fake/apt-get" <<'FAKE'
#!/usr/bin/env bash
state=$FAKE_STATE
args=()
simulate=no
while [ $# -gt 0 ]; do
    case "$1" in
    -o) shift 2 ;;
    -s) simulate=yes; shift ;;
    -y | -q | -qq) shift ;;
    *) args+=("$1"); shift ;;
    esac
done
set -- "${args[@]}"
command=$1
shift
[ $simulate = yes ] || echo "$command $*" >>"$state/log"
if [ "$command" = update ]; then
    echo "Hit:1 http://deb.example/debian bookworm InRelease"
    echo "Get:2 http://deb.example/debian-security bookworm-security/main amd64 Packages [270 kB]"
    if grep -qx i386 "$state/archs"; then
        echo "Err:3 http://deb.example/debian-security bookworm-security/main i386 Packages"
        echo "  File has unexpected size (123 != 456). Mirror sync in progress? [IP: 10.0.0.1 80]"
        echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (123 != 456). Mirror sync in progress? [IP: 10.0.0.1 80]"
        echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
        exit 100
    fi
    exit 0
fi
for p in "$@"; do
    case " $FAKE_I386_ONLY " in
    *" $p "*) grep -qx i386 "$state/archs" || { echo "E: Unable to locate package $p"; exit 100; } ;;
    esac
    case "$p" in
    lumo-no-such-*) echo "E: Unable to locate package $p"; exit 100 ;;
    esac
done
for p in "$@"; do
    case " $FAKE_BROKEN " in
    *" $p "*)
        echo "Some packages could not be installed. This may mean that you have"
        echo "The following packages have unmet dependencies:"
        # apt names the broken chain's packages, not the one asked for.
        echo " libcurl4:i386 : Depends: libssl3:i386 (>= 3.0.0) but it is not going to be installed"
        echo "                 Depends: zlib1g:i386 (>= 1:1.1.4) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
        ;;
    esac
done
[ $simulate = yes ] || printf '%s\n' "$@" >>"$state/installed"
FAKE
cat >"$fake/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
p=${!#}
grep -qxF -- "$p" "$FAKE_STATE/installed" || exit 1
echo "install ok installed"
FAKE
cat >"$fake/dpkg" <<'FAKE'
#!/usr/bin/env bash
case "$1" in
--print-architecture) echo amd64 ;;
--print-foreign-architectures) cat "$FAKE_STATE/archs" ;;
--add-architecture) echo "$2" >>"$FAKE_STATE/archs"; echo "add-architecture $2" >>"$FAKE_STATE/log" ;;
--remove-architecture)
    grep -vx "$2" "$FAKE_STATE/archs" >"$FAKE_STATE/archs.new"
    mv "$FAKE_STATE/archs.new" "$FAKE_STATE/archs"
    echo "remove-architecture $2" >>"$FAKE_STATE/log"
    ;;
*) exit 2 ;;
esac
FAKE
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$fake/sudo"
chmod +x "$fake"/*

# A copy of the scripts, with one more group that names a package that does not exist.
mkdir -p "$work/tree"
cp -r "$root/scripts" "$work/tree/"
cat >"$work/tree/scripts/packages.d/zz-missing.sh" <<'GROUP'
group_title="Imaginary tests"
group_packages=(lumo-no-such-tool)
GROUP

run_setup() { # NAME FOREIGN_ARCHS BROKEN [ARGUMENTS], by default --tests
    local state=$work/$1
    local arguments=("${@:4}")
    [ ${#arguments[@]} -gt 0 ] || arguments=(--tests)
    mkdir -p "$state"
    : >"$state/installed"
    : >"$state/log"
    printf '%s' "$2" >"$state/archs"
    FAKE_STATE=$state FAKE_BROKEN=$3 FAKE_I386_ONLY=wine32 PATH="$fake:$PATH" \
        "$work/tree/scripts/install-packages.sh" "${arguments[@]}" >"$state/out" 2>"$state/err"
    echo $? >"$state/status"
}

# 1. A fresh machine, the mirror's i386 index out of step, wine32 uninstallable.
run_setup fresh "" "wine32"
s=$work/fresh
[ "$(cat "$s/status")" = 0 ] || fail "fresh: exit $(cat "$s/status"): $(cat "$s/err")"
expect_line "$s/out" "optional: Windows loader tests unavailable (wine32 cannot be installed: held broken packages)"
expect_line "$s/out" "optional: Imaginary tests unavailable (lumo-no-such-tool cannot be installed: Unable to locate package lumo-no-such-tool)"
[ "$(grep -c '^optional:' "$s/out")" = 2 ] || fail "fresh: one optional line per unavailable group: $(cat "$s/out")"
expect_match "$s/err" "^note: apt-get update failed for 1 of 3 indexes \(Failed to fetch .*binary-i386.*\); installing from the indexes there are$"
grep -qx "clang-format-14" "$s/installed" || fail "fresh: the required clang-format-14 was not installed"
grep -qx "libclang-rt-14-dev" "$s/installed" || fail "fresh: the fuzz group was not installed"
grep -qx "wine32" "$s/installed" && fail "fresh: wine32 counted as installed"
required_at=$(grep -n "^install .*qt6-base-dev" "$s/log" | cut -d: -f1)
arch_at=$(grep -n "^add-architecture i386" "$s/log" | cut -d: -f1)
if [ -z "$required_at" ] || [ -z "$arch_at" ] || [ "$required_at" -ge "$arch_at" ]; then
    fail "fresh: required packages must install before i386 is added: $(cat "$s/log")"
fi
[ -s "$s/archs" ] && fail "fresh: the i386 architecture added for the failed group stayed"

# 2. A machine that had i386 already, with the same broken index: required packages install,
#    and the user's architecture stays.
run_setup had_i386 "i386"$'\n' "wine32"
s=$work/had_i386
[ "$(cat "$s/status")" = 0 ] || fail "had_i386: exit $(cat "$s/status"): $(cat "$s/err")"
grep -qx "qt6-base-dev" "$s/installed" || fail "had_i386: required packages not installed after a partly failed update"
grep -qx i386 "$s/archs" || fail "had_i386: the user's i386 architecture was removed"
grep -q "remove-architecture" "$s/log" && fail "had_i386: an architecture was removed"

# 3. A required package that cannot be installed: one line, exit 1, no optional group tried.
run_setup required "" "libcurl4-openssl-dev"
s=$work/required
[ "$(cat "$s/status")" = 1 ] || fail "required: exit $(cat "$s/status"), expected 1"
[ "$(wc -l <"$s/err")" = 1 ] || fail "required: expected one line on stderr: $(cat "$s/err")"
expect_match "$s/err" "^lumo: cannot install the required packages cmake .*libcurl4-openssl-dev.* \(libcurl4-openssl-dev cannot be installed: held broken packages\)$"
grep -q "add-architecture\|clang-14" "$s/log" && fail "required: optional groups were tried after the failure"

# 4. lumo-cli alone with its tests: no Qt package, nor the window's font.
run_setup cli "" "" --cli --tests
s=$work/cli
[ "$(cat "$s/status")" = 0 ] || fail "cli: exit $(cat "$s/status"): $(cat "$s/err")"
grep -qx "libcurl4-openssl-dev" "$s/installed" || fail "cli: the core's packages were not installed"
grep -qx "clang-format-14" "$s/installed" || fail "cli: the test tools were not installed"
if grep -E "qt6|fonts-wqy" "$s/installed"; then fail "cli: the window's packages were installed"; fi

# 5. The Windows loader tests on a machine without their tools: still listed, reported skipped,
#    ctest exits 0. Configuring only (no build) and without the window keeps this cheap, and it
#    runs where Qt is missing.
build=$work/build
if ! "$cmake" -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" \
    -DLUMO_BUILD_BENCH=OFF -DLUMO_GUI=OFF -DLUMO_WIN32_TESTS=OFF >"$work/configure.log" 2>&1; then
    fail "configure failed: $(cat "$work/configure.log")"
else
    expect_match "$work/configure.log" "Windows loader tests turned off \(LUMO_WIN32_TESTS=OFF\)"
    (cd "$build" && "$ctest" -R '^win32_' --output-on-failure --output-junit results.xml) \
        >"$work/ctest.log" 2>&1
    status=$?
    [ $status = 0 ] || fail "ctest exit $status: $(cat "$work/ctest.log")"
    expect_match "$work/ctest.log" "win32_wine_prefix .*Skipped"
    expect_match "$work/ctest.log" "win32_module_loader .*Skipped"
    expect_match "$work/ctest.log" "win32_module_loader \(Skipped\)"
    # The reason, where scripts/test.sh reads it: the test's output in ctest's JUnit report.
    expect_match "$build/results.xml" ">skipped: Windows loader tests turned off"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "set-up with a broken mirror and unavailable groups: all checks passed"
