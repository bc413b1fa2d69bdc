# End-to-end runs of AutoRun.exe against generated discs (tests/e2e/autorun_e2e.py),
# in a Wine prefix of their own, so that their discs and registry entries stay
# apart from the other tests'.
foreach(scenario full_install default_folder reinstall_over_previous missing_second_disc missing_first_disc
                 disc_arrives_late bad_destinations insufficient_space bad_command_lines
                 copy_failure interactive interactive_quit_at_disc_prompt ctrl_c_during_copy stdin_closed
                 from_disc_images runs_from_the_disc)
  set(test e2e.autorun.${scenario})
  add_test(NAME ${test}
           COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/autorun_e2e.py
                   ${CMAKE_BINARY_DIR} ${scenario})
  set_tests_properties(${test} PROPERTIES RESOURCE_LOCK zk-e2e-discs
                                          ENVIRONMENT ZK_WINE_PREFIX=e2e TIMEOUT 600)
endforeach()
