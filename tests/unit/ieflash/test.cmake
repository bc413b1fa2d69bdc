# The tests write Internet Explorer and Flash registry states, so they run in a
# prefix of their own, one program at a time.
set_tests_properties(${test} PROPERTIES ENVIRONMENT "ZK_WINE_PREFIX=ieflash"
                                        RESOURCE_LOCK ieflash_registry)
