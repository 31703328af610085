#!/bin/sh
# Formats the C and C++ sources of the tree with the one format
# (.clang-format, clang-format 14).
#
#   tools/format.sh                formats every source in place
#   tools/format.sh --check        changes nothing; lists the sources that
#                                  differ from the format and fails if any
#   tools/format.sh [--check] FILE...   the same for the named files only
#
# Sources: *.h *.hpp *.c *.cc *.cpp under si/ sd/ w32/ zoveda/ app/ ghost/
# tests/ tools/ bench/ fuzz/; named files outside them are skipped.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tool=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "format.sh: $tool is missing (tools/install-deps.sh installs it)" >&2
    exit 2
fi

check=0
if [ "${1-}" = "--check" ]; then
    check=1
    shift
fi

dirs="si sd w32 zoveda app ghost tests tools bench fuzz"

# One sorted list, the same on every machine.
list=$(mktemp)
trap 'rm -f "$list"' EXIT
if [ $# -eq 0 ]; then
    for d in $dirs; do
        [ -d "$d" ] && find "$d" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' \
            -o -name '*.cc' -o -name '*.cpp' \)
    done | LC_ALL=C sort > "$list"
else
    for f in "$@"; do
        rel=${f#"$root"/}
        rel=${rel#./}
        case "$rel" in
            *.h|*.hpp|*.c|*.cc|*.cpp) ;;
            *) continue ;;
        esac
        for d in $dirs; do
            case "$rel" in "$d"/*) [ -f "$rel" ] && echo "$rel" ;; esac
        done
    done | LC_ALL=C sort -u > "$list"
fi

if [ $check -eq 0 ]; then
    # A pass can leave work for the next one (qualifiers moved inside a
    # template argument); three passes reach the fixed point.
    for pass in 1 2 3; do
        xargs -r "$tool" -i --style=file < "$list"
    done
    exit 0
fi

# Many files to each clang-format process, two processes at a time: the
# tool's start costs more than formatting a file, and one start per file
# made this check take minutes. Its reports name each file that differs.
out=$(mktemp)
trap 'rm -f "$list" "$out"' EXIT
xargs -r -n 64 -P 2 "$tool" --style=file --dry-run --Werror --ferror-limit=1 < "$list" > "$out" 2>&1 || true
bad=0
# Every file that differs, once, in the list's order.
for f in $(grep 'clang-format-violations' "$out" | sed 's/:[0-9]*:[0-9]*: .*//' | LC_ALL=C sort -u); do
    echo "not formatted: $f"
    bad=1
done
if [ $bad -eq 0 ] && grep -q "error:" "$out"; then
    # The tool failed for another reason than the format (a file it could
    # not read): show what it said rather than pass.
    cat "$out" >&2
    bad=1
fi
if [ $bad -ne 0 ]; then
    echo "format.sh: run tools/format.sh to format these files" >&2
fi
exit $bad
