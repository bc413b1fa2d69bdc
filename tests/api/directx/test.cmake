# The DirectX tests fill the CD-ROM drive D: with a disc carrying a fake setup library.
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK discs)
