# The install switch test starts the real client binary.
if(TARGET app_tst_install_switch)
    add_dependencies(app_tst_install_switch client)
    target_compile_definitions(app_tst_install_switch PRIVATE PARLOR_CLIENT_BINARY="$<TARGET_FILE:client>")
endif()
