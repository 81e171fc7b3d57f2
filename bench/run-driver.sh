#!/usr/bin/env bash
# Times the request path of radovl.dll under wine64, with the software
# board driver in a prefix of its own, against the simulated board in the
# process, and writes the table to build-windows/bench-driver.md (and
# prints it). Reported, not asserted.
#
#   bench/run-driver.sh [DRIVER_PROGRAM_BYTES]    default 65536
#
# Start-up with the two 1 MiB programs runs in process as it is; through
# the driver a request costs a round trip between processes, so start-up
# there loads programs of DRIVER_PROGRAM_BYTES and the 1 MiB time is the
# 1 MiB start-up's request count at the rate measured.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
driverBytes=${1:-65536}
out=build-windows
scripts/install-deps.sh >/dev/null

for flavour in x64 x64-sim; do
  platform=win32 targets="radovl_driver_bench radovl_driver radovl_driver_install"
  [ "$flavour" = x64-sim ] && platform=sim targets=radovl_driver_bench
  [ -f "$out/$flavour/CMakeCache.txt" ] ||
    cmake --no-warn-unused-cli -S . -B "$out/$flavour" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake \
      -DRADOVL_PLATFORM=$platform -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out/$flavour" -j "$(nproc)" --target $targets >/dev/null
done

. scripts/driver-prefix.sh
driver_prefix_start "$out" >/dev/null

bench() {  # flavour program-bytes
  mkdir -p "$driver_tmp/$1"
  (cd "$driver_tmp/$1" && timeout 3600 "$wine" "$root/$out/$1/radovl_driver_bench.exe" --program-bytes "$2" --seconds 5) \
    >"$driver_tmp/$1.txt" 2>&1 || { cat "$driver_tmp/$1.txt"; echo "FAIL: radovl_driver_bench ($1)" >&2; exit 1; }
}
load=$(cut -d' ' -f1 /proc/loadavg)
bench x64-sim $((1 << 20))
bench x64 "$driverBytes"
value() { sed -n "s/^$2 //p" "$driver_tmp/$1.txt"; }

python3 - "$load" "$driverBytes" \
  "$(value x64-sim call_requests_per_s)" "$(value x64 call_requests_per_s)" \
  "$(value x64-sim init_seconds)" "$(value x64-sim init_requests)" \
  "$(value x64 init_seconds)" "$(value x64 init_requests)" "$(value x64 init_requests_per_s)" \
  <<'PY' | tee "$out/bench-driver.md"
import sys
load, small, simRate, drvRate, simInit, simInitReq, drvInit, drvInitReq, drvInitRate = sys.argv[1:]
simRate, drvRate, simInit, drvInit, drvInitRate = map(float, (simRate, drvRate, simInit, drvInit, drvInitRate))
simInitReq, drvInitReq, small = int(simInitReq), int(drvInitReq), int(small)
print("| measure | in process (simulated-board DLL) | real path (DLL -> DeviceIoControl -> Wine -> driver) | in process / real |")
print("|---|---|---|---|")
print(f"| SetPPIColor, requests/s | {simRate:,.0f} | {drvRate:,.0f} | {simRate / drvRate:,.0f} |")
estimate = simInitReq / drvInitRate
print(f"| KT_RDSP_Init, two 1 MiB programs ({simInitReq:,} requests) | {simInit:.3f} s | about {estimate:,.0f} s "
      f"(at the rate of a start-up with {small // 1024} KiB programs: {drvInitReq:,} requests in {drvInit:.1f} s, "
      f"{drvInitRate:,.0f} requests/s) | {estimate / simInit:,.0f} |")
print()
print(f"Wall-clock time under wine64, one run each; load average {load} at the start "
      f"(the driver's requests cross three processes, so a busy machine slows them most).")
PY
driver_prefix_remove "$out" >/dev/null
