#!/usr/bin/env bash
# Builds the library and radovl-sim, plays the bundled console session on the
# simulated board (examples/console.scenario), and draws what the board's two
# outputs show. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core
scripts/build.sh
tool="$PWD/build/tools/radovl-sim/radovl-sim"
work="$PWD/build/demo"
mkdir -p "$work"
status=0
(cd "$work" && "$tool" run ../../examples/console.scenario --trace ../demo-trace.txt --render ../demo.png) || status=$?
echo
(cd "$work" && "$tool" run ../../examples/fallback.scenario --quiet --render ../demo-fallback.png) || status=$?
echo
echo "The picture of both outputs:  build/demo.png"
echo "Decoded driver trace:         build/demo-trace.txt"
echo "Fallback start-up (board 1):  build/demo-fallback.png"
[ "$status" -eq 0 ] || echo "Some expectations failed (see above)."
exit "$status"
