# Versioning, install rules, the exported CMake package, the pkg-config file
# and the Python module's build and install copies.
#
# Included at the end of the top-level CMakeLists.txt, after every target
# it installs has been defined. The one version number is the project()
# VERSION there; everything below derives from it.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# --- Version ---------------------------------------------------------------

set(RADOVL_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)
configure_file(${PROJECT_SOURCE_DIR}/include/radovl/version.h.in
               ${RADOVL_GENERATED_INCLUDE_DIR}/radovl/version.h @ONLY)

# The library's sources (cmake/RadovlLayers.cmake), its resource script on
# Windows and every program that links the library see radovl/version.h.
target_include_directories(radovl PUBLIC $<BUILD_INTERFACE:${RADOVL_GENERATED_INCLUDE_DIR}>)

# libradovl.so.MAJOR.MINOR.PATCH with the SONAME libradovl.so.MAJOR. The
# exports' signatures are fixed by the consoles that load the library, so
# the major number only moves if one of them ever has to change.
set_target_properties(radovl PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  EXPORT_NAME radovl)

# The same name inside this build as for consumers of the installed package.
add_library(radovl::radovl ALIAS radovl)

# --- Library, headers, tools -----------------------------------------------

set(RADOVL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/radovl
    CACHE STRING "Where the CMake package files go, relative to the prefix")

install(TARGETS radovl
  EXPORT radovlTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(RADOVL_PUBLIC_HEADERS
  ${PROJECT_SOURCE_DIR}/include/radovl/radovl.h
  ${PROJECT_SOURCE_DIR}/include/radovl/capture.h
  ${RADOVL_GENERATED_INCLUDE_DIR}/radovl/version.h)
# The simulator's control API exists only in builds that carry the
# simulated board.
if(RADOVL_PLATFORM STREQUAL "sim")
  list(APPEND RADOVL_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/include/radovl/sim.h)
endif()
install(FILES ${RADOVL_PUBLIC_HEADERS}
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/radovl COMPONENT development)

if(TARGET radovl-sim)
  # The installed tool finds the installed library relative to itself, so
  # the prefix can move (DESTDIR, --prefix) and no library path is needed.
  if(NOT WIN32)
    file(RELATIVE_PATH RADOVL_TOOL_TO_LIB /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
    if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
      set(RADOVL_TOOL_RPATH "${CMAKE_INSTALL_LIBDIR}")
    elseif(APPLE)
      set(RADOVL_TOOL_RPATH "@loader_path/${RADOVL_TOOL_TO_LIB}")
    else()
      set(RADOVL_TOOL_RPATH "$ORIGIN/${RADOVL_TOOL_TO_LIB}")
    endif()
    set_target_properties(radovl-sim PROPERTIES INSTALL_RPATH "${RADOVL_TOOL_RPATH}")
  endif()
  install(TARGETS radovl-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
endif()

if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/examples)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT examples
    PATTERN "CMakeLists.txt" EXCLUDE)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT examples)

# --- CMake package: find_package(radovl CONFIG) -> radovl::radovl ---------

install(EXPORT radovlTargets
  NAMESPACE radovl::
  DESTINATION ${RADOVL_INSTALL_CMAKEDIR}
  COMPONENT development)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/radovlConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/radovlConfig.cmake
  INSTALL_DESTINATION ${RADOVL_INSTALL_CMAKEDIR})
# Same major version, at least the minor asked for. The architecture check
# is kept: a 64-bit consumer cannot load the 32-bit product library.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/radovlConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/radovlConfig.cmake
  ${PROJECT_BINARY_DIR}/package/radovlConfigVersion.cmake
  DESTINATION ${RADOVL_INSTALL_CMAKEDIR}
  COMPONENT development)

# --- pkg-config -------------------------------------------------------------

