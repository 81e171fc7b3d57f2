// The board driver's request records and codes, and the board library's
// error codes. Shared by the library and the simulated driver.
#pragma once

#include <cstdint>

namespace radovl {

// I/O control codes: device type 0xC350, any access, method neither.
constexpr uint32_t MemoryRequestCode = 0xC3502047;  // function 0x811
constexpr uint32_t WindowQueryCode = 0xC35020C3;    // function 0x830

// Seven little-endian 32-bit words; the same buffer is input and output.
struct MemoryRequest {
    int32_t status;     // driver status on return; negative = driver error code
    uint32_t function;  // Function below
    uint32_t space;     // Space below
    uint32_t offset;
    uint32_t reserved;
    uint32_t count;     // units of the function's width; 1 on the display path
    uint32_t data;      // value of a single write, or host address of a read's destination
};
static_assert(sizeof(MemoryRequest) == 28, "the driver's memory request record is 28 bytes");

struct WindowQuery {
    uint32_t windowAddress;
    uint32_t windowExtra;
    int32_t status;
};
static_assert(sizeof(WindowQuery) == 12, "the driver's window query record is 12 bytes");

// MemoryRequest functions: bits 2-3 width (0: 8, 1: 16, 2: 32 bits),
// bits 0-1 operation.
namespace Function {
constexpr uint32_t Read8 = 0;
constexpr uint32_t Write8 = 1;
constexpr uint32_t SetBits8 = 2;
constexpr uint32_t ClearBits8 = 3;
constexpr uint32_t Read16 = 4;
constexpr uint32_t Write16 = 5;
constexpr uint32_t Read32 = 8;
constexpr uint32_t Write32 = 9;
constexpr uint32_t WidthMask = 0xC;
constexpr uint32_t OperationMask = 0x3;
constexpr uint32_t OpRead = 0;
constexpr uint32_t OpWrite = 1;
constexpr uint32_t OpSetBits = 2;
constexpr uint32_t OpClearBits = 3;
}  // namespace Function

// Bytes moved per unit by a function (1, 2 or 4); 0 for an unused width.
constexpr uint32_t FunctionWidth(uint32_t function) {
    switch (function & Function::WidthMask) {
        case 0x0: return 1;
        case 0x4: return 2;
        case 0x8: return 4;
        default: return 0;
    }
}

// Whether a memory request's function reads (the others write, set bits or
// clear bits).
constexpr bool IsReadFunction(uint32_t function) {
    return (function & Function::OperationMask) == Function::OpRead;
}

// The bits one unit of `bytes` bytes holds: 0xFF, 0xFFFF or 0xFFFFFFFF (0
// for the unused width).
constexpr uint32_t UnitMask(uint32_t bytes) { return bytes >= 4 ? 0xFFFFFFFFu : (uint32_t{1} << (8 * bytes)) - 1; }

namespace Space {
constexpr uint32_t MemoryWindow = 0;    // 4 MB of main DSP space, page from PciPage
constexpr uint32_t RegisterWindow = 1;  // main DSP peripheral registers
constexpr uint32_t PciInterface = 2;    // PciStatus, PciControl, PciPage
}  // namespace Space

constexpr uint32_t MemoryWindowSize = 0x00400000;

// The software board driver (drivers/softboard/driver.c) is C but needs none
// of these facts: it hands each record to its C++ board DLL, which includes
// this header.

// Board library error codes: 0 or bit 31 set; bits 24-31 family, 16-23
// reason, 0-15 a detail (the board number of ErrorNoDriver).
using ErrorCode = uint32_t;
constexpr ErrorCode ErrorOk = 0;
constexpr ErrorCode ErrorNoDriver = 0xA1020000;        // + board number
constexpr ErrorCode ErrorClosingDevice = 0xA1030000;
constexpr ErrorCode ErrorSendingRequest = 0xA1070000;
constexpr ErrorCode ErrorCannotInitialise = 0xA2060000;
constexpr ErrorCode ErrorMutex = 0xA2070000;
// Driver statuses (family 0x90) the simulated driver answers with.
constexpr ErrorCode DriverInvalidFunction = 0x900A0000;
constexpr ErrorCode DriverInvalidSpace = 0x900B0000;
constexpr ErrorCode DriverInvalidOffset = 0x900C0000;
constexpr ErrorCode DriverInvalidCount = 0x900D0000;

// Device and mutex names: "RarU64Ruz" and the board number.
constexpr const char* BoardDeviceBaseName = "RarU64Ruz";
constexpr uint32_t MutexAllAccess = 0x1F0001;

}  // namespace radovl
