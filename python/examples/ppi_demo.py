#!/usr/bin/env python3
"""Start-up and a PPI window on the simulated board, with the board's
registers read back and decoded.

    PYTHONPATH=build/python python3 python/examples/ppi_demo.py
    python3 ppi_demo.py --library /usr/local/lib/libradovl.so.0 --check

The session runs in a scratch directory that holds a minimal display program
(out/idbout/testcmp.out), as a console's directory would. --check compares
every decoded value with what the board must hold and exits 1 on a mismatch.
"""
import argparse
import ctypes
import os
import sys
import tempfile

import radovl
from radovl import coff

BOARD = 0          # start-up keeps board 0 when its scratch register works
CHANNEL = 1
VIDEO_DSP = CHANNEL - 1

# Main DSP addresses (channel 1).
DISPLAY_CONTROL = 0xB0203000
TV_KEY_CONTROL = (0xB0203010, 0xB0203014)
PPI_KEY_CONTROL = 0xB0203018
AR_KEY_CONTROL = (0xB0203020, 0xB0203024)
PPI_START = 0xB0201008
PPI_END = 0xB020100C
PPI_COLOUR_LUT = 0xB0301000

# Video DSP addresses.
CHANNEL_CONTROL = 0xB0080000
PPI_CONTROL = 0xB0080100
PPI_DSP_START = 0xB0080104
PPI_SIZE = 0xB0080108
PPI_GATE = 0xB0080114
PPI_CENTRE = 0xB0080118
PPI_SCALE = 0xB0080120
PPI_RANGE = 0xB0080124
PPI_HEADING = 0xB0080128
MINI_GATE_COPY = 0xB0080214
MINI_SCALE_COPY = 0xB0080220
DISTANCE_POINTER = 0x80000000


class Checker:
    def __init__(self, enabled):
        self.enabled = enabled
        self.passed = 0
        self.failed = []

    def expect(self, what, got, expected):
        if not self.enabled:
            return
        if got == expected:
            self.passed += 1
        else:
            self.failed.append(f"{what}: got {hex(got)}, expected {hex(expected)}")


def flush_c_output():
    """Start-up prints through the C library; keep its lines in order with ours."""
    sys.stdout.flush()
    if os.name == "posix":
        ctypes.CDLL(None).fflush(None)


def position(word, column_offset):
    """(column, row) of a position word, its column offset taken off."""
    return (word & 0xFFFF) - column_offset, word >> 16


def call(lib, name, *args):
    status = getattr(lib, name)(*args)
    try:
        text = radovl.Status(status).name
    except ValueError:
        text = "not a status"
    shown = ", ".join(f"{a:g}" if isinstance(a, float) else (hex(a) if a > 0xFFFF else str(a)) for a in args)
    print(f"  {name}({shown}) = {status} ({text})")
    return status


def start_up(lib, check):
    main = lambda address: lib.RadovlSim_PeekMain(BOARD, address)  # noqa: E731
    video = lambda dsp, address: lib.RadovlSim_PeekVideo(BOARD, dsp, address)  # noqa: E731

    print("Start-up")
    flush_c_output()
    status = lib.KT_RDSP_Init()
    flush_c_output()
    print(f"  KT_RDSP_Init() = {status} ({radovl.Status(status).name})")
    check.expect("KT_RDSP_Init", status, 1)
    started = [lib.RadovlSim_DspStarted(BOARD, target) for target in (0, 1, 2)]
    print(f"  DSPs started on board {BOARD}: main {started[0]}, video 1 {started[1]}, video 2 {started[2]}")
    # The normal start loads and starts the video DSPs only.
    check.expect("video DSP 1 started", started[1], 1)
    check.expect("video DSP 2 started", started[2], 1)

    for channel in (1, 2):
        dsp = channel - 1
        control = video(dsp, CHANNEL_CONTROL)
        rd_p2p = control & 0x148
        tv_key = main(TV_KEY_CONTROL[dsp])
        ar_key = main(AR_KEY_CONTROL[dsp])
        colours = [name for bit, name in ((26, "red"), (25, "green"), (24, "blue")) if ar_key >> bit & 1]
        print(f"  channel {channel}: ChannelControl {control:#010x} (TV mode {control & 3:02b}, "
              f"RD P2p {'on' if rd_p2p == 0x148 else 'off'}), TV key {tv_key & 0xFFFFFF:#08x}, "
              f"A/R key {ar_key & 0xFFFFFF:#08x}, A/R colour {'+'.join(colours) or 'none'}")
        check.expect(f"ChannelControl channel {channel}", control, 0x0000014B)
        check.expect(f"PpiControl channel {channel}", video(dsp, PPI_CONTROL), 0x00000001)
        check.expect(f"TvKeyControl channel {channel}", tv_key, 0x00FF00FF)
        check.expect(f"ArKeyControl channel {channel}", ar_key, 0x02FF00FF if channel == 1 else 0x00FF00FF)
    pointer = video(VIDEO_DSP, DISTANCE_POINTER)
    print(f"  display program: distance variable at {pointer:#010x}")
    check.expect("DistancePointer", pointer, coff.DISTANCE_VARIABLE)


def row(label, decoded, registers):
    print(f"    {label:<14}{decoded:<32}{registers}")


