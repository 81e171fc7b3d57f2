#!/usr/bin/env bash
# Builds the library and radovl-sim (nothing else), plays the bundled console
# session on the simulated board (examples/console.scenario), and draws what
# the board's two outputs show. Installs what is missing first; the package
# manager's output is shown only if that fails.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
RADOVL_DEPS_LOG=build/demo-deps.log scripts/install-deps.sh demo
tree=build/demo-tree
echo "Building radovl-sim in $tree ..."
if ! { cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_BUILD_TESTS=OFF \
         -DRADOVL_BUILD_BENCHMARKS=OFF &&
       cmake --build "$tree" -j "$(nproc)" --target radovl-sim; } >build/demo-build.log 2>&1; then
  cat build/demo-build.log >&2
  echo "The build failed (above)." >&2
  exit 1
fi
tool="$tree/tools/radovl-sim/radovl-sim"
status=0
"$tool" run examples/console.scenario --trace build/demo-trace.txt --render build/demo.png || status=$?
echo
"$tool" run examples/fallback.scenario --quiet --render build/demo-fallback.png || status=$?
echo
echo "The picture of both outputs:  build/demo.png"
echo "Decoded driver trace:         build/demo-trace.txt"
echo "Fallback start-up (board 1):  build/demo-fallback.png"
[ "$status" -eq 0 ] || echo "Some expectations failed (see above)."
exit "$status"
