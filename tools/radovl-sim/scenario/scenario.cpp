#include "scenario/scenario.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "hw/registers.h"
#include "scenario/demo_programs.h"
#include "radovl/radovl.h"
#include "boardview/register_names.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

namespace fs = std::filesystem;

constexpr int64_t SlotMin = -2147483648LL;  // int32 minimum
// Screen and monitor edges: their differences (a width, a point relative
// to a monitor) fit in 32 bits.
constexpr int64_t EdgeMin = -1073741824LL;
constexpr int64_t EdgeMax = 1073741823LL;
constexpr int64_t SlotMax = 4294967295LL;   // uint32 maximum: a slot holds either

class LineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits a line into words: commas and parentheses separate like blanks,
// '=' is a word of its own, a double-quoted text (a path with blanks) is
// one word, and '#' outside quotes starts a comment.
std::vector<std::string> Tokenize(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;  // the current word was quoted: kept even when empty
    auto flush = [&] {
        if (!word.empty() || quoted) words.push_back(word);
        word.clear();
        quoted = false;
    };
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos) throw LineError("a quoted text has no closing '\"'");
            word += line.substr(i + 1, close - i - 1);
            quoted = true;
            i = close;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == ',' || c == '(' || c == ')') {
            flush();
        } else if (c == '=') {
            flush();
            words.emplace_back("=");
        } else {
            word += c;
        }
    }
    flush();
    if (words.empty()) {
        throw LineError("a line of only '(', ')' or ',': a call and its arguments go on one line");
    }
    return words;
}

int64_t Integer(const std::string& text, const std::string& what) {
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v) throw LineError(what + " must be an integer (decimal or 0x hex), not '" + text + "'");
    return *v;
}

int64_t Slot(const std::string& text, const std::string& what) {
    const int64_t v = Integer(text, what);
    if (v < SlotMin || v > SlotMax) throw LineError(what + " " + text + " does not fit a 32-bit argument");
    return v;
}

int64_t InRange(const std::string& text, const std::string& what, int64_t low, int64_t high) {
    const int64_t v = Integer(text, what);
    if (v < low || v > high) {
        throw LineError(what + " must be " + std::to_string(low) + ".." + std::to_string(high) + ", not " + text);
    }
    return v;
}

double Real(const std::string& text, const std::string& what) {
    if (const std::optional<int64_t> v = ParseInteger(text)) return static_cast<double>(*v);
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || errno == ERANGE) {
        throw LineError(what + " must be a number, not '" + text + "'");
    }
    return v;
}

const std::string& NonEmptyPath(const std::string& path) {
    if (path.empty()) throw LineError("the path is empty");
    return path;
}

void ExpectCount(const std::vector<std::string>& w, size_t count, const std::string& usage) {
    if (w.size() != count) throw LineError("usage: " + usage);
}

// The statuses the exports return, by the names the header gives them.
struct StatusName {
    const char* name;
    int32_t status;
};
constexpr StatusName StatusNames[] = {
    {"DONE", RADOVL_STATUS_DONE},
    {"BAD_ARGUMENT", RADOVL_STATUS_BAD_ARGUMENT},
    {"NOT_INITIALISED", RADOVL_STATUS_NOT_INITIALISED},
};

// "= 1", "= -2", "= DONE" or "= RADOVL_STATUS_DONE".
int32_t ExpectedStatus(const std::string& text) {
    const std::string bare = text.rfind("RADOVL_STATUS_", 0) == 0 ? text.substr(14) : text;
    for (const StatusName& s : StatusNames) {
        if (bare == s.name) return s.status;
    }
    const std::optional<int64_t> v = ParseInteger(text);
    if (!v) {
        throw LineError("the expected status must be an integer or DONE, BAD_ARGUMENT or NOT_INITIALISED, not '" +
                        text + "'");
    }
    if (*v < SlotMin || *v > 2147483647LL) throw LineError("the expected status does not fit 32 bits");
    return static_cast<int32_t>(*v);
}

