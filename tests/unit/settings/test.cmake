# The whole settings read takes disc 1 from a CD-ROM drive.
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs)
