# Where `cmake --install` puts the programs, and the Debian packages CPack makes of them. Included before
# the folders, whose install rules use the folders named here.
#
# On Linux two install components, one Debian package each:
#
#   panel  <prefix>/lib/qbv-control-panel/        QBV_Control_Panel, qbv, alt_jtaglib.so for real boards,
#                                                 QBV_Control_Panel.pof when QBV_DESIGN_FILE names one;
#          <prefix>/bin/qbv-control-panel, qbv    relative links to them;
#          the desktop entry, icons, metainfo, manual pages and the cable's udev rule.
#   demo   <prefix>/lib/qbv-control-panel-demo/   the virtual board, its alt_jtaglib.so and design file,
#                                                 qbv-board-ctl, quartus/bin/quartus_pgm (the stand-in
#                                                 programmer as a tool chain), copies of the panel and qbv;
#          <prefix>/bin/qbv-control-panel-demo    the launcher, and its desktop entry.
#
# The programs load the JTAG library from the folder of their real path, so each program folder needs its
# own panel and qbv beside its own edition of the library, and a link in bin/ reaches the right one.

# Anything installed without naming a component belongs to the panel's package.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME panel)

if(WIN32)
    # One folder for everything, as the panel is unpacked on Windows, with the demo's program folder in it.
    set(QBV_INSTALL_PANEL_DIR bin)
    set(QBV_INSTALL_DEMO_DIR bin/demo)
    return()
endif()

# Private program folders under lib/ (not the multiarch library folder): what is in them is ours alone.
set(QBV_INSTALL_PANEL_DIR lib/qbv-control-panel)
set(QBV_INSTALL_DEMO_DIR lib/qbv-control-panel-demo)

# The home page the metainfo and the packages name.
set(QBV_PACKAGE_HOMEPAGE "https://qbv-control-panel.example.org/" CACHE STRING
    "The home page named by the metainfo and the Debian packages")

# The board maker's controller design is theirs to ship, not ours: it is installed only when named here.
set(QBV_DESIGN_FILE "" CACHE FILEPATH "The board maker's QBV_Control_Panel.pof, installed beside the panel")
if(QBV_DESIGN_FILE)
    if(NOT EXISTS "${QBV_DESIGN_FILE}")
        message(FATAL_ERROR "QBV_DESIGN_FILE names ${QBV_DESIGN_FILE}, which does not exist")
    endif()
    install(FILES "${QBV_DESIGN_FILE}" DESTINATION ${QBV_INSTALL_PANEL_DIR} RENAME QBV_Control_Panel.pof
        COMPONENT panel)
endif()

# A relative link <prefix>/bin/NAME to a file under <prefix>, so the tree works wherever it is unpacked:
# qbv_install_link(NAME PATH_UNDER_PREFIX COMPONENT)
function(qbv_install_link name target component)
    set(folder ${CMAKE_BINARY_DIR}/install-links/${component})
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ../${target} ${folder}/${name} SYMBOLIC)
    install(FILES ${folder}/${name} DESTINATION bin COMPONENT ${component})
endfunction()

# Everything the install rules take from the build, for a tree that builds only what it installs, as
# scripts/package-linux.sh's does.
add_custom_target(qbv_installed_files)
add_dependencies(qbv_installed_files QBV_Control_Panel qbv alt_jtaglib_vendor alt_jtaglib qbv-virtual-board
    qbv-board-ctl quartus_pgm qbv_design_file qbv_artwork_files qbv_manual_pages)

# The Debian packages. scripts/package-linux.sh builds a tree of its own with the prefix /usr and runs
# CPack there; any other tree can make them too with `cpack -G DEB` after building.
set(QBV_PACKAGE_MAINTAINER "QB-vela Control Panel developers <qbv-control-panel@example.org>"
    CACHE STRING "The Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qbv-control-panel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QBV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VENDOR "QB-vela Control Panel developers")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL panel demo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QBV_PACKAGE_HOMEPAGE}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries each package needs, as dpkg-shlibdeps finds them in its programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The demo's package depends on the panel's at the same version, from the components' DEPENDS below.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# The first line is the synopsis; CPack indents the others and writes an empty one as " .".
set(CPACK_DEBIAN_PANEL_PACKAGE_NAME qbv-control-panel)
set(CPACK_DEBIAN_PANEL_DESCRIPTION "control panel for the QB-vela FPGA development board
A desktop panel showing a QB-vela board with its eight user LEDs and 88 GPIO
header pins clickable over the picture and its four push-buttons live, and a
one-click way to program the board's MAX II controller with the FPGA vendor's
programmer. The command-line companion qbv drives the same board from shell
scripts and CI jobs.

The board is reached over a USB-Blaster cable through the FPGA vendor's
JTAG-UART client library, which comes with the vendor's tool chain; a udev
rule lets the user at the seat use the cable.")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME qbv-control-panel-demo)
set(CPACK_DEBIAN_DEMO_DESCRIPTION "QB-vela Control Panel on a virtual board
A virtual QB-vela board in a window of its own, with the panel and qbv set
up to use it: click an LED on the panel and it lights on the virtual board,
hold a key on the virtual board and the panel shows it. A stand-in for the
FPGA vendor's programmer programs the virtual board, so the panel's
programming can be tried as well. Needs neither the board, the cable nor the
vendor's tools.")

include(CPackComponent)
cpack_add_component(panel DISPLAY_NAME "QB-vela Control Panel")
cpack_add_component(demo DISPLAY_NAME "QB-vela Control Panel on a virtual board" DEPENDS panel)
include(CPack)
