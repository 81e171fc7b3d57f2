# Windows builds (MinGW-w64 cross compilers or a native toolchain).
#
#   RADOVL_PLATFORM=win32  radovl.dll with the real driver: exactly the fifty
#                          exports of packaging/windows/radovl.def, a version
#                          resource, import libraries for MinGW
#                          (libradovl.dll.a) and MSVC (radovl.lib), the Wine
#                          host check and the Win32 layer's own test.
#   RADOVL_PLATFORM=sim    radovl.dll with the simulated board and the
#                          RadovlSim_* control functions (its .def and both
#                          import libraries likewise), radovl-sim.exe, and
#                          the test suite.
#
# `cmake --install` (or `cpack -G ZIP`) lays out the package: bin/radovl.dll,
# lib/libradovl.dll.a, lib/radovl.lib, lib/radovl.def, include/radovl/, and
# in the simulated-board flavour bin/radovl-sim.exe.

set(RADOVL_WINDOWS_DIR ${PROJECT_SOURCE_DIR}/packaging/windows)

# Programs defined from here on that link the library's objects rather than
# the DLL (the tests) must not see its functions as DLL imports.
add_compile_definitions(RADOVL_STATIC)

# Test programs are built where they can run: natively, or through an
# emulator such as Wine's 64-bit loader. 32-bit programs cannot run on the
# build machines, so a 32-bit cross build makes the product only.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(RADOVL_WINDOWS_TESTS OFF)
  set(RADOVL_BUILD_TESTS OFF)
else()
  set(RADOVL_WINDOWS_TESTS ${RADOVL_BUILD_TESTS})
endif()
set(RADOVL_DEF_FILE ${RADOVL_WINDOWS_DIR}/radovl.def)

