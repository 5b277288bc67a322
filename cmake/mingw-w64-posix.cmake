# Cross-compiling for 64-bit Windows with Debian's mingw-w64: the project's Windows trees chain-load it
# through Qt's tool chain file, and scripts/qt-mingw-build.sh builds Qt for Windows with it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")

# Tests run under Wine (Debian's wine64), which CTest puts in front of every test command.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
