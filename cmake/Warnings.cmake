# Warnings are on for every target of ours, and the build is kept clean of them. CI
# (scripts/test-all) configures with LXV_WERROR, so a new warning fails the run.
option(LXV_WERROR "Treat compiler warnings as errors" OFF)
function(lxv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${LXV_WERROR}>:-Werror>)
endfunction()
