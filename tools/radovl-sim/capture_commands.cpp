#include "capture_commands.h"

#include <iostream>
#include <vector>

#include "capture_file.h"
#include "runner.h"
#include "trace_decoder.h"

namespace radovl::tool {
namespace {

constexpr int DecodeOk = 0;
constexpr int DecodeStopped = 1;
constexpr int DecodeUsage = 2;

void PrintDecoded(std::ostream& os, TraceDecoder* decoder) {
    for (const DecodedAccess& a : decoder->Take()) os << FormatAccess(a) << "\n";
}

// The request of a window with this number, if the window holds it.
const RadovlSimRequest* RequestAt(const RequestWindow& w, uint32_t number) {
    if (number < w.firstNumber || number - w.firstNumber >= w.requests.size()) return nullptr;
    return &w.requests[number - w.firstNumber];
}

// The accesses around request `number`: a few before the one holding it,
// and the ones after.
void PrintWindow(std::ostream& os, const std::string& label, const RequestWindow& w, uint32_t number) {
    constexpr size_t AccessesBefore = 4;
    os << "  " << label << ", decoded:\n";
    if (w.requests.empty()) os << "    (no requests)\n";
    TraceDecoder decoder;
    uint32_t fed = w.firstNumber;
    for (const RadovlSimRequest& r : w.requests) decoder.Feed(r, fed++);
    decoder.Flush();
    const std::vector<DecodedAccess> accesses = decoder.Take();
    size_t at = 0;
    while (at < accesses.size() && accesses[at].lastRequest < number) ++at;
    for (size_t i = at > AccessesBefore ? at - AccessesBefore : 0; i < accesses.size(); ++i) {
        os << "  " << FormatAccess(accesses[i]) << "\n";
    }
}

}  // namespace

void CaptureUsage(std::ostream& os) {
    os << "decode CAPTURE [--calls]\n"
          "               a capture the library wrote (RADOVL_CAPTURE=FILE): each call and its\n"
          "               requests decoded as --trace decodes them; --calls: one line per call,\n"
          "               as a scenario line. Exit 1 when the file stops before its end.\n"
          "replay CAPTURE [--monitor L T R B]... [--screen L T R B] [--board-answers]\n"
          "               makes the captured calls again on the simulated board and reports the\n"
          "               first request that differs from the capture; a read the capture holds\n"
          "               gets the captured value (--board-answers: the simulated board's).\n"
          "               Monitors and screen as at the site (default one 1280x1024 monitor);\n"
          "               run it where ./out holds the site's DSP programs and display-mode file.\n"
          "replay CAPTURE --render FILE [--at N] [--monitor L T R B]...\n"
          "               applies the captured requests to a fresh simulated board and draws\n"
          "               its outputs at the end of the capture, or after call N\n"
          "diff A B       the first call and request at which two captures differ, decoded\n"
          "               with the requests around it\n"
          "               replay and diff exit 0 when equal, 1 when different, 2 when a file\n"
          "               is not a whole capture\n";
}

void ReportDifference(std::ostream& os, const std::string& where, const std::string& labelA,
                      const RequestWindow& a, const std::string& labelB, const RequestWindow& b,
                      uint32_t requestNumber) {
    os << "first difference at " << where << "\n";
    const size_t width = std::max(labelA.size(), labelB.size());
    auto line = [&](const std::string& label, const RequestWindow& w) {
        const RadovlSimRequest* r = RequestAt(w, requestNumber);
        os << "  " << label << std::string(width - label.size(), ' ') << "  "
           << (r != nullptr ? RawRequest(*r) : std::string("no such request: the call ended before it")) << "\n";
    };
    if (requestNumber > 0) {
        line(labelA, a);
        line(labelB, b);
    }
    PrintWindow(os, labelA, a, requestNumber);
    PrintWindow(os, labelB, b, requestNumber);
}

int DecodeCommand(int argc, char** argv) {
    std::string path;
    bool calls = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--calls") {
            calls = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "radovl-sim: unknown option " << arg << "\n";
            return DecodeUsage;
        } else if (path.empty()) {
            path = arg;
        } else {
            std::cerr << "radovl-sim: decode takes one capture file\n";
            return DecodeUsage;
        }
    }
    if (path.empty()) {
        std::cerr << "radovl-sim: decode needs a capture file\n";
        return DecodeUsage;
    }
    CaptureReader reader;
    if (!reader.Open(path)) {
        std::cerr << "radovl-sim: " << reader.error() << "\n";
        return DecodeStopped;
    }
    std::ostream& os = std::cout;
    os << "# Capture " << path << ": format " << reader.header().version << ", written by radovl "
       << reader.header().library << "\n";
    if (!calls) {
        os << "# request number within the call, where (main DSP, video DSP N through its bridge, PCI, I2C),\n"
              "# access, address, register, value, decoded fields; main DSP accesses give [page +offset].\n";
    }
    TraceDecoder decoder;
    CaptureRecord record;
    uint32_t callCount = 0;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            callCount = record.callNumber;
            decoder = TraceDecoder();
            if (!calls) os << "\n# call " << record.callNumber << ": " << reader.currentCall() << "\n";
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            if (calls) continue;
            decoder.Feed(AsTraced(record.request), record.requestNumber);
            if ((record.requestNumber & 0xFFF) == 0) PrintDecoded(os, &decoder);
        } else if (calls) {
            os << reader.currentCall() << " = " << record.end.status << "    # call " << record.callNumber << ", "
               << Grouped(record.end.requests) << (record.end.requests == 1 ? " request\n" : " requests\n");
        } else {
            decoder.Flush();
            PrintDecoded(os, &decoder);
            os << "# call " << record.callNumber << " returned " << record.end.status << " after "
               << Grouped(record.end.requests) << (record.end.requests == 1 ? " request\n" : " requests\n");
        }
    }
    decoder.Flush();
    if (!calls) PrintDecoded(os, &decoder);
    os << "# " << Grouped(callCount) << (callCount == 1 ? " call, " : " calls, ") << Grouped(reader.requests())
       << " requests\n";
    os.flush();
    if (!reader.error().empty()) {
        std::cerr << "radovl-sim: " << reader.error() << "\n";
        return DecodeStopped;
    }
    return DecodeOk;
}

