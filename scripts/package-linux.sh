#!/usr/bin/env bash
# Builds the Debian packages into build/packages/: qbv-control-panel (the panel, qbv, the JTAG library for
# real boards, the udev rule, desktop entry, icons, metainfo and manual pages) and qbv-control-panel-demo
# (the virtual board, its stand-ins and launcher). Checks them with lintian, desktop-file-validate and
# appstreamcli, and runs the install test on them; any complaint fails the run.
#   ./scripts/package-linux.sh [DESIGN_FILE]   DESIGN_FILE: the board maker's QBV_Control_Panel.pof, to
#                                              ship in the panel's package (it is not ours to ship)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
qbv_ensure_packages "${QBV_BUILD_PACKAGES[@]}" "${QBV_PACKAGING_PACKAGES[@]}" xvfb xauth xdotool

design_file=
if [ $# -gt 1 ] || [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
    echo "usage: $0 [DESIGN_FILE]" >&2
    exit 64
elif [ $# -eq 1 ]; then
    design_file=$(realpath "$1")
fi

tree=build/package
out=build/packages

# The same commit gives the same dates in the manual pages, changelog and metainfo.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export SOURCE_DATE_EPOCH
# Debian's hardening flags, as a Debian build uses them; no debug information, which CPack strips anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

echo "== Building in $tree =="
# Configured every time, so the tree always has this script's settings (a design file given or not).
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQBV_BUILD_BENCHMARKS=OFF -DQBV_DESIGN_FILE="$design_file" \
    -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$tree" --parallel "$(nproc)" --target qbv_installed_files

echo "== Packaging into $out =="
rm -rf "$out"
mkdir -p "$out"
# CPack's working files in a folder of their own, so that only the packages stay.
(cd "$tree" && cpack -G DEB -B "$OLDPWD/$out/.cpack")
mv "$out"/.cpack/*.deb "$out"/
rm -rf "$out/.cpack"
debs=("$out"/*.deb)
for deb in "${debs[@]}"; do
    echo "-- $deb"
    dpkg-deb --field "$deb" Package Version Depends
done

echo "== Checking the packages =="
root=$(mktemp -d "${TMPDIR:-/tmp}/qbv-packages.XXXXXX")
trap 'rm -rf "$root"' EXIT
for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$root"
done
# Errors fail the run; warnings and notes are shown.
lintian --fail-on error --display-info "${debs[@]}"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml
appstreamcli validate-tree --no-net "$root"

echo "== Install test on the packages =="
tests/install/install-test.sh --packages "${debs[@]}"

echo "Packages in $out:"
ls -l "$out"
