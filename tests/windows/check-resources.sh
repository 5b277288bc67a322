#!/usr/bin/env bash
# A program we ship for Windows as Windows shows it: the icon drawn at build time, its version record, and
# no C++ runtime library of its own to ship (it links it statically). The panel's .exe is also a windowed
# program (no console behind it), and its record is resources/windows/QBV_Control_Panel.rc's; every other
# program's names what it is (DESCRIPTION).
#   check-resources.sh EXE DRAWN.ico OBJDUMP [DESCRIPTION]
set -euo pipefail
exe=$1 drawn=$2 objdump=$3 description=${4:-}
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

headers=$("$objdump" -p "$exe")
if [ -z "$description" ]; then
    grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a Windows GUI subsystem program"
fi
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
if grep -iE '^(libstdc\+\+|libgcc|libwinpthread)' <<<"$imports"; then
    fail "imports a runtime library instead of linking it statically"
fi

# The icon group lists the drawn icon's images, and the images are the drawn bytes.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wrestool -x -t14 "$exe" >"$work/group.ico" || fail "no icon group"
if [ "$(icotool -l "$work/group.ico" 2>/dev/null)" != "$(icotool -l "$drawn" 2>/dev/null)" ]; then
    fail "the icon group does not list the drawn icon's images"
fi
images=$(od -An -tu2 -j4 -N2 "$drawn" | tr -d ' ')
wrestool -x --raw -t3 "$exe" >"$work/images"
tail -c +$((6 + 16 * images + 1)) "$drawn" | cmp -s - "$work/images" || fail "the icon's images are not the drawn ones"

# String values follow their names in the version record (UTF-16 text between NULs).
record=$(wrestool -x --raw -t16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr '\0' '\n' | grep -av '^$' || true)
expect() {
    local value
    value=$(grep -a -A1 "$1\$" <<<"$record" | sed -n 2p)
    [ "$value" = "$2" ] || fail "$1 is '$value', not '$2'"
}
expect FileDescription "${description:-QB-vela Board Control Panel}"
expect ProductName "QB-vela Control Panel"
expect FileVersion "1.0.0.0"
expect OriginalFilename "$(basename "$exe")"

[ "$failed" = 0 ] && echo "$(basename "$exe"): icon and version record as drawn and written"
exit "$failed"