int DiffCommand(int argc, char** argv) {
    std::vector<std::string> paths;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!arg.empty() && arg[0] == '-') {
            std::cerr << "radovl-sim: unknown option " << arg << "\n";
            return CaptureUnusable;
        }
        paths.push_back(arg);
    }
    if (paths.size() != 2) {
        std::cerr << "radovl-sim: diff takes two capture files\n";
        return CaptureUnusable;
    }
    CaptureReader a, b;
    for (CaptureReader* r : {&a, &b}) {
        if (!r->Open(paths[r == &a ? 0 : 1])) {
            std::cerr << "radovl-sim: " << r->error() << "\n";
            return CaptureUnusable;
        }
    }
    RequestWindow windowA, windowB;
    CaptureRecord ra, rb;
    for (;;) {
        const bool moreA = a.Next(&ra);
        const bool moreB = b.Next(&rb);
        for (const CaptureReader* r : {&a, &b}) {
            if (!r->error().empty()) {
                std::cerr << "radovl-sim: " << r->error() << "\n";
                return CaptureUnusable;
            }
        }
        if (!moreA && !moreB) {
            std::cout << "no difference: " << Grouped(ra.callNumber) << " calls, " << Grouped(a.requests())
                      << " requests\n";
            return CaptureSame;
        }
        if (moreA != moreB) {
            const CaptureReader& longer = moreA ? a : b;
            const CaptureRecord& next = moreA ? ra : rb;
            std::cout << "first difference: " << (moreA ? b : a).path() << " ends after call "
                      << Grouped(next.callNumber - (next.kind == RADOVL_CAPTURE_KIND_CALL ? 1 : 0)) << "; "
                      << longer.path() << " goes on with call " << next.callNumber << " (" << longer.currentCall()
                      << ")\n";
            return CaptureDifferent;
        }
        if (ra.kind == RADOVL_CAPTURE_KIND_CALL) windowA.Clear();
        if (rb.kind == RADOVL_CAPTURE_KIND_CALL) windowB.Clear();
        bool same = ra.kind == rb.kind;
        if (same && ra.kind == RADOVL_CAPTURE_KIND_CALL) {
            same = a.currentCall() == b.currentCall();
        } else if (same && ra.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            windowA.Add(AsTraced(ra.request), false);
            windowB.Add(AsTraced(rb.request), false);
            same = SameCapturedRequest(ra.request, rb.request);
        } else if (same) {
            same = ra.end.status == rb.end.status;
        }
        if (same) continue;

        // The context after the difference, then the report.
        const uint32_t number = ra.kind == RADOVL_CAPTURE_KIND_REQUEST ? ra.requestNumber
                                : rb.kind == RADOVL_CAPTURE_KIND_REQUEST ? rb.requestNumber
                                                                        : 0;
        if (ra.kind == RADOVL_CAPTURE_KIND_REQUEST && rb.kind != RADOVL_CAPTURE_KIND_REQUEST) {
            windowA.Add(AsTraced(ra.request), true);
        }
        if (rb.kind == RADOVL_CAPTURE_KIND_REQUEST && ra.kind != RADOVL_CAPTURE_KIND_REQUEST) {
            windowB.Add(AsTraced(rb.request), true);
        }
        for (auto [reader, window] : {std::pair{&a, &windowA}, std::pair{&b, &windowB}}) {
            if ((reader == &a ? ra : rb).kind == RADOVL_CAPTURE_KIND_RETURN) continue;  // the next call follows
            CaptureRecord more;
            for (size_t i = 0; i < RequestWindow::After && reader->Next(&more) &&
                               more.kind == RADOVL_CAPTURE_KIND_REQUEST;
                 ++i) {
                window->Add(AsTraced(more.request), true);
            }
        }
        std::string where = "call " + std::to_string(ra.callNumber);
        if (ra.kind == RADOVL_CAPTURE_KIND_CALL && rb.kind == RADOVL_CAPTURE_KIND_CALL) {
            where += ": " + a.path() + " calls " + a.currentCall() + ", " + b.path() + " calls " + b.currentCall();
        } else if (ra.kind == RADOVL_CAPTURE_KIND_RETURN && rb.kind == RADOVL_CAPTURE_KIND_RETURN) {
            where += " (" + a.currentCall() + "): it returns " + std::to_string(ra.end.status) + " in " + a.path() +
                     ", " + std::to_string(rb.end.status) + " in " + b.path();
        } else {
            where += " (" + a.currentCall() + "), its request " + std::to_string(number) + " (request " +
                     Grouped(std::max(a.requests(), b.requests())) + " of the captures)";
        }
        ReportDifference(std::cout, where, a.path(), windowA, b.path(), windowB, number);
        return CaptureDifferent;
    }
}

}  // namespace radovl::tool
