# minizip, the unzip side only, compiled from the contrib folder of Debian's
# zlib source package (scripts/setup fetches it once) and linked statically
# with the mingw build of zlib, so ZKInstall.dll needs no zlib1.dll.
set(ZK_ZLIB_SOURCE /var/cache/zkinstall/zlib-src CACHE PATH
    "Unpacked Debian zlib source package holding contrib/minizip")
set(ZK_MINIZIP_DIR ${ZK_ZLIB_SOURCE}/contrib/minizip)
if(NOT EXISTS ${ZK_MINIZIP_DIR}/unzip.c)
  message(FATAL_ERROR "minizip sources not found in ${ZK_MINIZIP_DIR}; run scripts/setup first")
endif()

find_library(ZK_ZLIB_STATIC NAMES libz.a REQUIRED)

add_library(zkminizip STATIC ${ZK_MINIZIP_DIR}/unzip.c ${ZK_MINIZIP_DIR}/ioapi.c)
# Only plain archives are read: no password support.
target_compile_definitions(zkminizip PRIVATE NOUNCRYPT)
target_compile_options(zkminizip PRIVATE -w)
target_include_directories(zkminizip SYSTEM PUBLIC ${ZK_MINIZIP_DIR})
target_link_libraries(zkminizip PUBLIC ${ZK_ZLIB_STATIC})

target_link_libraries(zk_install PUBLIC zkminizip)
