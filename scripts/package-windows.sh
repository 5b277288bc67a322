#!/usr/bin/env bash
# Makes what a Windows user downloads, in build/windows-gui (built as needed, with Qt for Windows from the
# cache that scripts/qt-mingw.sh fills once):
#   QBV_Control_Panel-<version>-win64.zip  one folder: the panel, qbv.exe, the JTAG library for real
#                                          boards, the Qt libraries and plugins and the runtime they
#                                          need, README.txt, and the demo's folder (the virtual board,
#                                          its library, the stand-in programmer and a launcher); it runs
#                                          from wherever it is unpacked
#   QBV_Control_Panel-<version>-win64.exe  the same folder's installer (CPack's NSIS generator), with
#                                          Start menu entries for the panel and the demo and an uninstaller,
#                                          and no licence page, as no licence has been granted
# then checks both under Wine (tests/windows/install.sh): the folder holds nothing more, the unpacked
# panel starts and the demo runs, and the installer installs, the installed panel and demo start and
# program, and it uninstalls, the files the programs wrote in their folders included.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
source scripts/qt-mingw.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_TEST_PACKAGES[@]}"

tree=build/windows-gui
QBV_BUILD_TARGETS="QBV_Control_Panel qbv alt_jtaglib_vendor qbv_windows_runtime fakejtag qbv_test_programmer
    qbv_window_probe qbv-virtual-board qbv-board-ctl alt_jtaglib qbv_design_file quartus_pgm QBV_Control_Panel_Demo" \
    qbv_build_windows_gui
name=$(sed -n 's/^QBV_WINDOWS_PACKAGE_NAME:INTERNAL=//p' "$tree/CMakeCache.txt")

stage=$(mktemp -d "${TMPDIR:-/tmp}/qbv-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# A Wine prefix of the check's own: it installs and registers things.
export WINEPREFIX=$stage/wine
cmake --install "$tree" --prefix "$stage/install" --strip >/dev/null
# Everything is installed into the program folder, which becomes the zip's one folder.
folder=$(dirname "$(find "$stage/install" -name QBV_Control_Panel.exe ! -path '*/demo/*')")
if [ -n "$(find "$stage/install" -type f ! -path "$folder/*")" ]; then
    echo "The install put files outside the program folder:" >&2
    find "$stage/install" -type f ! -path "$folder/*" >&2
    exit 1
fi
mv "$folder" "$stage/$name"
rm -f "$tree/$name.zip"
(cd "$stage" && cmake -E tar cf "$OLDPWD/$tree/$name.zip" --format=zip "$name")

(cd "$tree" && cpack -G NSIS >/dev/null)
# No licence has been granted, so the installer has no page to agree to one.
if grep -q MUI_PAGE_LICENSE "$tree/_CPack_Packages/win64/NSIS/project.nsi"; then
    echo "The installer asks the user to agree to a licence, and none has been granted" >&2
    exit 1
fi
rm -rf "$tree/_CPack_Packages"

echo "== Windows packages under Wine =="
tests/windows/install.sh "$tree/$name.zip" "$tree/$name.exe" "$tree/fakejtag/fakejtag.dll" \
    "$tree/bin/qbv_test_programmer.exe" "$tree/bin/qbv_window_probe.exe"
echo "Made $tree/$name.zip and $tree/$name.exe"