Step ParseCall(const std::vector<std::string>& w) {
    Step step;
    step.kind = StepKind::Call;
    step.function = FindExport(w[0]);
    if (step.function == nullptr) {
        std::string message = "unknown export or directive '" + w[0] + "'";
        const std::string suggestion = SuggestExport(w[0]);
        if (!suggestion.empty()) message += " (did you mean " + suggestion + "?)";
        throw LineError(message);
    }
    const ExportInfo& f = *step.function;
    size_t end = w.size();
    for (size_t i = 1; i < w.size(); ++i) {
        if (w[i] != "=") continue;
        if (i + 2 != w.size()) throw LineError("'=' must be followed by exactly one status, e.g. '= 1'");
        step.expectedStatus = ExpectedStatus(w[i + 1]);
        end = i;
        break;
    }
    const size_t given = end - 1;
    if (given != f.params.size()) {
        std::string signature;
        for (const std::string& p : f.params) signature += (signature.empty() ? "" : ", ") + p;
        throw LineError(f.name + " takes " + std::to_string(f.params.size()) + " argument" +
                        (f.params.size() == 1 ? "" : "s") + " (" + signature + "), " + std::to_string(given) +
                        " given");
    }
    for (size_t i = 0; i < given; ++i) {
        const std::string& text = w[i + 1];
        const std::string what = "argument " + std::to_string(i + 1) + " (" + f.params[i] + ")";
        Argument a;
        a.text = text;
        a.kind = f.kinds[i];
        if (a.kind == ParamKind::Float) {
            a.real = Real(text, what);
        } else {
            a.integer = Slot(text, what);
        }
        step.args.push_back(a);
    }
    return step;
}

uint32_t Address(const std::string& text, RegisterSpace space, const std::string& what, std::string* name) {
    if (const std::optional<int64_t> v = ParseInteger(text)) {
        if (*v < 0 || *v > static_cast<int64_t>(UINT32_MAX)) throw LineError(what + " " + text + " is not a 32-bit address");
        const uint32_t address = static_cast<uint32_t>(*v);
        if (const std::optional<RegisterName> reg = LookupRegister(space, address)) *name = reg->name;
        return address;
    }
    if (const std::optional<uint32_t> address = FindRegister(space, text)) {
        *name = text;
        return *address;
    }
    throw LineError("no register named '" + text + "' in that space (give a number, or a name such as PpiSize or "
                    "PpiStart[2])");
}

// "main ADDR", "video CH ADDR", "pci OFFSET", "decoder CH REG"; returns the
// number of words used.
size_t ParseTarget(const std::vector<std::string>& w, size_t at, PeekTarget* target) {
    if (at >= w.size()) throw LineError("which space? main, video CH, pci or decoder CH");
    const std::string& space = w[at];
    auto need = [&](size_t n, const char* usage) {
        if (w.size() < at + n) throw LineError(std::string("usage: ") + usage);
    };
    if (space == "main") {
        need(2, "main ADDRESS");
        target->space = PeekSpace::Main;
        target->address = Address(w[at + 1], RegisterSpace::Main, "address", &target->name);
        return 2;
    }
    if (space == "video") {
        need(3, "video CHANNEL ADDRESS");
        target->space = PeekSpace::Video;
        target->channel = static_cast<int32_t>(InRange(w[at + 1], "the channel", 1, 2));
        target->address = Address(w[at + 2], RegisterSpace::Video, "address", &target->name);
        return 3;
    }
    if (space == "pci") {
        need(2, "pci OFFSET");
        target->space = PeekSpace::Pci;
        target->address = Address(w[at + 1], RegisterSpace::Pci, "offset", &target->name);
        if (target->address >= PciPage::Offset + 4) throw LineError("the PCI registers are at offsets 0..11");
        return 2;
    }
    if (space == "decoder") {
        need(3, "decoder CHANNEL REGISTER");
        target->space = PeekSpace::Decoder;
        target->channel = static_cast<int32_t>(InRange(w[at + 1], "the channel", 1, 2));
        target->address = static_cast<uint32_t>(InRange(w[at + 2], "the decoder register", 0, 255));
        if (const std::optional<std::string> n = DecoderRegisterName(target->address)) target->name = *n;
        return 3;
    }
    throw LineError("unknown space '" + space + "': main, video CH, pci or decoder CH");
}

