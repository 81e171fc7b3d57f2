# 64-bit Windows (PE32+, x86-64): the builds that run here under wine64.
#   cmake -S . -B build-windows/x64-sim -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake -DRADOVL_PLATFORM=sim
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RADOVL_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex, which the win32
# model of GCC 12 does not have.
set(RADOVL_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Test programs run through Wine's 64-bit loader when it is installed.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
endif()
