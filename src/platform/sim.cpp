// Platform seam of the builds with the simulated board: every driver
// request, kernel object and display query goes to the in-process
// simulator.
#include "platform/platform.h"
#include "platform/sim_board.h"

#include <cstdarg>
#include <cstdio>

#include "sim/simulator.h"

namespace radovl::platform {

namespace {

// Export calls this thread is inside: while there is one, the thread holds
// the simulator's lock, and the call's requests need not take it again.
// Initial-exec: one load relative to the thread pointer on every request,
// not a call into the dynamic loader.
#if defined(__ELF__)
__attribute__((tls_model("initial-exec")))
#endif
thread_local int callsEntered = 0;

}  // namespace

// The simulator's own lock: a RadovlSim_* call from a test host then waits
// for a running library call.
void EnterCall() {
    sim::Lock();
    ++callsEntered;
}
void LeaveCall() {
    --callsEntered;
    sim::Unlock();
}

Handle CreateNamedMutex(const char* name) { return sim::CreateNamedMutex(name); }
Handle OpenNamedMutex(const char* name) { return sim::OpenNamedMutex(name); }
Handle OpenDevice(const char* path) { return sim::OpenDevice(path); }
bool CloseHandle(Handle handle) { return sim::CloseHandle(handle); }

// Requests from outside an export call (the board layer's own tests) take
// the simulator's lock themselves.
bool DeviceControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
    if (callsEntered > 0) return sim::DeviceIoControlHeld(device, code, record, size, hostBuffer);
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
