#!/usr/bin/env bash
# Builds everything and runs every test. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
# The same suite as 32-bit x86 programs, run natively.
scripts/build.sh build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/linux-i686.cmake
ctest --test-dir build-i686 --output-on-failure -j "$(nproc)"
scripts/test-windows.sh
scripts/test-sanitizers.sh
