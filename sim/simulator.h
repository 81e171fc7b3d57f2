// The simulated board and its driver: two boards, each with a main DSP
// space, two video DSP spaces behind host-port bridges, the PCI interface
// registers, reset lines, an I2C master core with two video decoders; plus
// the host side the library asks about (monitors, screen, executable path,
// sleep) and a trace of every driver request.
//
// It answers the same requests a real driver does and knows nothing of the
// library above it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "hw/registers.h"
#include "radovl/sim.h"

namespace radovl::sim {

using Handle = void*;

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Byte-addressed, little-endian, zero at power-on; storage is allocated
// page by page as it is written.
class SparseMemory {
public:
    uint8_t ReadByte(uint32_t address) const;
    void WriteByte(uint32_t address, uint8_t value);
    // width 1, 2 or 4 bytes at any address (a word at an unaligned address
    // touches the four bytes from that address).
    uint32_t Read(uint32_t address, uint32_t width) const;
    void Write(uint32_t address, uint32_t width, uint32_t value);
    size_t PagesInUse() const { return pages_.size(); }

private:
    static constexpr uint32_t PageBits = 12;
    static constexpr uint32_t PageSize = 1u << PageBits;
    const uint8_t* FindPage(uint32_t page) const;
    uint8_t* PageFor(uint32_t page);

    std::unordered_map<uint32_t, std::unique_ptr<uint8_t[]>> pages_;
    mutable uint32_t cachedPage_ = 0;
    mutable uint8_t* cachedData_ = nullptr;
};

// The I2C master core's transaction state.
struct I2cCore {
    bool commandWritten = false;
    int32_t busyReadsLeft = 0;   // -1: busy for good
    bool inTransaction = false;
    uint8_t addressByte = 0;
    std::vector<uint8_t> bytes;  // written after the address byte
};

constexpr int Boards = 2;
constexpr int VideoDsps = VideoDspCount;
constexpr int DecoderCount = 2;
constexpr uint32_t PciRegisterBytes = 12;

struct BoardState {
    bool present = true;
    bool scratchFault = false;
    SparseMemory main;
    SparseMemory video[VideoDsps];
    uint8_t pci[PciRegisterBytes] = {};  // PciStatus, PciControl, PciPage (little-endian bytes)
    bool mainStarted = false;
    bool videoStarted[VideoDsps] = {};
    I2cCore i2c;
    uint8_t decoder[DecoderCount][256] = {};
};

struct Fault {
    uint32_t first = 0;  // 1-based request number; 0: no fault
    int32_t count = 0;   // -1: every request from first on
    int32_t status = 0;
};

enum class HandleKind { Closed, Device, Mutex };

struct HandleEntry {
    HandleKind kind = HandleKind::Closed;
    int32_t board = 0;         // device handles
    std::string mutexName;     // mutex handles
};

// Everything the simulator holds, with its power-on values.
struct SimState {
    BoardState boards[Boards];
    int32_t i2cBusyReads = 1;
    int32_t mutexFault = 0;
    std::vector<Rect> monitors{Rect{0, 0, 1280, 1024}};
    Rect screen{0, 0, 1280, 1024};
    bool executablePathSet = false;
    std::string executablePath;
    uint32_t sleptMs = 0;
    bool traceEnabled = true;
    std::vector<RadovlSimRequest> trace;
    uint32_t requestCount = 0;  // since the last trace clear
    Fault fault;
    RadovlSimObserver observer = nullptr;  // sees every request after the trace does
    void* observerContext = nullptr;
    RadovlSimReadSource readSource = nullptr;  // answers reads in the board's place
    void* readSourceContext = nullptr;
    std::vector<HandleEntry> handles;
    std::unordered_map<std::string, int32_t> mutexes;  // name -> open handles
};

// The one simulator of the process.
SimState& State();
// Power cycle of boards and host: every value back to power-on.
void PowerCycle();

// Driver and kernel side, as the platform seam calls it.
Handle OpenDevice(const char* path);
Handle CreateNamedMutex(const char* name);
Handle OpenNamedMutex(const char* name);
bool CloseHandle(Handle handle);
bool DeviceIoControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer);
// The driver's answer to one request on board boardIndex (0 or 1), as if
// sent on an open device of that board.
bool ServeRequest(int32_t boardIndex, uint32_t code, void* record, uint32_t size, void* hostBuffer);
void Sleep(uint32_t milliseconds);
std::string ExecutablePath();
Rect ScreenClipBox();
Rect MonitorOfPoint(int32_t x, int32_t y);
int32_t OpenHandleCount();

// Board side, for inspection: the main DSP's address space as a driver
// request sees it, without side effects.
uint32_t PeekMain(int32_t board, uint32_t address);

}  // namespace radovl::sim
