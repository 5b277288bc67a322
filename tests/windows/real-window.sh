#!/usr/bin/env bash
# The panel as a Windows user starts it, under Wine on a virtual display with Qt's windows platform: from
# a program folder of its own beside the fake JTAG library (tests/fakejtag, writing its record to a file),
# its window appears under its caption in Times New Roman (Liberation Serif standing in), it loads the
# library from its own folder and connects, a click on LED 0 sends the LED command, and Exit ends it.
#   real-window.sh BIN FAKE_JTAG_DLL
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
bin=$1 fake=$2

session_start
folder=$work/QB-vela
make_program_folder "$folder" "$bin"
cp "$fake" "$folder/alt_jtaglib.dll"
cp "$bin/qbv_window_probe.exe" "$folder/"

# Where the controls lie, and the font the window's buttons get on this display.
probe=$("$wine" "$folder/qbv_window_probe.exe" | tr -d '\r')
point() { sed -n "s/^$1 //p" <<<"$probe"; }
font=$(point font)
echo "the buttons' font: $font"
[ "$font" = "Times New Roman|24|bold|Liberation Serif metrics" ] ||
    fail "the buttons' font is '$font', not Times New Roman (Liberation Serif) bold at 24 pixels"

start_panel "$folder"
wait_for_record '^read ' 20
library=$(windows_path "$folder/alt_jtaglib.dll")
expected="load $library
init 0 0 0 0 128 -1 jtag_term 1
atlantic_init
write 00
write 06
read 00"
[ "$(head -6 "$record")" = "$expected" ] ||
    fail "the connection went otherwise: $(head -6 "$record" | tr '\n' '|') instead of $(tr '\n' '|' <<<"$expected")"
echo "connected: the library loaded from the program's folder, the link opened, ping and read keys answered"
# The controls are shown once the connection sequence is over, which the first key poll after it shows.
wait_for_poll

before=$(wc -l <"$record")
click_at $(point led0)
deadline=$((SECONDS + 10))
until [[ " $(received_since "$before")" == *" 01 80 "* ]]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "a click on LED 0 sent $(received_since "$before") and no 01 80"
    sleep 0.2
done
echo "a click on LED 0 sent 01 80"

click_at $(point exit)
wait_for_panel_end 20
[ "$(tail -2 "$record" | tr '\n' ' ')" = "close unload " ] || fail "the link was not closed before the end"
echo "Exit closed the link and ended the panel"
