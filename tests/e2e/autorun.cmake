# End-to-end runs of AutoRun.exe against generated discs (tests/e2e/autorun_e2e.py),
# in a Wine prefix of their own, so that their discs and registry entries stay
# apart from the other tests'.
foreach(scenario two_disc_install default_folder missing_discs refusals copy_failure
                 destination_full interactive other_sources prerequisites addons uninstall)
  set(test e2e.autorun.${scenario})
  add_test(NAME ${test}
           COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/autorun_e2e.py
                   ${CMAKE_BINARY_DIR} ${scenario})
  set_tests_properties(${test} PROPERTIES RESOURCE_LOCK zk-e2e-discs
                                          ENVIRONMENT ZK_WINE_PREFIX=e2e TIMEOUT 600)
endforeach()

# The Start menu and the desktop get links only below Windows Vista: this one
# runs in the XP prefix, whose drives the API tests share.
add_test(NAME e2e.autorun.shortcuts
         COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/autorun_e2e.py
                 ${CMAKE_BINARY_DIR} shortcuts)
set_tests_properties(e2e.autorun.shortcuts PROPERTIES RESOURCE_LOCK "zk-e2e-discs;discs"
                                                      ENVIRONMENT ZK_WINE_PREFIX=xp TIMEOUT 600)

# The uninstaller's run, also where the group and the desktop link exist.
add_test(NAME e2e.autorun.uninstall.xp
         COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/autorun_e2e.py
                 ${CMAKE_BINARY_DIR} uninstall)
set_tests_properties(e2e.autorun.uninstall.xp PROPERTIES RESOURCE_LOCK "zk-e2e-discs;discs"
                                                         ENVIRONMENT ZK_WINE_PREFIX=xp TIMEOUT 600)

# The wizard, driven through window messages on a virtual X display of its
# own (skipped when none can start), in a Wine prefix of its own.
add_test(NAME e2e.wizard
         COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/wizard_e2e.py ${CMAKE_BINARY_DIR})
set_tests_properties(e2e.wizard PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900)
