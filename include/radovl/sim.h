/*
 * radovl simulated board: control API.
 *
 * Exported only by builds that carry the simulated board (the Linux library
 * and the Windows sim flavour). Tests, the radovl-sim tool and outside
 * scripts use these names; they are a stable contract.
 */
#ifndef RADOVL_SIM_H
#define RADOVL_SIM_H

#include <stdint.h>

#include "radovl.h"

#ifdef __cplusplus
extern "C" {
#endif

#define RADOVL_SIM_CODE_MEMORY_REQUEST 0xC3502047u
#define RADOVL_SIM_CODE_WINDOW_QUERY 0xC35020C3u

/* One driver request as the simulated driver saw it. */
typedef struct RadovlSimRequest {
    int32_t board;     /* board index the request went to */
    uint32_t code;     /* driver request code: 0xC3502047 memory request, 0xC35020C3 window query */
    uint32_t function; /* MemoryRequest fields as sent (0 for a window query) */
    uint32_t space;
    uint32_t offset;
    uint32_t data;     /* as sent; for reads this is the host address, not comparable */
    uint32_t count;
    int32_t status;    /* status the simulated driver answered */
    uint32_t value;    /* for reads: the value delivered; for writes: the value written */
} RadovlSimRequest;

/* Everything back to its start: the library to its load state, both boards
 * present and at power-on, no scratch fault, no request faults, I2C busy
 * reads 1, default monitors and screen, the real executable path, empty
 * trace, virtual clock 0. */
RADOVL_API void RADOVL_CALL RadovlSim_Reset(void);

RADOVL_API void RADOVL_CALL RadovlSim_SetScreen(int32_t left, int32_t top, int32_t right, int32_t bottom);
RADOVL_API void RADOVL_CALL RadovlSim_ClearMonitors(void);
RADOVL_API void RADOVL_CALL RadovlSim_AddMonitor(int32_t left, int32_t top, int32_t right, int32_t bottom);
/* NULL: the real executable path. */
RADOVL_API void RADOVL_CALL RadovlSim_SetExecutablePath(const char *path);
RADOVL_API void RADOVL_CALL RadovlSim_SetBoardPresent(int32_t board, int32_t present);
RADOVL_API void RADOVL_CALL RadovlSim_SetScratchFault(int32_t board, int32_t on);
/* Status reads that show busy after each I2C command: 0 never busy, -1 stuck.
 * A core left stuck by -1 answers again after a call with 0 or more. */
RADOVL_API void RADOVL_CALL RadovlSim_SetI2cBusyReads(int32_t reads);
/* Fail requests first .. first+count-1 (1-based, counted since the last
 * trace clear; count -1 = every request from first on; count 0 = none) with
 * the given driver status (negative, or 0 for a failure without a code). */
RADOVL_API void RADOVL_CALL RadovlSim_FailRequests(int32_t first, int32_t count, int32_t status);

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekMain(int32_t board, uint32_t address);
RADOVL_API void RADOVL_CALL RadovlSim_PokeMain(int32_t board, uint32_t address, uint32_t value);
RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekVideo(int32_t board, int32_t dsp, uint32_t address);
RADOVL_API void RADOVL_CALL RadovlSim_PokeVideo(int32_t board, int32_t dsp, uint32_t address, uint32_t value);
RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekPci(int32_t board, uint32_t offset);
/* -1 for a device address other than 0x5C and 0x5D. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_PeekDecoder(int32_t board, int32_t address7, int32_t reg);
/* target: 0 main DSP, 1 and 2 the video DSPs. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_DspStarted(int32_t board, int32_t target);
RADOVL_API uint32_t RADOVL_CALL RadovlSim_SleptMs(void);

RADOVL_API void RADOVL_CALL RadovlSim_TraceClear(void);
RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCount(void);
/* 0-based; returns 1 and fills *out, or 0 when index is out of range. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceGet(int32_t index, RadovlSimRequest *out);

/* Additions beyond the base contract. */

/* Trace recording on (default) or off. Off, requests are still counted for
 * RadovlSim_FailRequests but not stored: long program loads then cost no
 * memory. */
RADOVL_API void RADOVL_CALL RadovlSim_SetTraceEnabled(int32_t on);
/* Named-mutex failures for open tests: 0 none, 1 creating fails (opening
 * still works), 2 creating and opening both fail. */
RADOVL_API void RADOVL_CALL RadovlSim_SetMutexFault(int32_t mode);
/* Simulated kernel handles (devices and mutexes) currently open. */
RADOVL_API int32_t RADOVL_CALL RadovlSim_OpenHandles(void);
/* Requests that reached the simulated driver since the last trace clear,
 * whether or not the trace recorded them. */
RADOVL_API uint32_t RADOVL_CALL RadovlSim_RequestCount(void);

#ifdef __cplusplus
}
#endif

#endif /* RADOVL_SIM_H */
