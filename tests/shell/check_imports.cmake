# check_imports.cmake - Windows programs import only DLLs that Windows always takes from
# the system directory. A DLL outside that set (the sound service winmm.dll among them) would
# be searched for first beside the program, in the download folder, where anyone may have put
# one of that name.
#   cmake -DOBJDUMP=<objdump> "-DPROGRAMS=<a.exe>|<b.exe>..." -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
set(known kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll advapi32.dll msvcrt.dll)
string(REPLACE "|" ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE output RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} could not read ${program}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]*" lines "${output}")
  set(imported)
  foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    list(APPEND imported ${dll})
    if(NOT dll IN_LIST known)
      message(FATAL_ERROR "${program} imports ${dll}")
    endif()
  endforeach()
  if(NOT imported)
    message(FATAL_ERROR "no imports found in ${program}")
  endif()
  get_filename_component(name ${program} NAME)
  message(STATUS "${name} imports ${imported}")
endforeach()
