#!/usr/bin/env bash
# Builds the release tree and runs every benchmark program; each prints its figures. Benchmarks are not
# tests: nothing here fails on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen
qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
for bench in build/release/bin/qbv_*_bench; do
    echo "== $(basename "$bench") =="
    "$bench" --benchmark_counters_tabular=true 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
done
