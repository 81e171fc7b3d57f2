#!/usr/bin/env bash
# Builds the project and runs the benchmarks, then writes the table of
# medians with the derived ratios to build/bench-results.md (and prints it).
#
#   bench/run.sh [REPETITIONS]      default 7
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-7}
scripts/install-deps.sh core
scripts/build.sh >/dev/null
nice build/bench/radovl_bench --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_out="$PWD/build/bench.json" --benchmark_out_format=json >/dev/null
python3 bench/table.py build/bench.json | tee build/bench-results.md
echo | tee -a build/bench-results.md
python3 bench/view_bench.py --tool build/tools/radovl-sim/radovl-sim | tee -a build/bench-results.md
echo | tee -a build/bench-results.md
python3 bench/scenario_bench.py --tool build/tools/radovl-sim/radovl-sim | tee -a build/bench-results.md
