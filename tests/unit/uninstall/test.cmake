# The tests write HKLM keys beside the shared ones and tamper with them; a
# prefix of their own keeps a fault from reaching the other tests' registry.
set_tests_properties(${test} PROPERTIES ENVIRONMENT "ZK_WINE_PREFIX=uninstall"
                                        RESOURCE_LOCK uninstall_prefix)