def ppi(lib, check):
    main = lambda address: lib.RadovlSim_PeekMain(BOARD, address)  # noqa: E731
    video = lambda address: lib.RadovlSim_PeekVideo(BOARD, VIDEO_DSP, address)  # noqa: E731

    print(f"PPI on channel {CHANNEL}")
    lib.RadovlSim_TraceClear()
    status = call(lib, "KT_RDSP_OpenPPI", CHANNEL, 100, 50, 400, 300)
    requests = lib.trace()
    print(f"  ... {len(requests)} driver requests, the last: {requests[-1] if requests else None}")
    check.expect("KT_RDSP_OpenPPI", status, 1)
    check.expect("KT_RDSP_SetPPIDist", call(lib, "KT_RDSP_SetPPIDist", CHANNEL, 100), 1)
    check.expect("KT_RDSP_SetPPIShipDir", call(lib, "KT_RDSP_SetPPIShipDir", CHANNEL, 90.0), 1)
    check.expect("KT_RDSP_SetPPIColor", call(lib, "KT_RDSP_SetPPIColor", CHANNEL, 0xFF800000), 1)
    check.expect("KT_RDSP_SetPPIOnTop", call(lib, "KT_RDSP_SetPPIOnTop", CHANNEL, 1), 1)

    size = video(PPI_SIZE)
    centre = video(PPI_CENTRE)
    scale = video(PPI_SCALE)
    gate = video(PPI_GATE)
    start, dsp_start, end = main(PPI_START), video(PPI_DSP_START), main(PPI_END)
    heading = video(PPI_HEADING) & 0xFFFF
    display = main(DISPLAY_CONTROL)
    control = video(CHANNEL_CONTROL)
    key = main(PPI_KEY_CONTROL)
    distance = video(video(DISTANCE_POINTER))
    distance_scale = (scale >> 16) | ((gate >> 28) << 16)
    lut = [main(PPI_COLOUR_LUT + 4 * i) for i in (0, 128, 255)]

    print("  Board state (pixels relative to the monitor)")
    row("size", "%d x %d" % (size & 0xFFFF, size >> 16), f"PpiSize {size:#010x}")
    row("first pixel", "column %d, row %d" % position(start, 58),
        f"PpiStart {start:#010x}, PpiDspStart {dsp_start:#010x}")
    row("last pixel", "column %d, row %d" % position(end, 58), f"PpiEnd {end:#010x}")
    row("sweep centre", "column %d, row %d" % position(centre, 16), f"PpiCentre {centre:#010x}")
    row("range", f"{video(PPI_RANGE) & 0x7FF}, step byte {scale >> 8 & 0xFF}",
        f"PpiRange {video(PPI_RANGE):#010x}, PpiScale {scale:#010x}")
    row("distance", f"{distance}, scale {distance_scale}", f"*{video(DISTANCE_POINTER):#010x}, PpiGate {gate:#010x}")
    row("ship heading", f"{heading * 360 / 4096:g} degrees", f"PpiHeading {video(PPI_HEADING):#010x}")
    row("colour table", ", ".join(f"{v:#08x}" for v in lut), "PpiColourLut entries 0, 128, 255")
    row("shown", f"PPI {display >> 8 & 1}, on top {display >> 24 & 1}",
        f"DisplayControl {display:#010x}, ChannelControl {control:#06x}")
    row("output", f"second output {key >> 28 & 1}, on top {key >> 26 & 1}", f"PpiKeyControl {key:#010x}")

    # The 400 x 300 window at (100, 50) on the primary monitor, centred.
    check.expect("PpiSize", size, 0x012C0190)
    check.expect("PpiCentre", centre, (200 << 16) | 316)
    check.expect("PpiRange", video(PPI_RANGE) & 0x7FF, 150)
    check.expect("step byte", scale >> 8 & 0xFF, 53)
    check.expect("PpiStart", start, (50 << 16) | 158)
    check.expect("PpiDspStart", dsp_start, (50 << 16) | 116)
    check.expect("PpiEnd", end, (349 << 16) | 557)
    check.expect("DisplayControl PPI and priority bits", display & 0x01000100, 0x01000100)
    check.expect("ChannelControl", control, 0x0000215B)
    check.expect("PpiKeyControl output select and on top", key & 0x14000000, 0x04000000)
    # SetPPIDist(1, 100) with range 150: 100 * 500 / 150 = 333.
    check.expect("distance variable", distance, 100)
    check.expect("distance scale", distance_scale, 333)
    check.expect("Mini copy of PpiScale", video(MINI_SCALE_COPY), scale)
    check.expect("Mini copy of PpiGate", video(MINI_GATE_COPY), gate)
    check.expect("PpiHeading", heading, 1024)
    for index, value, expected in zip((0, 128, 255), lut, (0x00000000, 0x00804000, 0x00FF8000)):
        check.expect(f"PpiColourLut[{index}]", value, expected)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--library", help="path of the radovl library (default: radovl.load's search)")
    parser.add_argument("--check", action="store_true", help="check the decoded values, exit 1 on a mismatch")
    args = parser.parse_args()

    lib = radovl.load(args.library)
    print(f"radovl {lib.version or radovl.__version__ or '(unknown version)'} from {lib.path}")
    check = Checker(args.check)
    with tempfile.TemporaryDirectory(prefix="radovl-demo-") as workspace:
        os.chdir(workspace)
        coff.write_display_programs(workspace)
        lib.RadovlSim_Reset()
        # The display-mode file is looked for beside the executable: none here.
        lib.RadovlSim_SetExecutablePath(os.path.join(workspace, "console").encode())
        start_up(lib, check)
        ppi(lib, check)
        lib.RadovlSim_Reset()
        os.chdir(os.path.dirname(workspace))

    if not args.check:
        return 0
    for failure in check.failed:
        print("MISMATCH " + failure)
    print(f"ppi_demo checks: {check.passed} matched, {len(check.failed)} mismatched")
    return 1 if check.failed else 0


if __name__ == "__main__":
    sys.exit(main())
