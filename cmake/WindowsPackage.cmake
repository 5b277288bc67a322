# What a Windows user downloads, made by scripts/package-windows.sh: the program folder (the panel, qbv and
# the JTAG library for real boards, installed by their folders' rules) with the Qt libraries and plugins
# the panel needs, the runtime they need and a README.txt, and in it the demo's program folder (demo\: the
# virtual board, its edition of the library, the design file and the stand-in programmer, with copies of the
# panel and qbv and the runtime again, since each program loads its libraries from its own folder, and the
# board's Qt Network); as a zip of that folder, and as an installer made by CPack's NSIS generator with
# Start menu entries for the panel and the demo and an uninstaller. Included after WindowsRuntime.cmake,
# whose lists it installs.

foreach(component panel demo)
    if(component STREQUAL panel)
        set(folder ${QBV_INSTALL_PANEL_DIR})
        set(libraries ${QBV_QT_RUNTIME})
    else()
        set(folder ${QBV_INSTALL_DEMO_DIR})
        set(libraries ${QBV_QT_RUNTIME} ${QBV_QT_BOARD_RUNTIME})
    endif()
    foreach(library IN LISTS libraries)
        install(FILES $<TARGET_FILE:${library}> DESTINATION ${folder} COMPONENT ${component})
    endforeach()
    foreach(plugin IN LISTS QBV_QT_PLUGINS)
        get_target_property(type ${plugin} QT_PLUGIN_TYPE)
        install(FILES $<TARGET_FILE:${plugin}> DESTINATION ${folder}/${type} COMPONENT ${component})
    endforeach()
    # The runtime as bin/ has it, without its debugging information.
    foreach(library IN LISTS QBV_MINGW_RUNTIME)
        get_filename_component(name ${library} NAME)
        install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name} DESTINATION ${folder} COMPONENT ${component})
    endforeach()
endforeach()

# Notepad reads CR LF.
configure_file(${PROJECT_SOURCE_DIR}/resources/windows/README.txt ${CMAKE_BINARY_DIR}/windows-package/README.txt
    @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/windows-package/README.txt DESTINATION ${QBV_INSTALL_PANEL_DIR} COMPONENT panel)

set(QBV_WINDOWS_PACKAGE_NAME QBV_Control_Panel-${PROJECT_VERSION}-win64 CACHE INTERNAL
    "The name of the zip, its folder and the installer")
set(CPACK_GENERATOR NSIS)
# One installer with everything, the demo's folder included, as the zip is: no components to choose.
set(CPACK_MONOLITHIC_INSTALL ON)
set(CPACK_PACKAGE_NAME "QB-vela Control Panel")
set(CPACK_PACKAGE_VENDOR Marovan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${QBV_WINDOWS_PACKAGE_NAME})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "QB-vela Control Panel")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "QB-vela Control Panel")
# Relative to the executables' folder below; the demo's launcher lies in the demo's folder.
set(CPACK_PACKAGE_EXECUTABLES QBV_Control_Panel "QB-vela Control Panel"
    demo\\\\QBV_Control_Panel_Demo "QB-vela Control Panel Demo")
# The programs without their symbol tables.
set(CPACK_STRIP_FILES ON)
# No licence has been granted: no page asks the user to agree to one.
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_PACKAGE_NAME "QB-vela Control Panel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "QB-vela Control Panel")
# A 64-bit installer into the 64-bit Program Files, as the programs are 64-bit. In a 64-bit installer
# $PROGRAMFILES is that folder; its $PROGRAMFILES64, read as early as the default folder is, gives the
# 32-bit one under Wine.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
set(CPACK_NSIS_MUI_ICON ${QBV_ARTWORK_DIR}/icon.ico)
set(CPACK_NSIS_MUI_UNIICON ${QBV_ARTWORK_DIR}/icon.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME ${QBV_INSTALL_PANEL_DIR}\\\\QBV_Control_Panel.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ${QBV_INSTALL_PANEL_DIR})
set(CPACK_NSIS_MODIFY_PATH OFF)
# The uninstaller removes only what it installed; the panels also write their chain definition file beside
# themselves (the installed one, where an administrator lets it, and the demo's), which would leave the
# folders behind. What a panel wrote in the user's own folder (%LOCALAPPDATA%) is the user's and stays.
set(qbv_chain_files)
foreach(folder ${QBV_INSTALL_PANEL_DIR} ${QBV_INSTALL_DEMO_DIR})
    string(REPLACE / \\\\ folder ${folder})
    string(APPEND qbv_chain_files "  Delete '$INSTDIR\\\\${folder}\\\\QBV_Control_Panel.cdf'\n")
endforeach()
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${qbv_chain_files}")
# Once the product's own key is gone, the maker's key above it goes too when nothing else is in it. The
# uninstaller runs from a copy of itself in %TEMP%\~nsu*.tmp, whose folder it cannot remove while it runs
# from it: Windows removes it at the next start (when the uninstaller was run in place, _?=, it runs from
# the program folder, already gone).
string(APPEND CPACK_NSIS_DEFINES "
Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  StrCmp $EXEDIR $INSTDIR +2
    RMDir /REBOOTOK '$EXEDIR'
FunctionEnd")
include(CPack)
