# The disc tests fill and empty the prefix's CD-ROM drives.
target_sources(${exe} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../harness/discs_strings.rc)
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs TIMEOUT 180)
