# The disc tests fill and empty the prefix's CD-ROM drives and read the debug log.
target_sources(${exe} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../../harness/discs_strings.rc)
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK "discs;debuglog" TIMEOUT 180)