# The DLL is radovl.dll, its MinGW import library libradovl.dll.a.
set_target_properties(radovl PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")

# Version resource from the project's version.
if(PROJECT_VERSION_PATCH STREQUAL "")
  set(RADOVL_VERSION_PATCH 0)
else()
  set(RADOVL_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()
if(RADOVL_PLATFORM STREQUAL "sim")
  set(RADOVL_FILE_DESCRIPTION "${PROJECT_DESCRIPTION} (simulated board)")
else()
  set(RADOVL_FILE_DESCRIPTION "${PROJECT_DESCRIPTION}")
endif()
enable_language(RC)
configure_file(${RADOVL_WINDOWS_DIR}/radovl.rc.in ${CMAKE_CURRENT_BINARY_DIR}/radovl.rc @ONLY)
target_sources(radovl PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/radovl.rc)

if(MINGW)
  # Export only what is marked for export; nothing of the C++ runtime.
  # Release builds carry no debugging sections (the static C++ runtime
  # brings its own), and no link time stamp: the same sources give the same
  # bytes.
  target_link_options(radovl PRIVATE -Wl,--exclude-all-symbols -Wl,--no-insert-timestamp
                      $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()

if(RADOVL_PLATFORM STREQUAL "sim")
  # The simulated-board DLL exports the fifty and the control API: its .def
  # is the product's with every RadovlSim_* function radovl/sim.h declares.
  set(RADOVL_SIM_HEADER ${PROJECT_SOURCE_DIR}/include/radovl/sim.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${RADOVL_DEF_FILE} ${RADOVL_SIM_HEADER})
  file(READ ${RADOVL_DEF_FILE} RADOVL_SIM_DEF)
  string(REPLACE "the fifty plain cdecl entry points, undecorated,\n; and nothing else."
         "the fifty plain cdecl entry points, undecorated,\n; and the simulated board's RadovlSim_* control API (radovl/sim.h)."
         RADOVL_SIM_DEF "${RADOVL_SIM_DEF}")
  file(STRINGS ${RADOVL_SIM_HEADER} RADOVL_SIM_DECLARATIONS REGEX "^RADOVL_API .*RADOVL_CALL RadovlSim_")
  foreach(declaration IN LISTS RADOVL_SIM_DECLARATIONS)
    string(REGEX MATCH "RadovlSim_[A-Za-z0-9_]+" name "${declaration}")
    string(APPEND RADOVL_SIM_DEF "    ${name}\n")
  endforeach()
  set(RADOVL_DEF_FILE ${CMAKE_CURRENT_BINARY_DIR}/radovl.def)
  file(CONFIGURE OUTPUT ${RADOVL_DEF_FILE} CONTENT "${RADOVL_SIM_DEF}" @ONLY)
endif()

# The DLL's export list is the .def file, and nothing else.
target_sources(radovl PRIVATE ${RADOVL_DEF_FILE})

# Import library for MSVC, from the same .def.
find_program(RADOVL_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(RADOVL_DLLTOOL_MACHINE i386)
else()
  set(RADOVL_DLLTOOL_MACHINE i386:x86-64)
endif()
if(MSVC)
  # MSVC's linker writes radovl.lib itself.
elseif(RADOVL_DLLTOOL)
  add_custom_command(TARGET radovl POST_BUILD
    COMMAND ${RADOVL_DLLTOOL} -m ${RADOVL_DLLTOOL_MACHINE} -d ${RADOVL_DEF_FILE} -D radovl.dll
            -l $<TARGET_FILE_DIR:radovl>/radovl.lib
    COMMENT "Import library for MSVC: radovl.lib"
    VERBATIM)
  install(FILES $<TARGET_FILE_DIR:radovl>/radovl.lib DESTINATION lib)
else()
  message(WARNING "llvm-dlltool not found: radovl.lib (the MSVC import library) is not built")
endif()
install(FILES ${RADOVL_DEF_FILE} DESTINATION lib)

if(RADOVL_PLATFORM STREQUAL "win32")
  # The suite in tests/ needs the simulated board; this build has the
  # layer's own test and the host check instead.
  set(RADOVL_BUILD_TESTS OFF)
endif()

# The software board driver under Wine, in real-driver builds with the
# posix thread model (its board DLL locks with std::mutex): x86_64, and the
# i686 toolchain's posix variant (mingw-i686-posix.cmake), which builds the
# driver for a 32-bit prefix. The product DLL keeps the win32 model.
if(RADOVL_PLATFORM STREQUAL "win32" AND RADOVL_MINGW_THREADS STREQUAL "posix")
  add_subdirectory(${PROJECT_SOURCE_DIR}/drivers ${CMAKE_BINARY_DIR}/drivers)
endif()

# A console host that loads radovl.dll at run time.
add_executable(radovl_host_check ${PROJECT_SOURCE_DIR}/tests/windows/host_check.cpp)
target_include_directories(radovl_host_check PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_options(radovl_host_check PRIVATE ${RADOVL_WARNINGS})

# Hosts that drive radovl.dll and look at the board behind it: the
# software board driver's control device (real-driver build) or the board
# in the process (simulated-board build). The end-to-end host runs one
# scenario (scripts/test-driver.sh compares the two builds' logs); the
# driver benchmark times the request path (bench/run-driver.sh). Built for
# both processors Wine runs here: x86_64 and i686 (the product's).
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|i686)$")
  set(RADOVL_TOOL_DIR ${PROJECT_SOURCE_DIR}/tools/radovl-sim)
  add_library(radovl_board_control STATIC
    ${PROJECT_SOURCE_DIR}/tests/windows/board_control.cpp
    ${RADOVL_TOOL_DIR}/scenario/demo_programs.cpp
    ${PROJECT_SOURCE_DIR}/tools/coff/coff_writer.cpp)
  set(RADOVL_HOST_INCLUDES ${PROJECT_SOURCE_DIR}/tests/windows ${RADOVL_TOOL_DIR} ${RADOVL_TOOL_DIR}/scenario ${PROJECT_SOURCE_DIR}/tools
      ${PROJECT_SOURCE_DIR}/drivers)
  radovl_top_level_includes(radovl_board_control ${RADOVL_HOST_INCLUDES})
  target_compile_options(radovl_board_control PRIVATE ${RADOVL_WARNINGS})
  target_link_libraries(radovl_board_control PUBLIC radovl)
  if(RADOVL_PLATFORM STREQUAL "sim")
    target_sources(radovl_board_control PRIVATE ${PROJECT_SOURCE_DIR}/drivers/softboard/control_answer.cpp)
    target_compile_definitions(radovl_board_control PUBLIC RADOVL_IN_PROCESS_BOARD)
  endif()

  add_executable(radovl_driver_e2e
    ${PROJECT_SOURCE_DIR}/tests/windows/driver_e2e.cpp
    ${RADOVL_TOOL_DIR}/scenario/scenario.cpp
    ${RADOVL_TOOL_DIR}/scenario/exports_table.cpp
    ${RADOVL_TOOL_DIR}/boardview/register_names.cpp
    ${RADOVL_TOOL_DIR}/text/text.cpp)
  radovl_top_level_includes(radovl_driver_e2e ${RADOVL_HOST_INCLUDES})
  target_compile_options(radovl_driver_e2e PRIVATE ${RADOVL_WARNINGS})
  target_link_libraries(radovl_driver_e2e PRIVATE radovl_board_control)

  add_executable(radovl_driver_bench ${PROJECT_SOURCE_DIR}/bench/driver_bench.cpp)
  radovl_top_level_includes(radovl_driver_bench ${RADOVL_HOST_INCLUDES})
  target_compile_options(radovl_driver_bench PRIVATE ${RADOVL_WARNINGS})
  target_link_libraries(radovl_driver_bench PRIVATE radovl_board_control)
endif()

install(TARGETS radovl RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/radovl/radovl.h DESTINATION include/radovl)
if(RADOVL_PLATFORM STREQUAL "sim")
  install(FILES ${PROJECT_SOURCE_DIR}/include/radovl/sim.h DESTINATION include/radovl)
endif()

set(CPACK_PACKAGE_NAME radovl)
if(RADOVL_PLATFORM STREQUAL "sim")
  set(CPACK_PACKAGE_NAME radovl-sim)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_GENERATOR ZIP)
include(CPack)

if(RADOVL_WINDOWS_TESTS)
  include(${PROJECT_SOURCE_DIR}/cmake/GoogleTestFromSource.cmake)
  # The suite runs in one Wine process rather than one per test: no test
  # listing at build time.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

if(RADOVL_WINDOWS_TESTS AND RADOVL_PLATFORM STREQUAL "win32")
  add_executable(radovl_win32_test
    ${PROJECT_SOURCE_DIR}/tests/windows/win32_platform_test.cpp
    ${RADOVL_OBJECTS})
  radovl_top_level_includes(radovl_win32_test)
  target_compile_options(radovl_win32_test PRIVATE ${RADOVL_WARNINGS})
  target_link_libraries(radovl_win32_test PRIVATE GTest::gtest GTest::gtest_main gdi32 user32)
endif()
