#!/usr/bin/env bash
# The installed programs as a user gets them, put in a temporary folder one of two ways:
#   install-test.sh --build-dir DIR     `cmake --install DIR` (every component) with the prefix ROOT/usr
#   install-test.sh --packages DEB...   the Debian packages, each unpacked with dpkg-deb -x into ROOT
# Then:
#   - the install layout: program folders, links, desktop entries, icons, metainfo, manual pages, udev rule;
#   - bin/qbv, a link, finds the JTAG library for real boards in its real folder (no tool chain: the link
#     does not open, exit 3; a library not found would be exit 2);
#   - on a virtual display, bin/qbv-control-panel shows its window and loads the library for real boards;
#     the demo launcher starts the virtual board and the panel, the panel connects, a click on LED8 lights
#     it on the board, and Exit ends the panel and the board the launcher started; each window has the
#     class its desktop entry names;
#   - as a user who cannot write the program folder (nobody when run as root, else the folder is made
#     read-only), the demo's qbv programs an erased virtual board with the stand-in programmer beside it,
#     whatever tool chain QUARTUS_ROOTDIR announces, the board's sockets lie in that user's runtime
#     folder, and the chain definition file lands in that user's cache folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

mode=${1:-}
shift || true
case "$mode" in
--build-dir) [ $# -eq 1 ] ;;
--packages) [ $# -ge 1 ] ;;
*) false ;;
esac || {
    echo "usage: $0 --build-dir DIR | --packages DEB..." >&2
    exit 64
}

work=$(mktemp -d "${TMPDIR:-/tmp}/qbv-install-test.XXXXXX")
# The other user must reach the installed programs.
chmod 755 "$work"
root=$work/root
prefix=$root/usr
demo=$prefix/lib/qbv-control-panel-demo
panel=$prefix/lib/qbv-control-panel
cleanup() {
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "install test: $*" >&2
    exit 1
}

if [ "$mode" = --build-dir ]; then
    "${CMAKE:-cmake}" --install "$1" --prefix "$prefix" >"$work/install.log" || {
        cat "$work/install.log" >&2
        fail "cmake --install failed"
    }
else
    for deb in "$@"; do
        dpkg-deb -x "$deb" "$root"
    done
fi

echo "-- layout"
for file in bin/qbv-control-panel bin/qbv bin/qbv-control-panel-demo \
    lib/qbv-control-panel/QBV_Control_Panel lib/qbv-control-panel/qbv lib/qbv-control-panel/alt_jtaglib.so \
    lib/qbv-control-panel-demo/QBV_Control_Panel lib/qbv-control-panel-demo/qbv \
    lib/qbv-control-panel-demo/alt_jtaglib.so lib/qbv-control-panel-demo/qbv-virtual-board \
    lib/qbv-control-panel-demo/qbv-board-ctl lib/qbv-control-panel-demo/quartus/bin/quartus_pgm \
    lib/qbv-control-panel-demo/QBV_Control_Panel.pof lib/udev/rules.d/51-qbv-usb-blaster.rules \
    share/applications/qbv-control-panel.desktop share/applications/qbv-control-panel-demo.desktop \
    share/metainfo/org.example.qbv_control_panel.metainfo.xml share/icons/hicolor/scalable/apps/qbv-control-panel.svg \
    share/man/man1/qbv.1.gz share/man/man1/qbv-control-panel.1.gz share/man/man1/qbv-control-panel-demo.1.gz; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/qbv-control-panel.png
    [ "$(file -b "$icon" | cut -d, -f2)" = " $size x $size" ] || fail "no $size px icon: $(file -b "$icon")"
done
# Relative, so the tree works wherever it is unpacked.
for link in qbv-control-panel qbv; do
    case "$(readlink "$prefix/bin/$link")" in
    ../lib/qbv-control-panel/*) ;;
    *) fail "bin/$link is not a relative link into lib/qbv-control-panel/" ;;
    esac
done
# Each program folder holds its own edition of the library.
! cmp -s "$panel/alt_jtaglib.so" "$demo/alt_jtaglib.so" || fail "both program folders hold the same alt_jtaglib.so"

echo "-- qbv through its link, with no tool chain"
status=0
env -u QBV_JTAG_CLIENT_DIR QUARTUS_ROOTDIR="$work/no-tool-chain" "$prefix/bin/qbv" ping >"$work/qbv.out" 2>&1 || status=$?
[ "$status" -eq 3 ] || {
    cat "$work/qbv.out" >&2
    fail "bin/qbv ping exited with $status, not 3 (the link did not open)"
}

echo "-- on a virtual display: the panel through its link; the demo: connect, click LED8, Exit"
# Qt on the X server, not offscreen as the suites run it. A virtual display has no desktop session: given
# no session bus, libdbus would try to start one over X11 and keep the buffer of the answer for good, which
# LeakSanitizer reports, so the programs are told of a bus that is not there. Built with AddressSanitizer,
# its strict string checks are off here: libxkbcommon-x11 hands strndup() a buffer with no NUL after the
# length it gives, which is allowed, and the strict checks read it as an overflow in Qt's X11 start-up.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS=$ASAN_OPTIONS:strict_string_checks=0
fi
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1600x800x24" \
    "$here/on-display.sh" "$prefix" "qbv-install-test-$$" "$work/demo.log" || {
    cat "$work/demo.log" >&2
    fail "on a virtual display"
}

echo "-- programming as a user who cannot write the program folder"
home=$work/home
mkdir -p "$home/tmp" "$home/runtime"
chmod 700 "$home/runtime"
board_name=qbv-install-test-user-$$
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$home"
    as_user() { runuser -u nobody -- "$@"; }
else
    chmod a-w "$demo"
    as_user() { "$@"; }
fi
user_env=(env HOME="$home" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp"
    QBV_VIRTUAL_BOARD="$board_name" QUARTUS_ROOTDIR="$work/no-tool-chain" QBV_PGM_DURATION_MS=300)
as_user "${user_env[@]}" touch "$demo/written" 2>/dev/null && fail "the user can write the program folder"
ctl() { as_user "${user_env[@]}" "$demo/qbv-board-ctl" "$@"; }

as_user "${user_env[@]}" "$demo/qbv-virtual-board" --headless >"$work/board.log" 2>&1 &
board=$!
trap 'ctl quit >/dev/null 2>&1 || true; kill $board 2>/dev/null || true; cleanup' EXIT
for _ in $(seq 100); do
    ctl state >/dev/null 2>&1 && break
    sleep 0.1
done
[ -S "$home/runtime/$board_name" ] || fail "the board's socket is not in the user's runtime folder"
ctl erase >/dev/null || fail "qbv-board-ctl erase"
ctl state | grep -q ' programmed=0' || fail "the board is not blank after erase: $(ctl state)"
as_user "${user_env[@]}" "$demo/qbv" program >"$work/program.log" 2>&1 || {
    cat "$work/program.log" >&2
    fail "qbv program failed as a user who cannot write $demo"
}
ctl state | grep -q ' programmed=1' || fail "the board is not programmed: $(ctl state)"
[ -f "$home/cache/qbv-control-panel/QBV_Control_Panel.cdf" ] ||
    fail "the chain definition file is not in the user's cache folder $home/cache/qbv-control-panel/"
ctl quit >/dev/null
wait "$board" || true

echo "install test: passed"
