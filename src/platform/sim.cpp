// Platform seam of the builds with the simulated board: every driver
// request, kernel object and display query goes to the in-process
// simulator.
#include "platform/platform.h"
#include "platform/sim_board.h"

#include <cstdarg>
#include <cstdio>

#include "sim/simulator.h"

namespace radovl::platform {

Handle CreateNamedMutex(const char* name) { return sim::CreateNamedMutex(name); }
Handle OpenNamedMutex(const char* name) { return sim::OpenNamedMutex(name); }
Handle OpenDevice(const char* path) { return sim::OpenDevice(path); }
bool CloseHandle(Handle handle) { return sim::CloseHandle(handle); }

bool DeviceControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    return sim::DeviceIoControl(device, code, record, size, hostBuffer);
}

void Sleep(uint32_t milliseconds) { sim::Sleep(milliseconds); }

std::string ExecutablePath() { return sim::ExecutablePath(); }

char PathSeparator() {
#if defined(_WIN32)
    return '\\';
#else
    return '/';
#endif
}

Rect ScreenClipBox() {
    const sim::Rect r = sim::ScreenClipBox();
    return Rect{r.left, r.top, r.right, r.bottom};
}

Rect MonitorOfPoint(int32_t x, int32_t y) {
    const sim::Rect r = sim::MonitorOfPoint(x, y);
    return Rect{r.left, r.top, r.right, r.bottom};
}

void PowerCycleSimulatedBoard() { sim::PowerCycle(); }

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

}  // namespace radovl::platform
