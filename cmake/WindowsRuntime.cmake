# What the Windows programs built with Qt need beside them to start: the Qt libraries, the platform and
# style plugins in their folders, and the mingw-w64 runtime the Qt libraries were linked against (our own
# programs link it statically; Qt's libraries do not). Copied at build time into bin/, where the suites
# run under Wine, and into the vendor edition's program folder beside its panel; the Windows packages
# take the same files.

# The panel's and the virtual board's: the windows platform on a desktop, the Vista style Qt picks there.
set(QBV_QT_RUNTIME Qt6::Core Qt6::Gui Qt6::Widgets)
set(QBV_QT_PLUGINS Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin)
# The virtual board's alone, whose local servers are Qt Network's.
set(QBV_QT_BOARD_RUNTIME Qt6::Network)
# The suites' besides: QTest, and the offscreen platform they run on.
set(qbv_qt_test_runtime Qt6::Test)
set(qbv_qt_test_plugins Qt6::QOffscreenIntegrationPlugin)

set(QBV_MINGW_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler does not know where ${dll} is (it said '${path}')")
    endif()
    file(REAL_PATH "${path}" path)
    list(APPEND QBV_MINGW_RUNTIME ${path})
endforeach()

# The commands that copy libraries and plugins into a program folder, plugins into their type's folder.
# The mingw-w64 runtime comes with its debugging information, nine tenths of its size: it is left out.
function(qbv_runtime_copy_commands out folder)
    set(commands COMMAND ${CMAKE_COMMAND} -E make_directory ${folder})
    foreach(library IN LISTS ARGN)
        if(library IN_LIST QBV_MINGW_RUNTIME)
            get_filename_component(name ${library} NAME)
            list(APPEND commands COMMAND ${CMAKE_STRIP} --strip-debug -o ${folder}/${name} ${library})
            continue()
        endif()
        if(TARGET ${library})
            get_target_property(type ${library} QT_PLUGIN_TYPE)
            set(file $<TARGET_FILE:${library}>)
        else()
            set(type NOTFOUND)
            set(file ${library})
        endif()
        if(type)
            list(APPEND commands COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/${type}
                COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${folder}/${type}/)
        else()
            list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${folder}/)
        endif()
    endforeach()
    set(${out} ${commands} PARENT_SCOPE)
endfunction()

qbv_runtime_copy_commands(qbv_bin_commands ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${QBV_QT_RUNTIME} ${QBV_QT_PLUGINS}
    ${QBV_QT_BOARD_RUNTIME} ${qbv_qt_test_runtime} ${qbv_qt_test_plugins} ${QBV_MINGW_RUNTIME})
qbv_runtime_copy_commands(qbv_vendor_commands ${QBV_VENDOR_EDITION_DIR} ${QBV_QT_RUNTIME} ${QBV_QT_PLUGINS}
    ${QBV_MINGW_RUNTIME})
# The offscreen platform has no system font list on Windows: it reads the fonts in lib/fonts under Qt's
# prefix, which is bin/ here. Given only Liberation Serif, Times New Roman's metric twin, the window suites
# measure the same text as on Linux, where fontconfig makes the same substitution.
file(GLOB qbv_test_fonts /usr/share/fonts/truetype/liberation/LiberationSerif-*.ttf)
list(APPEND qbv_bin_commands COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lib/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qbv_test_fonts} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lib/fonts/)
add_custom_target(qbv_windows_runtime ALL ${qbv_bin_commands} ${qbv_vendor_commands}
    COMMENT "Copying the Qt and mingw-w64 runtime beside the Windows programs" VERBATIM)
