// The control device's operations on the simulated board, through its
// public control API: the board DLL answers them for the driver, and an
// in-process host the same way, so that both see one set of controls.
#include "softboard/control_answer.h"

#include <cstring>

#include "radovl/sim.h"

namespace {

uint32_t TraceRead(int32_t first, void* out, uint32_t outSize) {
    auto* records = static_cast<RadovlSimRequest*>(out);
    const uint32_t room = outSize / sizeof(RadovlSimRequest);
    uint32_t n = 0;
    while (n < room && RadovlSim_TraceGet(first + static_cast<int32_t>(n), &records[n]) != 0) ++n;
    return n * static_cast<uint32_t>(sizeof(RadovlSimRequest));
}

uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }
int32_t S(uint32_t v) { return static_cast<int32_t>(v); }

int32_t Answer(const RadovlControlRequest& r) {
    const int32_t* a = r.args;
    switch (r.operation) {
        case RadovlControlSetBoardPresent: RadovlSim_SetBoardPresent(a[0], a[1]); return 1;
        case RadovlControlSetScratchFault: RadovlSim_SetScratchFault(a[0], a[1]); return 1;
        case RadovlControlSetI2cBusyReads: RadovlSim_SetI2cBusyReads(a[0]); return 1;
        case RadovlControlFailRequests: RadovlSim_FailRequests(a[0], a[1], a[2]); return 1;
        case RadovlControlTraceClear: RadovlSim_TraceClear(); return 1;
        case RadovlControlTraceCount: return RadovlSim_TraceCount();
        case RadovlControlSetTraceEnabled: RadovlSim_SetTraceEnabled(a[0]); return 1;
        case RadovlControlRequestCount: return S(RadovlSim_RequestCount());
        case RadovlControlPeekMain: return S(RadovlSim_PeekMain(a[0], U(a[1])));
        case RadovlControlPeekVideo: return S(RadovlSim_PeekVideo(a[0], a[1], U(a[2])));
        case RadovlControlPeekPci: return S(RadovlSim_PeekPci(a[0], U(a[1])));
        case RadovlControlPeekDecoder: return RadovlSim_PeekDecoder(a[0], a[1], a[2]);
        case RadovlControlDspStarted: return RadovlSim_DspStarted(a[0], a[1]);
        case RadovlControlPokeMain: RadovlSim_PokeMain(a[0], U(a[1]), U(a[2])); return 1;
        case RadovlControlPokeVideo: RadovlSim_PokeVideo(a[0], a[1], U(a[2]), U(a[3])); return 1;
        default: return -1;
    }
}

}  // namespace

uint32_t RadovlControlAnswer(const RadovlControlRequest* request, void* out, uint32_t outSize) {
    if (request->operation == RadovlControlTraceRead) return TraceRead(request->args[0], out, outSize);
    if (outSize < sizeof(int32_t)) return 0;
    const int32_t value = Answer(*request);
    std::memcpy(out, &value, sizeof value);
    return sizeof value;
}
