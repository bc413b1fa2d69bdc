# ZKUninstall's windows, answered through window messages on a virtual X
# display of its own (skipped when none can start), in a Wine prefix of its own.
add_test(NAME e2e.uninstall.windows
         COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/uninstall_windows_e2e.py
                 ${CMAKE_BINARY_DIR})
set_tests_properties(e2e.uninstall.windows PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
