# The icon and the version record that every Windows program we ship carries: one resource script,
# resources/windows/Program.rc.in, filled in for each program. (The panel's own record has fields of its
# own: resources/windows/QBV_Control_Panel.rc.) The icon is drawn at build time into QBV_ARTWORK_DIR.
#   qbv_windows_resources(TARGET "What the program is")
function(qbv_windows_resources target description)
    set(QBV_RC_DESCRIPTION "${description}")
    set(QBV_RC_FILE_NAME ${target}.exe)
    set(QBV_RC_INTERNAL_NAME ${target})
    set(QBV_RC_VERSION ${PROJECT_VERSION}.0)
    set(QBV_RC_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, 0")
    set_target_properties(${target} PROPERTIES QBV_DESCRIPTION "${description}")
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/resources/windows/Program.rc.in ${script} @ONLY)
    target_sources(${target} PRIVATE ${script})
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS ${QBV_ARTWORK_DIR}/icon.ico)
    # Drawn by this tree (resources/), or by the tree that builds this one beside itself.
    if(NOT QBV_JTAG32_TREE)
        add_dependencies(${target} qbv_artwork_files)
    endif()
endfunction()
