# check_shortcut.cmake - reads a shortcut file with lnkinfo, a reader of the format that owes
# nothing to Windows, and compares its local path and its arguments with the expected ones.
#   cmake -DLNKINFO=<lnkinfo> -DLINK=<file.lnk> -DTARGET=<host path> -DARGUMENTS=<text> -P ...
# The shortcut was written under Wine, where the host's root is drive Z:, so the local path
# Z:\a\b names the host's /a/b.
execute_process(COMMAND ${LNKINFO} ${LINK} OUTPUT_VARIABLE output RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lnkinfo could not read ${LINK}:\n${output}")
endif()

string(REGEX MATCH "Local path[\t ]*: ([^\n]*)" found "${output}")
string(REPLACE "\\" "/" local_path "${CMAKE_MATCH_1}")
if(NOT local_path STREQUAL "Z:${TARGET}")
  message(FATAL_ERROR "local path is '${CMAKE_MATCH_1}', expected Z:${TARGET}\n${output}")
endif()

string(REGEX MATCH "Command line arguments[\t ]*: ([^\n]*)" found "${output}")
if(NOT CMAKE_MATCH_1 STREQUAL "${ARGUMENTS}")
  message(FATAL_ERROR "arguments are '${CMAKE_MATCH_1}', expected '${ARGUMENTS}'\n${output}")
endif()
message(STATUS "lnkinfo: target ${local_path}, arguments '${CMAKE_MATCH_1}'")
