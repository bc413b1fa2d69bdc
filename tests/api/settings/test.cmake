# The settings tests fill and empty the CD-ROM drives.
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs)
