#include "text/output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#else
#include <windows.h>
#endif

namespace radovl::tool {

namespace fs = std::filesystem;

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

void OutputFile::Failed(const char* what, int reason) {
    if (error_.empty()) error_ = std::string(what) + " " + path_ + ": " + std::strerror(reason);
}

bool OutputFile::Open(const std::string& path) {
    path_ = path;
    error_.clear();
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        Failed("cannot write", errno);
        return false;
    }
    // Half-written, it goes if the tool is interrupted; a device stays.
    if (fs::is_regular_file(path, ec) || !existed) RemoveOnInterrupt(fs::absolute(path, ec).string());
    return true;
}

bool OutputFile::Write(const std::string& bytes) {
    if (file_ == nullptr || failed()) return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        Failed("cannot write", errno != 0 ? errno : EIO);
        return false;
    }
    return true;
}

bool OutputFile::Close() {
    if (file_ == nullptr) return !failed();
    errno = 0;
    if (std::fflush(file_) != 0) Failed("cannot write", errno != 0 ? errno : EIO);
    if (std::fclose(file_) != 0) Failed("cannot write", errno != 0 ? errno : EIO);
    file_ = nullptr;
    std::error_code ec;
    if (!failed()) DropOnInterrupt(fs::absolute(path_, ec).string());
    return !failed();
}

void OutputFile::Discard() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty()) RemoveIfRegular(path_);
    std::error_code ec;
    if (!path_.empty()) DropOnInterrupt(fs::absolute(path_, ec).string());
}

namespace {

// The list is read by the thread that takes the interrupt.
#ifndef _WIN32
std::mutex interruptMutex;
using Hold = std::lock_guard<std::mutex>;
#else
SRWLOCK interruptMutex = SRWLOCK_INIT;  // std::mutex is not in every MinGW threads model
class Hold {
public:
    explicit Hold(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Hold() { ReleaseSRWLockExclusive(&lock_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    SRWLOCK& lock_;
};
#endif
std::vector<std::string> removedOnInterrupt;

}  // namespace

void RemoveOnInterrupt(const std::string& path) {
    const Hold hold(interruptMutex);
    removedOnInterrupt.push_back(path);
}

void DropOnInterrupt(const std::string& path) {
    const Hold hold(interruptMutex);
    removedOnInterrupt.erase(std::remove(removedOnInterrupt.begin(), removedOnInterrupt.end(), path),
                             removedOnInterrupt.end());
}

namespace {

void RemoveListed() {
    const Hold hold(interruptMutex);
    std::error_code ec;
    for (const std::string& path : removedOnInterrupt) fs::remove_all(path, ec);
}

#ifdef _WIN32
// Windows calls this in a thread of its own for Ctrl-C, Ctrl-Break and a
// closed console window; the exit statuses are those of the POSIX build
// (Ctrl-C as SIGINT, the others as SIGTERM).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    RemoveListed();
    ExitProcess(event == CTRL_C_EVENT ? 128 + 2 : 128 + 15);
    return TRUE;
}
#endif

}  // namespace

// POSIX signals go to one thread that waits for them, so the removal runs
// as ordinary code, not inside a signal handler.
void HandleInterrupts() {
#ifndef _WIN32
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
    std::thread([signals] {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0) return;
        RemoveListed();
        _exit(128 + signal);
    }).detach();
#else
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#endif
}

void RemoveIfRegular(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) fs::remove(path, ec);
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return pa == pb;
}

}  // namespace radovl::tool