Step ParseLine(const std::vector<std::string>& w) {
    const std::string& head = w[0];
    Step step;
    if (head == "monitor") {
        if (w.size() == 2 && w[1] == "none") {
            step.kind = StepKind::MonitorNone;
            return step;
        }
        ExpectCount(w, 5, "monitor LEFT TOP RIGHT BOTTOM, or monitor none");
        step.kind = StepKind::Monitor;
        for (size_t i = 1; i < 5; ++i) step.numbers.push_back(InRange(w[i], "a monitor edge", EdgeMin, EdgeMax));
        if (step.numbers[2] <= step.numbers[0] || step.numbers[3] <= step.numbers[1]) {
            throw LineError("a monitor needs RIGHT > LEFT and BOTTOM > TOP");
        }
        return step;
    }
    if (head == "screen") {
        ExpectCount(w, 5, "screen LEFT TOP RIGHT BOTTOM");
        step.kind = StepKind::Screen;
        for (size_t i = 1; i < 5; ++i) step.numbers.push_back(InRange(w[i], "a screen edge", EdgeMin, EdgeMax));
        return step;
    }
    if (head == "board") {
        ExpectCount(w, 3, "board N absent|present|scratch-fault|scratch-ok");
        step.kind = StepKind::Board;
        step.numbers.push_back(InRange(w[1], "the board", 0, 1));
        const std::string& a = w[2];
        if (a == "absent") step.boardAction = BoardAction::Absent;
        else if (a == "present") step.boardAction = BoardAction::Present;
        else if (a == "scratch-fault") step.boardAction = BoardAction::ScratchFault;
        else if (a == "scratch-ok") step.boardAction = BoardAction::ScratchOk;
        else throw LineError("unknown board setting '" + a + "': absent, present, scratch-fault or scratch-ok");
        return step;
    }
    if (head == "i2c-busy") {
        ExpectCount(w, 2, "i2c-busy N (0 never busy, -1 busy for good)");
        step.kind = StepKind::I2cBusy;
        step.numbers.push_back(InRange(w[1], "the busy read count", -1, 1000000));
        return step;
    }
    if (head == "fail-requests") {
        ExpectCount(w, 4, "fail-requests FIRST COUNT STATUS");
        step.kind = StepKind::FailRequests;
        step.numbers.push_back(InRange(w[1], "the first request", 1, 2147483647LL));
        step.numbers.push_back(InRange(w[2], "the count", -1, 2147483647LL));
        const int64_t status = Slot(w[3], "the status");
        step.numbers.push_back(static_cast<int32_t>(static_cast<uint32_t>(status)));
        if (step.numbers[2] > 0) throw LineError("a driver status is negative (0x9xxxxxxx), or 0 for a failure without one");
        return step;
    }
    if (head == "executable") {
        ExpectCount(w, 2, "executable PATH");
        step.kind = StepKind::Executable;
        step.path = NonEmptyPath(w[1]);
        return step;
    }
    if (head == "dismode-file") {
        ExpectCount(w, 2, "dismode-file N, or dismode-file none");
        step.kind = StepKind::DisModeFile;
        if (w[1] == "none") {
            step.removeFile = true;
        } else {
            step.numbers.push_back(Slot(w[1], "the display mode"));
        }
        return step;
    }
    if (head == "make-programs") {
        if (w.size() > 2) throw LineError("usage: make-programs [CODE_BYTES]");
        step.kind = StepKind::MakePrograms;
        if (w.size() == 2) step.numbers.push_back(InRange(w[1], "the code size", 4, MaxDisplayProgramBytes));
        return step;
    }
    if (head == "peek") {
        step.kind = StepKind::Peek;
        const size_t used = ParseTarget(w, 1, &step.target);
        if (w.size() != 1 + used) throw LineError("peek takes a space and an address, nothing more");
        return step;
    }
    if (head == "expect") {
        step.kind = StepKind::Expect;
        const size_t used = ParseTarget(w, 1, &step.target);
        if (w.size() != 2 + used) throw LineError("usage: expect SPACE ADDRESS VALUE");
        const int64_t v = Integer(w[1 + used], "the expected value");
        if (v < SlotMin || v > SlotMax) throw LineError("the expected value does not fit 32 bits");
        step.expectedValue = static_cast<uint32_t>(v);
        return step;
    }
    if (head == "poke") {
        step.kind = StepKind::Poke;
        const size_t used = ParseTarget(w, 1, &step.target);
        if (step.target.space != PeekSpace::Main && step.target.space != PeekSpace::Video) {
            throw LineError("poke reaches main and video DSP memory only");
        }
        if (w.size() != 2 + used) throw LineError("usage: poke main ADDRESS VALUE, or poke video CHANNEL ADDRESS VALUE");
        const int64_t v = Integer(w[1 + used], "the value");
        if (v < SlotMin || v > SlotMax) throw LineError("the value does not fit 32 bits");
        step.expectedValue = static_cast<uint32_t>(v);
        return step;
    }
    if (head == "render") {
        ExpectCount(w, 2, "render FILE.png (or FILE.svg)");
        step.kind = StepKind::Render;
        step.path = NonEmptyPath(w[1]);
        return step;
    }
    if (head == "trace") {
        if (w.size() != 2 || (w[1] != "on" && w[1] != "off")) throw LineError("usage: trace on|off");
        step.kind = StepKind::Trace;
        step.on = w[1] == "on";
        return step;
    }
    return ParseCall(w);
}

// The line without its comment and surrounding blanks; a '#' inside a
// quoted text is part of the text.
std::string StripComment(const std::string& line) {
    bool quoted = false;
    size_t end = line.size();
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == '#' && !quoted) {
            end = i;
            break;
        }
    }
    const std::string s = line.substr(0, end);
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (code >> 18));
        *out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 text after its byte-order mark, as UTF-8. An unpaired surrogate
