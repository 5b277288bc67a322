#!/usr/bin/env bash
# qbv.exe, 64-bit, beside a 32-bit JTAG access library as the board's maker ships it, under Wine with its
# 32-bit support, in a folder named in three scripts: it runs the library through qbv-jtag32.exe beside it
# and reads the keys through it, and qbv doctor names the library, the helper, and a link and a ping that
# pass. The fake JTAG library, built 32-bit, stands in for the maker's.
#   jtag32.sh BIN FAKE_JTAG32_DLL
set -euo pipefail
bin=$1 fake=$2
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all LC_ALL=C.UTF-8
work=$(mktemp -d "${TMPDIR:-/tmp}/qbv-jtag32.XXXXXX")
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=${WINEPREFIX:-$work/prefix}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

folder="$work/Jöns Ωmega 面板"
mkdir -p "$folder"
cp "$bin/qbv.exe" "$bin/qbv-jtag32.exe" "$folder/"
cp "$fake" "$folder/alt_jtaglib.dll"
export QBV_FAKE_JTAG_RECORD="Z:${work//\//\\}\\record" QBV_FAKE_JTAG_KEYS=5

keys=$("$wine" "$folder/qbv.exe" --json keys | tr -d '\r') || fail "qbv keys failed: $keys"
grep -q '"state":5' <<<"$keys" || fail "qbv keys read $keys, not the key state 5"
grep -qxF "load Z:${folder//\//\\}\\alt_jtaglib.dll" "$work/record" ||
    fail "the library was not loaded from qbv's folder: $(head -1 "$work/record")"
echo "qbv keys read the keys through the 32-bit library and its helper"

report=$("$wine" "$folder/qbv.exe" doctor | tr -d '\r') || true
grep -qF "alt_jtaglib.dll loads; its edition: the board maker's (a 32-bit library, run by qbv-jtag32.exe)." \
    <<<"$report" || fail "qbv doctor does not name the 32-bit library and its helper:
$report"
for step in link ping round-trip; do
    grep -qE "^ok +$step " <<<"$report" || fail "qbv doctor's $step step did not pass:
$report"
done
echo "qbv doctor named the 32-bit library and its helper, and the link and ping passed"
