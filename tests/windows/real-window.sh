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
cp "$bin/qbv_window_probe.exe" "$folder/"
echo design >"$folder/QBV_Control_Panel.pof"

# The vendor's tool chain as its installer leaves it: a folder with a blank in its name, in the registry.
toolchain="$work/Quartus Prime"
mkdir -p "$toolchain/bin"
cp "$programmer" "$toolchain/bin/quartus_pgm.exe"
quartus_key='HKLM\Software\Altera Corporation\Quartus'
"$wine" reg add "$quartus_key" /v 'Quartus Install Directory' /d "$(windows_path "$toolchain")" /f >/dev/null
session_cleanup() { "$wine" reg delete "$quartus_key" /f >/dev/null 2>&1; }
# The shell's handler of web addresses: the test programmer again, which notes its arguments.
mkdir -p "$work/browser"
browser=$work/browser/url-recorder.exe
cp "$programmer" "$browser"
for scheme in http https; do
    "$wine" reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$(windows_path "$browser")\" \"%1\"" /f >/dev/null
done
# Both take their orders from the environment they inherit from the panel.
programs=$work/programs
export QBV_TEST_PROGRAMMER_RECORD=$(windows_path "$programs") QBV_TEST_PROGRAMMER_RUN_MS=300 QBV_TEST_PROGRAMMER_EXIT=0

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

# Waits up to 20 s for the programs' record to hold this line (COUNT times: 1 when not given).
#   wait_for_program_line LINE [COUNT]
wait_for_program_line() {
    local deadline=$((SECONDS + 20))
    until [ -f "$programs" ] && [ "$(tr -d '\r' <"$programs" | grep -cxF "$1")" -ge "${2:-1}" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "no program noted '$1' within 20 s: $(cat "$programs" 2>/dev/null)"
        sleep 0.2
    done
}
click_at $(point altera)
wait_for_program_line "argv=https://www.altera.com/"
click_at $(point marovan)
wait_for_program_line "argv=https://www.marovan.example/"
wait_for_program_line "module=$(windows_path "$browser")" 2
wait_for_program_line end 2
echo "the logos opened their web sites through the shell's handler"
rm -f "$programs"

inits=$(grep -c '^init ' "$record")
click_at $(point download)
wait_for_program_line end
chain=$folder/QBV_Control_Panel.cdf
programmed=$(tr -d '\r' <"$programs")
expected="module=$(windows_path "$toolchain/bin/quartus_pgm.exe")
argv=-c
argv=USB-Blaster[USB-0]
argv=$(windows_path "$chain")"
[ "$(grep -E '^(module|argv)=' <<<"$programmed")" = "$expected" ] ||
    fail "the programmer was started otherwise: $programmed"
# The chain definition file: the design file's folder with slashes, every line ended by CR LF.
[ -f "$chain" ] || fail "no chain definition file beside the program"
design=$(windows_path "$folder")/
grep -qF "Path(\"${design//\\//}\") File(\"QBV_Control_Panel.pof\")" "$chain" ||
    fail "the chain definition file does not name the design file with slashes: $(cat "$chain")"
! grep -qF '\' "$chain" || fail "a backslash is left in the chain definition file"
[ "$(grep -c $'\r$' "$chain")" = "$(wc -l <"$chain")" ] || fail "a line of the chain definition file lacks its CR"
[ "$(tail -c 2 "$chain" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "the chain definition file does not end with CR LF"
# Connected again after the success: the link opened anew and the keys are polled.
wait_for_record_count '^init ' $((inits + 1)) 30
wait_for_record_count '^read ' $(($(grep -c '^read ' "$record") + 2)) 20
echo "Download .POF ran the registered tool chain's programmer on the chain definition file and connected again"

click_at $(point exit)
wait_for_panel_end 20
[ "$(tail -2 "$record" | tr '\n' ' ')" = "close unload " ] || fail "the link was not closed before the end"
echo "Exit closed the link and ended the panel"
