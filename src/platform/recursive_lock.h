// A lock the thread holding it may take again, as often as it gives it
// back. Windows gets a critical section: the i686 MinGW toolchain's win32
// thread model has no std::recursive_mutex. Header only, so that the
// simulated board, which must stand without the library, uses it too.
#pragma once

#if defined(_WIN32)
#include "platform/windows_headers.h"
#else
#include <mutex>
#endif

namespace radovl::platform {

class RecursiveLock {
public:
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;
#if defined(_WIN32)
    RecursiveLock() { InitializeCriticalSection(&section_); }
    ~RecursiveLock() { DeleteCriticalSection(&section_); }
    void Lock() { EnterCriticalSection(&section_); }
    void Unlock() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
#else
    RecursiveLock() = default;
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }

private:
    std::recursive_mutex mutex_;
#endif
};

}  // namespace radovl::platform
