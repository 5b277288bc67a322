#!/usr/bin/env bash
# What a Windows user downloads, under Wine on a virtual display. The zip: one folder holding exactly the
# panel, qbv, the JTAG library for real boards, the Qt libraries and plugins the panel needs and the
# runtime they need (every library any of them imports is in the folder or is the system's), a README,
# and the demo's folder; unpacked anywhere (here into a folder named in three scripts), the panel starts
# from it with no other step, connects and ends by its close box, and the demo's launcher starts the
# virtual board and the panel on it, whose LED click lights on the board and whose Download .POF programs
# the erased board. The installer: installed silently under Program Files, with Start menu entries for
# the panel and the demo and an uninstaller; the
# installed panel loads its library and Qt plugins from its own folder, programs with its chain
# definition file beside it or, where its folder takes no file, in the user's own folder, as the installed
# demo's does; the uninstaller leaves nothing behind, what the panels wrote in their folders included, but
# what they wrote in the user's. The fake JTAG library stands in for the board as a maker's library would.
#   install.sh ZIP INSTALLER FAKE_JTAG_DLL TEST_PROGRAMMER PROBE
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
zip=$(realpath "$1") installer=$(realpath "$2") fake=$3 programmer=$4 probe_exe=$5
name=$(basename "$zip" .zip)

session_start
register_tool_chain "$programmer"

# The zip's one folder and what is in it.
listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
runtime="Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll"
expected=$( (printf "$name/%s\n" QBV_Control_Panel.exe qbv.exe qbv-jtag32.exe alt_jtaglib.dll README.txt $runtime
    printf "$name/demo/%s\n" QBV_Control_Panel_Demo.exe QBV_Control_Panel.exe qbv.exe qbv-jtag32.exe \
        qbv-virtual-board.exe qbv-board-ctl.exe alt_jtaglib.dll QBV_Control_Panel.pof quartus/bin/quartus_pgm.exe \
        $runtime Qt6Network.dll) | sort)
