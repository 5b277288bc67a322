#!/usr/bin/env bash
# What a Windows user downloads, under Wine on a virtual display. The zip: one folder holding exactly the
# panel, qbv, the JTAG library for real boards, the Qt libraries and plugins the panel needs and the
# runtime they need (every library any of them imports is in the folder or is the system's), and a
# README; unpacked anywhere, the panel starts from it with no other step and ends by its close box. The
# installer: installed silently under Program Files, with a Start menu entry and an uninstaller; the
# installed panel loads its library and Qt plugins from its own folder, programs with its chain
# definition file beside it or, where its folder takes no file, in the user's own folder; the uninstaller
# leaves nothing behind. The fake JTAG library stands in for the board as a maker's library would.
#   install.sh ZIP INSTALLER FAKE_JTAG_DLL TEST_PROGRAMMER PROBE
set -euo pipefail
source "$(dirname "$0")/wine-session.sh"
zip=$(realpath "$1") installer=$(realpath "$2") fake=$3 programmer=$4 probe_exe=$5
name=$(basename "$zip" .zip)

session_start
register_tool_chain "$programmer"

# The zip's one folder and what is in it.
listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf "$name/%s\n" QBV_Control_Panel.exe qbv.exe alt_jtaglib.dll README.txt Qt6Core.dll Qt6Gui.dll \
    Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll \
    libwinpthread-1.dll | sort)
[ "$listing" = "$expected" ] || fail "the zip holds: $(tr '\n' ' ' <<<"$listing")"
unpacked="$work/Unpacked here"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
folder=$unpacked/$name
system32=$WINEPREFIX/drive_c/windows/system32
for module in "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll; do
    for import in $(x86_64-w64-mingw32-objdump -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
        # API sets are names the system's loader resolves, not files.
        [[ "$import" == api-ms-win-* ]] && continue
        [ -n "$(find "$folder" "$system32" -maxdepth 1 -iname "$import" -print -quit)" ] ||
            fail "$(basename "$module") needs $import, which is neither in the folder nor the system's"
    done
done
exports=$(x86_64-w64-mingw32-objdump -p "$folder/alt_jtaglib.dll")
grep -qw jtag_error_text <<<"$exports" ||
    fail "alt_jtaglib.dll in the zip is not the edition for real boards"
echo "the zip: one folder with the programs, the JTAG library for real boards and all they import"

cp "$fake" "$folder/alt_jtaglib.dll"
probe_window "$probe_exe" "$folder"
start_panel "$folder"
check_connected "$folder"
# The close box, as Windows offers it from the keyboard.
xdotool windowfocus --sync "$window" key alt+F4
wait_for_panel_end 20
echo "unpacked, the panel started, connected and ended by its close box"

# The installer.
install_root="$WINEPREFIX/drive_c/Program Files/QB-vela Control Panel"
"$wine" "$installer" /S "/D=$(windows_path "$install_root")" || fail "the installer failed"
folder=$(dirname "$(find "$install_root" -name QBV_Control_Panel.exe)")
[ -f "$install_root/Uninstall.exe" ] || fail "no uninstaller in $install_root"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
entry=$(find "$start_menu" -path '*QB-vela Control Panel*' -name '*.lnk' | head -1)
[ -n "$entry" ] && grep -aq QBV_Control_Panel.exe "$entry" || fail "no Start menu entry for the panel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QB-vela Control Panel'
"$wine" reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 || fail "the uninstaller is not registered"
echo "installed into $(windows_path "$folder"), with the Start menu entry $(basename "$entry")"

cp "$fake" "$folder/alt_jtaglib.dll"
echo design >"$folder/QBV_Control_Panel.pof"
probe_window "$probe_exe" "$folder"
start_panel "$folder"
check_connected "$folder"
# Wine lets any user write under Program Files: the chain definition file goes beside the program there.
program_and_check "$folder/QBV_Control_Panel.cdf" "$folder"
echo "the installed panel programmed with its chain definition file beside it"
# A folder that takes no file of that name, as Program Files takes none from a user on Windows.
rm -f "$folder/QBV_Control_Panel.cdf"
mkdir "$folder/QBV_Control_Panel.cdf"
local_app_data=$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
program_and_check "$(unix_path "$local_app_data\\QB-vela Control Panel\\QBV_Control_Panel.cdf")" "$folder"
echo "where the program's folder took no file, the chain definition file went to $local_app_data\\QB-vela Control Panel"
click_at $(point exit)
wait_for_panel_end 20

# What the test added is taken away again; the uninstaller must remove everything else.
rm -rf "$folder/QBV_Control_Panel.cdf" "$folder/QBV_Control_Panel.pof" "$folder/$(basename "$probe_exe")"
"$wine" "$install_root/Uninstall.exe" /S || fail "the uninstaller failed"
# It goes on from a copy of itself in the temporary folder.
deadline=$((SECONDS + 30))
while [ -e "$install_root" ] || [ -e "$entry" ]; do
    [ "$SECONDS" -lt "$deadline" ] ||
        fail "still installed 30 s after uninstalling: $(find "$install_root" "$entry" 2>/dev/null)"
    sleep 0.2
done
! "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller's registry entry is left"
echo "uninstalled: nothing left in Program Files, the Start menu or the registry"
