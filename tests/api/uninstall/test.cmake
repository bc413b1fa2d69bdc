# Installs the generated disc set from the CD-ROM drives and removes it again,
# the game's registry entries included.
set_tests_properties(${test} PROPERTIES RESOURCE_LOCK "discs;game_registry" TIMEOUT 900)
