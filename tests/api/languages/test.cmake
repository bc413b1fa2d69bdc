# The test program carries a string table of its own (standing in for the host
# executable) and loads the real AutoRunGUI.dll before its first test.
target_sources(${exe} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/host_strings.rc)
add_dependencies(${exe} AutoRunGUI)

# The language detected while the library loads follows the locale Wine starts
# with (LC_ALL).  Wine writes that locale into the prefix's user registry, so
# these runs share a prefix of their own, one at a time, away from other tests.
foreach(case de_DE=3 en_CA=1 es_MX=25 is_IS=19)
  string(REPLACE "=" ";" parts ${case})
  list(GET parts 0 locale)
  list(GET parts 1 expected)
  add_test(NAME ${test}.loadtime.${locale}
           COMMAND ${exe} --gtest_brief=1 --gtest_filter=LoadTime.*
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${test}.loadtime.${locale} PROPERTIES
    ENVIRONMENT "LC_ALL=${locale}.UTF-8;ZK_WINE_PREFIX=lang;ZK_EXPECT_LANGUAGE=${expected}"
    RESOURCE_LOCK zk_lang_prefix TIMEOUT 600)
endforeach()
