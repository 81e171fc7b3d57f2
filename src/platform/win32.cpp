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
#include <cstring>

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

// A critical section: recursive, and there is no std::recursive_mutex in
// the i686 toolchain's win32 thread model. Never deleted: a host thread may
// still call in while the process exits.
CRITICAL_SECTION* CallLock() {
    static CRITICAL_SECTION* const section = [] {
        auto* made = new CRITICAL_SECTION;
        InitializeCriticalSection(made);
        return made;
    }();
    return section;
}
// Made while the DLL loads, before any host thread can race for it.
[[maybe_unused]] CRITICAL_SECTION* const callLockAtLoad = CallLock();

#if defined(_WIN64)
// The driver writes a read's value through the record's 32-bit data word.
// In a 64-bit process a destination above 4 GiB does not fit it, so every
// open device gets one small buffer below 4 GiB for those reads.
constexpr uint64_t FourGiB = uint64_t{1} << 32;
constexpr size_t LowBufferBytes = 4096;

struct LowBuffer {
    Handle device;
    uint8_t* bytes;
};

SRWLOCK lowBuffersLock = SRWLOCK_INIT;
LowBuffer lowBuffers[8];  // more boards than a machine holds

bool FitsDataWord(const void* pointer, size_t bytes) {
    return reinterpret_cast<uint64_t>(pointer) + bytes <= FourGiB;
}

// Committed read/write memory below 4 GiB, or nullptr when the free
// address space there is all taken.
uint8_t* AllocateBelow4GiB(size_t bytes) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    const uint64_t granularity = info.dwAllocationGranularity;
    uint64_t address = granularity;
    while (address < FourGiB) {
        MEMORY_BASIC_INFORMATION region;
        if (::VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region) == 0) break;
        const uint64_t base = reinterpret_cast<uint64_t>(region.BaseAddress);
        const uint64_t end = base + region.RegionSize;
        const uint64_t start = (base + granularity - 1) / granularity * granularity;
        if (region.State == MEM_FREE && start + bytes <= end && start + bytes <= FourGiB) {
            void* p = ::VirtualAlloc(reinterpret_cast<void*>(start), bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (p != nullptr && FitsDataWord(p, bytes)) return static_cast<uint8_t*>(p);
            if (p != nullptr) ::VirtualFree(p, 0, MEM_RELEASE);
        }
        address = end;
    }
    return nullptr;
}

void AttachLowBuffer(Handle device) {
    uint8_t* bytes = AllocateBelow4GiB(LowBufferBytes);
    if (bytes == nullptr) return;  // reads through high destinations are then refused
    ::AcquireSRWLockExclusive(&lowBuffersLock);
    for (LowBuffer& slot : lowBuffers) {
        if (slot.device == nullptr) {
            slot = LowBuffer{device, bytes};
            bytes = nullptr;
            break;
        }
    }
    ::ReleaseSRWLockExclusive(&lowBuffersLock);
    if (bytes != nullptr) ::VirtualFree(bytes, 0, MEM_RELEASE);
}

void DetachLowBuffer(Handle device) {
    ::AcquireSRWLockExclusive(&lowBuffersLock);
    for (LowBuffer& slot : lowBuffers) {
        if (slot.device == device) {
            ::VirtualFree(slot.bytes, 0, MEM_RELEASE);
            slot = LowBuffer{nullptr, nullptr};
        }
    }
    ::ReleaseSRWLockExclusive(&lowBuffersLock);
}

uint8_t* LowBufferOf(Handle device) {
    ::AcquireSRWLockShared(&lowBuffersLock);
    uint8_t* bytes = nullptr;
    for (const LowBuffer& slot : lowBuffers) {
        if (slot.device == device) bytes = slot.bytes;
    }
    ::ReleaseSRWLockShared(&lowBuffersLock);
    return bytes;
}

// A read whose destination lies above 4 GiB goes through the device's low
// buffer; without one it is refused: no request, the destination reads 0.
bool ReadThroughLowBuffer(Handle device, MemoryRequest* request, void* destination) {
    const size_t bytes = size_t{FunctionWidth(request->function)} * request->count;
    uint8_t* low = LowBufferOf(device);
    if (low == nullptr || bytes > LowBufferBytes) {
        std::memset(destination, 0, bytes);
        return false;
    }
    request->data = static_cast<uint32_t>(reinterpret_cast<uint64_t>(low));
    DWORD returned = 0;
    if (!::DeviceIoControl(device, MemoryRequestCode, request, sizeof *request, request, sizeof *request, &returned,
                           nullptr)) {
        return false;
    }
    std::memcpy(destination, low, bytes);
    return true;
}
#endif

}  // namespace

void EnterCall() { EnterCriticalSection(CallLock()); }
void LeaveCall() { LeaveCriticalSection(CallLock()); }

Handle CreateNamedMutex(const char* name) {
    // An existing mutex of that name is opened by the same call.
    return ::CreateMutexA(nullptr, FALSE, name);
}

Handle OpenNamedMutex(const char* name) { return ::OpenMutexA(MutexAllAccess, TRUE, name); }

Handle OpenDevice(const char* path) {
    // Synchronous I/O: the device is opened without FILE_FLAG_OVERLAPPED.
    Handle device = ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
#if defined(_WIN64)
    if (device != INVALID_HANDLE_VALUE) AttachLowBuffer(device);
#endif
    return device;
}

bool CloseHandle(Handle handle) {
#if defined(_WIN64)
    DetachLowBuffer(handle);
#endif
    return ::CloseHandle(handle) != FALSE;
}

// The driver works on the record in place (method neither) and writes a
// read's value through the host address in the record's data word. That
// word holds the whole address in a 32-bit process; a 64-bit one reads
// through a buffer below 4 GiB when the destination lies above.
bool DeviceControl(Handle device, uint32_t code, void* record, uint32_t size, void* hostBuffer) {
#if defined(_WIN64)
    if (hostBuffer != nullptr && code == MemoryRequestCode && size == sizeof(MemoryRequest)) {
        auto* request = static_cast<MemoryRequest*>(record);
        if (!FitsDataWord(hostBuffer, size_t{FunctionWidth(request->function)} * request->count)) {
            return ReadThroughLowBuffer(device, request, hostBuffer);
        }
    }
#else
    (void)hostBuffer;
#endif
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
