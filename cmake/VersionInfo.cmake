# What every shipped program says about itself. The version is the project's (project() in
# the top CMakeLists.txt): the version resources and `mksetup --version` both take it from
# there, so they always agree.
set(LXV_PRODUCT_NAME "Lexivane")
set(LXV_COMPANY_NAME "Lexivane Software")
set(LXV_COPYRIGHT "Copyright (C) 2026 Lexivane Software")

# lxv_version_info(TARGET DESCRIPTION text FILENAME name [MANIFEST file]): gives a Windows
# program or library a VERSIONINFO resource with the product's name, version, company and
# copyright, its own description and shipped file name; with MANIFEST, also that file as
# the program's application manifest.
function(lxv_version_info target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DESCRIPTION;FILENAME;MANIFEST" "")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(LXV_FILE_TYPE VFT_APP)
  else()
    set(LXV_FILE_TYPE VFT_DLL)
  endif()
  set(LXV_VERSION_NUMBERS
      "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
  set(LXV_FILE_DESCRIPTION "${arg_DESCRIPTION}")
  set(LXV_ORIGINAL_FILENAME "${arg_FILENAME}")
  string(REGEX REPLACE "\\.[^.]*$" "" LXV_INTERNAL_NAME "${arg_FILENAME}")
  set(LXV_MANIFEST_LINE "")
  if(arg_MANIFEST)
    # 1 = CREATEPROCESS_MANIFEST_RESOURCE_ID, 24 = RT_MANIFEST
    set(LXV_MANIFEST_LINE "1 24 \"${arg_MANIFEST}\"")
    set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc APPEND PROPERTY
                 OBJECT_DEPENDS ${arg_MANIFEST})
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()
