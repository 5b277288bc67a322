# What the two tool chain files for Debian's mingw-w64 share, for the processor the including one sets:
# the compilers of the posix thread model (GoogleTest needs std::thread and std::mutex), and libraries and
# headers found only below the tool chain's own root, programs only on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(qbv_mingw_triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${qbv_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${qbv_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${qbv_mingw_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${qbv_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
