#!/usr/bin/env python3
"""Loads the library as a console host would (ctypes, every argument in a
32-bit slot) and checks the gate and how narrow arguments are read from
their slots."""
import ctypes
import os
import shutil
import sys
import tempfile

I32, U32, F32 = ctypes.c_int32, ctypes.c_uint32, ctypes.c_float

# The fifty exports with the C type of each slot.
EXPORTS = {
    "KT_RDSP_Init": [],
    "KT_RDSP_OpenOverlay": [I32, I32],
    "KT_RDSP_SetScreenProp": [I32, I32],
    "KT_RDSP_SetPPIVideoCombined": [I32],
    "SetTVP2pMode": [I32, I32],
    "SetRDP2pMode": [I32, I32],
    "KT_RDSP_OpenPPI": [I32] * 5,
    "KT_RDSP_ClosePPI": [I32],
    "KT_RDSP_SetPPIXY": [I32] * 3,
    "KT_RDSP_SetPPIWH": [I32] * 3,
    "KT_RDSP_SetPPIMode": [I32] * 2,
    "KT_RDSP_SetPPICenter": [I32] * 3,
    "KT_RDSP_SetPPIShipDir": [I32, F32],
    "KT_RDSP_SetPPIColor": [I32, U32],
    "KT_RDSP_SetPPILineColor": [I32, U32],
    "KT_RDSP_SetPPIScan": [I32, I32],
    "KT_RDSP_FrostPPI": [I32, I32],
    "KT_RDSP_SetPPIDist": [I32, I32],
    "KT_RDSP_SetPPIGate": [I32, I32],
    "KT_RDSP_SetPPITail": [I32, I32],
    "KT_RDSP_SetPPISwitch": [I32, I32],
    "KT_RDSP_SetPPILineTail": [I32, U32],
    "KT_RDSP_SetPPIOnTop": [I32, I32],
    "KT_RDSP_OpenMiniWin": [I32] * 5,
    "KT_RDSP_CloseMiniWin": [I32],
    "KT_RDSP_SetMiniWinXY": [I32] * 3,
    "KT_RDSP_SetMiniWinWH": [I32] * 3,
    "KT_RDSP_SetMiniWinMode": [I32, I32],
    "KT_RDSP_SetMiniWinColor": [I32, U32],
    "KT_RDSP_SetMiniWinDistDir": [I32, I32, F32],
    "KT_RDSP_SetMiniWinScale": [I32, I32],
    "KT_RDSP_OpenAr": [I32] * 5,
    "KT_RDSP_CloseAr": [I32],
    "KT_RDSP_SetArXY": [I32] * 3,
    "KT_RDSP_SetArWH": [I32] * 3,
    "KT_RDSP_SetArGate": [I32, I32],
    "KT_RDSP_SetArDist": [I32, I32],
    "KT_RDSP_SetArColor": [I32, U32],
    "KT_RDSP_SetArColorKey": [I32, U32],
    "KT_RDSP_SetAROnTop": [I32, I32],
    "KT_RDSP_OpenTV": [I32] * 5,
    "KT_RDSP_CloseTV": [I32],
    "KT_RDSP_SetTVXY": [I32] * 3,
    "KT_RDSP_SetTVWH": [I32] * 3,
    "KT_RDSP_FrostTV": [I32, I32],
    "KT_RDSP_SetTVBright": [I32, I32],
    "KT_RDSP_SetTVColor": [I32, I32],
    "KT_RDSP_SetTVContrast": [I32, I32],
    "KT_RDSP_SetTVOnTop": [I32, I32],
    "KT_RDSP_SetTVColorKey": [I32, U32],
}

failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def main():
    lib = ctypes.CDLL(sys.argv[1])
    assert len(EXPORTS) == 50
    for name, args in EXPORTS.items():
        fn = getattr(lib, name)
        fn.argtypes = args
        fn.restype = I32
    lib.RadovlSim_Reset.restype = None
    lib.RadovlSim_SetExecutablePath.argtypes = [ctypes.c_char_p]
    lib.RadovlSim_PeekMain.argtypes = [I32, U32]
    lib.RadovlSim_PeekMain.restype = U32
    lib.RadovlSim_PeekVideo.argtypes = [I32, I32, U32]
    lib.RadovlSim_PeekVideo.restype = U32
    lib.RadovlSim_TraceCount.restype = I32

    work = tempfile.mkdtemp(prefix="radovl-ctypes-")
    previous = os.getcwd()
    os.chdir(work)
    lib.RadovlSim_Reset()
    lib.RadovlSim_SetExecutablePath(os.path.join(work, "console").encode())

    # Before start-up every gated export refuses, whatever its arguments.
    for name, args in EXPORTS.items():
        if name in ("KT_RDSP_Init", "KT_RDSP_SetScreenProp"):
            continue
        values = [1.0 if t is F32 else 1 for t in args]
        check(f"{name} before start-up", getattr(lib, name)(*values), -2)
    check("requests before start-up", lib.RadovlSim_TraceCount(), 0)
    check("trace capacity at load", lib.RadovlSim_TraceCapacity(), 1000000)

    check("KT_RDSP_Init", lib.KT_RDSP_Init(), 1)

    # Narrow arguments come from the low bits of their slot.
    check("channel 0x101", lib.KT_RDSP_OpenOverlay(0x101, 1), 1)
    check("PpiKeyControl 1", lib.RadovlSim_PeekMain(0, 0xB0203018), 0x02000000)
    check("channel 0x100", lib.KT_RDSP_OpenOverlay(0x100, 1), -1)
    check("channel 0xFFFFFF02", lib.KT_RDSP_OpenOverlay(-254, 1), 1)
    check("PpiKeyControl 2", lib.RadovlSim_PeekMain(0, 0xB020301C), 0x02000000)
    check("TV mode 0x100 is 0", lib.SetTVP2pMode(0x201, 0x100), 1)
    check("ChannelControl 1", lib.RadovlSim_PeekVideo(0, 0, 0xB0080000) & 3, 1)
    check("which 0x100 is 0", lib.KT_RDSP_SetScreenProp(0x100, 0x302), 1)
    check("DisplayControl", lib.RadovlSim_PeekMain(0, 0xB0203000) & 3, 2)
    check("on is a whole slot", lib.KT_RDSP_OpenOverlay(1, 0x101), -1)

    lib.RadovlSim_Reset()
    os.chdir(previous)
    shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("\n".join(failures))
        return 1
    print("ctypes host: 50 exports, gate and slot narrowing as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
