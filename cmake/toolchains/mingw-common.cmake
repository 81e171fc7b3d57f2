# Shared part of the MinGW-w64 cross toolchains (Debian's g++-mingw-w64-*).
# Set RADOVL_MINGW_TRIPLET, RADOVL_MINGW_THREADS (win32 or posix) and
# CMAKE_SYSTEM_PROCESSOR before including.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${RADOVL_MINGW_TRIPLET}-gcc-${RADOVL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${RADOVL_MINGW_TRIPLET}-g++-${RADOVL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${RADOVL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RADOVL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# C99 printf family (%zu, %lld, ...) in C as it already is in C++, so that
# formatted output means the same in every translation unit.
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")

# The GCC runtime, the C++ library and (posix model) winpthread go inside
# each binary: what is built here imports only DLLs that come with Windows.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
