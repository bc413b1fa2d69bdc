# The run-once links lie in the prefix's Startup folder, which every other
# program's ZKINSTALL_init cleans: these tests have a prefix of their own.
target_link_libraries(${exe} PRIVATE uuid)
add_dependencies(${exe} AutoRunGUI)
set_tests_properties(${test} PROPERTIES ENVIRONMENT "ZK_WINE_PREFIX=restart")
