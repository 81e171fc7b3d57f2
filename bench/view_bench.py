#!/usr/bin/env python3
"""radovl-sim view on a capture of a start-up with 1 MiB programs and
20,000 small calls after it (about 3.4 million requests, 165 MB): time to
the server's address (the index built) and to the first screen (the calls,
call 1 and its picture), a call's details and picture (not drawn before) at
21 calls spread over the capture (the slowest and the median), a call
appended under --follow, and the server's peak memory. Prints a Markdown
table; figures, not pass or fail.

    view_bench.py --tool PATH/radovl-sim [--dir DIR]
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
import urllib.request

SCENARIO = """make-programs 1048576
monitor 0 0 1280 1024
monitor 1280 0 2560 1024
screen 0 0 2560 1024
KT_RDSP_Init
KT_RDSP_SetPPIColor 1 0x20FF6000
KT_RDSP_OpenPPI 1 60 60 860 860
KT_RDSP_SetPPIShipDir 1 35.0
KT_RDSP_OpenMiniWin 1 940 60 300 300
KT_RDSP_OpenAr 1 940 420 300 200
"""


SMALL_CALLS = 20000
JUMPS = 21


def timed(url):
    start = time.monotonic()
    with urllib.request.urlopen(url, timeout=120) as r:
        r.read()
    return (time.monotonic() - start) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--dir")
    args = parser.parse_args()
    work = args.dir or tempfile.mkdtemp(prefix="radovl-view-bench-")
    os.makedirs(work, exist_ok=True)
    scenario = os.path.join(work, "startup.scenario")
    capture = os.path.join(work, "startup.cap")
    with open(scenario, "w") as f:
        f.write(SCENARIO)
        # Small calls after the start-up: boards are saved every so many
        # requests, so some calls lie far from a save.
        f.writelines(f"KT_RDSP_SetPPIShipDir 1 {i % 360}.5\n" for i in range(SMALL_CALLS))
    env = dict(os.environ, RADOVL_CAPTURE=capture)
    subprocess.run([args.tool, "run", scenario, "--quiet", "--workdir", work], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    environment = dict(os.environ)
    environment.pop("RADOVL_CAPTURE", None)
    rows = []
    start = time.monotonic()
    server = subprocess.Popen([args.tool, "view", "--follow", capture], stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, env=environment)
    url = server.stdout.readline().strip()
    rows.append(("view: address printed (capture indexed)", (time.monotonic() - start) * 1000, "ms"))
    calls = json.load(urllib.request.urlopen(url + "api/calls"))
    total = calls["total"]
    requests = sum(c["requests"] for c in calls["calls"])
    for path in ("api/calls", "api/call/1", "api/svg/1"):
        timed(url + path)
    rows.append(("view: first screen (from the start: address, calls, call 1, its picture)",
                 (time.monotonic() - start) * 1000, "ms"))
    # Pictures not drawn yet (the server keeps those it drew), at calls
    # spread over the capture: the slowest and the median.
    jumps = sorted({2 + (total - 2) * i // (JUMPS - 1) for i in range(JUMPS)}, reverse=True)
    details = sorted(timed(url + f"api/call/{n}") for n in jumps)
    pictures = sorted(timed(url + f"api/svg/{n}") for n in jumps)
    for what, times in (("details", details), ("picture", pictures)):
        rows.append((f"view: jump to a call, {what}: slowest of {len(jumps)} spread over the capture", times[-1], "ms"))
        rows.append((f"view: jump to a call, {what}: median", times[len(times) // 2], "ms"))
    # --follow: one more call appended (the last call's records again).
    with open(capture, "rb") as f:
        data = f.read()
    last = [o for o in os.popen(f"{args.tool} decode --format=jsonl {capture} | grep '\"kind\":\"call\"'")][-1]
    offset = json.loads(last)["offset"]
    events = urllib.request.urlopen(url + "api/events", timeout=30)
    events.readline(), events.readline()  # the current state
    start = time.monotonic()
    with open(capture, "ab") as f:
        f.write(data[offset:])
    while True:
        line = events.readline().decode()
        if line.startswith("data:") and json.loads(line[5:])["total"] == total + 1:
            break
    rows.append(("view --follow: a call appended shown in the page's event stream",
                 (time.monotonic() - start) * 1000, "ms"))
    with open(f"/proc/{server.pid}/status") as f:
        peak = next(int(l.split()[1]) for l in f if l.startswith("VmHWM"))
    rows.append(("view: peak memory", peak / 1024, "MiB"))
    server.send_signal(signal.SIGINT)
    server.wait(timeout=30)
    print(f"| radovl-sim view, {os.path.getsize(capture) / 1e6:.0f} MB capture, {requests:,} requests, "
          f"{total} calls; load average {os.getloadavg()[0]:.2f} | | |")
    print("|---|---:|---|")
    for name, value, unit in rows:
        print(f"| {name} | {value:.0f} | {unit} |")
    if not args.dir:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
