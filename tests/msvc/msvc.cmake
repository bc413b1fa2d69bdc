# The Visual C++ host (msvc/msvc_host.cpp), test msvc.host: compiled by clang
# for the Microsoft ABI and linked by lld-link without any C runtime, against
# import libraries made here: kernel32's from a small .def, ZKInstall.dll's
# from every name of the export catalogue.

# kernel32.def lists the undecorated names of 64-bit Windows; the test tree is
# built for x86_64 only.
if(NOT ZK_ARCH STREQUAL "x86_64")
  return()
endif()
find_program(ZK_LLD_LINK lld-link REQUIRED)
find_program(ZK_LLVM_DLLTOOL llvm-dlltool REQUIRED)

set(zkmsvc_src ${CMAKE_CURRENT_SOURCE_DIR}/msvc)
set(zkmsvc_gen ${CMAKE_BINARY_DIR}/msvc)
set(zkmsvc_exe ${CMAKE_BINARY_DIR}/bin/zkmsvchost.exe)
file(MAKE_DIRECTORY ${zkmsvc_gen})
set(zkmsvc_defines -DZK_STANDALONE_TYPES)
# Rewritten only when the switches change, so that the object follows them.
file(CONFIGURE OUTPUT ${zkmsvc_gen}/defines.txt CONTENT "${zkmsvc_defines}\n")

add_custom_command(
  OUTPUT ${zkmsvc_gen}/kernel32.lib
  COMMAND ${ZK_LLVM_DLLTOOL} -m i386:x86-64 -d ${zkmsvc_src}/kernel32.def
          -l ${zkmsvc_gen}/kernel32.lib
  DEPENDS ${zkmsvc_src}/kernel32.def
  COMMENT "Building kernel32's import library for the Visual C++ host")
add_custom_command(
  OUTPUT ${zkmsvc_gen}/ZKInstall.lib
  COMMAND ${ZK_PYTHON} ${CMAKE_SOURCE_DIR}/cmake/exports.py msvcdef ${ZK_CATALOGUE}
          ${zkmsvc_gen}/ZKInstall.def
  COMMAND ${ZK_LLVM_DLLTOOL} -m i386:x86-64 -d ${zkmsvc_gen}/ZKInstall.def
          -l ${zkmsvc_gen}/ZKInstall.lib
  DEPENDS ${ZK_CATALOGUE} ${CMAKE_SOURCE_DIR}/cmake/exports.py
  COMMENT "Building ZKInstall.dll's import library from the catalogue's decorated names")
add_custom_command(
  OUTPUT ${zkmsvc_gen}/msvc_host.obj
  COMMAND ${ZK_CLANGXX} --target=${ZK_MSVC_TARGET} -fms-compatibility-version=14.00 -std=c++17
          -O2 -Wall -Wextra -fno-exceptions -fno-rtti -fno-threadsafe-statics
          -fno-stack-protector ${zkmsvc_defines}
          -I${CMAKE_SOURCE_DIR}/include -c ${zkmsvc_src}/msvc_host.cpp
          -o ${zkmsvc_gen}/msvc_host.obj
  DEPENDS ${zkmsvc_src}/msvc_host.cpp ${ZK_HEADER} ${zkmsvc_gen}/defines.txt
  COMMENT "Compiling the Visual C++ host for the Microsoft ABI")
add_custom_command(
  OUTPUT ${zkmsvc_exe}
  COMMAND ${ZK_LLD_LINK} /nologo /nodefaultlib /entry:hostMain /subsystem:console
          /out:${zkmsvc_exe} ${zkmsvc_gen}/msvc_host.obj ${zkmsvc_gen}/kernel32.lib
          ${zkmsvc_gen}/ZKInstall.lib
  DEPENDS ${zkmsvc_gen}/msvc_host.obj ${zkmsvc_gen}/kernel32.lib ${zkmsvc_gen}/ZKInstall.lib
  COMMENT "Linking the Visual C++ host with lld-link")
add_custom_target(zkmsvchost ALL DEPENDS ${zkmsvc_exe})
# The catalogue comes with the DLL; the host also needs the disc set and the
# host's string library at run time.
add_dependencies(zkmsvchost zkimplib zkarchivefixtures AutoRunGUI)

add_test(NAME msvc.host COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh ${zkmsvc_exe}
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(msvc.host PROPERTIES RESOURCE_LOCK discs TIMEOUT 600)
