# GoogleTest from its sources (Debian's googletest package), built with the
# same compiler as the tests, for targets that have no GoogleTest package of
# their own (Windows, 32-bit Linux). find_package(GTest) then finds these
# targets.
set(RADOVL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT TARGET GTest::gtest)
  if(NOT EXISTS ${RADOVL_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found at ${RADOVL_GTEST_SOURCE} (Debian package googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${RADOVL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  file(WRITE ${CMAKE_BINARY_DIR}/googletest-config/GTestConfig.cmake
       "# GoogleTest is part of this build: its targets exist already.\n")
  set(GTest_DIR ${CMAKE_BINARY_DIR}/googletest-config CACHE PATH "" FORCE)
endif()
