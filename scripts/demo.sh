#!/usr/bin/env bash
# Builds the library and runs the demo console session on the simulated
# board. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
echo "Built build/libradovl.so with the simulated board."
echo "The scenario runner (radovl-sim) that plays examples/ and draws the screen is not built yet."
