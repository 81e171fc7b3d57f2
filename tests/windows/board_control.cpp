#include "board_control.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#if defined(RADOVL_IN_PROCESS_BOARD)
#include "softboard/control_answer.h"
#endif

namespace radovl::host {
namespace {

#if defined(RADOVL_IN_PROCESS_BOARD)
uint32_t Control(const RadovlControlRequest& request, void* out, uint32_t outSize) {
    if (request.operation == RadovlControlReset) {
        RadovlSim_Reset();
        return 0;
    }
    return RadovlControlAnswer(&request, out, outSize);
}
#else
HANDLE controlDevice = INVALID_HANDLE_VALUE;

uint32_t Control(const RadovlControlRequest& request, void* out, uint32_t outSize) {
    std::vector<uint8_t> buffer(outSize > sizeof request ? outSize : sizeof request);
    std::memcpy(buffer.data(), &request, sizeof request);
    DWORD returned = 0;
    if (!DeviceIoControl(controlDevice, RADOVL_CONTROL_CODE, buffer.data(), sizeof request, buffer.data(), outSize,
                         &returned, nullptr)) {
        std::fprintf(stderr, "control request %u failed (error %lu)\n", static_cast<unsigned>(request.operation),
                     static_cast<unsigned long>(GetLastError()));
        return 0;
    }
    std::memcpy(out, buffer.data(), returned);
    return returned;
}
#endif

}  // namespace

bool OpenBoardControl() {
#if !defined(RADOVL_IN_PROCESS_BOARD)
    controlDevice = CreateFileA(RADOVL_CONTROL_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (controlDevice == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "no software board driver (%s)\n", RADOVL_CONTROL_DEVICE_PATH);
        return false;
    }
#endif
    return true;
}

int32_t Board(RadovlControlOperation operation, int32_t a0, int32_t a1, int32_t a2, int32_t a3) {
    const RadovlControlRequest request{static_cast<uint32_t>(operation), {a0, a1, a2, a3}};
    int32_t value = 0;
    Control(request, &value, sizeof value);
    return value;
}

std::vector<RadovlSimRequest> TraceFrom(int32_t first) {
    std::vector<RadovlSimRequest> trace;
    std::vector<RadovlSimRequest> chunk(2048);
    for (;;) {
        const RadovlControlRequest request{RadovlControlTraceRead, {first + static_cast<int32_t>(trace.size())}};
        const uint32_t bytes =
            Control(request, chunk.data(), static_cast<uint32_t>(chunk.size() * sizeof(RadovlSimRequest)));
        const size_t n = bytes / sizeof(RadovlSimRequest);
        trace.insert(trace.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
        if (n < chunk.size()) return trace;
    }
}

}  // namespace radovl::host
