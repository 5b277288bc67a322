#!/usr/bin/env bash
# Sets up, builds and runs every test, leg by leg; --leg NAME runs only the legs named (see --help).
set -euo pipefail
cd "$(dirname "$0")/.."

legs=(format native sanitizers windows packages fuzz)
usage() {
    cat <<'TEXT'
usage: ./scripts/run-tests.sh [--leg NAME]...
Sets up, builds and runs the tests; without --leg every leg, in this order:
  format      the C++ sources as .clang-format lays them out
  native      the release tree (build/release): every suite, windows offscreen
  sanitizers  the same suites built by clang with AddressSanitizer and UndefinedBehaviorSanitizer
              (build/sanitize)
  windows     the core and the panel built for Windows (build/windows-gui), their suites under Wine:
              the core's, the window suites offscreen, the .exe's resources, the real window
  packages    the Windows zip and installer made and checked under Wine
  fuzz        the fuzz targets, briefly from their seeds (built in build/sanitize)
TEXT
}

chosen=()
while [ $# -gt 0 ]; do
    case $1 in
    --leg)
        [ $# -ge 2 ] || { usage >&2; exit 64; }
        chosen+=("$2")
        shift 2
        ;;
    --leg=*)
        chosen+=("${1#--leg=}")
        shift
        ;;
    -h | --help)
        usage
        exit 0
        ;;
    *)
        usage >&2
        exit 64
        ;;
    esac
done
for leg in "${chosen[@]}"; do
    [[ " ${legs[*]} " == *" $leg "* ]] || { echo "No leg is called '$leg'." >&2; usage >&2; exit 64; }
done
[ ${#chosen[@]} -eq 0 ] && chosen=("${legs[@]}")

source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_TEST_PACKAGES[@]}"
jobs=$(nproc)
# Most cases wait (on the board's time-outs, on the processes they start) far longer than they compute: more
# of them run side by side than there are cores.
cases=$((jobs * 3))
export QT_QPA_PLATFORM=offscreen

# Each leg builds what it checks, then checks it. The checks mostly wait (on the board's time-outs, on the
# processes and the Wine they start), so the next leg's build runs beside them, at a lower priority.
check_format() {
    scripts/check-format.sh
}

build_native() {
    qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

check_native() {
    ctest --test-dir build/release --output-on-failure --parallel "$cases"
}

# One clang tree for the sanitizers and the fuzz targets: every object carries both the sanitizers and the
# fuzzers' coverage, so the suites and the fuzz targets are built from the same compile.
build_sanitized() {
    # CMake keeps a tree's compiler for life: a tree configured otherwise (by gcc, without the fuzz targets)
    # is made anew.
    if [ -f build/sanitize/CMakeCache.txt ] && ! { grep -q '^CMAKE_CXX_COMPILER:.*clang' build/sanitize/CMakeCache.txt &&
        grep -q '^QBV_FUZZ:BOOL=ON' build/sanitize/CMakeCache.txt; }; then
        rm -rf build/sanitize
    fi
    # LLVM's own linker: the instrumented programs are large, and ld.bfd is slow over them.
    CC=clang CXX=clang++ qbv_build build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQBV_SANITIZE=ON -DQBV_FUZZ=ON \
        -DQBV_BUILD_BENCHMARKS=OFF -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld \
        -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld
}

build_sanitizers() {
    build_sanitized
}

check_sanitizers() {
    # Full stacks on every allocation, so a leak report always says where it came from. The instrumented
    # cases compute far more, so fewer run side by side; and the session's model walks a quarter of the
    # native leg's input sequences, which pass through every state and input, as the sanitizers look at
    # the memory and arithmetic of those paths rather than search for a broken promise.
    RC_PARAMS=max_success=2500 ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:fast_unwind_on_malloc=0 \
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0 \
        ctest --test-dir build/sanitize --label-exclude fuzz --output-on-failure --parallel $((jobs * 2))
}

# One Windows tree with Qt for Windows from the cache outside the clone (unpacked or built once): the core's
# suites, the window suites on the offscreen platform, the .exe's resources and the real window on a
# virtual display, side by side in a throwaway Wine prefix (what needs the prefix to itself locks it).
build_windows() {
    source scripts/qt-mingw.sh
    qbv_build_windows_gui
}

check_windows() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/qbv-wine.XXXXXX")
    export WINEPREFIX WINEDEBUG=-all
    # The prefix is made before the suites start side by side: two first programs would both make it.
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    ctest --test-dir build/windows-gui --output-on-failure --parallel "$jobs"
    end_wine
}

end_wine() {
    [ -n "${WINEPREFIX:-}" ] || return 0
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    unset WINEPREFIX
}

check_packages() {
    scripts/package-windows.sh
}

build_fuzz() {
    QBV_BUILD_TARGETS=qbv_fuzzers build_sanitized
}

check_fuzz() {
    ctest --test-dir build/sanitize --label-regex fuzz --output-on-failure --parallel "$jobs"
}

# A leg's build started beside the leg before it: in a process group of its own, so that a run that ends
# early ends it too, with its output kept until its leg comes.
ahead_leg=
ahead_pid=
ahead_log=$(mktemp "${TMPDIR:-/tmp}/qbv-build-ahead.XXXXXX")
build_ahead() {
    ahead_leg=$1
    set -m
    (renice -n 10 "$BASHPID" >/dev/null && "build_$1") >"$ahead_log" 2>&1 &
    ahead_pid=$!
    set +m
}
take_build_ahead() {
    local status=0
    wait "$ahead_pid" || status=$?
    ahead_leg=
    cat "$ahead_log"
    return $status
}
end_build_ahead() {
    [ -n "$ahead_leg" ] && kill -- -"$ahead_pid" 2>/dev/null
    wait 2>/dev/null
    rm -f "$ahead_log"
}

# How long each leg took from the end of the one before (its build may have begun beside that one's
# checks), said at the end however the run ends.
timings=()
current=
record() {
    local elapsed=$((SECONDS - start))
    timings+=("$(printf '%-11s %2d min %02d s' "$current" $((elapsed / 60)) $((elapsed % 60)))$1")
}
finish() {
    end_build_ahead
    [ -n "$current" ] && record "  FAILED"
    end_wine
    [ ${#timings[@]} -eq 0 ] && return
    echo "== Time per leg =="
    printf '  %s\n' "${timings[@]}"
}
trap finish EXIT

for ((leg = 0; leg < ${#chosen[@]}; leg++)); do
    current=${chosen[leg]}
    echo "== Leg: $current =="
    start=$SECONDS
    if [ "$ahead_leg" = "$current" ]; then
        take_build_ahead
    elif declare -F "build_$current" >/dev/null; then
        "build_$current"
    fi
    next=${chosen[leg + 1]:-}
    if [ -n "$next" ] && declare -F "build_$next" >/dev/null; then
        build_ahead "$next"
    fi
    "check_$current"
    record ""
done
current=
echo "All tests passed."