[ "$listing" = "$expected" ] || fail "the zip holds: $(tr '\n' ' ' <<<"$listing")"
unpacked="$work/Jöns Ωmega 面板"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
folder=$unpacked/$name
system32=$WINEPREFIX/drive_c/windows/system32
for module in "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll "$folder"/demo/*.exe "$folder"/demo/*/*.dll \
    "$folder"/demo/quartus/bin/*.exe; do
    # The folder of the programs that load it: the demo's, or the one of the zip.
    home=$folder
    [[ "$module" == "$folder/demo/"* ]] && home=$folder/demo
    for import in $(x86_64-w64-mingw32-objdump -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        # API sets are names the system's loader resolves, not files.
        [[ "$import" == api-ms-win-* ]] && continue
        [ -n "$(find "$home" "$system32" -maxdepth 1 -iname "$import" -print -quit)" ] ||
            fail "$(basename "$module") needs $import, which is neither in the folder nor the system's"
    done
done
# Each edition by what it alone holds: the one for real boards the names it looks the vendor's client up
# by, the virtual board's the variable that names the board it reaches.
grep -qa "jtagatlantic_open" "$folder/alt_jtaglib.dll" ||
    fail "alt_jtaglib.dll in the zip is not the edition for real boards"
grep -qa "QBV_VIRTUAL_BOARD" "$folder/demo/alt_jtaglib.dll" ||
    fail "alt_jtaglib.dll in the demo's folder is not the virtual board's edition"
echo "the zip: one folder with the programs, the JTAG library for real boards and all they import"

cp "$fake" "$folder/alt_jtaglib.dll"
probe_window "$probe_exe" "$folder"
start_panel "$folder"
check_connected "$folder"
# The close box, as Windows offers it from the keyboard.
press_in "$window" alt+F4
wait_for_panel_end 20
echo "unpacked into $(windows_path "$unpacked"), the panel started, connected and ended by its close box"

# The demo's launcher, as its Start menu entry starts it. The programmer it finds in demo\quartus comes
# before the tool chain the registry names; it programs quickly here.
demo=$folder/demo
board_state() {
    "$wine" "$demo/qbv-board-ctl.exe" state 2>/dev/null | tr -d '\r'
}
# Waits up to SECONDS for the board's state to match the regular expression.
#   wait_for_board REGEX SECONDS
wait_for_board() {
    local deadline=$((SECONDS + $2))
    until [[ "$(board_state)" =~ $1 ]]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the virtual board's state is not '$1' after $2 s: $(board_state)"
        sleep 0.3
    done
}
QBV_PGM_DURATION_MS=300 "$wine" "$demo/QBV_Control_Panel_Demo.exe" >"$work/demo.log" 2>&1 &
panel_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1) || fail "the demo showed no panel within 60 s"
# Connected, and the panel polling the keys (a few more replies sent), so its controls are shown.
wait_for_polling() {
    wait_for_board "$1" "$2"
    local sent
    sent=$(sed -n 's/.* sent=\([0-9]*\) .*/\1/p' <<<"$(board_state)")
    local deadline=$((SECONDS + 10))
    until [ "$(sed -n 's/.* sent=\([0-9]*\) .*/\1/p' <<<"$(board_state)")" -ge $((sent + 3)) ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the panel does not poll the keys: $(board_state)"
        sleep 0.3
    done
}
wait_for_polling ' link=1 ' 30
click_at $(point led0)
wait_for_board ' leds=0x[1-9a-f]' 10
echo "the demo: the launcher started the virtual board and the panel, which connected; LED 0 lit on the board"
"$wine" "$demo/qbv-board-ctl.exe" erase >/dev/null
wait_for_board ' link=0 ' 20
click_at $(point connect)
box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Error$' | head -1) || fail "Connect on the erased board asked nothing"
press_in "$box" Return
wait_for_polling '^ok programmed=1 .* link=1 ' 60
echo "the erased board asked to be programmed, Yes programmed it with the demo's stand-in, and the panel connected"
click_at $(point exit)
wait_for_panel_end 20
! "$wine" "$demo/qbv-board-ctl.exe" state >/dev/null 2>&1 || fail "the board the demo started outlived the panel"
echo "Exit ended the demo's panel, and the board its launcher started with it"

# The installer, silent and with its default folder: the 64-bit programs go to the 64-bit Program Files.
install_root="$WINEPREFIX/drive_c/Program Files/QB-vela Control Panel"
"$wine" "$installer" /S || fail "the installer failed"
[ ! -e "$WINEPREFIX/drive_c/Program Files (x86)/QB-vela Control Panel" ] ||
    fail "the installer put the 64-bit programs under Program Files (x86)"
folder=$(dirname "$(find "$install_root" -name QBV_Control_Panel.exe ! -path '*/demo/*')")
[ -f "$install_root/Uninstall.exe" ] || fail "no uninstaller in $install_root"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
entry=$(find "$start_menu" -path '*QB-vela Control Panel*' -name 'QB-vela Control Panel.lnk' | head -1)
[ -n "$entry" ] && grep -aq QBV_Control_Panel.exe "$entry" || fail "no Start menu entry for the panel"
demo_entry=$(find "$start_menu" -path '*QB-vela Control Panel*' -name 'QB-vela Control Panel Demo.lnk' | head -1)
[ -n "$demo_entry" ] && grep -aq 'demo.QBV_Control_Panel_Demo.exe' "$demo_entry" || fail "no Start menu entry for the demo"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QB-vela Control Panel'
"$wine" reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 || fail "the uninstaller is not registered"
echo "installed into $(windows_path "$folder"), with the Start menu entries $(basename "$entry") and $(basename "$demo_entry")"

cp "$fake" "$folder/alt_jtaglib.dll"
echo design >"$folder/QBV_Control_Panel.pof"
probe_window "$probe_exe" "$folder"
start_panel "$folder"
check_connected "$folder"
# A folder that takes no file of that name, as Program Files takes none from a user on Windows.
mkdir "$folder/QBV_Control_Panel.cdf"
local_app_data=$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
user_chain=$(unix_path "$local_app_data\\QB-vela Control Panel\\QBV_Control_Panel.cdf")
program_and_check "$user_chain" "$folder"
echo "where the program's folder took no file, the chain definition file went to $local_app_data\\QB-vela Control Panel"
# Wine lets any user write under Program Files: the chain definition file goes beside the program there.
rmdir "$folder/QBV_Control_Panel.cdf"
program_and_check "$folder/QBV_Control_Panel.cdf" "$folder"
echo "the installed panel programmed with its chain definition file beside it"
click_at $(point exit)
wait_for_panel_end 20

# The installed demo, from its Start menu entry's program: Download .POF programs the erased board and
# leaves the demo's chain definition file beside its panel.
demo=$folder/demo
QBV_PGM_DURATION_MS=300 "$wine" "$demo/QBV_Control_Panel_Demo.exe" >"$work/demo.log" 2>&1 &
panel_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$caption\$" | head -1) || fail "the installed demo showed no panel"
wait_for_polling ' link=1 ' 30
"$wine" "$demo/qbv-board-ctl.exe" erase >/dev/null
wait_for_board ' link=0 ' 20
click_at $(point download)
wait_for_polling '^ok programmed=1 .* link=1 ' 60
[ -f "$demo/QBV_Control_Panel.cdf" ] || fail "the installed demo's Download .POF wrote no chain definition file beside it"
click_at $(point exit)
wait_for_panel_end 20
echo "the installed demo's Download .POF programmed the erased board, its chain definition file beside its panel"

# What the test added is taken away again; the uninstaller must remove everything else, what the programs
# wrote in their own folders too, and leave what they wrote in the user's.
rm -f "$folder/QBV_Control_Panel.pof" "$folder/$(basename "$probe_exe")"
temp=$(unix_path "$("$wine" cmd /c echo %TEMP% | tr -d '\r')")
"$wine" "$install_root/Uninstall.exe" /S || fail "the uninstaller failed"
# It goes on from a copy of itself in the temporary folder.
deadline=$((SECONDS + 30))
while [ -e "$install_root" ] || [ -e "$entry" ] || [ -e "$demo_entry" ]; do
    [ "$SECONDS" -lt "$deadline" ] ||
        fail "still installed 30 s after uninstalling: $(find "$install_root" "$entry" 2>/dev/null)"
    sleep 0.2
done
# That copy's folder goes when Windows next starts, as the copy cannot remove it while it runs from it: the
# prefix starts again once its server has ended with its last program.
timeout 60 /usr/lib/wine/wineserver -w || fail "a program of the prefix still runs 60 s after uninstalling"
! "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller's registry entry is left"
! "$wine" reg query 'HKLM\Software\Marovan' >/dev/null 2>&1 || fail "the maker's registry key is left"
[ -f "$user_chain" ] || fail "the uninstaller removed the chain definition file in the user's own folder"
! compgen -G "$temp/~nsu*.tmp" >/dev/null || fail "the uninstaller's copy is left in $temp: $(find "$temp"/~nsu*.tmp)"
echo "uninstalled: nothing left in Program Files, the Start menu, the registry or the temporary folder"
