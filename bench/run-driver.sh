#!/usr/bin/env bash
# Times the request path of radovl.dll under Wine, with the software board
# driver in a prefix of its own, against the simulated board in the
# process, and writes the tables to build-windows/bench-driver.md (and
# prints them). Reported, not asserted. Three set-ups through the driver:
# the x86_64 DLL in a 64-bit prefix, the i686 DLL by Wine's 32-bit loader
# in the same prefix (a 32-bit console on 64-bit Windows), and the i686
# DLL in a 32-bit prefix with the i686 driver (32-bit Windows). Each
# rate is the median of RUNS runs, with the load average at each.
#
#   bench/run-driver.sh [DRIVER_PROGRAM_BYTES [RUNS [SECONDS]]]    default 65536 5 3
#
# Start-up with the two 1 MiB programs runs in process as it is; through
# the driver a request costs a round trip between processes, so start-up
# there loads programs of DRIVER_PROGRAM_BYTES and the 1 MiB time is the
# 1 MiB start-up's request count at the rate measured. The repeated runs
# time SetPPIColor for SECONDS after a start-up with 64-byte programs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
driverBytes=${1:-65536}
runs=${2:-5}
seconds=${3:-3}
out=build-windows
scripts/install-deps.sh >/dev/null

build() {  # dir toolchain platform targets...
  local dir=$1 toolchain=$2 platform=$3
  shift 3
  [ -f "$out/$dir/CMakeCache.txt" ] ||
    cmake --no-warn-unused-cli -S . -B "$out/$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" \
      -DRADOVL_PLATFORM="$platform" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out/$dir" -j "$(nproc)" --target "$@" >/dev/null
}
build x64 mingw-x86_64 win32 radovl_driver_bench radovl_driver radovl_driver_install
build x64-sim mingw-x86_64 sim radovl_driver_bench
build i686 mingw-i686 win32 radovl_driver_bench
build i686-drivers mingw-i686-posix win32 radovl_driver radovl_driver_install

. scripts/driver-prefix.sh

bench() {  # name flavour program-bytes seconds
  mkdir -p "$wine_tmp/$1"
  cut -d' ' -f1 /proc/loadavg >"$wine_tmp/$1.load"
  wine_run 3600 "$wine_tmp/$1" "$root/$out/$2/radovl_driver_bench.exe" --program-bytes "$3" --seconds "$4" \
    >"$wine_tmp/$1.txt" 2>&1 || { cat "$wine_tmp/$1.txt"; echo "FAIL: radovl_driver_bench ($1)" >&2; exit 1; }
}
repeat() {  # set-up flavour
  for run in $(seq "$runs"); do bench "$1-$run" "$2" 64 "$seconds"; done
}

driver_prefix_start win64 "$out/x64/drivers" >/dev/null
bench x64-sim x64-sim $((1 << 20)) 5
bench x64 x64 "$driverBytes" 5
repeat x64 x64
repeat i686-on-win64 i686
driver_prefix_remove >/dev/null
driver_prefix_start win32 "$out/i686-drivers/drivers" >/dev/null
repeat i686-win32 i686
driver_prefix_remove >/dev/null

python3 - "$wine_tmp" "$driverBytes" "$runs" "$seconds" <<'PY' | tee "$out/bench-driver.md"
import statistics, sys
tmp, small, runs, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
def values(name):
    lines = open(f"{tmp}/{name}.txt").read().split("\n")
    found = dict(line.split(" ", 1) for line in lines if " " in line)
    found["load"] = open(f"{tmp}/{name}.load").read().strip()
    return found
sim, drv = values("x64-sim"), values("x64")
simRate, drvInitRate = float(sim["call_requests_per_s"]), float(drv["init_requests_per_s"])
simInit, simInitReq = float(sim["init_seconds"]), int(sim["init_requests"])
drvInit, drvInitReq = float(drv["init_seconds"]), int(drv["init_requests"])
print("| set-up (radovl.dll -> DeviceIoControl -> Wine -> driver) | SetPPIColor, requests/s "
      f"(median of {runs} runs of {seconds} s) | per request | each run: requests/s at load average |")
print("|---|---|---|---|")
medians = {}
for name, text in (("x64", "x86_64 DLL, 64-bit prefix, x86_64 driver"),
                   ("i686-on-win64", "i686 DLL by the 32-bit loader, 64-bit prefix, x86_64 driver (32-bit console on 64-bit Windows)"),
                   ("i686-win32", "i686 DLL, 32-bit prefix, i686 driver (32-bit Windows)")):
    each = [values(f"{name}-{run}") for run in range(1, runs + 1)]
    rates = [float(v["call_requests_per_s"]) for v in each]
    medians[name] = statistics.median(rates)
    shown = ", ".join(f"{float(v['call_requests_per_s']):,.0f} at {v['load']}" for v in each)
    print(f"| {text} | {medians[name]:,.0f} | {1000 / medians[name]:.3f} ms | {shown} |")
print()
print("| measure | in process (x86_64 simulated-board DLL) | real path, x86_64 | in process / real |")
print("|---|---|---|---|")
print(f"| SetPPIColor, requests/s | {simRate:,.0f} (load {sim['load']}) | {medians['x64']:,.0f} | {simRate / medians['x64']:,.0f} |")
estimate = simInitReq / drvInitRate
print(f"| KT_RDSP_Init, two 1 MiB programs ({simInitReq:,} requests) | {simInit:.3f} s | about {estimate:,.0f} s "
      f"(at the rate of a start-up with {small // 1024} KiB programs: {drvInitReq:,} requests in {drvInit:.1f} s, "
      f"{drvInitRate:,.0f} requests/s, load {drv['load']}) | {estimate / simInit:,.0f} |")
print()
print("Wall-clock time under Wine; the load average (one minute) is taken as each run starts "
      "(the driver's requests cross three processes, so a busy machine slows them most).")
PY
