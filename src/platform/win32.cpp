// Platform seam of the product: the board's kernel driver through its
// device, the board's named mutex, and the Win32 process and display
// queries.
#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "hw/driver.h"

namespace radovl::platform {
namespace {

// The monitor record as the display queries fill it: cbSize 40.
static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO is 40 bytes");
static_assert(MutexAllAccess == MUTEX_ALL_ACCESS, "the board mutex is opened with every mutex right");

// Longest path the Win32 path functions can return, in characters.
constexpr DWORD LongestPath = 32768;

Rect FromRect(const RECT& r) {
    return Rect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top), static_cast<int32_t>(r.right),
                static_cast<int32_t>(r.bottom)};
}

}  // namespace

Handle CreateNamedMutex(const char* name) {
    // An existing mutex of that name is opened by the same call.
    return ::CreateMutexA(nullptr, FALSE, name);
}

Handle OpenNamedMutex(const char* name) { return ::OpenMutexA(MutexAllAccess, TRUE, name); }

Handle OpenDevice(const char* path) {
    // Synchronous I/O: the device is opened without FILE_FLAG_OVERLAPPED.
    return ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

bool CloseHandle(Handle handle) { return ::CloseHandle(handle) != FALSE; }

// The driver works on the record in place (method neither) and writes a
// read's value through the host address in the record's data word, so the
// separate destination pointer is not needed here.
bool DeviceControl(Handle device, uint32_t code, void* record, uint32_t size, void* /*hostBuffer*/) {
    DWORD returned = 0;
    return ::DeviceIoControl(device, code, record, size, record, size, &returned, nullptr) != FALSE;
}

void Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

std::string ExecutablePath() {
    // GetModuleFileNameA fills the whole buffer when the path is cut short;
    // grow it until the path fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD n = ::GetModuleFileNameA(nullptr, &path[0], size);
        if (n == 0) return std::string();
        if (n < size) {
            path.resize(n);
            return path;
        }
        if (size >= LongestPath) return std::string();
        path.resize(size * 2);
    }
}

char PathSeparator() { return '\\'; }

Rect ScreenClipBox() {
    RECT box{0, 0, 0, 0};
    HDC screen = ::GetDC(nullptr);
    if (screen != nullptr) {
        ::GetClipBox(screen, &box);
        ::ReleaseDC(nullptr, screen);
    }
    return FromRect(box);
}

Rect MonitorOfPoint(int32_t x, int32_t y) {
    POINT point{x, y};
    HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    // Without an answer rcMonitor stays empty: the point counts as being on
    // a monitor whose corner is the origin.
    ::GetMonitorInfoA(monitor, &info);
    return FromRect(info.rcMonitor);
}

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

}  // namespace radovl::platform
