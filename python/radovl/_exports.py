"""The library's C functions and the ctypes type of each 32-bit slot.

Every argument of an export travels in its own 32-bit slot. The library reads
int8, int16 and uint8 parameters from the low bits of a signed 32-bit slot,
so all of those are declared c_int32 here: Python passes the whole slot and
the library narrows it, exactly as a console does. uint32 parameters (colours,
keys, line tail) are c_uint32 and angles c_float.
"""
import ctypes

I32 = ctypes.c_int32
U32 = ctypes.c_uint32
U64 = ctypes.c_uint64
F32 = ctypes.c_float


class RequestStruct(ctypes.Structure):
    """RadovlSimRequest of radovl/sim.h: one driver request of the trace."""

    _fields_ = [
        ("board", I32),
        ("code", U32),
        ("function", U32),
        ("space", U32),
        ("offset", U32),
        ("data", U32),
        ("count", U32),
        ("status", I32),
        ("value", U32),
    ]


# RadovlSimObserver: called with each request that reaches the simulated driver.
OBSERVER = ctypes.CFUNCTYPE(None, ctypes.POINTER(RequestStruct), ctypes.c_void_p)
# RadovlSimReadSource: may answer a read in the board's place.
READ_SOURCE = ctypes.CFUNCTYPE(I32, ctypes.POINTER(RequestStruct), ctypes.POINTER(U32), ctypes.c_void_p)
ANSWER_SOURCE = ctypes.CFUNCTYPE(I32, ctypes.POINTER(RequestStruct), ctypes.POINTER(I32), ctypes.c_void_p)


# name: (restype, [argtypes]); every export returns an int32 status.
EXPORTS = {
    "KT_RDSP_Init": (I32, []),
    "KT_RDSP_OpenOverlay": (I32, [I32, I32]),
    "KT_RDSP_SetScreenProp": (I32, [I32, I32]),
    "KT_RDSP_SetPPIVideoCombined": (I32, [I32]),
    "SetTVP2pMode": (I32, [I32, I32]),
    "SetRDP2pMode": (I32, [I32, I32]),
    "KT_RDSP_OpenPPI": (I32, [I32, I32, I32, I32, I32]),
    "KT_RDSP_ClosePPI": (I32, [I32]),
    "KT_RDSP_SetPPIXY": (I32, [I32, I32, I32]),
    "KT_RDSP_SetPPIWH": (I32, [I32, I32, I32]),
    "KT_RDSP_SetPPIMode": (I32, [I32, I32]),
    "KT_RDSP_SetPPICenter": (I32, [I32, I32, I32]),
    "KT_RDSP_SetPPIShipDir": (I32, [I32, F32]),
    "KT_RDSP_SetPPIColor": (I32, [I32, U32]),
    "KT_RDSP_SetPPILineColor": (I32, [I32, U32]),
    "KT_RDSP_SetPPIScan": (I32, [I32, I32]),
    "KT_RDSP_FrostPPI": (I32, [I32, I32]),
    "KT_RDSP_SetPPIDist": (I32, [I32, I32]),
    "KT_RDSP_SetPPIGate": (I32, [I32, I32]),
    "KT_RDSP_SetPPITail": (I32, [I32, I32]),
    "KT_RDSP_SetPPISwitch": (I32, [I32, I32]),
    "KT_RDSP_SetPPILineTail": (I32, [I32, U32]),
    "KT_RDSP_SetPPIOnTop": (I32, [I32, I32]),
    "KT_RDSP_OpenMiniWin": (I32, [I32, I32, I32, I32, I32]),
    "KT_RDSP_CloseMiniWin": (I32, [I32]),
    "KT_RDSP_SetMiniWinXY": (I32, [I32, I32, I32]),
    "KT_RDSP_SetMiniWinWH": (I32, [I32, I32, I32]),
    "KT_RDSP_SetMiniWinMode": (I32, [I32, I32]),
    "KT_RDSP_SetMiniWinColor": (I32, [I32, U32]),
    "KT_RDSP_SetMiniWinDistDir": (I32, [I32, I32, F32]),
    "KT_RDSP_SetMiniWinScale": (I32, [I32, I32]),
    "KT_RDSP_OpenAr": (I32, [I32, I32, I32, I32, I32]),
    "KT_RDSP_CloseAr": (I32, [I32]),
    "KT_RDSP_SetArXY": (I32, [I32, I32, I32]),
    "KT_RDSP_SetArWH": (I32, [I32, I32, I32]),
    "KT_RDSP_SetArGate": (I32, [I32, I32]),
    "KT_RDSP_SetArDist": (I32, [I32, I32]),
    "KT_RDSP_SetArColor": (I32, [I32, U32]),
    "KT_RDSP_SetArColorKey": (I32, [I32, U32]),
    "KT_RDSP_SetAROnTop": (I32, [I32, I32]),
    "KT_RDSP_OpenTV": (I32, [I32, I32, I32, I32, I32]),
    "KT_RDSP_CloseTV": (I32, [I32]),
    "KT_RDSP_SetTVXY": (I32, [I32, I32, I32]),
    "KT_RDSP_SetTVWH": (I32, [I32, I32, I32]),
    "KT_RDSP_FrostTV": (I32, [I32, I32]),
    "KT_RDSP_SetTVBright": (I32, [I32, I32]),
    "KT_RDSP_SetTVColor": (I32, [I32, I32]),
    "KT_RDSP_SetTVContrast": (I32, [I32, I32]),
    "KT_RDSP_SetTVOnTop": (I32, [I32, I32]),
    "KT_RDSP_SetTVColorKey": (I32, [I32, U32]),
}

