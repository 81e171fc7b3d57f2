// Board connection over the kernel driver: open, close, the memory request
// behind every register access, and the board library's error texts.
#pragma once

#include <cstdint>

#include "hw/driver.h"
#include "platform/platform.h"

namespace radovl {

struct BoardConnection {
    char mutexName[260];        // "RarU64Ruz" + board number
    platform::Handle mutex;     // invalid handle before creation
    uint8_t boardInfo[256];     // board information area; unused by the display path
    platform::Handle device;    // driver device; 0 after CloseDevice
    int32_t boardIndex;
    uint32_t windowAddress;     // answers of the window query, 0 until it succeeds
    uint32_t windowExtra;
};

// Opens board n. On success stores the new record through out and returns
// 0. After a failed device open or window query, stores nullptr; after a
// failed allocation or mutex, leaves out as it was.
ErrorCode BoardOpen(int32_t n, BoardConnection** out);

// Closes the mutex, resets the main DSP through PciControl, closes the
// device and frees the record. Returns the code of closing the device.
ErrorCode BoardClose(BoardConnection* connection);

// One MemoryRequest. With no connection nothing is sent.
ErrorCode SendMemoryRequest(uint32_t function, uint32_t space, uint32_t offset, uint32_t data,
                            uint32_t count, BoardConnection* connection);

// A read request: the driver writes count units to destination. The
// record's data word carries the destination's host address.
ErrorCode SendReadRequest(uint32_t function, uint32_t space, uint32_t offset, void* destination,
                          uint32_t count, BoardConnection* connection);

// Text of an error code, in a buffer that the next call overwrites.
const char* BoardErrorText(ErrorCode code);

}  // namespace radovl
