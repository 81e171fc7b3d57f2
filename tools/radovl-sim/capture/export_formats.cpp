#include "capture/export_formats.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "capture/capture_file.h"
#include "capture/register_track.h"
#include "cli/cli.h"
#include "text/json.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

std::string JsonWords(const std::vector<std::string>& words, size_t from) {
    std::string out = "[";
    for (size_t i = from; i < words.size(); ++i) out += (i == from ? "" : ",") + JsonString(words[i]);
    return out + "]";
}

// A call's slice: it starts at its first request (time: requests so far,
// one a microsecond) and lasts its requests, at least one; requests are
// summed up in the slice, never an event each.
void WriteTraceSlice(std::ostream& os, bool& first, const std::string& call, uint32_t number, int32_t board,
                     uint64_t start, const RadovlCaptureReturn* end, uint32_t requests) {
    const std::vector<std::string> words = CallWords(call);
    os << (first ? "\n" : ",\n") << "{\"name\":" << JsonString(words.empty() ? call : words[0])
       << ",\"cat\":\"call\",\"ph\":\"X\",\"pid\":1,\"tid\":" << board << ",\"ts\":" << start
       << ",\"dur\":" << std::max<uint32_t>(requests, 1) << ",\"args\":{\"call\":" << number
       << ",\"arguments\":" << JsonWords(words, 1) << ",\"requests\":" << requests;
    if (end != nullptr) os << ",\"status\":" << end->status;
    else os << ",\"status\":null";
    os << "}}";
    first = false;
}

int ChromeTrace(CaptureReader& reader, std::ostream& os) {
    os << "{\"displayTimeUnit\":\"ns\",\"otherData\":{\"capture\":" << JsonString(reader.path())
       << ",\"time\":\"one microsecond a driver request\"},\"traceEvents\":[";
    bool first = true;
    bool boardNamed[256] = {};
    CaptureRecord record;
    std::string call;
    uint32_t number = 0;
    int32_t board = 0;
    uint64_t start = 0;
    bool open = false;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            call = reader.currentCall();
            number = record.callNumber;
            board = -1;
            start = reader.requests();
            open = true;
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            if (board < 0) board = record.request.board;
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
            // A call without requests goes on the track of board 0.
            if (board < 0) board = 0;
            if (!boardNamed[board]) {
                os << (first ? "\n" : ",\n") << "{\"name\":\"thread_name\",\"ph\":\"M\",\"pid\":1,\"tid\":" << board
                   << ",\"args\":{\"name\":\"board " << board << "\"}}";
                boardNamed[board] = true;
                first = false;
            }
            WriteTraceSlice(os, first, call, number, board, start, &record.end, record.end.requests);
            open = false;
        }
    }
    // A call the file stops inside: its slice up to the last request.
    if (open) WriteTraceSlice(os, first, call, number, std::max(board, 0), start, nullptr,
                              static_cast<uint32_t>(reader.requests() - start));
    os << "\n]}\n";
    return ExitOk;
}

int Jsonl(CaptureReader& reader, std::ostream& os) {
    const RadovlCaptureHeader& h = reader.header();
    os << "{\"kind\":\"header\",\"version\":" << h.version << ",\"library\":"
       << JsonString(std::string(h.library, strnlen(h.library, sizeof h.library))) << "}\n";
    CaptureRecord record;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            const std::vector<std::string> words = CallWords(reader.currentCall());
            os << "{\"kind\":\"call\",\"call\":" << record.callNumber << ",\"offset\":" << record.offset
               << ",\"name\":" << JsonString(words.empty() ? "" : words[0]) << ",\"arguments\":" << JsonWords(words, 1)
               << ",\"slots\":[";
            for (uint32_t i = 0; i < record.call.argCount && i < RADOVL_CAPTURE_MAX_ARGS; ++i) {
                os << (i ? "," : "") << record.call.args[i];
            }
            os << "]}\n";
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            const RadovlCaptureRequest& r = record.request;
            os << "{\"kind\":\"request\",\"call\":" << record.callNumber << ",\"request\":" << record.requestNumber
               << ",\"board\":" << unsigned(r.board) << ",\"answered\":" << unsigned(r.answered)
               << ",\"code\":" << r.code << ",\"sent\":[";
            for (int i = 0; i < RADOVL_CAPTURE_RECORD_WORDS; ++i) os << (i ? "," : "") << r.sent[i];
            os << "],\"status\":" << r.status << ",\"value\":" << r.value << ",\"extra\":" << r.extra << "}\n";
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
            os << "{\"kind\":\"return\",\"call\":" << record.callNumber << ",\"status\":" << record.end.status
               << ",\"requests\":" << record.end.requests << "}\n";
        }
    }
    return ExitOk;
}

