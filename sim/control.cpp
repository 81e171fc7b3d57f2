// The simulator's control API: what tests, the radovl-sim tool and outside
// scripts use to set up the simulated board and look at it.
#include "radovl/sim.h"

#include "hw/registers.h"
#include "simulator.h"

using radovl::sim::State;

namespace {

bool ValidBoard(int32_t board) { return board >= 0 && board < radovl::sim::Boards; }
bool ValidDsp(int32_t dsp) { return dsp >= 0 && dsp < radovl::sim::VideoDsps; }

}  // namespace

extern "C" {

RADOVL_API void RADOVL_CALL RadovlSim_SetScreen(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    State().screen = radovl::sim::Rect{left, top, right, bottom};
}

RADOVL_API void RADOVL_CALL RadovlSim_ClearMonitors(void) { State().monitors.clear(); }

RADOVL_API void RADOVL_CALL RadovlSim_AddMonitor(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    State().monitors.push_back(radovl::sim::Rect{left, top, right, bottom});
}

RADOVL_API void RADOVL_CALL RadovlSim_SetExecutablePath(const char* path) {
    State().executablePathSet = path != nullptr;
    State().executablePath = path != nullptr ? path : "";
}

RADOVL_API void RADOVL_CALL RadovlSim_SetBoardPresent(int32_t board, int32_t present) {
    if (ValidBoard(board)) State().boards[board].present = present != 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetScratchFault(int32_t board, int32_t on) {
    if (ValidBoard(board)) State().boards[board].scratchFault = on != 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetI2cBusyReads(int32_t reads) {
    State().i2cBusyReads = reads < 0 ? -1 : reads;
    // A core stuck busy comes free once it is told to answer again.
    if (reads >= 0) {
        for (radovl::sim::BoardState& board : State().boards) {
            if (board.i2c.busyReadsLeft < 0) board.i2c.busyReadsLeft = reads;
        }
    }
}

RADOVL_API void RADOVL_CALL RadovlSim_FailRequests(int32_t first, int32_t count, int32_t status) {
    radovl::sim::Fault fault;
    if (first >= 1 && count != 0) {
        fault.first = static_cast<uint32_t>(first);
        fault.count = count < 0 ? -1 : count;
        fault.status = status;
    }
    State().fault = fault;
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekMain(int32_t board, uint32_t address) {
    return ValidBoard(board) ? State().boards[board].main.Read(address, 4) : 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_PokeMain(int32_t board, uint32_t address, uint32_t value) {
    if (ValidBoard(board)) State().boards[board].main.Write(address, 4, value);
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekVideo(int32_t board, int32_t dsp, uint32_t address) {
    return ValidBoard(board) && ValidDsp(dsp) ? State().boards[board].video[dsp].Read(address, 4) : 0;
}

RADOVL_API void RADOVL_CALL RadovlSim_PokeVideo(int32_t board, int32_t dsp, uint32_t address, uint32_t value) {
    if (ValidBoard(board) && ValidDsp(dsp)) State().boards[board].video[dsp].Write(address, 4, value);
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_PeekPci(int32_t board, uint32_t offset) {
    if (!ValidBoard(board) || offset >= radovl::sim::PciRegisterBytes) return 0;
    uint32_t value = 0;
    const uint8_t* pci = State().boards[board].pci;
    for (uint32_t i = 0; i < 4 && offset + i < radovl::sim::PciRegisterBytes; ++i) {
        value |= static_cast<uint32_t>(pci[offset + i]) << (8 * i);
    }
    return value;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_PeekDecoder(int32_t board, int32_t address7, int32_t reg) {
    if (!ValidBoard(board) || reg < 0 || reg > 255) return -1;
    int decoder = -1;
    if (static_cast<uint32_t>(address7) == radovl::DecoderAddress.channel1) decoder = 0;
    if (static_cast<uint32_t>(address7) == radovl::DecoderAddress.channel2) decoder = 1;
    if (decoder < 0) return -1;
    return State().boards[board].decoder[decoder][reg];
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_DspStarted(int32_t board, int32_t target) {
    if (!ValidBoard(board)) return 0;
    const radovl::sim::BoardState& b = State().boards[board];
    switch (target) {
        case 0: return b.mainStarted ? 1 : 0;
        case 1: return b.videoStarted[0] ? 1 : 0;
        case 2: return b.videoStarted[1] ? 1 : 0;
        default: return 0;
    }
}

RADOVL_API uint32_t RADOVL_CALL RadovlSim_SleptMs(void) { return State().sleptMs; }

RADOVL_API void RADOVL_CALL RadovlSim_TraceClear(void) {
    State().trace.clear();
    State().requestCount = 0;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceCount(void) { return static_cast<int32_t>(State().trace.size()); }

RADOVL_API int32_t RADOVL_CALL RadovlSim_TraceGet(int32_t index, RadovlSimRequest* out) {
    const auto& trace = State().trace;
    if (out == nullptr || index < 0 || static_cast<size_t>(index) >= trace.size()) return 0;
    *out = trace[static_cast<size_t>(index)];
    return 1;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetTraceEnabled(int32_t on) { State().traceEnabled = on != 0; }

RADOVL_API void RADOVL_CALL RadovlSim_SetMutexFault(int32_t mode) { State().mutexFault = mode < 0 ? 0 : mode; }

RADOVL_API int32_t RADOVL_CALL RadovlSim_OpenHandles(void) { return radovl::sim::OpenHandleCount(); }

RADOVL_API uint32_t RADOVL_CALL RadovlSim_RequestCount(void) { return State().requestCount; }

RADOVL_API void RADOVL_CALL RadovlSim_SetRequestObserver(RadovlSimObserver observer, void* context) {
    State().observer = observer;
    State().observerContext = context;
}

RADOVL_API void RADOVL_CALL RadovlSim_SetReadSource(RadovlSimReadSource source, void* context) {
    State().readSource = source;
    State().readSourceContext = context;
}

RADOVL_API int32_t RADOVL_CALL RadovlSim_SendRequest(int32_t board, uint32_t code, void* record, uint32_t size,
                                                     void* destination) {
    if (board < 0 || board >= radovl::sim::Boards || !State().boards[board].present || record == nullptr) return 0;
    return radovl::sim::ServeRequest(board, code, record, size, destination) ? 1 : 0;
}

}  // extern "C"
