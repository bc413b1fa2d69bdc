set_tests_properties(${test} PROPERTIES RESOURCE_LOCK game_registry)
