#include "capture/commands.h"

#include <vector>

#include "capture/capture_file.h"
#include "capture/export_formats.h"
#include "scenario/runner.h"
#include "boardview/trace_decoder.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

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

std::string DescribeRead(const CaptureRecord& record) {
    if (record.kind == RADOVL_CAPTURE_KIND_FILE) {
        const std::string name = Printable(record.fileName);
        if (record.file.present == 0) return "read: file " + name + ": absent";
        return "read: file " + name + ": " + Grouped(record.file.dataBytes) + " bytes";
    }
    const RadovlCapturePlatform& p = record.platform;
    const std::string box = std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.right) +
                            " " + std::to_string(p.bottom);
    if (p.what == RADOVL_CAPTURE_SCREEN) return "read: screen clip box " + box;
    return "read: monitor of (" + std::to_string(p.x) + ", " + std::to_string(p.y) + "): " + box;
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

int DecodeCommand(const ParsedArgs& args, std::ostream& os, std::ostream& err) {
    const std::string& path = args.operands[0];
    // --calls is --format=calls, as it always was.
    const std::string format = args.Value("format").value_or(args.Has("calls") ? "calls" : "text");
    if (!KnownDecodeFormat(format) || (args.Has("calls") && format != "calls")) {
        err << "radovl-sim decode: --format takes text, calls, chrome-trace, vcd or jsonl"
            << (args.Has("calls") ? " (--calls is --format=calls)" : "") << ", not " << format << "\n";
        return ExitUsage;
    }
    if (format != "text" && format != "calls") return ExportCapture(format, path, os, err);
    const bool calls = format == "calls";
    CaptureReader reader;
    if (!reader.Open(path)) {
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitFailed;
    }
    os << "# Capture " << path << ": format " << reader.header().version << ", written by radovl "
       << reader.header().library << "\n";
    if (!calls) {
        os << "# request number within the call, where (main DSP, video DSP N through its bridge, PCI, I2C),\n"
              "# access, address, register, value, decoded fields; main DSP accesses give [page +offset].\n";
    }
    TraceDecoder decoder;
    CaptureRecord record;
    uint32_t callCount = 0;
    std::string readLines;  // what the call read besides the board
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            callCount = record.callNumber;
            decoder = TraceDecoder();
            if (!calls) os << "\n# call " << record.callNumber << ": " << reader.currentCall() << "\n";
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            if (calls) continue;
            decoder.Feed(AsTraced(record.request), record.requestNumber);
            if ((record.requestNumber & 0xFFF) == 0) PrintDecoded(os, &decoder);
        } else if (record.kind != RADOVL_CAPTURE_KIND_RETURN) {
            // Shown with the call's end, so the decoded requests stay as the trace gives them.
            if (!calls) readLines += "# " + DescribeRead(record) + "\n";
        } else if (calls) {
            os << reader.currentCall() << " = " << record.end.status << "    # call " << record.callNumber << ", "
               << Grouped(record.end.requests) << (record.end.requests == 1 ? " request\n" : " requests\n");
        } else {
            decoder.Flush();
            PrintDecoded(os, &decoder);
            os << readLines;
            readLines.clear();
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
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitFailed;
    }
    return ExitOk;
}

int DiffCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& paths = args.operands;
    CaptureReader a, b;
    for (CaptureReader* r : {&a, &b}) {
        if (!r->Open(paths[r == &a ? 0 : 1])) {
            err << "radovl-sim: " << r->error() << "\n";
            return ExitUsage;
        }
    }
    RequestWindow windowA, windowB;
    CaptureRecord ra, rb;
    for (;;) {
        const bool moreA = a.Next(&ra);
        const bool moreB = b.Next(&rb);
        for (const CaptureReader* r : {&a, &b}) {
            if (!r->error().empty()) {
                err << "radovl-sim: " << r->error() << "\n";
                return ExitUsage;
            }
        }
        if (!moreA && !moreB) {
            out << "no difference: " << Grouped(ra.callNumber) << " calls, " << Grouped(a.requests())
                      << " requests\n";
            return ExitOk;
        }
        if (moreA != moreB) {
            const CaptureReader& longer = moreA ? a : b;
            const CaptureRecord& next = moreA ? ra : rb;
            out << "first difference: " << (moreA ? b : a).path() << " ends after call "
                      << Grouped(next.callNumber - (next.kind == RADOVL_CAPTURE_KIND_CALL ? 1 : 0)) << "; "
                      << longer.path() << " goes on with call " << next.callNumber << " (" << longer.currentCall()
                      << ")\n";
            return ExitFailed;
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
        } else if (same && ra.kind == RADOVL_CAPTURE_KIND_RETURN) {
            same = ra.end.status == rb.end.status;
        } else if (same) {
            same = DescribeRead(ra) == DescribeRead(rb) && ra.fileData == rb.fileData;
            if (!same) {
                out << "first difference at call " << ra.callNumber << " (" << a.currentCall() << "): "
                    << a.path() << " " << DescribeRead(ra) << ", " << b.path() << " " << DescribeRead(rb)
                    << (ra.fileData != rb.fileData && DescribeRead(ra) == DescribeRead(rb) ? " (other bytes)" : "")
                    << "\n";
                return ExitFailed;
            }
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
        ReportDifference(out, where, a.path(), windowA, b.path(), windowB, number);
        return ExitFailed;
    }
}

}  // namespace radovl::tool
