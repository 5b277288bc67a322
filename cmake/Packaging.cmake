# Where `cmake --install` puts the programs. Included before the folders, whose install rules use the
# folders named here.
#
# On Linux two install components:
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

# Anything installed without naming a component belongs to the panel's.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME panel)

if(WIN32)
    # One folder for everything, as the panel is unpacked on Windows.
    set(QBV_INSTALL_PANEL_DIR bin)
    return()
endif()

# Private program folders under lib/ (not the multiarch library folder): what is in them is ours alone.
set(QBV_INSTALL_PANEL_DIR lib/qbv-control-panel)
set(QBV_INSTALL_DEMO_DIR lib/qbv-control-panel-demo)

# The home page the metainfo names.
set(QBV_PACKAGE_HOMEPAGE "https://qbv-control-panel.example.org/" CACHE STRING
    "The home page named by the metainfo")

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

# Everything the install rules take from the build, for a tree that builds only what it installs.
if(NOT QBV_CORE_ONLY)
    add_custom_target(qbv_installed_files)
    add_dependencies(qbv_installed_files QBV_Control_Panel qbv alt_jtaglib_vendor alt_jtaglib qbv-virtual-board
        qbv-board-ctl quartus_pgm qbv_design_file qbv_artwork_files qbv_manual_pages)
endif()
