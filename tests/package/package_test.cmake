# Install and consumer checks, run by ctest as `cmake -P`:
#
#   MODE=install      install BUILD_DIR into PREFIX (emptied first) and check
#                     the layout and the shared object's SONAME
#   MODE=cmake        configure, build and run tests/package/consumer against
#                     PREFIX through find_package(radovl CONFIG)
#   MODE=too-new      ask find_package for the next major version: must fail
#   MODE=pkgconfig    compile consumer.c with the flags pkg-config gives for
#                     radovl.pc in PREFIX, and run it
#
# Other variables: SOURCE_DIR (tests/package), WORK_DIR (scratch), CONFIG,
# LIBDIR and INCLUDEDIR (relative to PREFIX), VERSION, VERSION_MAJOR,
# C_COMPILER, C_FLAGS (the build's own, -m32 in the 32-bit one), GENERATOR,
# PKG_CONFIG.

cmake_minimum_required(VERSION 3.25)
separate_arguments(c_flags UNIX_COMMAND "${C_FLAGS}")

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "${text}")
endfunction()

function(run)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "WORKING_DIRECTORY;OUTPUT" "COMMAND")
  if(NOT arg_WORKING_DIRECTORY)
    set(arg_WORKING_DIRECTORY ${WORK_DIR})
  endif()
  execute_process(COMMAND ${arg_COMMAND}
    WORKING_DIRECTORY ${arg_WORKING_DIRECTORY}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    string(JOIN " " shown ${arg_COMMAND})
    fail("command failed (${result}): ${shown}\n${out}\n${err}")
  endif()
  if(arg_OUTPUT)
    set(${arg_OUTPUT} "${out}" PARENT_SCOPE)
  endif()
endfunction()

# The consumer prints "consumer of radovl VERSION: ok".
function(check_consumer_output out)
  if(NOT out MATCHES "consumer of radovl ${VERSION}: ok")
    fail("consumer did not report radovl ${VERSION} ok:\n${out}")
  endif()
  message(STATUS "${out}")
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

if(MODE STREQUAL "install")
  file(REMOVE_RECURSE ${PREFIX})
  set(config_args)
  if(CONFIG)
    set(config_args --config ${CONFIG})
  endif()
  run(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} ${config_args} OUTPUT out)

  set(lib ${PREFIX}/${LIBDIR})
  foreach(file
      ${INCLUDEDIR}/radovl/radovl.h
      ${INCLUDEDIR}/radovl/capture.h
      ${INCLUDEDIR}/radovl/sim.h
      ${INCLUDEDIR}/radovl/version.h
      ${LIBDIR}/libradovl.so
      ${LIBDIR}/libradovl.so.${VERSION_MAJOR}
      ${LIBDIR}/libradovl.so.${VERSION}
      ${LIBDIR}/cmake/radovl/radovlConfig.cmake
      ${LIBDIR}/cmake/radovl/radovlConfigVersion.cmake
      ${LIBDIR}/cmake/radovl/radovlTargets.cmake
      ${LIBDIR}/pkgconfig/radovl.pc)
    if(NOT EXISTS ${PREFIX}/${file})
      fail("not installed: ${file}")
    endif()
  endforeach()
  # The development link points at the SONAME link, which points at the file.
  file(READ_SYMLINK ${lib}/libradovl.so dev_link)
  file(READ_SYMLINK ${lib}/libradovl.so.${VERSION_MAJOR} soname_link)
  if(NOT dev_link STREQUAL "libradovl.so.${VERSION_MAJOR}" OR NOT soname_link STREQUAL "libradovl.so.${VERSION}")
    fail("library links: libradovl.so -> ${dev_link}, libradovl.so.${VERSION_MAJOR} -> ${soname_link}")
  endif()
  find_program(READELF readelf)
  if(READELF)
    run(COMMAND ${READELF} -d ${lib}/libradovl.so.${VERSION} OUTPUT dynamic)
    if(NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[libradovl\\.so\\.${VERSION_MAJOR}\\]")
      fail("SONAME of the installed library is not libradovl.so.${VERSION_MAJOR}:\n${dynamic}")
    endif()
  endif()
  # The installed tool finds the installed library by itself, from any
  # directory, with no library path set.
  if(EXISTS ${PREFIX}/bin/radovl-sim)
    run(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${PREFIX}/bin/radovl-sim --version
        WORKING_DIRECTORY / OUTPUT tool_version)
    if(NOT tool_version MATCHES "radovl-sim ${VERSION}")
      fail("the installed radovl-sim printed:\n${tool_version}")
    endif()
  endif()
  file(GLOB_RECURSE installed RELATIVE ${PREFIX} LIST_DIRECTORIES false ${PREFIX}/*)
  list(SORT installed)
  list(JOIN installed "\n  " shown)
  message(STATUS "installed into ${PREFIX}:\n  ${shown}")

elseif(MODE STREQUAL "cmake" OR MODE STREQUAL "too-new")
  set(args -S ${SOURCE_DIR}/consumer -B ${WORK_DIR}/build -G ${GENERATOR}
      -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${C_FLAGS}"
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
  if(MODE STREQUAL "too-new")
    math(EXPR next "${VERSION_MAJOR} + 1")
    execute_process(COMMAND ${CMAKE_COMMAND} ${args} -DRADOVL_REQUIRED_VERSION=${next}.0
      RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(result EQUAL 0)
      fail("find_package(radovl ${next}.0) accepted version ${VERSION}")
    endif()
    if(NOT err MATCHES "radovl" OR NOT err MATCHES "${VERSION}")
      fail("the refusal does not name the package and its version:\n${err}")
    endif()
    message(STATUS "find_package(radovl ${next}.0) refused as it should")
    return()
  endif()
  run(COMMAND ${CMAKE_COMMAND} ${args} -DRADOVL_REQUIRED_VERSION=${VERSION_MAJOR}.0)
  # The package must come from the prefix under test, not from elsewhere.
  file(STRINGS ${WORK_DIR}/build/CMakeCache.txt found REGEX "^radovl_DIR:")
  string(FIND "${found}" "${PREFIX}/" at)
  if(NOT at GREATER -1)
    fail("find_package took radovl from outside ${PREFIX}: ${found}")
  endif()
  run(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
  run(COMMAND ${WORK_DIR}/build/consumer OUTPUT out)
  check_consumer_output("${out}")

elseif(MODE STREQUAL "pkgconfig")
  # Only the prefix under test: no system or user .pc files.
  set(ENV{PKG_CONFIG_LIBDIR} ${PREFIX}/${LIBDIR}/pkgconfig)
  unset(ENV{PKG_CONFIG_PATH})
  run(COMMAND ${PKG_CONFIG} --modversion radovl OUTPUT modversion)
  string(STRIP "${modversion}" modversion)
  if(NOT modversion STREQUAL VERSION)
    fail("pkg-config --modversion radovl gives ${modversion}, expected ${VERSION}")
  endif()
  run(COMMAND ${PKG_CONFIG} --cflags radovl OUTPUT cflags)
  run(COMMAND ${PKG_CONFIG} --libs radovl OUTPUT libs)
  run(COMMAND ${PKG_CONFIG} --variable=libdir radovl OUTPUT libdir)
  separate_arguments(cflags UNIX_COMMAND "${cflags}")
  separate_arguments(libs UNIX_COMMAND "${libs}")
  string(STRIP "${libdir}" libdir)
  file(REAL_PATH ${libdir} libdir)
  file(REAL_PATH ${PREFIX}/${LIBDIR} expected_libdir)
  if(NOT libdir STREQUAL expected_libdir)
    fail("radovl.pc names libdir ${libdir}, the library is in ${expected_libdir}")
  endif()
  run(COMMAND ${C_COMPILER} ${c_flags} -std=c99 -Wall -Wextra -Wpedantic -Werror ${cflags}
      -DPACKAGE_VERSION="${modversion}" ${SOURCE_DIR}/consumer/consumer.c ${libs} -o ${WORK_DIR}/consumer)
  set(ENV{LD_LIBRARY_PATH} ${libdir})
  run(COMMAND ${WORK_DIR}/consumer OUTPUT out)
  check_consumer_output("${out}")
  # The README's example: the console.c the package ships, built as it says.
  set(console_c ${PREFIX}/share/doc/radovl/examples/console.c)
  if(NOT EXISTS ${console_c})
    fail("the package does not ship the README's example ${console_c}")
  endif()
  run(COMMAND ${C_COMPILER} ${c_flags} -std=c99 -Wall -Wextra -Wpedantic -Werror ${cflags} ${console_c} ${libs}
      -o ${WORK_DIR}/console)
  run(COMMAND ${WORK_DIR}/console OUTPUT console_out)
  if(NOT console_out MATCHES "KT_RDSP_OpenPPI\\(1, 100, 50, 400, 300\\): done")
    fail("the example console printed:\n${console_out}")
  endif()

else()
  fail("unknown MODE '${MODE}'")
endif()