# The file finds its prefix from its own place, so an install into another
# prefix (cmake --install --prefix, DESTDIR) stays correct.
set(RADOVL_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${RADOVL_PKGCONFIG_DIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}"
   OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(RADOVL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(RADOVL_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(RADOVL_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH RADOVL_PC_UP /prefix/${RADOVL_PKGCONFIG_DIR} /prefix)
  string(REGEX REPLACE "/$" "" RADOVL_PC_UP "${RADOVL_PC_UP}")
  set(RADOVL_PC_PREFIX "\${pcfiledir}/${RADOVL_PC_UP}")
  set(RADOVL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(RADOVL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/radovl.pc.in ${PROJECT_BINARY_DIR}/package/radovl.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/radovl.pc
  DESTINATION ${RADOVL_PKGCONFIG_DIR} COMPONENT development)

# --- Python module ------------------------------------------------------------

# The module is plain Python (ctypes). The build keeps a copy in
# build/python/radovl that loads the library of this build; the install
# puts one next to the installed library. Each copy gets a generated
# _config.py with the version and the library's place.
if(NOT DEFINED Python3_VERSION)
  find_package(Python3 COMPONENTS Interpreter QUIET)
endif()
if(Python3_VERSION_MAJOR AND Python3_VERSION_MINOR)
  set(RADOVL_DEFAULT_PYTHONDIR lib/python${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}/site-packages)
else()
  set(RADOVL_DEFAULT_PYTHONDIR lib/python3/site-packages)
endif()
set(RADOVL_INSTALL_PYTHONDIR ${RADOVL_DEFAULT_PYTHONDIR}
    CACHE STRING "Where the Python module radovl goes, relative to the prefix")

set(RADOVL_PYTHON_BUILD_DIR ${PROJECT_BINARY_DIR}/python)
file(GLOB RADOVL_PYTHON_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/python/radovl/*.py)
foreach(source IN LISTS RADOVL_PYTHON_SOURCES)
  get_filename_component(name ${source} NAME)
  configure_file(${source} ${RADOVL_PYTHON_BUILD_DIR}/radovl/${name} COPYONLY)
endforeach()

# Build copy: the library of this build, by its absolute path.
set(RADOVL_PY_LIBRARY "$<TARGET_FILE:radovl>")
configure_file(${PROJECT_SOURCE_DIR}/cmake/python_config.py.in
               ${PROJECT_BINARY_DIR}/python_config/build_config.py.in @ONLY)
file(GENERATE OUTPUT ${RADOVL_PYTHON_BUILD_DIR}/radovl/_config.py
              INPUT ${PROJECT_BINARY_DIR}/python_config/build_config.py.in)

# Installed copy: the installed library, relative to the module's directory.
if(WIN32)
  set(RADOVL_RUNTIME_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(RADOVL_RUNTIME_DIR ${CMAKE_INSTALL_LIBDIR})
endif()
if(IS_ABSOLUTE "${RADOVL_INSTALL_PYTHONDIR}" OR IS_ABSOLUTE "${RADOVL_RUNTIME_DIR}")
  set(RADOVL_PY_LIBRARY "${CMAKE_INSTALL_PREFIX}/${RADOVL_RUNTIME_DIR}/$<TARGET_FILE_NAME:radovl>")
else()
  file(RELATIVE_PATH RADOVL_PY_LIBDIR /prefix/${RADOVL_INSTALL_PYTHONDIR}/radovl /prefix/${RADOVL_RUNTIME_DIR})
  string(REGEX REPLACE "/$" "" RADOVL_PY_LIBDIR "${RADOVL_PY_LIBDIR}")
  set(RADOVL_PY_LIBRARY "${RADOVL_PY_LIBDIR}/$<TARGET_FILE_NAME:radovl>")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/python_config.py.in
               ${PROJECT_BINARY_DIR}/python_config/install_config.py.in @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/python_config/install/_config.py
              INPUT ${PROJECT_BINARY_DIR}/python_config/install_config.py.in)

install(FILES ${RADOVL_PYTHON_SOURCES} ${PROJECT_BINARY_DIR}/python_config/install/_config.py
  DESTINATION ${RADOVL_INSTALL_PYTHONDIR}/radovl COMPONENT python)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/python/examples/ppi_demo.py
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/python COMPONENT examples)

# --- Tests of all of the above ----------------------------------------------

if(RADOVL_BUILD_TESTS)
  add_subdirectory(tests/package)
endif()
