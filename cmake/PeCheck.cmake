# lxv_pe_program(TARGET gui|console): the header check verifies this Windows program.
function(lxv_pe_program target subsystem)
  set_property(GLOBAL APPEND PROPERTY LXV_PE_PROGRAMS "${target}|${subsystem}")
endfunction()
