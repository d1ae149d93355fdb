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
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
