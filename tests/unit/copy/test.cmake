# The test program carries the host texts the retry dialog fetches.
target_sources(${exe} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/strings.rc)