# The simulated board's control API (builds with the simulator only).
SIMULATOR = {
    "RadovlSim_Reset": (None, []),
    "RadovlSim_SetScreen": (None, [I32, I32, I32, I32]),
    "RadovlSim_ClearMonitors": (None, []),
    "RadovlSim_AddMonitor": (None, [I32, I32, I32, I32]),
    "RadovlSim_SetExecutablePath": (None, [ctypes.c_char_p]),
    "RadovlSim_SetBoardPresent": (None, [I32, I32]),
    "RadovlSim_SetScratchFault": (None, [I32, I32]),
    "RadovlSim_SetI2cBusyReads": (None, [I32]),
    "RadovlSim_FailRequests": (None, [I32, I32, I32]),
    "RadovlSim_SetWindowQueryAnswer": (None, [I32, U32, U32]),
    "RadovlSim_PeekMain": (U32, [I32, U32]),
    "RadovlSim_PokeMain": (None, [I32, U32, U32]),
    "RadovlSim_PeekVideo": (U32, [I32, I32, U32]),
    "RadovlSim_PokeVideo": (None, [I32, I32, U32, U32]),
    "RadovlSim_PeekPci": (U32, [I32, U32]),
    "RadovlSim_PeekDecoder": (I32, [I32, I32, I32]),
    "RadovlSim_DspStarted": (I32, [I32, I32]),
    "RadovlSim_SleptMs": (U32, []),
    "RadovlSim_TraceClear": (None, []),
    "RadovlSim_TraceCount": (I32, []),
    "RadovlSim_TraceGet": (I32, [I32, ctypes.POINTER(RequestStruct)]),
    "RadovlSim_SetTraceEnabled": (None, [I32]),
    "RadovlSim_SetMutexFault": (None, [I32]),
    "RadovlSim_OpenHandles": (I32, []),
    "RadovlSim_RequestCount": (U32, []),
    "RadovlSim_SetRequestObserver": (None, [OBSERVER, ctypes.c_void_p]),
    "RadovlSim_SetReadSource": (None, [READ_SOURCE, ctypes.c_void_p]),
    "RadovlSim_SetAnswerSource": (None, [ANSWER_SOURCE, ctypes.c_void_p]),
    "RadovlSim_SendRequest": (I32, [I32, U32, ctypes.c_void_p, U32, ctypes.c_void_p]),
    "RadovlSim_SetTraceCapacity": (I32, [I32]),
    "RadovlSim_TraceCapacity": (I32, []),
    "RadovlSim_TraceDropped": (U64, []),
    "RadovlSim_DisplayMode": (I32, []),
    "RadovlSim_SaveBoards": (I32, []),
    "RadovlSim_RestoreBoards": (I32, [I32]),
    "RadovlSim_FreeBoards": (None, [I32]),
}
