#include "simulator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "hw/driver.h"
#include "hw/registers.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>

#include <mutex>
#endif

namespace radovl::sim {

// ---------------------------------------------------------------------------
// Sparse memory.

SparseMemory::SparseMemory(const SparseMemory& other) : pages_(other.pages_) { other.writeData_ = nullptr; }

SparseMemory& SparseMemory::operator=(const SparseMemory& other) {
    if (this == &other) return *this;
    pages_ = other.pages_;
    other.writeData_ = nullptr;
    readData_ = nullptr;
    writeData_ = nullptr;
    return *this;
}

const uint8_t* SparseMemory::FindPage(uint32_t page) const {
    if (readData_ != nullptr && readPage_ == page) return readData_;
    auto it = pages_.find(page);
    if (it == pages_.end()) return nullptr;
    readPage_ = page;
    readData_ = it->second.get();
    return readData_;
}

uint8_t* SparseMemory::PageFor(uint32_t page) {
    if (writeData_ != nullptr && writePage_ == page) return writeData_;
    auto& slot = pages_[page];
    if (!slot) {
        slot.reset(new uint8_t[PageSize]());
    } else if (slot.use_count() > 1) {
        std::shared_ptr<uint8_t[]> own(new uint8_t[PageSize]);
        std::memcpy(own.get(), slot.get(), PageSize);
        slot = std::move(own);
    }
    writePage_ = readPage_ = page;
    writeData_ = slot.get();
    readData_ = writeData_;
    return writeData_;
}

uint8_t SparseMemory::ReadByte(uint32_t address) const {
    const uint8_t* page = FindPage(address >> PageBits);
    return page == nullptr ? 0 : page[address & (PageSize - 1)];
}

void SparseMemory::WriteByte(uint32_t address, uint8_t value) {
    PageFor(address >> PageBits)[address & (PageSize - 1)] = value;
}

uint32_t SparseMemory::Read(uint32_t address, uint32_t width) const {
    const uint32_t inPage = address & (PageSize - 1);
    if (inPage + width <= PageSize) {
        const uint8_t* page = FindPage(address >> PageBits);
        if (page == nullptr) return 0;
        uint32_t value = 0;
        for (uint32_t i = 0; i < width; ++i) value |= static_cast<uint32_t>(page[inPage + i]) << (8 * i);
        return value;
    }
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value |= static_cast<uint32_t>(ReadByte(address + i)) << (8 * i);
    return value;
}

void SparseMemory::Write(uint32_t address, uint32_t width, uint32_t value) {
    const uint32_t inPage = address & (PageSize - 1);
    if (inPage + width <= PageSize) {
        uint8_t* page = PageFor(address >> PageBits);
        for (uint32_t i = 0; i < width; ++i) page[inPage + i] = static_cast<uint8_t>(value >> (8 * i));
        return;
    }
    for (uint32_t i = 0; i < width; ++i) WriteByte(address + i, static_cast<uint8_t>(value >> (8 * i)));
}

std::map<uint32_t, uint32_t> SparseMemory::Words() const {
    std::map<uint32_t, uint32_t> words;
    for (const auto& [page, data] : pages_) {
        for (uint32_t at = 0; at < PageSize; at += 4) {
            const uint32_t address = (page << PageBits) | at;
            const uint32_t word = Read(address, 4);
            if (word != 0) words[address] = word;
        }
    }
    return words;
}

// ---------------------------------------------------------------------------
// State.

namespace {

#if defined(_WIN32)
// The i686 toolchain's win32 thread model has no std::recursive_mutex; a
// critical section is recursive too.
class RecursiveLock {
public:
    RecursiveLock() { InitializeCriticalSection(&section_); }
    void lock() { EnterCriticalSection(&section_); }
    void unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};
#else
using RecursiveLock = std::recursive_mutex;
#endif

// Never destroyed: a thread may still reach the simulator while the
// process exits.
RecursiveLock& TheLock() {
    static RecursiveLock* const lock = new RecursiveLock();
    return *lock;
}
// Made while the module loads, before any thread can race for it.
[[maybe_unused]] RecursiveLock& lockAtLoad = TheLock();

}  // namespace

void Lock() { TheLock().lock(); }
void Unlock() { TheLock().unlock(); }

SimState& State() {
    static SimState state;
    return state;
}

void PowerCycle() {
    const Locked hold;
    const TraceSettings kept = State().traceSettings;
    std::map<int32_t, SavedBoards> saved = std::move(State().saved);
    const int32_t lastSaved = State().lastSaved;
    State() = SimState();
    State().traceSettings = kept;
    State().saved = std::move(saved);
    State().lastSaved = lastSaved;
}

// ---------------------------------------------------------------------------
// Trace ring.

void ClearTrace() {
    State().trace = TraceRing();
    State().requestCount = 0;
}

void ResizeTrace(size_t capacity) {
    TraceRing& ring = State().trace;
    std::vector<RadovlSimRequest>& entries = ring.entries;
    std::rotate(entries.begin(), entries.begin() + static_cast<ptrdiff_t>(ring.oldest), entries.end());
    ring.oldest = 0;
    if (entries.size() > capacity) {
        const size_t cut = entries.size() - capacity;
        entries.erase(entries.begin(), entries.begin() + static_cast<ptrdiff_t>(cut));
        entries.shrink_to_fit();
        ring.dropped += cut;
    }
    State().traceSettings.capacity = capacity;
}

const RadovlSimRequest* TraceAt(size_t index) {
    const TraceRing& ring = State().trace;
    if (index >= ring.entries.size()) return nullptr;
    size_t at = ring.oldest + index;
    if (at >= ring.entries.size()) at -= ring.entries.size();
    return &ring.entries[at];
}

namespace {

// Handles are small tokens: index * 4 + 4, never 0 or -1.
Handle TokenOf(size_t index) { return reinterpret_cast<Handle>(static_cast<uintptr_t>(index * 4 + 4)); }

HandleEntry* EntryOf(Handle handle) {
    const uintptr_t token = reinterpret_cast<uintptr_t>(handle);
    if (token < 4 || token % 4 != 0) return nullptr;
    const size_t index = token / 4 - 1;
    auto& handles = State().handles;
    if (index >= handles.size() || handles[index].kind == HandleKind::Closed) return nullptr;
    return &handles[index];
}

Handle NewHandle(HandleEntry entry) {
    auto& handles = State().handles;
    for (size_t i = 0; i < handles.size(); ++i) {
        if (handles[i].kind == HandleKind::Closed) {
            handles[i] = std::move(entry);
            return TokenOf(i);
        }
    }
    handles.push_back(std::move(entry));
    return TokenOf(handles.size() - 1);
}

// ---------------------------------------------------------------------------
// Main DSP space of one board, as driver requests reach it.

bool InBridgeData(uint32_t address, int* dsp) {
    for (int d = 0; d < VideoDsps; ++d) {
        const uint32_t data = BridgeData::Address.For(d);
        if (address >= data && address < data + 4) {
            *dsp = d;
            return true;
        }
    }
    return false;
}


uint32_t BridgeTarget(const BoardState& board, int dsp, uint32_t address) {
    const uint32_t base = BridgeData::Address.For(dsp);
    return board.main.Read(BridgeAddress::Address.For(dsp), 4) + (address - base);
}

uint8_t I2cStatus(BoardState& board) {
    I2cCore& core = board.i2c;
    if (!core.commandWritten) return 0;
    if (core.busyReadsLeft < 0) return static_cast<uint8_t>(I2cCommand::StatusBusy);
    if (core.busyReadsLeft > 0) {
        --core.busyReadsLeft;
        return static_cast<uint8_t>(I2cCommand::StatusBusy);
    }
    return 0;
}

int DecoderIndex(uint8_t addressByte) {
    const uint32_t device = FieldGet(I2cAddressByte::Device, addressByte);
    if ((addressByte & I2cAddressByte::Read) != 0) return -1;
    if (device == DecoderAddress.channel1) return 0;
    if (device == DecoderAddress.channel2) return 1;
    return -1;
}

void I2cCommandWritten(BoardState& board, uint32_t command) {
    I2cCore& core = board.i2c;
    const auto data = static_cast<uint8_t>(board.main.Read(I2cData::Address, 1));
    if (command & I2cCommand::Start) {
        core.inTransaction = true;
        core.bytes.clear();
        core.addressByte = data;
    } else if ((command & I2cCommand::Write) && core.inTransaction) {
        core.bytes.push_back(data);
    }
    if ((command & I2cCommand::Stop) && core.inTransaction) {
        const int decoder = DecoderIndex(core.addressByte);
        if (decoder >= 0 && core.bytes.size() >= 2) {
            uint8_t reg = core.bytes[0];
            for (size_t i = 1; i < core.bytes.size(); ++i) board.decoder[decoder][reg++] = core.bytes[i];
        }
        core.inTransaction = false;
        core.bytes.clear();
    }
    core.commandWritten = true;
    core.busyReadsLeft = State().i2cBusyReads;
}

// Reads as a driver request sees them: the bridges reach the video DSPs,
// the I2C command address answers the status, and a scratch fault shows on
// TestAndCombine.
uint32_t MainRead(BoardState& board, uint32_t address, uint32_t width) {
    int dsp = 0;
    if (InBridgeData(address, &dsp)) return board.video[dsp].Read(BridgeTarget(board, dsp, address), width);
    if (address == I2cCommand::Address) return I2cStatus(board);
    uint32_t value = board.main.Read(address, width);
    if (board.scratchFault) {
        // The faulty register never keeps bit 16.
        const uint32_t faultByte = TestAndCombine::Address + 2;
        if (faultByte >= address && faultByte < address + width) value |= uint32_t{1} << (8 * (faultByte - address));
    }
    return value;
}

bool Touches(uint32_t address, uint32_t width, uint32_t reg) { return reg + 4 > address && reg < address + width; }

void MainWrite(BoardState& board, uint32_t address, uint32_t width, uint32_t value) {
    int dsp = 0;
    if (InBridgeData(address, &dsp)) {
        board.video[dsp].Write(BridgeTarget(board, dsp, address), width, value);
        return;
    }
    board.main.Write(address, width, value);
    if (address == I2cCommand::Address) I2cCommandWritten(board, value & 0xFF);
    for (int d = 0; d < VideoDsps; ++d) {
        const uint32_t control = BridgeControl::Address.For(d);
        if (Touches(address, width, control) && board.main.Read(control, 4) == BridgeControl::Start) {
            board.videoStarted[d] = true;
        }
    }
    // A video DSP held in reset has stopped whatever program it ran.
    if (Touches(address, width, DspResetControl::Address)) {
        const uint32_t lines = board.main.Read(DspResetControl::Address, 1);
        for (int d = 0; d < VideoDsps; ++d) {
            if ((lines & DspResetControl::Release.For(d)) == 0) board.videoStarted[d] = false;
        }
    }
}

void PciControlChanged(BoardState& board) {
    const uint8_t control = board.pci[PciControl::Offset];
    if (control & PciControl::ResetDsp) {
        board.mainStarted = false;
    } else if (control & PciControl::InterruptDsp) {
        board.mainStarted = true;
    }
}

// ---------------------------------------------------------------------------
// One memory request on one board. Returns 0 or a negative driver status.

struct Access {
    uint32_t width;
    uint32_t operation;
};

int32_t Status(ErrorCode code) { return static_cast<int32_t>(code); }

int32_t ExecuteMemory(BoardState& board, const MemoryRequest& request, void* hostBuffer, uint32_t* value) {
    const uint32_t width = FunctionWidth(request.function);
    if (request.function > 0xF || width == 0) return Status(DriverInvalidFunction);
    if (request.space > Space::PciInterface) return Status(DriverInvalidSpace);
    if (request.count != 1) return Status(DriverInvalidCount);
    const uint32_t operation = request.function & Function::OperationMask;
    const bool read = IsReadFunction(request.function);
    if (read && hostBuffer == nullptr) return Status(DriverInvalidCount);

    if (request.space == Space::PciInterface) {
        if (request.offset + width > PciRegisterBytes) return Status(DriverInvalidOffset);
        uint32_t current = 0;
        for (uint32_t i = 0; i < width; ++i) current |= static_cast<uint32_t>(board.pci[request.offset + i]) << (8 * i);
        uint32_t next = current;
        switch (operation) {
            case Function::OpRead: *value = current; break;
            case Function::OpWrite: next = request.data; break;
            case Function::OpSetBits: next = current | request.data; break;
            case Function::OpClearBits: next = current & ~request.data; break;
        }
        if (!read) {
            for (uint32_t i = 0; i < width; ++i) board.pci[request.offset + i] = static_cast<uint8_t>(next >> (8 * i));
            if (request.offset <= PciControl::Offset && request.offset + width > PciControl::Offset) {
                PciControlChanged(board);
            }
        }
    } else {
        if (request.offset >= MemoryWindowSize || request.offset + width > MemoryWindowSize) {
            return Status(DriverInvalidOffset);
        }
        uint32_t address = 0;
        if (request.space == Space::MemoryWindow) {
            const uint32_t page = board.pci[PciPage::Offset] | (static_cast<uint32_t>(board.pci[PciPage::Offset + 1]) << 8);
            address = FieldPrep(PciPage::AddressPage, FieldGet(PciPage::Number, page)) | request.offset;
        } else {
            address = RegisterWindowBase + request.offset;
        }
        switch (operation) {
            case Function::OpRead: *value = MainRead(board, address, width); break;
            case Function::OpWrite: MainWrite(board, address, width, request.data); break;
            case Function::OpSetBits: MainWrite(board, address, width, MainRead(board, address, width) | request.data); break;
            case Function::OpClearBits: MainWrite(board, address, width, MainRead(board, address, width) & ~request.data); break;
        }
    }
    const uint32_t mask = UnitMask(width);
    if (read) {
        *value &= mask;
        uint8_t* out = static_cast<uint8_t*>(hostBuffer);
        for (uint32_t i = 0; i < width; ++i) out[i] = static_cast<uint8_t>(*value >> (8 * i));
    } else {
        *value = request.data & mask;
    }
    return 0;
}

// The request into the trace's ring: appended while there is room, else
// in the oldest one's place.
void Keep(SimState& s, const RadovlSimRequest& request) {
    TraceRing& ring = s.trace;
    std::vector<RadovlSimRequest>& entries = ring.entries;
    const size_t capacity = s.traceSettings.capacity;
    if (entries.size() < capacity) {
        // Grown by hand so that a full ring holds no spare room.
        if (entries.size() == entries.capacity()) {
            const size_t doubled = entries.size() < 512 ? 1024 : 2 * entries.size();
            entries.reserve(doubled < capacity ? doubled : capacity);
        }
        entries.push_back(request);
        return;
    }
    entries[ring.oldest] = request;
    if (++ring.oldest == entries.size()) ring.oldest = 0;
    ++ring.dropped;
}

void Record(const RadovlSimRequest& request) {
    SimState& s = State();
    if (s.traceSettings.enabled) Keep(s, request);
    if (s.observer != nullptr) s.observer(&request, s.observerContext);
}

// A read the host's read source answers: the board was read as usual (its
// side effects happen), the host gets the source's value instead.
void AnswerFromSource(RadovlSimRequest* traced, void* hostBuffer) {
    const SimState& s = State();
    uint32_t value = 0;
    if (s.readSource == nullptr || s.readSource(traced, &value, s.readSourceContext) == 0) return;
    const uint32_t width = FunctionWidth(traced->function);
    traced->value = value & UnitMask(width);
    uint8_t* out = static_cast<uint8_t*>(hostBuffer);
    for (uint32_t i = 0; i < width; ++i) out[i] = static_cast<uint8_t>(traced->value >> (8 * i));
}

// The fault set for the request about to be served, if any.
bool Faulted(uint32_t number, int32_t* status) {
    const Fault& fault = State().fault;
    if (fault.first == 0 || number < fault.first) return false;
    if (fault.count >= 0 && number - fault.first >= static_cast<uint32_t>(fault.count)) return false;
    *status = fault.status;
    return true;
}

// What the host's answer source makes of the request about to be served.
enum class SourceAnswer { Serve, Fail, ServeWithStatus };
SourceAnswer AskAnswerSource(const RadovlSimRequest& traced, int32_t* status) {
    const SimState& s = State();
    if (s.answerSource == nullptr) return SourceAnswer::Serve;
    switch (s.answerSource(&traced, status, s.answerSourceContext)) {
        case 1: return SourceAnswer::Fail;
        case 2: return SourceAnswer::ServeWithStatus;
        default: return SourceAnswer::Serve;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Kernel objects.

Handle OpenDevice(const char* path) {
    const Locked hold;
    char expected[64];
    for (int board = 0; board < Boards; ++board) {
        std::snprintf(expected, sizeof expected, "\\\\.\\%s%d", BoardDeviceBaseName, board);
        if (std::strcmp(path, expected) == 0) {
            if (!State().boards[board].present) break;
            HandleEntry entry;
            entry.kind = HandleKind::Device;
            entry.board = board;
            return NewHandle(std::move(entry));
        }
    }
    return reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
}

Handle CreateNamedMutex(const char* name) {
    const Locked hold;
    SimState& s = State();
    if (s.mutexFault >= 1) return nullptr;
    ++s.mutexes[name];
    HandleEntry entry;
    entry.kind = HandleKind::Mutex;
    entry.mutexName = name;
    return NewHandle(std::move(entry));
}

Handle OpenNamedMutex(const char* name) {
    const Locked hold;
    SimState& s = State();
    if (s.mutexFault >= 2) return nullptr;
    // With creation refused, the mutex counts as existing but not creatable.
    if (s.mutexFault == 0 && s.mutexes.find(name) == s.mutexes.end()) return nullptr;
    ++s.mutexes[name];
    HandleEntry entry;
    entry.kind = HandleKind::Mutex;
    entry.mutexName = name;
    return NewHandle(std::move(entry));
}

bool CloseHandle(Handle handle) {
    const Locked hold;
    HandleEntry* entry = EntryOf(handle);
    if (entry == nullptr) return false;
    if (entry->kind == HandleKind::Mutex) {
        auto it = State().mutexes.find(entry->mutexName);
        if (it != State().mutexes.end() && --it->second == 0) State().mutexes.erase(it);
    }
    *entry = HandleEntry();
    return true;
}

int32_t OpenHandleCount() {
    const Locked hold;
    int32_t count = 0;
    for (const HandleEntry& entry : State().handles) count += entry.kind != HandleKind::Closed;
    return count;
}

bool DeviceIoControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    const Locked hold;
    return DeviceIoControlHeld(device, code, record, size, hostBuffer);
}

bool DeviceIoControlHeld(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    HandleEntry* entry = EntryOf(device);
    if (entry == nullptr || entry->kind != HandleKind::Device || record == nullptr) return false;
    return ServeRequest(entry->board, code, record, size, hostBuffer);
}

bool ServeRequest(int32_t boardIndex, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    SimState& s = State();
    BoardState& board = s.boards[boardIndex];

    RadovlSimRequest traced{};
    traced.board = boardIndex;
    traced.code = code;
    const uint32_t number = ++s.requestCount;

    int32_t faultStatus = 0;
    bool faulted = Faulted(number, &faultStatus);
    int32_t sourceStatus = 0;
    SourceAnswer answer = SourceAnswer::Serve;

    if (code == MemoryRequestCode && size == sizeof(MemoryRequest)) {
        MemoryRequest request;
        std::memcpy(&request, record, sizeof request);
        traced.function = request.function;
        traced.space = request.space;
        traced.offset = request.offset;
        traced.data = request.data;
        traced.count = request.count;
        if (!faulted) answer = AskAnswerSource(traced, &sourceStatus);
        if (answer == SourceAnswer::Fail) {
            faulted = true;
            faultStatus = sourceStatus;
        }
        int32_t status = faultStatus;
        if (!faulted) status = ExecuteMemory(board, request, hostBuffer, &traced.value);
        const bool read = IsReadFunction(request.function);
        if (faulted && !read) traced.value = request.data & UnitMask(FunctionWidth(request.function));
        if (read && status == 0 && !faulted) AnswerFromSource(&traced, hostBuffer);
        if (answer == SourceAnswer::ServeWithStatus) status = sourceStatus;
        traced.status = status;
        request.status = status;
        std::memcpy(record, &request, sizeof request);
        Record(traced);
        return (status == 0 || answer == SourceAnswer::ServeWithStatus) && !faulted;
    }
    if (code == WindowQueryCode && size == sizeof(WindowQuery)) {
        WindowQuery query;
        std::memcpy(&query, record, sizeof query);
        if (!faulted) answer = AskAnswerSource(traced, &sourceStatus);
        if (answer != SourceAnswer::Serve) faultStatus = sourceStatus;
        faulted = faulted || answer == SourceAnswer::Fail;
        if (!faulted) {
            query.windowAddress = board.windowAddress;
            query.windowExtra = board.windowExtra;
        }
        query.status = faultStatus;
        traced.status = faultStatus;
        std::memcpy(record, &query, sizeof query);
        Record(traced);
        return !faulted;
    }
    // A request this driver does not know: refused without a status.
    Record(traced);
    return false;
}

// ---------------------------------------------------------------------------
// Host side.

void Sleep(uint32_t milliseconds) {
    const Locked hold;
    State().sleptMs += milliseconds;
}

std::string ExecutablePath() {
    const Locked hold;
    const SimState& s = State();
    if (s.executablePathSet) return s.executablePath;
#if defined(_WIN32)
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
#else
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", &path[0], path.size());
        if (n < 0) return std::string();
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
#endif
}

Rect ScreenClipBox() {
    const Locked hold;
    return State().screen;
}

Rect MonitorOfPoint(int32_t x, int32_t y) {
    const Locked hold;
    const auto& monitors = State().monitors;
    if (monitors.empty()) return Rect{0, 0, 0, 0};
    for (const Rect& m : monitors) {
        if (x >= m.left && x < m.right && y >= m.top && y < m.bottom) return m;
    }
    // Nearest: smallest squared distance to the monitor's nearest pixel,
    // ties to the earlier monitor.
    const Rect* best = nullptr;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const Rect& m : monitors) {
        const int64_t nx = x < m.left ? m.left : (x >= m.right ? int64_t{m.right} - 1 : x);
        const int64_t ny = y < m.top ? m.top : (y >= m.bottom ? int64_t{m.bottom} - 1 : y);
        const int64_t distance = (x - nx) * (x - nx) + (y - ny) * (y - ny);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &m;
        }
    }
    return *best;
}

uint32_t PeekMain(int32_t board, uint32_t address) {
    const Locked hold;
    return State().boards[board].main.Read(address, 4);
}

}  // namespace radovl::sim
