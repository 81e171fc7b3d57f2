#!/usr/bin/env bash
# Fuzzes the program loader, the display-mode file reader, the radovl-sim
# scenario parser and its capture reader with libFuzzer
# (clang 14, AddressSanitizer, UndefinedBehaviorSanitizer), one target after
# the other, each for SECONDS (default 600).
#
#   fuzz/run.sh [SECONDS] [TARGET...]      targets: loader dismode scenario capture
#
# Builds into build-fuzz/. The working corpus grows in build-fuzz/corpus-*;
# crashing inputs land in build-fuzz/artifacts-*/ and belong in
# fuzz/corpus/TARGET/ once fixed, so that every test run replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(loader dismode scenario capture)

# clang 14 with its sanitizer and libFuzzer runtimes.
if ! command -v clang++-14 >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "ok installed"; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends clang-14 libclang-rt-14-dev
fi
scripts/install-deps.sh

cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_FUZZ=ON -DRADOVL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j2 --target $(printf 'fuzz_%s ' "${targets[@]}")

declare -A maxlen=([loader]=8192 [dismode]=1200 [scenario]=4096 [capture]=4096)
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus-$t" "build-fuzz/artifacts-$t"
  echo "== fuzzing $t for ${seconds}s"
  nice build-fuzz/fuzz/fuzz_$t "build-fuzz/corpus-$t" "fuzz/corpus/$t" \
    -dict="fuzz/$t.dict" -max_len="${maxlen[$t]}" -timeout=10 -max_total_time="$seconds" \
    -artifact_prefix="$PWD/build-fuzz/artifacts-$t/" -print_final_stats=1 \
    >"build-fuzz/fuzz-$t.log" 2>&1 || { tail -40 "build-fuzz/fuzz-$t.log"; exit 1; }
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|Done " \
    "build-fuzz/fuzz-$t.log"
done
