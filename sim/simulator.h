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
#include <map>
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
// page by page as it is written. A copy shares the pages with the memory
// it was made from until either side writes one: the writer then takes a
// page of its own, so saving a board with programs loaded costs a pointer
// a page, not the programs' bytes.
class SparseMemory {
public:
    SparseMemory() = default;
    SparseMemory(const SparseMemory& other);
    SparseMemory& operator=(const SparseMemory& other);
    uint8_t ReadByte(uint32_t address) const;
    void WriteByte(uint32_t address, uint8_t value);
    // width 1, 2 or 4 bytes at any address (a word at an unaligned address
    // touches the four bytes from that address).
    uint32_t Read(uint32_t address, uint32_t width) const;
    void Write(uint32_t address, uint32_t width, uint32_t value);
    size_t PagesInUse() const { return pages_.size(); }
    // Every aligned word that is not zero, by address: a whole memory to
    // compare with another.
    std::map<uint32_t, uint32_t> Words() const;

private:
    static constexpr uint32_t PageBits = 12;
    static constexpr uint32_t PageSize = 1u << PageBits;
    const uint8_t* FindPage(uint32_t page) const;
    // The page to write, this memory's own (copied first when shared).
    uint8_t* PageFor(uint32_t page);

    std::unordered_map<uint32_t, std::shared_ptr<uint8_t[]>> pages_;
    // The last page looked up, for reads; the last page written, which
    // this memory held alone then. A copy made from this memory shares
    // that page, so copying forgets it on both sides.
    mutable uint32_t readPage_ = 0;
    mutable const uint8_t* readData_ = nullptr;
    mutable uint32_t writePage_ = 0;
    mutable uint8_t* writeData_ = nullptr;
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
    uint32_t windowAddress = 0;  // the window query's two answer words
    uint32_t windowExtra = 0;
};

// What the trace keeps. These are the settings of whoever watches the
// board, not the board's: a power cycle leaves them as they are.
struct TraceSettings {
    bool enabled = true;
    size_t capacity = RADOVL_SIM_TRACE_DEFAULT_CAPACITY;
};

// No bound on the trace: as many requests as RadovlSim_TraceCount() can count.
constexpr size_t TraceNoBound = 0x7FFFFFFF;

// The most recent requests, oldest first from `oldest`. The ring is in
// order from index 0 (oldest 0) until it is full; from then on each new
// request takes the oldest one's place.
struct TraceRing {
    std::vector<RadovlSimRequest> entries;
    size_t oldest = 0;
    uint64_t dropped = 0;  // recorded, then overwritten or cut off
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

// Both boards as RadovlSim_SaveBoards() saved them.
struct SavedBoards {
    BoardState boards[Boards];
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
    TraceSettings traceSettings;
    TraceRing trace;
    uint32_t requestCount = 0;  // since the last trace clear, whatever the ring kept
    Fault fault;
    RadovlSimObserver observer = nullptr;  // sees every request after the trace does
    void* observerContext = nullptr;
    RadovlSimReadSource readSource = nullptr;  // answers reads in the board's place
    void* readSourceContext = nullptr;
    RadovlSimAnswerSource answerSource = nullptr;  // fails requests in the driver's place
    void* answerSourceContext = nullptr;
    std::vector<HandleEntry> handles;
    std::unordered_map<std::string, int32_t> mutexes;  // name -> open handles
    // Boards saved by whoever watches them, by number; like the trace
    // settings they outlive a power cycle.
    std::map<int32_t, SavedBoards> saved;
    int32_t lastSaved = 0;
};

// The simulator's one lock, recursive. Every function below and every
// RadovlSim_* call holds it while it runs, so that any number of threads
// and connections may use the simulated board at once.
void Lock();
void Unlock();
class Locked {
public:
    Locked() { Lock(); }
    ~Locked() { Unlock(); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// The one simulator of the process; hold Locked while using it.
SimState& State();
// Power cycle of boards and host: every value back to power-on, except
// the trace settings and the saved boards.
void PowerCycle();

// The trace: emptied with its memory given back and the request count
// restarted; resized to keep the most recent `capacity` requests (1 to
// TraceNoBound), the older ones counted as dropped; one request by its
// position from the oldest kept, nullptr past the end.
void ClearTrace();
void ResizeTrace(size_t capacity);
const RadovlSimRequest* TraceAt(size_t index);

// Driver and kernel side, as the platform seam calls it.
Handle OpenDevice(const char* path);
Handle CreateNamedMutex(const char* name);
Handle OpenNamedMutex(const char* name);
bool CloseHandle(Handle handle);
bool DeviceIoControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer);
// The same for a caller that holds Locked already (the library, inside an
// export call): no second entry into the lock for every request.
bool DeviceIoControlHeld(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer);
// The driver's answer to one request on board boardIndex (0 or 1), as if
// sent on an open device of that board; the caller holds Locked.
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
