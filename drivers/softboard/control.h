/* The software board driver's own requests, beside the board's two: the
 * control device through which test hosts reach the simulated board that
 * serves the driver (the same controls as the in-process RadovlSim_*
 * functions). Shared by the driver, the board DLL and the hosts; plain C. */
#ifndef RADOVL_DRIVER_CONTROL_H
#define RADOVL_DRIVER_CONTROL_H

#include <stdint.h>

/* Present whether or not a board is: "\\.\RadovlBoardControl". */
#define RADOVL_CONTROL_DEVICE_PATH "\\\\.\\RadovlBoardControl"

/* Device type 0xC350, function 0x900, buffered, any access. */
#define RADOVL_CONTROL_CODE 0xC3502400u

typedef struct RadovlControlRequest {
    uint32_t operation; /* RadovlControlOperation */
    int32_t args[4];
} RadovlControlRequest;

/* Each operation answers one 32-bit value, except TraceRead, which fills
 * the output with as many RadovlSimRequest records from index args[0] as
 * fit. The arguments are those of the RadovlSim_* function of that name. */
typedef enum RadovlControlOperation {
    RadovlControlReset = 1, /* boards to power-on, controls to defaults, trace empty */
    RadovlControlSetBoardPresent = 2,
    RadovlControlSetScratchFault = 3,
    RadovlControlSetI2cBusyReads = 4,
    RadovlControlFailRequests = 5,
    RadovlControlTraceClear = 6,
    RadovlControlTraceCount = 7,
    RadovlControlTraceRead = 8,
    RadovlControlSetTraceEnabled = 9,
    RadovlControlRequestCount = 10,
    RadovlControlPeekMain = 11,
    RadovlControlPeekVideo = 12,
    RadovlControlPeekPci = 13,
    RadovlControlPeekDecoder = 14,
    RadovlControlDspStarted = 15,
    RadovlControlPokeMain = 16,
    RadovlControlPokeVideo = 17
} RadovlControlOperation;

#endif /* RADOVL_DRIVER_CONTROL_H */
