# 64-bit Windows through MinGW-w64; this build's tests run under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LXV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
