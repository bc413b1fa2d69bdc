# ZKUninstall's parts that do not need the library: command line, the handoff
# to its relaunched copy, folder matching, progress bar.
target_sources(${exe} PRIVATE
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/options.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/product.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/report.cpp)
target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall)
