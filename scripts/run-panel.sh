#!/usr/bin/env bash
# Sets up, builds and runs the panel (QBV_Control_Panel).
#   ./scripts/run-panel.sh               on the virtual board: its window is started first unless one is
#                                        already running, and the stand-in programmer takes the vendor's
#                                        place, so Download and the offer to program work too
#   ./scripts/run-panel.sh --real-board  with a board on a USB-Blaster cable: no virtual board; the panel
#                                        runs from build/release/real-board/, beside the JTAG library for
#                                        real boards, with the FPGA vendor's tool chain (QUARTUS_ROOTDIR)
set -euo pipefail
cd "$(dirname "$0")/.."

real_board=
case "${1:-}" in
"") ;;
--real-board) real_board=1 ;;
*)
    echo "usage: $0 [--real-board]" >&2
    exit 64
    ;;
esac
[ "${QBV_NO_VIRTUAL_BOARD:-}" = 1 ] && real_board=1

# A desktop program needs a display: say so before minutes of building, not after.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'TEXT'
There is no display here, and the panel is a desktop program: it needs one to show its window.
Run it on a desktop session, or on a virtual display:
  xvfb-run -a ./scripts/run-panel.sh
To look at the window without any display, render it to a picture instead:
  ./scripts/snapshot.sh panel.png --demo
TEXT
    exit 1
fi

source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_RUN_PACKAGES[@]}"

if [ -n "$real_board" ]; then
    QBV_BUILD_TARGETS="QBV_Control_Panel qbv alt_jtaglib_vendor" \
        qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec build/release/real-board/QBV_Control_Panel
fi

# The panel, and what runs it without a board: the virtual board, its control tool, the stand-in programmer.
QBV_BUILD_TARGETS="QBV_Control_Panel qbv qbv-virtual-board qbv-board-ctl quartus_pgm" \
    qbv_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo

bin=build/release/bin
board_pid=
if ! "$bin/qbv-board-ctl" state >/dev/null 2>&1; then
    "$bin/qbv-virtual-board" --beside-panel &
    board_pid=$!
    export QBV_BESIDE_BOARD=1 # the panel takes its place beside it
    trap '[ -n "$board_pid" ] && kill "$board_pid" 2>/dev/null; true' EXIT
    for _ in $(seq 50); do
        "$bin/qbv-board-ctl" state >/dev/null 2>&1 && break
        sleep 0.1
    done
fi
# The stand-in for the vendor's programmer, unless a real tool chain is announced.
export QUARTUS_ROOTDIR="${QUARTUS_ROOTDIR:-$PWD/build/release/quartus}"

"$bin/QBV_Control_Panel"
