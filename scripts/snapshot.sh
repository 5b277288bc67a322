#!/usr/bin/env bash
# Renders the panel's window to a PNG offscreen (no display needed), to look at it:
#   ./scripts/snapshot.sh [OUT.png] [--demo]
# OUT.png is taken relative to the folder it is run from (default panel.png there); --demo clicks some
# LEDs and pins and holds two keys first.
set -euo pipefail
usage() {
    echo "usage: $0 [OUT.png] [--demo]" >&2
    exit 64
}
out=panel.png
demo=()
for argument in "$@"; do
    case "$argument" in
    --demo) demo=(--demo) ;;
    -*) usage ;;
    *.png) out=$argument ;;
    *) usage ;;
    esac
done
case "$out" in
/*) ;;
*) out=$PWD/$out ;;
esac
[ -d "$(dirname "$out")" ] || { echo "$0: no folder $(dirname "$out")" >&2; exit 1; }

cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}"
QBV_BUILD_TARGETS=qbv_window_snapshot qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
QT_QPA_PLATFORM=offscreen build/release/bin/qbv_window_snapshot "$out" "${demo[@]}" 2>&1 |
    grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR || true
[ -s "$out" ] || { echo "$0: no picture was written to $out" >&2; exit 1; }
echo "Wrote $out"
