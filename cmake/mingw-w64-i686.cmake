# Cross-compiling for 32-bit Windows with Debian's mingw-w64, for the one 32-bit program we ship beside the
# 64-bit ones: the helper that runs a 32-bit JTAG access library (platform/jtag32), and the suites' fake
# library built 32-bit. The Windows tree builds it as a tree of its own (QBV_JTAG32_TREE).
set(CMAKE_SYSTEM_PROCESSOR i686)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake")
