// The simulator's control API: what tests, the radovl-sim tool and outside
// scripts use to set up the simulated board and look at it. Each call holds
// the simulator's lock, so a test host may call it from any thread while
// requests arrive on others.
#include "radovl/sim.h"

#include <cstdint>

#include "hw/registers.h"
#include "simulator.h"

using radovl::sim::Locked;
using radovl::sim::State;

namespace {

bool ValidBoard(int32_t board) { return board >= 0 && board < radovl::sim::Boards; }
bool ValidDsp(int32_t dsp) { return dsp >= 0 && dsp < radovl::sim::VideoDsps; }

}  // namespace

extern "C" {

RADOVL_API void RADOVL_CALL RadovlSim_SetScreen(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const Locked hold;
    State().screen = radovl::sim::Rect{left, top, right, bottom};
}

RADOVL_API void RADOVL_CALL RadovlSim_ClearMonitors(void) {
    const Locked hold;
    State().monitors.clear();
}

RADOVL_API void RADOVL_CALL RadovlSim_AddMonitor(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const Locked hold;
    State().monitors.push_back(radovl::sim::Rect{left, top, right, bottom});
}

RADOVL_API void RADOVL_CALL RadovlSim_SetExecutablePath(const char* path) {
    const Locked hold;
    State().executablePathSet = path != nullptr;
    State().executablePath = path != nullptr ? path : "";
}

RADOVL_API void RADOVL_CALL RadovlSim_SetBoardPresent(int32_t board, int32_t present) {
    const Locked hold;
    if (ValidBoard(board)) State().boards[board].present = present != 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetScratchFault(int32_t board, int32_t on) {
    const Locked hold;
    if (ValidBoard(board)) State().boards[board].scratchFault = on != 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetI2cBusyReads(int32_t reads) {
    const Locked hold;
    State().i2cBusyReads = reads < 0 ? -1 : reads;
    // A core stuck busy comes free once it is told to answer again.
    if (reads >= 0) {
        for (radovl::sim::BoardState& board : State().boards) {
            if (board.i2c.busyReadsLeft < 0) board.i2c.busyReadsLeft = reads;
        }
    }
}

RADOVL_API void RADOVL_CALL RadovlSim_FailRequests(int32_t first, int32_t count, int32_t status) {
    const Locked hold;
    radovl::sim::Fault fault;
    if (first >= 1 && count != 0) {
        fault.first = static_cast<uint32_t>(first);
        fault.count = count < 0 ? -1 : count;
        fault.status = status;
    }
    State().fault = fault;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetWindowQueryAnswer(int32_t board, uint32_t address, uint32_t extra) {
    const Locked hold;
    if (!ValidBoard(board)) return;
    State().boards[board].windowAddress = address;
    State().boards[board].windowExtra = extra;
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekMain(int32_t board, uint32_t address) {
    const Locked hold;
    return ValidBoard(board) ? State().boards[board].main.Read(address, 4) : 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_PokeMain(int32_t board, uint32_t address, uint32_t value) {
    const Locked hold;
    if (ValidBoard(board)) State().boards[board].main.Write(address, 4, value);
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekVideo(int32_t board, int32_t dsp, uint32_t address) {
    const Locked hold;
    return ValidBoard(board) && ValidDsp(dsp) ? State().boards[board].video[dsp].Read(address, 4) : 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_PokeVideo(int32_t board, int32_t dsp, uint32_t address, uint32_t value) {
    const Locked hold;
    if (ValidBoard(board) && ValidDsp(dsp)) State().boards[board].video[dsp].Write(address, 4, value);
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekPci(int32_t board, uint32_t offset) {
    const Locked hold;
    if (!ValidBoard(board) || offset >= radovl::sim::PciRegisterBytes) return 0;
    uint32_t value = 0;
    const uint8_t* pci = State().boards[board].pci;
    for (uint32_t i = 0; i < 4 && offset + i < radovl::sim::PciRegisterBytes; ++i) {
        value |= static_cast<uint32_t>(pci[offset + i]) << (8 * i);
    }
    return value;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_PeekDecoder(int32_t board, int32_t address7, int32_t reg) {
    const Locked hold;
    if (!ValidBoard(board) || reg < 0 || reg > 255) return -1;
    int decoder = -1;
    if (static_cast<uint32_t>(address7) == radovl::DecoderAddress.channel1) decoder = 0;
    if (static_cast<uint32_t>(address7) == radovl::DecoderAddress.channel2) decoder = 1;
    if (decoder < 0) return -1;
    return State().boards[board].decoder[decoder][reg];
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_DspStarted(int32_t board, int32_t target) {
    const Locked hold;
    if (!ValidBoard(board)) return 0;
    const radovl::sim::BoardState& b = State().boards[board];
    switch (target) {
        case 0: return b.mainStarted ? 1 : 0;
        case 1: return b.videoStarted[0] ? 1 : 0;
        case 2: return b.videoStarted[1] ? 1 : 0;
        default: return 0;
    }
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_SleptMs(void) {
    const Locked hold;
    return State().sleptMs;
}

RADOVL_API void RADOVL_CALL RadovlSim_TraceClear(void) {
    const Locked hold;
    radovl::sim::ClearTrace();
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCount(void) {
    const Locked hold;
    return static_cast<int32_t>(State().trace.entries.size());
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceGet(int32_t index, RadovlSimRequest* out) {
    const Locked hold;
    const RadovlSimRequest* request = index < 0 ? nullptr : radovl::sim::TraceAt(static_cast<size_t>(index));
    if (out == nullptr || request == nullptr) return 0;
    *out = *request;
    return 1;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetTraceEnabled(int32_t on) {
    const Locked hold;
    State().traceSettings.enabled = on != 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetMutexFault(int32_t mode) {
    const Locked hold;
    State().mutexFault = mode < 0 ? 0 : mode;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_OpenHandles(void) {
    const Locked hold;
    return radovl::sim::OpenHandleCount();
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_RequestCount(void) {
    const Locked hold;
    return State().requestCount;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_SetTraceCapacity(int32_t entries) {
    const Locked hold;
    if (entries == -1) {
        radovl::sim::ResizeTrace(radovl::sim::TraceNoBound);
    } else if (entries >= 1) {
        radovl::sim::ResizeTrace(static_cast<size_t>(entries));
    } else {
        return 0;
    }
    return 1;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCapacity(void) {
    const Locked hold;
    const size_t capacity = State().traceSettings.capacity;
    return capacity == radovl::sim::TraceNoBound ? -1 : static_cast<int32_t>(capacity);
}

RADOVL_API uint64_t RADOVL_CALL RadovlSim_TraceDropped(void) {
    const Locked hold;
    return State().trace.dropped;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetRequestObserver(RadovlSimObserver observer, void* context) {
    const Locked hold;
    State().observer = observer;
    State().observerContext = context;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetReadSource(RadovlSimReadSource source, void* context) {
    const Locked hold;
    State().readSource = source;
    State().readSourceContext = context;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetAnswerSource(RadovlSimAnswerSource source, void* context) {
    const Locked hold;
    State().answerSource = source;
    State().answerSourceContext = context;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_SendRequest(int32_t board, uint32_t code, void* record, uint32_t size,
                                                     void* destination) {
    const Locked hold;
    if (board < 0 || board >= radovl::sim::Boards || !State().boards[board].present || record == nullptr) return 0;
    return radovl::sim::ServeRequest(board, code, record, size, destination) ? 1 : 0;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_SaveBoards(void) {
    const Locked hold;
    radovl::sim::SimState& s = State();
    // Numbers are not used again while the process lives (after 2^31 - 1
    // saves, numbers still free are taken from 1 again).
    int32_t number = s.lastSaved;
    do {
        number = number == INT32_MAX ? 1 : number + 1;
    } while (s.saved.count(number) != 0);
    radovl::sim::SavedBoards& saved = s.saved[number];
    for (int b = 0; b < radovl::sim::Boards; ++b) saved.boards[b] = s.boards[b];
    s.lastSaved = number;
    return number;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_RestoreBoards(int32_t saved) {
    const Locked hold;
    radovl::sim::SimState& s = State();
    const auto found = s.saved.find(saved);
    if (found == s.saved.end()) return 0;
    for (int b = 0; b < radovl::sim::Boards; ++b) s.boards[b] = found->second.boards[b];
    return 1;
}

RADOVL_API void RADOVL_CALL RadovlSim_FreeBoards(int32_t saved) {
    const Locked hold;
    State().saved.erase(saved);
}

}  // extern "C"
