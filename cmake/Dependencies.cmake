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

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network Test)
qt_standard_project_setup()
if(QBV_BUILD_BENCHMARKS)
    find_package(benchmark REQUIRED)
endif()

# Header-only libraries from Debian's packages. Cross-compiling, they are taken from the build machine's
# /usr/include through a folder of their own, so that none of its other headers reach the Windows build.
function(qbv_header_only_library target folder)
    if(TARGET ${target})
        return()
    endif()
    set(headers ${CMAKE_BINARY_DIR}/header-only/${target})
    file(MAKE_DIRECTORY ${headers})
    file(CREATE_LINK /usr/include/${folder} ${headers}/${folder} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${target} SYSTEM INTERFACE ${headers})
endfunction()

if(CMAKE_CROSSCOMPILING)
    qbv_header_only_library(nlohmann_json::nlohmann_json nlohmann)
else()
    find_package(nlohmann_json 3 REQUIRED)
endif()

if(CMAKE_CROSSCOMPILING)
    qbv_header_only_library(CLI11::CLI11 CLI)
else()
    find_package(CLI11 2 REQUIRED)
endif()
