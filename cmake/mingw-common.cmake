# Shared by the two MinGW-w64 toolchain files; LXV_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${LXV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LXV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LXV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LXV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The programs must run on a bare Windows: no MinGW DLL beside them. No time stamp in the
# PE header either, so that two builds of the same sources are byte-identical.
# Every function and datum in a section of its own, and the linker drops the sections that
# nothing references: the setup program carries only the code it can run, and none of the
# static runtime's that it never calls.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
