# The builder must run on the build host. A native build compiles it directly; a Windows
# build compiles a host copy of it in a nested native build (host-tools/), so that making
# LEXIVANE.EXE never needs Wine. LXV_MKSETUP names the program either way.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(LXV_HOST_DIR ${CMAKE_BINARY_DIR}/host-tools)
  set(LXV_MKSETUP ${LXV_HOST_DIR}/tools/mksetup/mksetup)
  ExternalProject_Add(host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${LXV_HOST_DIR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DLXV_HOST_TOOLS_ONLY=ON -DBUILD_TESTING=OFF
               -DLXV_WERROR=${LXV_WERROR}
               -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${LXV_HOST_DIR} --target mksetup
    BUILD_BYPRODUCTS ${LXV_MKSETUP}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  set(LXV_MKSETUP_TARGET host_tools)
else()
  set(LXV_MKSETUP $<TARGET_FILE:mksetup>)
  set(LXV_MKSETUP_TARGET mksetup)
endif()
