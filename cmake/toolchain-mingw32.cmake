# 32-bit Windows through MinGW-w64: the shipped program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(LXV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
