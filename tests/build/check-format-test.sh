#!/usr/bin/env bash
# The format check fails on a file laid out otherwise, names it, and the command it prints mends it.
#   check-format-test.sh CHECK_SCRIPT CLANG_FORMAT_FILE
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/.clang-format"
printf 'int  main( ) {return 0;}\n' >"$work/bad.cpp"

if output=$("$check" "$work/bad.cpp" 2>&1); then
    echo "FAIL: the check passed a misformatted file"
    exit 1
fi
grep -q "  $work/bad.cpp" <<<"$output" || { echo "FAIL: the file is not named: $output"; exit 1; }
mend=$(sed -n 's/^Mend them with: //p' <<<"$output")
[ -n "$mend" ] || { echo "FAIL: no command to mend it: $output"; exit 1; }
$mend || { echo "FAIL: the mending command failed"; exit 1; }
"$check" "$work/bad.cpp" || { echo "FAIL: still misformatted after: $mend"; exit 1; }
