#!/usr/bin/env bash
# Checks that the C and C++ files under src/, tests/, testkit/, bench/ and tools/ are formatted as
# .clang-format says, with clang-format 14. Names the files that are not and exits 1.
#
#   scripts/check-format.sh [CLANG_FORMAT]   (default clang-format-14)
#
# Generated tables (*.inc) are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${1:-clang-format-14}

version=$("$clang_format" --version 2>/dev/null || true)
if ! grep -q 'version 14\.' <<<"$version"; then
    echo "check-format: $clang_format is not clang-format 14 (${version:-not found})" >&2
    exit 1
fi

mapfile -d '' files < <(find src tests testkit bench tools -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print0 | sort -z)
# One diagnostic per place that would change; the file name leads each.
status=0
out=$("$clang_format" --dry-run --Werror "${files[@]}" 2>&1) || status=$?
bad=$(sed -n -E 's/^(.+):[0-9]+:[0-9]+: (error|warning): code should be clang-formatted.*/\1/p' \
    <<<"$out" | sort -u)
if [ $status -ne 0 ] && [ -z "$bad" ]; then
    printf '%s\n' "$out" >&2
    echo "check-format: $clang_format failed (exit $status)" >&2
    exit 1
fi
if [ -n "$bad" ]; then
    echo "check-format: these files are not formatted (run clang-format -i on them):" >&2
    sed "s/^/  /" <<<"$bad" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
