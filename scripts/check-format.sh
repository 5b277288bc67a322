#!/usr/bin/env bash
# The project's C++ sources as its .clang-format lays them out: lists every file that differs and the
# one command that mends them all, and fails. With --fix it formats them in place instead.
#   check-format.sh [--fix] [FILE...]   (the files tracked by git when none are named)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fix=false
if [ "${1:-}" = --fix ]; then
    fix=true
    shift
fi
if [ $# -eq 0 ]; then
    cd "$root"
    mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.hpp')
else
    files=("$@")
fi

command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 2; }
if $fix; then
    clang-format -i "${files[@]}"
    exit 0
fi
differing=()
for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
done
[ ${#differing[@]} -eq 0 ] && exit 0
echo "These files are not laid out as .clang-format says:" >&2
printf '  %s\n' "${differing[@]}" >&2
echo "Mend them with: $root/scripts/check-format.sh --fix${*:+ $*}" >&2
exit 1
