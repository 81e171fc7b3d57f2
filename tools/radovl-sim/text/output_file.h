// Files the tool writes (the trace, pictures): every write checked, the OS
// reason kept, and a file that could not be completed removed rather than
// left half-written.
#pragma once

#include <cstdio>
#include <string>

namespace radovl::tool {

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates or truncates path; false with the reason in error().
    bool Open(const std::string& path);
    bool is_open() const { return file_ != nullptr; }
    // Appends bytes; after the first failure every call fails and does nothing.
    bool Write(const std::string& bytes);
    // Flushes and closes; false with the reason when anything failed.
    bool Close();
    // Closes and removes the file when it is a regular file this object
    // created or truncated (a device such as /dev/full is left alone).
    void Discard();
    bool failed() const { return !error_.empty(); }
    // "cannot write PATH: No space left on device"
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

private:
    void Failed(const char* what, int reason);

    std::FILE* file_ = nullptr;
    bool opened_ = false;  // Open created or truncated the file: Discard may remove it
    std::string path_;
    std::string error_;
};

// True when a and b name the same file, existing or not: equal once made
// absolute and normalised, or the same file on disk.
bool SameFile(const std::string& a, const std::string& b);

// Removes path when it is a regular file.
void RemoveIfRegular(const std::string& path);

// What an interrupted tool (SIGINT, SIGTERM; on Windows Ctrl-C, Ctrl-Break
// or its console closed) removes before it exits with 128 + the signal
// (Windows: 130 for Ctrl-C, 143 for the others): the outputs being written
// and the run's private work directory. Drop takes a path off the list once
// it is whole or gone.
void RemoveOnInterrupt(const std::string& path);
void DropOnInterrupt(const std::string& path);
// From here on, an interrupt removes the listed paths and ends the process.
void HandleInterrupts();

#ifdef _WIN32
// What an interrupted tool starts to remove its paths once it has ended
// (Windows removes no file a process holds open):
//   radovl-sim --remove-after-exit PID PATH...
constexpr const char* RemoveAfterExitCommand = "--remove-after-exit";
int RemoveAfterExit(int argc, char** argv);
#endif

}  // namespace radovl::tool
