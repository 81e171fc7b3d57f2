# 32-bit x86 Linux programs: the library, the simulator, radovl-sim and the
# tests, built with the host's GCC in its 32-bit mode (Debian's
# g++-multilib) and run natively. scripts/test.sh builds this in
# build-i686/ and runs its ctest.
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i686.cmake
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
include(${CMAKE_CURRENT_LIST_DIR}/i686-floating-point.cmake)
set(CMAKE_C_FLAGS_INIT "-m32 ${RADOVL_I686_FP_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-m32 ${RADOVL_I686_FP_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)
# Libraries of the i386 architecture where multiarch has them.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(FIND_LIBRARY_USE_LIB64_PATHS OFF)
set_property(GLOBAL PROPERTY FIND_LIBRARY_USE_LIB64_PATHS OFF)
set_property(GLOBAL PROPERTY FIND_LIBRARY_USE_LIB32_PATHS ON)

# Nothing 32-bit is installed of GoogleTest, Google Benchmark, cairo or
# cpp-httplib: GoogleTest is built from its sources with the tests, the
# benchmarks stay 64-bit, and radovl-sim writes its pictures as SVG without
# cairo and has no view server.
set(RADOVL_GTEST_FROM_SOURCE ON CACHE BOOL "")
set(RADOVL_BUILD_BENCHMARKS OFF CACHE BOOL "")
set(RADOVL_SIM_CAIRO OFF CACHE BOOL "")
set(RADOVL_SIM_VIEW OFF CACHE BOOL "")
