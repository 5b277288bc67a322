#!/usr/bin/env bash
# Renders the panel's window to a PNG offscreen (no display needed), to look at it:
#   ./scripts/snapshot.sh [OUT.png] [--demo]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}"
QBV_BUILD_TARGETS=qbv_window_snapshot qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
out=${1:-panel.png}
shift || true
QT_QPA_PLATFORM=offscreen build/release/bin/qbv_window_snapshot "$out" "$@" 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR || true
echo "Wrote $out"
