// Fuzz target: any bytes as the display-mode file.
//
// The reader's result is compared with a model of the file's rules written
// here independently (lines end at LF or CR or after 256 bytes; a key line
// starts with "DisMode"; "#END" stops; the value after the first blank, or
// else the first "=", skipping blanks, "=" and tabs, read as %d: 1 gives
// mode 1, any other integer 0, no integer keeps the mode). The line reader
// and the value finder are also run on their own, on buffers of exactly the
// input's size.
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "api/startup.h"
#include "fuzz_support.h"
#include "radovl/sim.h"
#include "windows/state.h"

namespace {

using radovl::fuzz::Check;

constexpr uint8_t Unset = 7;  // DisMode before the file is read
constexpr size_t LineBytes = 256;

bool IsLineEnd(uint8_t b) { return b == 10 || b == 13; }

// Mode the value text gives, or -1 when it holds no integer.
int ModelValue(const std::string& line) {
    size_t p = line.find(' ');
    if (p == std::string::npos) p = line.find('=');
    if (p == std::string::npos) return -1;
    while (p < line.size() && (line[p] == ' ' || line[p] == '=' || line[p] == '\t')) ++p;
    while (p < line.size() && (line[p] == ' ' || (line[p] >= 9 && line[p] <= 13))) ++p;
    bool negative = false;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) negative = line[p++] == '-';
    const size_t digits = p;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9') ++p;
    if (p == digits) return -1;
    std::string number = line.substr(digits, p - digits);
    number.erase(0, number.find_first_not_of('0'));
    return !negative && number == "1" ? 1 : 0;
}

int ModelDisMode(const uint8_t* data, size_t size, int mode) {
    size_t offset = 0;
    for (;;) {
        size_t n = 0;
        bool end = false;
        for (;;) {
            if (offset + n >= size) {
                end = true;
                break;
            }
            const uint8_t b = data[offset + n++];
            if (IsLineEnd(b) || n == LineBytes) break;
        }
        char piece[LineBytes + 1] = {};
        std::memcpy(piece, data + offset, n);
        offset += n;
        if (std::memcmp(piece, "DisMode", 7) == 0) {
            const int value = ModelValue(std::string(piece));  // up to the first zero byte
            if (value >= 0) mode = value;
        }
        if (std::memcmp(piece, "#END", 4) == 0 || end) return mode;
    }
}

void CheckLineReader(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    Check(file != nullptr, "cannot reopen the input");
    for (size_t offset : {size_t{0}, size / 2, size, size + 3}) {
        std::unique_ptr<char[]> line(new char[LineBytes + 1]);
        const size_t n = radovl::ReadConfigLine(file, line.get(), static_cast<long>(offset));
        size_t expected = 0;
        while (offset + expected < size) {
            const uint8_t b = data[offset + expected++];
            if (IsLineEnd(b) || expected == LineBytes) break;
        }
        Check(n == expected, "line length", static_cast<long long>(n), static_cast<long long>(expected));
        Check(line[n] == 0, "line not terminated");
        Check(n == 0 || std::memcmp(line.get(), data + offset, n) == 0, "line bytes differ");
    }
    std::fclose(file);
}

void CheckValueFinder(const uint8_t* data, size_t size) {
    // Exactly the input and its terminator: one byte more read is an over-read.
    std::unique_ptr<char[]> line(new char[size + 1]);
    std::memcpy(line.get(), data, size);
    line[size] = 0;
    const char* value = radovl::FindConfigValue(line.get());
    const size_t length = std::strlen(line.get());
    Check(value == nullptr || (value >= line.get() && value <= line.get() + length), "value outside the line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string file = [] {
        const std::string dir = radovl::fuzz::WorkDir();
        std::filesystem::create_directories(dir + "/bin/out");
        RadovlSim_SetExecutablePath((dir + "/bin/console").c_str());
        return dir + "/bin/out/dismodeconfig.inf";
    }();
    radovl::fuzz::WriteBytes(file, data, size);

    radovl::state.DisMode = Unset;
    radovl::ReadDisplayModeFile();
    const int expected = ModelDisMode(data, size, Unset);
    Check(radovl::state.DisMode == expected, "DisMode differs from the file's rules", radovl::state.DisMode, expected);

    CheckLineReader(file, data, size);
    CheckValueFinder(data, size);
    return 0;
}
