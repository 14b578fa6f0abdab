# GoogleTest for a cross build: Debian's googletest package ships the sources
# in /usr/src/googletest; they are built here for the target, and
# find_package(GTest) then finds these targets instead of host libraries.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS "${GTEST_SOURCE_DIR}/googletest/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SOURCE_DIR} (apt-get install googletest)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${GTEST_SOURCE_DIR}/googletest" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
# GoogleTest's own sources do not build warning-free with the project's flags.
# The compiler's Win32 thread model has no std::mutex: GoogleTest's port
# customisation header (found first on the include path) supplies the one
# class that needs it.
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -w)
  target_include_directories(${target} BEFORE PUBLIC
    "${CMAKE_CURRENT_LIST_DIR}/gtest-win32")
  if(NOT TARGET GTest::${target})
    add_library(GTest::${target} ALIAS ${target})
  endif()
endforeach()

# A package configuration that says "already here", for find_package(GTest).
set(GTest_DIR "${CMAKE_BINARY_DIR}/gtest-config" CACHE PATH "" FORCE)
file(WRITE "${GTest_DIR}/GTestConfig.cmake"
  "# Generated: the GoogleTest targets are built in this tree.\nset(GTest_FOUND TRUE)\n")
file(WRITE "${GTest_DIR}/GTestConfigVersion.cmake"
  "set(PACKAGE_VERSION 1.12.1)\nset(PACKAGE_VERSION_COMPATIBLE TRUE)\n")
