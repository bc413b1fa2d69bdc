# ZKUninstall's parts that do not need the library: command line, the handoff
# to its relaunched copy, folder matching, progress bar, window texts.
target_sources(${exe} PRIVATE
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/options.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/product.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/report.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/texts.cpp
  ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall/ZKUninstall.rc)
target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/hosts/ZKUninstall)
