# Warnings are on for every target of ours, and the build is kept clean of them.
function(lxv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
