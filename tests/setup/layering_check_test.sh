#!/usr/bin/env bash
# The layering check on a small tree of its own. A clean tree passes; an include that runs up the
# layers fails it, from a library's folder and from a module's; a folder with sources but no rule
# fails it when every folder is to be checked.
#
#   layering_check_test.sh CMAKE CHECK_LAYERING_CMAKE
set -uo pipefail
cmake=$1 check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
rules="base=base;store=store,base;gui/window=gui/window,store,base;modules/fetch=modules/fetch,base"

put() {  # put FILE LINE...: a source file of the tree with these lines
    mkdir -p "$work/src/$(dirname "$1")"
    local file=$1
    shift
    printf '%s\n' "$@" >"$work/src/$file"
}

expect() {  # expect pass|fail WHAT [TEXT]: run the check; on a failure its output names TEXT
    local want=$1 what=$2 text=${3:-}
    local out status
    out=$("$cmake" -DSOURCE_DIR="$work/src" "-DRULES=$rules" -DALL_FOLDERS=ON -P "$check" 2>&1)
    status=$?
    if [ "$want" = pass ] && [ $status -ne 0 ]; then
        echo "FAIL: $what: the check failed: $out" >&2
        failures=$((failures + 1))
    elif [ "$want" = fail ] && { [ $status -eq 0 ] || ! grep -qF -- "$text" <<<"$out"; }; then
        echo "FAIL: $what: expected a failure naming '$text', got ($status): $out" >&2
        failures=$((failures + 1))
    fi
}

put base/Text.h '#pragma once'
put store/Db.h '#pragma once' '#include "base/Text.h"'
put gui/window/Main.cpp '#include "store/Db.h"' '#include <vector>'
put modules/fetch/Entry.cpp '#include "base/Text.h"'
expect pass "a tree whose includes run down"

put store/Db.cpp '#include "gui/window/Main.h"'
expect fail "a library including a higher folder" "src/store/Db.cpp includes gui/window/Main.h"
rm "$work/src/store/Db.cpp"

put modules/fetch/Entry.cpp '#include "store/Db.h"'
expect fail "a module including what it does not build on" \
    "src/modules/fetch/Entry.cpp includes store/Db.h"
put modules/fetch/Entry.cpp '#include "base/Text.h"'

put modules/sound/Entry.cpp '#include "base/Text.h"'
expect fail "a folder without a rule" "src/modules/sound has sources but no layering rule"

[ $failures -eq 0 ] && echo "layering check: all cases behave"
exit $((failures > 0))
