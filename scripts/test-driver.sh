#!/usr/bin/env bash
# The real-driver DLLs end to end under Wine, with the software board
# driver installed in a prefix of its own: each scenario runs with
# radovl_driver_e2e.exe against a real-driver radovl.dll (requests through
# DeviceIoControl to the driver) and against the simulated-board radovl.dll
# of the same processor (the same board in the process), and the two logs
# must be equal: statuses, printed lines, board state read back and every
# driver request. Three set-ups:
#   x64            a 64-bit prefix with the x86_64 driver: the x86_64 DLL,
#                  then the scenarios that check 64-bit read destinations;
#   i686-on-win64  the same prefix: the i686 DLL run by Wine's 32-bit
#                  loader (a 32-bit console on 64-bit Windows);
#   i686-win32     a 32-bit prefix (32-bit Windows) with the i686 driver,
#                  under an X server with two monitors side by side.
# Without a display the i686 in-process logs must also equal the x86_64
# ones: a 32-bit-only difference shows even where both i686 DLLs share it.
#
#   scripts/test-driver.sh [BUILD_DIR]    (default build-windows, with x64, x64-sim,
#                                          i686, i686-sim and i686-drivers built)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-build-windows}
fail() { echo "FAIL: $*" >&2; exit 1; }
for f in x64/drivers/radovl_driver.sys x64/drivers/radovl_board.dll x64/drivers/radovl_driver_install.exe \
         i686-drivers/drivers/radovl_driver.sys i686-drivers/drivers/radovl_board.dll \
         i686-drivers/drivers/radovl_driver_install.exe \
         x64/radovl_driver_e2e.exe x64-sim/radovl_driver_e2e.exe i686/radovl_driver_e2e.exe i686-sim/radovl_driver_e2e.exe; do
  [ -f "$out/$f" ] || fail "$out/$f is not built"
done

began=$(date +%s)
. scripts/driver-prefix.sh
tmp=$wine_tmp

# Each run in a directory of its own, with its own copy of the host and the
# DLL: the scenarios write program files there, and the display-mode file
# beside the executable. Output goes to files (a pipe would wait for the
# whole Wine session). A real-driver run's log is kept per set-up, an
# in-process run's per display, where set-ups share it.
setup="" display=""
run() {  # log flavour scenario options...
  local log=$1 flavour=$2 scenario=$3 dir=${1%.log}
  shift 3
  mkdir -p "$dir"
  cp "$out/$flavour/radovl_driver_e2e.exe" "$out/$flavour/radovl.dll" "$dir/"
  wine_run 300 "$dir" radovl_driver_e2e.exe "Z:$(echo "$root/$scenario" | tr '/' '\\')" "$@" >"$log" 2>&1
}

compare() {  # real sim name scenario options...
  local real=$1 sim=$2 name=$3
  shift 3
  local driven=$tmp/$setup/$real/$name.log in_process=$tmp/$display/$sim/$name.log
  run "$driven" "$real" "$@" || { cat "$driven"; fail "$setup: $name: the host failed with the driver"; }
  [ -f "$in_process" ] || run "$in_process" "$sim" "$@" ||
    { cat "$in_process"; fail "$setup: $name: the host failed in process"; }
  diff -u "$in_process" "$driven" >"$tmp/$name.diff" ||
    { head -n 40 "$tmp/$name.diff"; fail "$setup: $name: the driver's log differs from the in-process one"; }
  # A scenario that states its monitors expects them: Wine without a
  # display shows one of 1024x768.
  if [ "$display" != one-monitor ] || ! grep -q '^monitor ' "$1"; then
    ! grep -q "(expected" "$driven" || { grep "(expected" "$driven"; fail "$setup: $name: an expectation failed"; }
  fi
  echo "$setup: $name: equal, $(grep -c '^  board' "$driven") requests, $(grep -c '^call' "$driven") calls"
}

# Program files stay small here: each request costs a round trip to the
# driver's process.
small="--program-bytes 64"
compare_scenarios() {  # real sim scenario...
  local real=$1 sim=$2 scenario
  shift 2
  for scenario in "$@"; do compare "$real" "$sim" "$(basename "$scenario" .scenario)" "$scenario" $small; done
}

e2e=tests/windows/e2e
scenarios=(examples/console.scenario examples/fallback.scenario "$e2e"/*.scenario)

echo "== Driver: a 64-bit prefix and the x86_64 software board driver, no display"
driver_prefix_start win64 "$out/x64/drivers"
display=one-monitor
setup=x64
compare_scenarios x64 x64-sim "${scenarios[@]}"

echo "== Driver: 64-bit read destinations"
# Stack above 4 GiB after start-up: reads go through the library's buffer
# below 4 GiB, and the board sees the same requests as in process.
compare x64 x64-sim high-memory "$e2e/windows.scenario" $small --high-memory after-init
# No memory below 4 GiB at all: the library refuses every read without a
# request (the host fails if one reaches the board) and does not crash.
run "$tmp/x64/x64/high-memory-all.log" x64 "$e2e/windows.scenario" $small --high-memory all ||
  { tail -n 20 "$tmp/x64/x64/high-memory-all.log"; fail "reads without a destination below 4 GiB"; }
echo "high-memory-all: $(grep -c '^call' "$tmp/x64/x64/high-memory-all.log") calls, no read reached the board"

echo "== Driver: the i686 DLL by Wine's 32-bit loader (a 32-bit console on 64-bit Windows)"
setup=i686-on-win64
compare_scenarios i686 i686-sim "${scenarios[@]}"
for scenario in "${scenarios[@]}"; do
  name=$(basename "$scenario" .scenario)
  diff -u "$tmp/$display/x64-sim/$name.log" "$tmp/$display/i686-sim/$name.log" >"$tmp/$name.diff" ||
    { head -n 40 "$tmp/$name.diff"; fail "$name: the i686 log differs from the x86_64 one"; }
done
echo "i686 and x86_64: equal logs in process for all ${#scenarios[@]} scenarios"
driver_prefix_remove

echo "== Driver: a 32-bit prefix (32-bit Windows) and the i686 driver, two monitors"
wine_two_monitors_start
# Wine takes the monitors when its session starts; should it start with
# only the first (as it did before scripts/wine.sh had the outputs probed),
# it starts again, and the two-monitor expectations fail if it never sees
# both.
for try in 1 2 3; do
  wine_prefix_start win32
  wine_run 60 "$tmp" "$root/$out/i686/radovl_driver_e2e.exe" --display >"$tmp/display.txt" 2>&1 || true
  [ "$(grep -c '^display: monitor' "$tmp/display.txt")" -ne 2 ] || break
  echo "Wine shows $(grep -c '^display: monitor' "$tmp/display.txt") monitors; starting again"
  [ "$try" -lt 3 ] || fail "Wine does not show the two monitors"
done
driver_install "$out/i686-drivers/drivers"
display=two-monitors
setup=i686-win32
compare_scenarios i686 i686-sim "${scenarios[@]}"
driver_prefix_remove
wine_prefix_stop
wine_two_monitors_stop

echo "Driver: all checks passed in $(( $(date +%s) - began )) s"
