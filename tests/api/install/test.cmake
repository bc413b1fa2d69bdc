set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs TIMEOUT 900)
