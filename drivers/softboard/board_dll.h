/* The simulated board DLL's entry points, as the software board driver
 * imports them. Plain C: the driver is C and links only ntoskrnl.exe and
 * this DLL. */
#ifndef RADOVL_BOARD_DLL_H
#define RADOVL_BOARD_DLL_H

#include <stdint.h>

#include "softboard/control.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(RADOVL_BOARD_DLL_BUILDING)
#define RADOVL_BOARD_API __declspec(dllexport)
#else
#define RADOVL_BOARD_API __declspec(dllimport)
#endif

/* Opens board 0 or 1's device: a handle, or NULL when the board is absent. */
RADOVL_BOARD_API void* RadovlBoard_Open(int32_t board);
RADOVL_BOARD_API void RadovlBoard_Close(void* handle);
/* One driver request on an open device, as the board serves it: the record
 * is updated in place, a read's value goes to hostBuffer. 1 on success. */
RADOVL_BOARD_API int32_t RadovlBoard_Request(void* handle, uint32_t code, void* record, uint32_t size,
                                             void* hostBuffer);
/* Whether a record of the given code is a memory read: then *bytes is the
 * size of its value and *destination the caller's address from the
 * record's data word. */
RADOVL_BOARD_API int32_t RadovlBoard_ReadOf(uint32_t code, const void* record, uint32_t size, uint32_t* bytes,
                                            uint32_t* destination);
/* One control-device request; returns the bytes written to out. */
RADOVL_BOARD_API uint32_t RadovlBoard_Control(const RadovlControlRequest* request, void* out, uint32_t outSize);
/* Writes size bytes at address in the process processId. 1 on success. */
RADOVL_BOARD_API int32_t RadovlBoard_WriteClient(uint32_t processId, uint64_t address, const void* bytes,
                                                 uint32_t size);

#ifdef __cplusplus
}
#endif

#endif /* RADOVL_BOARD_DLL_H */