// becomes U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(const std::string& bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](size_t i) {
        const uint32_t a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(code, &out);
    }
    return out;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

std::optional<std::string> ScenarioTextFromBytes(std::string bytes, std::string* error) {
    // Editors on Windows start a file with a byte-order mark, and some save
    // UTF-16.
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return bytes.erase(0, 3);
    if (StartsWith(bytes, "\xFF\xFE")) return Utf16ToUtf8(bytes, false);
    if (StartsWith(bytes, "\xFE\xFF")) return Utf16ToUtf8(bytes, true);
    if (bytes.find('\0') != std::string::npos) {
        *error = "holds zero bytes: not a text file (UTF-16 without a byte-order mark?)";
        return std::nullopt;
    }
    return bytes;
}

namespace {

// One line of the text from *position on, without its newline; false at the end.
bool NextLine(const std::string& text, size_t* position, std::string* line) {
    if (*position >= text.size()) return false;
    size_t end = text.find('\n', *position);
    if (end == std::string::npos) end = text.size();
    line->assign(text, *position, end - *position);
    *position = end + 1;
    return true;
}

}  // namespace

bool StepReader::Next(Step* step) {
    std::string line;
    while (NextLine(text_, &position_, &line)) {
        ++line_;
        std::string content = StripComment(line);
        if (content.empty()) continue;
        try {
            *step = ParseLine(Tokenize(content));
        } catch (const LineError&) {
            continue;  // counted by the parse that made the scenario
        }
        step->line = line_;
        step->text = std::move(content);
        return true;
    }
    return false;
}

std::vector<Step> AllSteps(const Scenario& scenario) {
    std::vector<Step> steps;
    StepReader reader(scenario);
    for (Step step; reader.Next(&step);) steps.push_back(std::move(step));
    return steps;
}

ParseResult ParseScenarioText(std::string bytes, const std::string& fileName) {
    ParseResult result;
    result.scenario.file = fileName;
    std::string error;
    std::optional<std::string> text = ScenarioTextFromBytes(std::move(bytes), &error);
    if (!text) {
        result.errors.push_back(fileName + ": " + error);
        result.errorCount = 1;
        return result;
    }
    size_t position = 0;
    std::string line;
    int number = 0;
    while (NextLine(*text, &position, &line)) {
        ++number;
        const std::string content = StripComment(line);
        if (content.empty()) continue;
        try {
            ParseLine(Tokenize(content));
        } catch (const LineError& e) {
            if (++result.errorCount <= MaxErrorsKept) {
                result.errors.push_back(fileName + ":" + std::to_string(number) + ": " + e.what());
            }
        }
    }
    result.scenario.text = std::move(*text);
    return result;
}

ParseResult ParseScenarioFile(const std::string& path) {
    ParseResult result;
    result.scenario.file = path == "-" ? StdinName : path;
    std::string bytes;
    std::string error;
    if (!ReadWholeFile(path, &bytes, &error)) {
        result.errors.push_back(result.scenario.file + ": cannot read the scenario file: " + error);
        result.errorCount = 1;
        return result;
    }
    result = ParseScenarioText(std::move(bytes), result.scenario.file);
    if (path != "-") result.scenario.directory = fs::absolute(fs::path(path)).parent_path().string();
    return result;
}

std::string DescribeCall(const Step& step) {
    std::string text = step.function->name + "(";
    for (size_t i = 0; i < step.args.size(); ++i) text += (i == 0 ? "" : ", ") + step.args[i].text;
    return text + ")";
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::FILE* file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    std::error_code ec;
    if (path != "-" && fs::is_directory(path, ec)) {
        std::fclose(file);
        *error = "it is a directory";
        return false;
    }
    // A file's size known up front: the text takes its memory once, not
    // twice over while it grows.
    if (path != "-" && fs::is_regular_file(path, ec)) {
        const uintmax_t size = fs::file_size(path, ec);
        if (!ec) bytes->reserve(static_cast<size_t>(std::min<uintmax_t>(size, MaxScenarioBytes)));
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        // An endless input (/dev/zero, a stream that never ends) stops here.
        if (bytes->size() + n > MaxScenarioBytes) {
            if (path != "-") std::fclose(file);
            *error = "larger than " + std::to_string(MaxScenarioBytes) + " bytes (" + MaxScenarioSize +
                     "), the most a scenario may hold";
            bytes->clear();
            return false;
        }
        bytes->append(buffer, n);
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    if (path != "-") std::fclose(file);
    if (failed) {
        *error = std::strerror(reason);
        return false;
    }
    return true;
}

}  // namespace radovl::tool
