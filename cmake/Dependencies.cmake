# GoogleTest: Debian's package natively; built from its sources in /usr/src/googletest when
# cross-compiling, since no Windows build of it is packaged.
if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

if(NOT QBV_CORE_ONLY)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network Test)
    qt_standard_project_setup()
    if(QBV_BUILD_BENCHMARKS)
        find_package(benchmark REQUIRED)
    endif()
endif()
