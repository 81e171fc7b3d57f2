#!/usr/bin/env bash
# The real-driver DLL end to end under wine64: installs the software board
# driver in a prefix of its own, runs each scenario with the x86_64
# real-driver radovl.dll (requests through DeviceIoControl to the driver)
# and with the x86_64 simulated-board radovl.dll (the same board in the
# process), and requires the two logs to be equal: statuses, printed
# lines, board state read back and every driver request. Then runs the
# scenarios that check 64-bit read destinations.
#
#   scripts/test-driver.sh [BUILD_DIR]    (default build-windows, with x64 and x64-sim built)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-build-windows}
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in "$out/x64/drivers/radovl_driver.sys" "$out/x64/drivers/radovl_board.dll" \
         "$out/x64/drivers/radovl_driver_install.exe" "$out/x64/radovl_driver_e2e.exe" \
         "$out/x64-sim/radovl_driver_e2e.exe"; do
  [ -f "$f" ] || fail "$f is not built"
done

began=$(date +%s)
. scripts/driver-prefix.sh
tmp=$driver_tmp
echo "== Driver: starting a prefix and the software board driver"
driver_prefix_start "$out"

# Each run in a directory of its own: the scenarios write program files and
# the display-mode file there. Output goes to files (a pipe would wait for
# the whole Wine session).
run() {  # flavour name scenario options...
  local flavour=$1 name=$2 scenario=$3
  shift 3
  mkdir -p "$tmp/$flavour/$name"
  (cd "$tmp/$flavour/$name" && timeout 300 "$wine" "$root/$out/$flavour/radovl_driver_e2e.exe" \
    "Z:$(echo "$root/$scenario" | tr '/' '\\')" "$@") >"$tmp/$name.$flavour.log" 2>&1
}

compare() {  # name scenario options...
  local name=$1
  run x64 "$@" || { cat "$tmp/$name.x64.log"; fail "$name: the host failed with the driver"; }
  run x64-sim "$@" || { cat "$tmp/$name.x64-sim.log"; fail "$name: the host failed in process"; }
  diff -u "$tmp/$name.x64-sim.log" "$tmp/$name.x64.log" >"$tmp/$name.diff" ||
    { head -n 40 "$tmp/$name.diff"; fail "$name: the driver's log differs from the in-process one"; }
  echo "$name: equal, $(grep -c '^  board' "$tmp/$name.x64.log") requests, $(grep -c '^call' "$tmp/$name.x64.log") calls"
}

# Program files stay small here: each request costs a round trip to the
# driver's process.
small="--program-bytes 64"
e2e=tests/windows/e2e
echo "== Driver: the real-driver DLL against the in-process board"
compare console examples/console.scenario $small
compare fallback examples/fallback.scenario $small
for scenario in "$e2e"/*.scenario; do
  name=$(basename "$scenario" .scenario)
  compare "$name" "$scenario" $small
  ! grep -q "(expected" "$tmp/$name.x64.log" || { grep "(expected" "$tmp/$name.x64.log"; fail "$name: an expectation failed"; }
done

echo "== Driver: 64-bit read destinations"
# Stack above 4 GiB after start-up: reads go through the library's buffer
# below 4 GiB, and the board sees the same requests as in process.
compare high-memory "$e2e/windows.scenario" $small --high-memory after-init
# No memory below 4 GiB at all: the library refuses every read without a
# request (the host fails if one reaches the board) and does not crash.
run x64 high-memory-all "$e2e/windows.scenario" $small --high-memory all ||
  { tail -n 20 "$tmp/high-memory-all.x64.log"; fail "reads without a destination below 4 GiB"; }
echo "high-memory-all: $(grep -c '^call' "$tmp/high-memory-all.x64.log") calls, no read reached the board"

driver_prefix_remove "$out"
echo "Driver: all checks passed in $(( $(date +%s) - began )) s"
