#include "text/output_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
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
    opened_ = false;
    error_.clear();
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        Failed("cannot write", errno);
        return false;
    }
    opened_ = true;
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
    // A file Open could not open is not this object's to remove.
    if (opened_) RemoveIfRegular(path_);
    opened_ = false;
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

#ifndef _WIN32
void RemoveListed() {
    const Hold hold(interruptMutex);
    std::error_code ec;
    for (const std::string& path : removedOnInterrupt) fs::remove_all(path, ec);
}
#endif

#ifdef _WIN32
// Windows calls this in a thread of its own for Ctrl-C, Ctrl-Break and a
// closed console window. The interrupted call still holds files open (the
// trace, a program being loaded, the work directory as the current one),
// and Windows removes nothing open: a copy of the tool, started detached
// from the console, removes the listed paths once this process has ended.
// The exit statuses are those of the POSIX build (Ctrl-C as SIGINT, the
// others as SIGTERM).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    wchar_t self[MAX_PATH + 1] = {};
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const DWORD tempLength = GetTempPathW(MAX_PATH, temp);
    std::wstring command = std::wstring(L"\"") + self + L"\" " + fs::path(RemoveAfterExitCommand).wstring() + L" " +
                           std::to_wstring(GetCurrentProcessId());
    bool any = false;
    {
        const Hold hold(interruptMutex);
        for (const std::string& path : removedOnInterrupt) {
            command += L" \"" + fs::path(path).wstring() + L"\"";
            any = true;
        }
    }
    if (any && selfLength > 0 && selfLength < MAX_PATH) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                           DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr,
                           tempLength > 0 && tempLength < MAX_PATH ? temp : nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
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

#ifdef _WIN32
int RemoveAfterExit(int argc, char** argv) {
    if (argc < 3) return 2;
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        WaitForSingleObject(process, 30000);
        CloseHandle(process);
    }
    std::error_code ec;
    for (int i = 3; i < argc; ++i) fs::remove_all(argv[i], ec);
    return 0;
}
#endif

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
