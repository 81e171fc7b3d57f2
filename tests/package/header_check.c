/*
 * Compiled as C99 and as C++17 with every warning an error: the public
 * headers must stay clean for any console's build. Each export is taken
 * into a pointer of the exact type it has always had, so a changed
 * signature fails here before it reaches a console that calls it through
 * its 32-bit slots.
 */
#if defined(__cplusplus)
/* C++ includes sim.h first: it must bring radovl.h in by itself. */
#include <radovl/sim.h>
#include <radovl/radovl.h>
#else
/* C includes radovl.h first: it must stand alone. */
#include <radovl/radovl.h>
#include <radovl/sim.h>
#endif
#include <radovl/version.h>
#include <radovl/capture.h>

#if !defined(RADOVL_VERSION_NUMBER) || RADOVL_VERSION_NUMBER < 0 || \
    RADOVL_VERSION_NUMBER != RADOVL_VERSION_MAJOR * 10000 + RADOVL_VERSION_MINOR * 100 + RADOVL_VERSION_PATCH
#error "radovl/version.h does not give a usable version number"
#endif

#define CHECK(name, ret, args)                \
    {                                         \
        ret(RADOVL_CALL * check_) args = name; \
        (void)check_;                         \
    }

#if defined(__cplusplus)
extern "C" int header_check(int32_t status);
#else
int header_check(int32_t status);
#endif

int header_check(int32_t status) {
    CHECK(KT_RDSP_Init, int32_t, (void))
    CHECK(KT_RDSP_OpenOverlay, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetScreenProp, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIVideoCombined, int32_t, (int32_t))
    CHECK(SetTVP2pMode, int32_t, (int32_t, int32_t))
    CHECK(SetRDP2pMode, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_OpenPPI, int32_t, (int32_t, int32_t, int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_ClosePPI, int32_t, (int32_t))
    CHECK(KT_RDSP_SetPPIXY, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIWH, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIMode, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPICenter, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIShipDir, int32_t, (int32_t, float))
    CHECK(KT_RDSP_SetPPIColor, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetPPILineColor, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetPPIScan, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_FrostPPI, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIDist, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPIGate, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPITail, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPISwitch, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetPPILineTail, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetPPIOnTop, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_OpenMiniWin, int32_t, (int32_t, int32_t, int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_CloseMiniWin, int32_t, (int32_t))
    CHECK(KT_RDSP_SetMiniWinXY, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetMiniWinWH, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetMiniWinMode, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetMiniWinColor, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetMiniWinDistDir, int32_t, (int32_t, int32_t, float))
    CHECK(KT_RDSP_SetMiniWinScale, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_OpenAr, int32_t, (int32_t, int32_t, int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_CloseAr, int32_t, (int32_t))
    CHECK(KT_RDSP_SetArXY, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetArWH, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetArGate, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetArDist, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetArColor, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetArColorKey, int32_t, (int32_t, uint32_t))
    CHECK(KT_RDSP_SetAROnTop, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_OpenTV, int32_t, (int32_t, int32_t, int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_CloseTV, int32_t, (int32_t))
    CHECK(KT_RDSP_SetTVXY, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_SetTVWH, int32_t, (int32_t, int32_t, int32_t))
    CHECK(KT_RDSP_FrostTV, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetTVBright, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetTVColor, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetTVContrast, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetTVOnTop, int32_t, (int32_t, int32_t))
    CHECK(KT_RDSP_SetTVColorKey, int32_t, (int32_t, uint32_t))

    CHECK(RadovlSim_Reset, void, (void))
    CHECK(RadovlSim_SetScreen, void, (int32_t, int32_t, int32_t, int32_t))
    CHECK(RadovlSim_ClearMonitors, void, (void))
    CHECK(RadovlSim_AddMonitor, void, (int32_t, int32_t, int32_t, int32_t))
    CHECK(RadovlSim_SetExecutablePath, void, (const char *))
    CHECK(RadovlSim_SetBoardPresent, void, (int32_t, int32_t))
    CHECK(RadovlSim_SetScratchFault, void, (int32_t, int32_t))
    CHECK(RadovlSim_SetI2cBusyReads, void, (int32_t))
    CHECK(RadovlSim_FailRequests, void, (int32_t, int32_t, int32_t))
    CHECK(RadovlSim_PeekMain, uint32_t, (int32_t, uint32_t))
    CHECK(RadovlSim_PokeMain, void, (int32_t, uint32_t, uint32_t))
    CHECK(RadovlSim_PeekVideo, uint32_t, (int32_t, int32_t, uint32_t))
    CHECK(RadovlSim_PokeVideo, void, (int32_t, int32_t, uint32_t, uint32_t))
    CHECK(RadovlSim_PeekPci, uint32_t, (int32_t, uint32_t))
    CHECK(RadovlSim_PeekDecoder, int32_t, (int32_t, int32_t, int32_t))
    CHECK(RadovlSim_DspStarted, int32_t, (int32_t, int32_t))
    CHECK(RadovlSim_SleptMs, uint32_t, (void))
    CHECK(RadovlSim_TraceClear, void, (void))
    CHECK(RadovlSim_TraceCount, int32_t, (void))
    CHECK(RadovlSim_TraceGet, int32_t, (int32_t, RadovlSimRequest *))
    CHECK(RadovlSim_SetTraceEnabled, void, (int32_t))
    CHECK(RadovlSim_SetMutexFault, void, (int32_t))
    CHECK(RadovlSim_OpenHandles, int32_t, (void))
    CHECK(RadovlSim_RequestCount, uint32_t, (void))
    CHECK(RadovlSim_SetRequestObserver, void, (RadovlSimObserver, void *))
    CHECK(RadovlSim_SetReadSource, void, (RadovlSimReadSource, void *))
    CHECK(RadovlSim_SendRequest, int32_t, (int32_t, uint32_t, void *, uint32_t, void *))
    CHECK(RadovlSim_DisplayMode, int32_t, (void))
    CHECK(RadovlSim_SaveBoards, int32_t, (void))
    CHECK(RadovlSim_RestoreBoards, int32_t, (int32_t))
    CHECK(RadovlSim_FreeBoards, void, (int32_t))

    /* The status values are distinct integer constants (a duplicate case
     * label would not compile) with their documented values. */
    switch (status) {
    case RADOVL_STATUS_DONE:
        return RADOVL_STATUS_DONE == 1 ? 1 : 0;
    case RADOVL_STATUS_BAD_ARGUMENT:
        return RADOVL_STATUS_BAD_ARGUMENT == -1 ? 2 : 0;
    case RADOVL_STATUS_NOT_INITIALISED:
        return RADOVL_STATUS_NOT_INITIALISED == -2 ? 3 : 0;
    default:
        break;
    }
    {
        /* The trace record is nine 32-bit fields, as ctypes callers lay it out. */
        RadovlSimRequest request;
        request.board = 0;
        request.code = RADOVL_SIM_CODE_MEMORY_REQUEST;
        request.status = 0;
        request.value = RADOVL_SIM_CODE_WINDOW_QUERY;
        return sizeof request == 36 && request.code != request.value ? 4 : 0;
    }
}
