#!/usr/bin/env bash
# Configures and builds the Linux library, its tests and tools in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_WERROR="$werror" >/dev/null
cmake --build build -j "$(nproc)"
