#!/usr/bin/env bash
# Sets up, builds and runs every test: natively, again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Qt-free core and the panel for Windows under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_TEST_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Tests =="
qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build/release --output-on-failure --parallel "$jobs"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
qbv_build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQBV_SANITIZE=ON -DQBV_BUILD_BENCHMARKS=OFF
# Full stacks on every allocation, so a leak report always says where it came from.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
ctest --test-dir build/sanitize --output-on-failure --parallel "$jobs"
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

echo "== Windows core tests under Wine =="
qbv_build build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DQBV_CORE_ONLY=ON \
    -DCMAKE_BUILD_TYPE=Release
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/qbv-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"' EXIT
ctest --test-dir build/windows --output-on-failure

echo "== Windows panel under Wine =="
# Qt for Windows from the cache outside the clone (unpacked or built once); the tree builds incrementally.
# Its Qt-free suites are the core leg's: here the window suites on the offscreen platform, the .exe's
# resources and the real window on a virtual display, one at a time in the prefix above; then the zip
# and the installer, made and checked in a prefix of their own.
source scripts/qt-mingw.sh
QBV_BUILD_TARGETS=qbv_windows_gui_checks qbv_build_windows_gui
ctest --test-dir build/windows-gui --tests-regex '^(qbv_window_tests|qbv_windows_.*)$' --output-on-failure
scripts/package-windows.sh

echo "== Fuzz targets, briefly from their seeds =="
CC=clang CXX=clang++ QBV_BUILD_TARGETS=qbv_fuzzers qbv_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQBV_FUZZ=ON -DQBV_BUILD_BENCHMARKS=OFF
ctest --test-dir build/fuzz --label-regex fuzz --output-on-failure --parallel "$jobs"

echo "All tests passed."
