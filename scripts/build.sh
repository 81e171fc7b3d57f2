#!/usr/bin/env bash
# Configures and builds the Linux library, its tests and tools.
#   scripts/build.sh                          in build/, for this machine
#   scripts/build.sh DIR [CMAKE_OPTION...]    in DIR with those options, e.g. the
#                                             32-bit build: build-i686
#                                             -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i686.cmake
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[ $# -gt 0 ] && shift
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_WERROR="$werror" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
