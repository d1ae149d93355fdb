# LEXIVANE.EXE: the setup program with the demo product appended by mksetup. The builder
# is deterministic and the PE files carry no time stamp, so two builds give the same bytes.
if(WIN32)
  set(LXV_SETUP_EXE ${CMAKE_BINARY_DIR}/LEXIVANE.EXE)
  # Where the test_sign test leaves a signed copy of it, which test_e2e_signed installs.
  set(LXV_SIGNED_SETUP_EXE ${CMAKE_BINARY_DIR}/signed/LEXIVANE.EXE)
  add_custom_command(
    OUTPUT ${LXV_SETUP_EXE}
    COMMAND ${LXV_MKSETUP} build --stub $<TARGET_FILE:setup_stub> -o ${LXV_SETUP_EXE}
            ${LXV_DEMO_PAYLOAD_DIR}
    COMMAND ${LXV_MKSETUP} verify ${LXV_SETUP_EXE}
    DEPENDS setup_stub ${LXV_MKSETUP_TARGET} ${LXV_DEMO_PAYLOAD_TARGET} ${LXV_DEMO_PAYLOAD_FILES}
    COMMENT "Appending the demo product to the setup program: LEXIVANE.EXE"
    VERBATIM)
  add_custom_target(lexivane ALL DEPENDS ${LXV_SETUP_EXE})
endif()
