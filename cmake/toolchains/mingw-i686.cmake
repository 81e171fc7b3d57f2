# 32-bit Windows (PE32, i386): the product radovl.dll.
#   cmake -S . -B build-windows/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake -DRADOVL_PLATFORM=win32
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RADOVL_MINGW_TRIPLET i686-w64-mingw32)
# The win32 thread model: the library creates no threads, and the product
# carries no threading runtime.
set(RADOVL_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/i686-floating-point.cmake)
string(APPEND CMAKE_C_FLAGS_INIT " ${RADOVL_I686_FP_FLAGS}")
string(APPEND CMAKE_CXX_FLAGS_INIT " ${RADOVL_I686_FP_FLAGS}")
