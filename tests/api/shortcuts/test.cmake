# The links go into the prefix's own Start menu and desktop.  Here, in the
# default prefix ("Window Vista"), nothing may be made; the XP run makes them
# and lists them for check_links.py, which reads them back with lnkinfo.
target_sources(${exe} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/host_strings.rc)
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs ENVIRONMENT "ZK_EXPECT_OS=Window Vista")
add_test(NAME ${test}.xp COMMAND ${exe} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(${test}.xp PROPERTIES RESOURCE_LOCK discs FIXTURES_SETUP shortcuts_xp
                     ENVIRONMENT "ZK_WINE_PREFIX=xp;ZK_EXPECT_OS=Windows XP")
add_test(NAME ${test}.lnkinfo
         COMMAND ${ZK_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_links.py
                 ${CMAKE_BINARY_DIR}/bin/shortcuts_xp.manifest)
set_tests_properties(${test}.lnkinfo PROPERTIES FIXTURES_REQUIRED shortcuts_xp)
