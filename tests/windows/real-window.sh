#!/usr/bin/env bash
# The panel as a Windows user starts it, under Wine on a virtual display with Qt's windows platform: from
# a program folder of its own beside the fake JTAG library (tests/fakejtag, writing its record to a file),
# its window appears under its caption in Times New Roman (Liberation Serif standing in), it loads the
# library from its own folder and connects, a click on LED 0 sends the LED command, the logos open their
# web sites through the shell, Download .POF programs through the tool chain the registry names, and Exit
# ends it. The test programmer (tests/programming) stands in for the vendor's programmer and, under
# another name, for the web browser the shell starts.
#   real-window.sh BIN FAKE_JTAG_DLL TEST_PROGRAMMER
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
bin=$1 fake=$2 programmer=$3

session_start
folder=$work/QB-vela
make_program_folder "$folder" "$bin"
cp "$fake" "$folder/alt_jtaglib.dll"
echo design >"$folder/QBV_Control_Panel.pof"

register_tool_chain "$programmer"
# The shell's handler of web addresses: the test programmer again, which notes its arguments.
mkdir -p "$work/browser"
browser=$work/browser/url-recorder.exe
cp "$programmer" "$browser"
for scheme in http https; do
    "$wine" reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$(windows_path "$browser")\" \"%1\"" /f >/dev/null
done

probe_window "$bin/qbv_window_probe.exe" "$folder"
font=$(point font)
echo "the buttons' font: $font"
[ "$font" = "Times New Roman|24|bold|Liberation Serif metrics" ] ||
    fail "the buttons' font is '$font', not Times New Roman (Liberation Serif) bold at 24 pixels"

start_panel "$folder"
check_connected "$folder"

before=$(wc -l <"$record")
click_at $(point led0)
deadline=$((SECONDS + 10))
until [[ " $(received_since "$before")" == *" 01 80 "* ]]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "a click on LED 0 sent $(received_since "$before") and no 01 80"
    sleep 0.2
done
echo "a click on LED 0 sent 01 80"

click_at $(point altera)
wait_for_program_line "argv=https://www.altera.com/"
click_at $(point marovan)
wait_for_program_line "argv=https://www.marovan.example/"
wait_for_program_line "module=$(windows_path "$browser")" 2
wait_for_program_line end 2
echo "the logos opened their web sites through the shell's handler"
rm -f "$programs"

program_and_check "$folder/QBV_Control_Panel.cdf" "$folder"
echo "Download .POF ran the registered tool chain's programmer on the chain definition file and connected again"

click_at $(point exit)
wait_for_panel_end 20
[ "$(tail -2 "$record" | tr '\n' ' ')" = "close unload " ] || fail "the link was not closed before the end"
echo "Exit closed the link and ended the panel"