// A short identifier for variable n: printable characters from '!' on.
std::string VcdId(size_t n) {
    std::string id;
    do {
        id += static_cast<char>('!' + n % 94);
        n /= 94;
    } while (n != 0);
    return id;
}

// A register name as a waveform viewer reads one: brackets and blanks
// would be taken for a bit range.
std::string VcdName(const std::string& name) {
    std::string out;
    for (const char c : name) out += (c == '[' || c == ' ') ? '_' : (c == ']' ? '\0' : c);
    out.erase(std::remove(out.begin(), out.end(), '\0'), out.end());
    return out;
}

std::string VcdValue(uint32_t v) {
    std::string bits;
    for (int b = 31; b >= 0; --b) {
        if (!bits.empty() || (v >> b & 1u) != 0) bits += (v >> b & 1u) ? '1' : '0';
    }
    return "b" + (bits.empty() ? std::string("0") : bits) + " ";
}

// The named registers as the board holds them while the captured requests
// are applied to a fresh simulated board, sampled after each access that
// touches one; time is the request number.
int Vcd(CaptureReader& reader, std::ostream& os) {
    RegisterTrack track(CaptureBoards(reader.path()));
    const std::vector<TrackedRegister>& regs = track.registers();
    os << "$comment capture " << reader.path() << "; time: driver requests from the start $end\n"
       << "$timescale 1 ns $end\n";
    int32_t board = -1;
    std::string unit;
    for (size_t i = 0; i < regs.size(); ++i) {
        if (regs[i].board != board || regs[i].unit != unit) {
            if (!unit.empty()) os << "$upscope $end\n";
            if (regs[i].board != board && board >= 0) os << "$upscope $end\n";
            if (regs[i].board != board) os << "$scope module board" << regs[i].board << " $end\n";
            os << "$scope module " << regs[i].unit << " $end\n";
            board = regs[i].board;
            unit = regs[i].unit;
        }
        os << "$var wire 32 " << VcdId(i) << " " << VcdName(regs[i].reg.name) << " $end\n";
    }
    if (!regs.empty()) os << "$upscope $end\n$upscope $end\n";
    os << "$enddefinitions $end\n#0\n$dumpvars\n";
    std::vector<uint32_t> values = track.Sample();
    for (size_t i = 0; i < values.size(); ++i) os << VcdValue(values[i]) << VcdId(i) << "\n";
    os << "$end\n";
    uint64_t lastTime = 0;
    const RegisterTrack::Touch touch = [&](size_t index, uint32_t value, bool, uint32_t number) {
        if (values[index] == value) return;
        values[index] = value;
        // The decoder may name an access a request late; time never runs back.
        const uint64_t time = std::max<uint64_t>(number, lastTime);
        if (time != lastTime) os << "#" << time << "\n";
        lastTime = time;
        os << VcdValue(value) << VcdId(index) << "\n";
    };
    CaptureRecord record;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            track.Apply(record.request, static_cast<uint32_t>(reader.requests()), touch);
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN) {
            track.Flush(touch);
        }
    }
    track.Flush(touch);
    if (reader.requests() > lastTime) os << "#" << reader.requests() << "\n";
    return ExitOk;
}

}  // namespace

std::vector<std::string> CallWords(const std::string& callText) {
    std::vector<std::string> words;
    std::istringstream in(callText);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool KnownDecodeFormat(const std::string& format) {
    for (const char* f : {"text", "calls", "chrome-trace", "vcd", "jsonl"}) {
        if (format == f) return true;
    }
    return false;
}

int ExportCapture(const std::string& format, const std::string& path, std::ostream& out, std::ostream& err) {
    CaptureReader reader;
    if (!reader.Open(path)) {
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitFailed;
    }
    if (format == "chrome-trace") ChromeTrace(reader, out);
    else if (format == "vcd") Vcd(reader, out);
    else Jsonl(reader, out);
    out.flush();
    if (!reader.error().empty()) {
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

}  // namespace radovl::tool
