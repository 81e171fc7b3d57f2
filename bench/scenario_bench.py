#!/usr/bin/env python3
"""radovl-sim run on a 50 MB scenario (about 1.9 million steps: screen
settings, calls refused before start-up, peeks, comments): the run's time
and its peak resident memory. Prints a Markdown table; figures, not pass or
fail.

    scenario_bench.py --tool PATH/radovl-sim [--dir DIR]
"""
import argparse
import os
import subprocess
import tempfile
import time

LINES = ["screen 0 0 1280 1024", "KT_RDSP_ClosePPI 1", "peek main DisplayControl", "# a comment"]
TARGET_BYTES = 50_000_000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--dir")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(dir=args.dir) as folder:
        path = os.path.join(folder, "big.scenario")
        block = "".join(line + "\n" for line in LINES)
        with open(path, "w") as f:
            for _ in range(TARGET_BYTES // len(block) + 1):
                f.write(block)
        size = os.path.getsize(path)
        start = time.monotonic()
        # The run's own peak (wait4), not one counting what this process held
        # before the program started.
        run = subprocess.Popen([args.tool, "run", "--quiet", path], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(run.pid, 0)
        seconds = time.monotonic() - start
        peak = usage.ru_maxrss / 1024
    load = os.getloadavg()[0]
    print("| radovl-sim run, %s-byte scenario | figure | target |" % format(size, ","))
    print("|---|---|---|")
    print("| exit status | %d | 0 |" % os.waitstatus_to_exitcode(status))
    print("| time | %.1f s | - |" % seconds)
    print("| peak resident memory | %.0f MiB | bounded: the text and one step |" % peak)
    print("\nLoad average (1 min) during the run: %.2f" % load)


if __name__ == "__main__":
    main()
