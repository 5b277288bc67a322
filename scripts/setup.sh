# Shared by the run and test commands: makes sure the Debian packages they need are installed.
# Sourced, not run.

QBV_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev fonts-liberation
    nlohmann-json3-dev zlib1g-dev libcli11-dev help2man ccache librapidcheck-dev libxcb1-dev)
QBV_RUN_PACKAGES=(xvfb xauth)
# The Windows builds: 64-bit programs, and the 32-bit helper that runs a 32-bit JTAG library for them,
# tested under Wine with its 32-bit half (wine32 of the i386 architecture, which the setup adds).
QBV_TEST_PACKAGES=(mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine64
    wine32:i386 xvfb xauth clang libclang-rt-14-dev lld xdotool icoutils nsis clang-format)
# For scripts/package-linux.sh: dpkg-shlibdeps and dpkg-buildflags, and the checks of what it makes.
QBV_PACKAGING_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream)

qbv_missing_packages() {
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' || echo "$package"
    done
}

# Installs what is missing: with apt-get when root, otherwise says the one line to run and stops. A
# package of another architecture (name:i386) needs that architecture added to dpkg's first.
qbv_ensure_packages() {
    local missing architectures=() architecture add=""
    missing=$(qbv_missing_packages "$@" | tr '\n' ' ')
    missing=${missing% }
    [ -z "$missing" ] && return 0
    for architecture in $(tr ' ' '\n' <<<"$missing" | sed -n 's/.*:\(.*\)$/\1/p' | sort -u); do
        [ "$architecture" = "$(dpkg --print-architecture)" ] && continue
        dpkg --print-foreign-architectures | grep -qx "$architecture" || architectures+=("$architecture")
    done
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing Debian packages: $missing"
        for architecture in "${architectures[@]}"; do
            dpkg --add-architecture "$architecture"
        done
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
    else
        for architecture in "${architectures[@]}"; do
            add+="sudo dpkg --add-architecture $architecture && "
        done
        [ -n "$add" ] && add+="sudo apt-get update && "
        echo "These Debian packages are missing. Install them, then run this command again:" >&2
        echo "  ${add}sudo apt-get install -y --no-install-recommends $missing" >&2
        exit 1
    fi
}

# Every tree compiles through ccache, whose cache lies outside the clone (ccache's own default), so a new
# clone of the same sources on the same machine, as CI makes, reuses what an earlier one compiled. Paths
# under the clone are hashed relative to it, and the build folder is left out of the hash: objects then
# carry the build folder of the clone that first compiled them in their debugging information, which only
# a debugger reading the sources from it would notice.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true

# Configures (once) and builds a tree incrementally: qbv_build DIR [cmake options...]
# QBV_BUILD_TARGETS, when set, names the targets to build instead of everything.
qbv_build() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
    fi
    local targets=()
    [ -n "${QBV_BUILD_TARGETS:-}" ] && targets=(--target $QBV_BUILD_TARGETS)
    cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
