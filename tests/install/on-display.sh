#!/usr/bin/env bash
# Run by install-test.sh on a virtual display: on-display.sh PREFIX BOARD_NAME LOG
# - bin/qbv-control-panel, a link, shows the panel's window under the class its desktop entry names, and
#   the panel says why the JTAG library for real boards found no tool chain: it loaded that library from
#   its real folder.
# - The demo launcher starts the virtual board and the panel; the panel connects; a real click on LED8
#   lights it on the board; a click on Exit ends the panel, and the launcher ends the board it started.
# Each window is found by the class its desktop entry names, so the entries are checked too.
set -euo pipefail
prefix=$1
export QBV_VIRTUAL_BOARD=$2
log=$3
ctl=$prefix/lib/qbv-control-panel-demo/qbv-board-ctl

fail() {
    echo "on display: $*" >&2
    exit 1
}
# Waits up to SECONDS for the board's state to show WORD: until_state WORD SECONDS
until_state() {
    local tries=$(($2 * 10))
    while [ "$tries" -gt 0 ]; do
        case " $("$ctl" state 2>/dev/null) " in *" $1 "*) return 0 ;; esac
        sleep 0.1
        tries=$((tries - 1))
    done
    fail "the board never showed $1: $("$ctl" state 2>&1)"
}

# The visible window of the class an installed desktop entry names: window_of ENTRY
window_of() {
    local class
    class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$1")
    timeout 10 xdotool search --sync --onlyvisible --class "^$class\$" | head -n 1 || fail "no window of class $class"
}

# A tool chain that is not there, whatever this machine has.
env -u QBV_JTAG_CLIENT_DIR QUARTUS_ROOTDIR="$prefix/no-tool-chain" "$prefix/bin/qbv-control-panel" >"$log" 2>&1 &
panel=$!
window_of qbv-control-panel.desktop >/dev/null
for _ in $(seq 100); do
    grep -q "No FPGA vendor tool chain was found" "$log" && break
    sleep 0.1
done
kill "$panel"
wait "$panel" || true
grep -q "No FPGA vendor tool chain was found" "$log" || fail "the panel did not load the JTAG library for real boards"

"$prefix/bin/qbv-control-panel-demo" >>"$log" 2>&1 &
launcher=$!
trap 'kill $launcher 2>/dev/null || true' EXIT

until_state link=1 30
# Connected once the panel polls the keys, which it starts after connecting, when it shows the controls.
for _ in $(seq 100); do
    received=$("$ctl" state | sed -n 's/.* received=\([0-9]*\).*/\1/p')
    [ "${received:-0}" -ge 10 ] && break
    sleep 0.1
done

window=$(window_of qbv-control-panel-demo.desktop)
# The board's window elsewhere, the panel's on top at the corner, so clicks land on the panel.
for board_window in $(xdotool search --onlyvisible --class '^qbv-virtual-board$'); do
    xdotool windowmove "$board_window" 800 0
done
xdotool windowmove --sync "$window" 0 0 windowraise "$window"

# LED8 (bit 7) is the leftmost over the LED strip; Exit is the box header at the bottom left.
xdotool mousemove --window "$window" 396 384 click 1
until_state leds=0x80 10

xdotool mousemove --window "$window" 136 476 click 1
for _ in $(seq 100); do
    kill -0 "$launcher" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$launcher" 2>/dev/null && fail "the panel did not end on Exit"
wait "$launcher" || fail "the launcher ended with status $?"
trap - EXIT
"$ctl" state >/dev/null 2>&1 && fail "the board the launcher started is still running"
exit 0
