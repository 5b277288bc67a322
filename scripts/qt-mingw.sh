#!/usr/bin/env bash
# Qt 6 for Windows (mingw-w64), for the Windows builds of the panel: made once in a cache folder outside
# the clone and reused by every later run and every clone. The folder is QBV_QT_MINGW when set, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/qbv/qt6-<version>-mingw-w64, the version being that of the installed
# host tools (qt6-base-dev-tools), which the Windows build runs.
#
# Where the project's shared folder holds a ready build (../shared/qt6-mingw beside the clone) it is
# unpacked, its checksum checked first; elsewhere scripts/qt-mingw-build.sh (the same recipe that made it)
# builds it once, which takes half an hour to an hour on two cores.
#
# Sourced, qbv_qt_mingw sets QBV_QT_MINGW to the ready folder; run, the script prints it.

qbv_qt_mingw() {
    local root version folder shared tarball work
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools | sed 's/+.*//')
    folder=${QBV_QT_MINGW:-${XDG_CACHE_HOME:-$HOME/.cache}/qbv/qt6-$version-mingw-w64}
    # The mark is written last: a folder without it is an unpacking or build that did not finish.
    if [ -f "$folder/.qbv-ready" ]; then
        QBV_QT_MINGW=$folder
        return 0
    fi

    shared=${QBV_QT_MINGW_SHARED:-$root/../shared/qt6-mingw}
    tarball=qt6-$version-mingw-w64-x86_64.tar.xz
    work=$(mktemp -d "${TMPDIR:-/tmp}/qbv-qt-mingw.XXXXXX") || return 1
    if [ -f "$shared/$tarball" ]; then
        echo "Unpacking Qt $version for Windows into $folder"
        if ! (cd "$shared" && grep " $tarball\$" SHA256SUMS | sha256sum --check --quiet --strict); then
            echo "The checksum of $shared/$tarball does not match its SHA256SUMS" >&2
            rm -rf "$work"
            return 1
        fi
        cp "$shared/$tarball" "$work/"
    else
        echo "Building Qt $version for Windows once (half an hour to an hour), for $folder"
        if ! (cd "$work" && "$root/scripts/qt-mingw-build.sh" "$work"); then
            echo "Building Qt for Windows failed; the work is left in $work" >&2
            return 1
        fi
    fi
    rm -rf "$folder.partial"
    mkdir -p "$folder.partial" &&
        tar -C "$folder.partial" -xJf "$work/$tarball" &&
        touch "$folder.partial/.qbv-ready" &&
        rm -rf "$folder" &&
        mv "$folder.partial" "$folder" || {
        echo "Could not unpack Qt for Windows into $folder" >&2
        rm -rf "$work"
        return 1
    }
    rm -rf "$work"
    QBV_QT_MINGW=$folder
}

# Configures (once) and builds the Windows tree with Qt, build/windows-gui, incrementally, from the root of
# the clone with scripts/setup.sh sourced; QBV_BUILD_TARGETS as for qbv_build. Its artwork is drawn, and
# its design file written, by the native tree's generators (QBV_HOST_TREE, build/release by default),
# built first.
qbv_build_windows_gui() {
    local host=${QBV_HOST_TREE:-build/release}
    qbv_qt_mingw || return 1
    QBV_BUILD_TARGETS="qbv_artgen qbv-make-design" qbv_build "$host" -DCMAKE_BUILD_TYPE=RelWithDebInfo || return 1
    qbv_build build/windows-gui -DCMAKE_TOOLCHAIN_FILE="$QBV_QT_MINGW/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-posix.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DQBV_BUILD_BENCHMARKS=OFF -DQBV_HOST_ARTGEN="$(realpath "$host")/bin/qbv_artgen"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    qbv_qt_mingw
    echo "$QBV_QT_MINGW"
fi
