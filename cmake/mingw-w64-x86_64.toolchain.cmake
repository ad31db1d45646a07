# Cross toolchain: 64-bit Windows binaries from Debian's MinGW-w64, run under Wine.
#
# The -posix compilers are required: the win32 thread model has no std::mutex, which GoogleTest needs.
# Everything is linked statically so the exe needs no MinGW DLL beside it at run time.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVISK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVISK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVISK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVISK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVISK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and gtest_discover_tests run every Windows binary through this wrapper (private prefix, own Xvfb).
get_filename_component(_tarvisk_repo "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_tarvisk_repo}/tools/wine-run.sh")
