// The display-mode file: "out/dismodeconfig.inf" beside the host
// executable, with a "DisMode" key line and an optional "#END".
#include <climits>
#include <cstring>
#include <string>

#include "api/startup.h"
#include "board/capture.h"
#include "radovl/capture.h"
#include "platform/platform.h"
#include "windows/state.h"

namespace radovl {
namespace {

constexpr char LineFeed = 10;
constexpr char CarriageReturn = 13;
constexpr char Key[] = "DisMode";
constexpr size_t KeyLength = sizeof Key - 1;
constexpr char EndMark[] = "#END";
constexpr size_t EndMarkLength = sizeof EndMark - 1;

std::string DisplayModeFilePath() {
    const std::string executable = platform::ExecutablePath();
    if (executable.empty()) return std::string();
    const char separator = platform::PathSeparator();
    const size_t last = executable.rfind(separator);
    const std::string directory = last == std::string::npos ? std::string(".") : executable.substr(0, last);
    return directory + separator + "out" + separator + "dismodeconfig.inf";
}

bool IsScanSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A decimal integer as "%d" reads it: white space skipped, optional sign,
// at least one digit. Values beyond int range saturate, so that no long
// number can wrap round to 1.
bool ScanDecimal(const char* p, long long* value) {
    while (IsScanSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (*p - '0');
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}

// A key line sets DisMode to 1 for the value 1 and 0 for any other integer.
// A key line without a readable value leaves DisMode as it was.
void ApplyKeyLine(const char* line) {
    const char* value = FindConfigValue(line);
    long long number = 0;
    if (value == nullptr || !ScanDecimal(value, &number)) return;
    state.DisMode = number == 1 ? 1 : 0;
}

}  // namespace

size_t ReadConfigLine(std::FILE* file, char* buffer, long offset) {
    std::fseek(file, offset, SEEK_SET);
    size_t count = 0;
    for (;;) {
        char byte = 0;
        if (std::fread(&byte, 1, 1, file) != 1) break;
        buffer[count++] = byte;
        if (byte == LineFeed || byte == CarriageReturn || count == ConfigLineBytes) break;
    }
    buffer[count] = 0;
    return count;
}

const char* FindConfigValue(const char* line) {
    const char* p = std::strchr(line, ' ');
    if (p == nullptr) p = std::strchr(line, '=');
    if (p == nullptr) return nullptr;
    while (*p == ' ' || *p == '=' || *p == '\t') ++p;
    return p;
}

void ReadDisplayModeFile() {
    const std::string path = DisplayModeFilePath();
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (capture::recording && !path.empty()) capture::FileOpened(path.c_str(), file != nullptr);
    if (file == nullptr) {
        state.DisMode = 1;
        return;
    }
    long offset = 0;
    // A read error ends the reading as the end of the file does.
    while (!std::feof(file) && !std::ferror(file)) {
        char line[ConfigLineBytes + 1] = {};
        offset += static_cast<long>(ReadConfigLine(file, line, offset));
        if (std::memcmp(line, Key, KeyLength) == 0) ApplyKeyLine(line);
        if (std::memcmp(line, EndMark, EndMarkLength) == 0) break;
    }
    std::fclose(file);
}

}  // namespace radovl
