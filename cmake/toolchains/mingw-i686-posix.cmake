# 32-bit Windows with the posix thread model: the software board driver and
# its board DLL (std::mutex) for a 32-bit prefix. Everything else as in
# mingw-i686.cmake; the product DLL is built there, with the win32 model.
#   cmake -S . -B build-windows/i686-drivers -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686-posix.cmake -DRADOVL_PLATFORM=win32
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(RADOVL_MINGW_THREADS posix)
set(CMAKE_C_COMPILER ${RADOVL_MINGW_TRIPLET}-gcc-${RADOVL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${RADOVL_MINGW_TRIPLET}-g++-${RADOVL_MINGW_THREADS})
