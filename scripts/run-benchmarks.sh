#!/usr/bin/env bash
# Builds the release tree and runs every benchmark program; each prints its figures. Benchmarks are not
# tests: nothing here fails on a time.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_RUN_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen
qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The panel is set beside a bare window on an X display, a virtual one where there is none.
display=()
[ -z "${DISPLAY:-}" ] && display=(xvfb-run -a -s "-screen 0 1280x1024x24")
for bench in build/release/bin/qbv_*_bench; do
    echo "== $(basename "$bench") =="
    "${display[@]}" "$bench" --benchmark_counters_tabular=true 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
done
# The helper that runs a 32-bit JTAG library on Windows, under Wine, when the Windows tree has been built
# (./scripts/run-tests.sh --leg windows builds it).
windows_bench=build/windows-gui/bin/qbv_jtag32_bench.exe
if [ -x "$windows_bench" ] && [ -x /usr/lib/wine/wine64 ]; then
    echo "== $(basename "$windows_bench") (under Wine) =="
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/qbv-bench-wine.XXXXXX")
    WINEPREFIX=$prefix WINEDEBUG=-all /usr/lib/wine/wine64 "$windows_bench" | tr -d '\r'
    WINEPREFIX=$prefix /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
fi
