# End-to-end runs of AutoRun.exe against generated discs (tests/e2e/autorun_e2e.py),
# in a Wine prefix of their own, so that their discs and registry entries stay
# apart from the other tests'.
foreach(scenario two_disc_install default_folder missing_discs refusals copy_failure interactive
                 other_sources prerequisites)
  set(test e2e.autorun.${scenario})
  add_test(NAME ${test}
           COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/autorun_e2e.py
                   ${CMAKE_BINARY_DIR} ${scenario})
  set_tests_properties(${test} PROPERTIES RESOURCE_LOCK zk-e2e-discs
                                          ENVIRONMENT ZK_WINE_PREFIX=e2e TIMEOUT 600)
endforeach()
