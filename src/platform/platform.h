// The seam between the library and the operating system. One
// implementation is linked per build: win32.cpp (the real driver and Win32
// display queries) or sim.cpp (the simulated board).
#pragma once

#include <cstdint>
#include <string>

namespace radovl::platform {

// A kernel handle, as HANDLE is on Windows.
using Handle = void*;
inline Handle InvalidHandle() { return reinterpret_cast<Handle>(static_cast<intptr_t>(-1)); }

// The process-wide lock that every exported call holds from entry to
// return, so that calls from several host threads run one after the other
// with all of their register traffic. Recursive: the thread holding it may
// take it again. Not the board's named mutex, which the display path never
// waits on.
void EnterCall();
void LeaveCall();
class CallHeld {
public:
    CallHeld() { EnterCall(); }
    ~CallHeld() { LeaveCall(); }
    CallHeld(const CallHeld&) = delete;
    CallHeld& operator=(const CallHeld&) = delete;
};

// Named mutex: CreateMutexA (no security attributes, not owned) and
// OpenMutexA (MUTEX_ALL_ACCESS, inheritable). Both give nullptr on failure.
Handle CreateNamedMutex(const char* name);
Handle OpenNamedMutex(const char* name);

// The driver device, by its full path ("\\.\RarU64Ruz0"): read/write, no
// sharing, open existing, normal attributes. InvalidHandle() on failure.
Handle OpenDevice(const char* path);

// CloseHandle; false when the handle could not be closed.
bool CloseHandle(Handle handle);

// DeviceIoControl with record as both input and output buffer. A read
// request's destination is hostBuffer; the record's data word carries only
// its low 32 bits, which is the whole address in the 32-bit product.
bool DeviceControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer);

void Sleep(uint32_t milliseconds);

// Full path of the host process's executable; empty when unknown.
std::string ExecutablePath();
// Separator of paths on this platform.
char PathSeparator();

struct Rect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// a - b on screen coordinates as the 32-bit product's arithmetic gives it,
// modulo 2^32: edges at the ends of the range (INT_MIN) wrap as there
// instead of overflowing.
inline int32_t WrappingMinus(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// Clip box of the whole screen's device context.
Rect ScreenClipBox();
// rcMonitor of the monitor holding the point, or of the nearest one.
Rect MonitorOfPoint(int32_t x, int32_t y);

// Formatted output on standard output, flushed.
void Print(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace radovl::platform
