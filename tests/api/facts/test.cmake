set_tests_properties(${test} PROPERTIES ENVIRONMENT "ZK_EXPECT_OS=Window Vista")
add_test(NAME api.facts.xp COMMAND ${exe} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(api.facts.xp PROPERTIES ENVIRONMENT "ZK_WINE_PREFIX=xp;ZK_EXPECT_OS=Windows XP")
add_test(NAME api.facts.locale COMMAND ${exe} --gtest_brief=1
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(api.facts.locale PROPERTIES ENVIRONMENT "ZK_WINE_PREFIX=locale;ZK_LOCALE_TESTS=1")
