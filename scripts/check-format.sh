#!/bin/sh
# Refuses sources that clang-format (the settings in .clang-format) would change.
# Fix with: git ls-files '*.h' '*.cpp' '*.c' | grep -v '^fuzz/corpus' | xargs clang-format -i
set -eu
cd "${1:-$(dirname "$0")/..}"
if ! command -v clang-format >/dev/null 2>&1; then
    echo "format check: clang-format is missing (scripts/setup.sh installs it)" >&2
    exit 1
fi
files=$(git ls-files '*.h' '*.cpp' '*.c' | grep -v '^fuzz/corpus' || true)
# shellcheck disable=SC2086
if ! clang-format --dry-run -Werror $files 2>/tmp/halvaro-format.$$; then
    grep -E '^[^ ].*: error:' /tmp/halvaro-format.$$ | sed 's/:[0-9].*//' | sort -u | head -50
    rm -f /tmp/halvaro-format.$$
    echo "format check: the files above differ from .clang-format" >&2
    exit 1
fi
rm -f /tmp/halvaro-format.$$
echo "format check: every source follows .clang-format"
