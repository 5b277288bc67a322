# A 64-bit program on Windows runs a 32-bit JTAG access library through qbv-jtag32.exe, a 32-bit program of
# ours (platform/jtag32/), which a tree of its own builds with the 32-bit tool chain: into this tree's bin/,
# beside the programs, and, 32-bit, the suites' fake library into fakejtag/. Its icon is the one this tree
# draws. The vendor edition's folder and both installed program folders carry it beside the panel.
include(ExternalProject)
# What its version record calls it (platform/jtag32/CMakeLists.txt gives it the same words).
set(QBV_JTAG32_DESCRIPTION "QB-vela Control Panel's runner of a 32-bit JTAG access library")
ExternalProject_Add(qbv_jtag32
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/jtag32
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-i686.cmake
        -DCMAKE_BUILD_TYPE=Release -DQBV_JTAG32_TREE=ON -DQBV_JTAG32_OUTPUT=${CMAKE_BINARY_DIR}
        -DQBV_ARTWORK_DIR=${QBV_ARTWORK_DIR} -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
        "-DQBV_JTAG32_DESCRIPTION=${QBV_JTAG32_DESCRIPTION}"
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/bin/qbv-jtag32.exe ${CMAKE_BINARY_DIR}/fakejtag/fakejtag32.dll
    DEPENDS qbv_artwork_files)
set(QBV_JTAG32_HELPER ${CMAKE_BINARY_DIR}/bin/qbv-jtag32.exe)

add_custom_command(TARGET qbv_jtag32 POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QBV_VENDOR_EDITION_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QBV_JTAG32_HELPER} ${QBV_VENDOR_EDITION_DIR}/
    VERBATIM)
# Whatever builds a program that may load the library builds the helper too.
add_dependencies(qbv_platform qbv_jtag32)
install(PROGRAMS ${QBV_JTAG32_HELPER} DESTINATION ${QBV_INSTALL_PANEL_DIR} COMPONENT panel)
install(PROGRAMS ${QBV_JTAG32_HELPER} DESTINATION ${QBV_INSTALL_DEMO_DIR} COMPONENT demo)
