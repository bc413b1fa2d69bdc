# AutoRun's parts that do not need the library: command line, answers to
# message boxes, texts, progress display.
target_sources(${exe} PRIVATE
  ${CMAKE_SOURCE_DIR}/hosts/AutoRun/options.cpp
  ${CMAKE_SOURCE_DIR}/hosts/AutoRun/answers.cpp
  ${CMAKE_SOURCE_DIR}/hosts/AutoRun/texts.cpp
  ${CMAKE_SOURCE_DIR}/hosts/AutoRun/progress.cpp)
target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR}/hosts/AutoRun)
