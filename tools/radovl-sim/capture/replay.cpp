// replay: the captured calls made again on the simulated board, each
// request the library sends compared, as it is sent, with the next one of
// the capture; or the captured requests applied to a fresh board and its
// outputs drawn.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <vector>

#include "hw/driver.h"
#include "capture/commands.h"
#include "capture/capture_file.h"
#include "picture/renderer.h"
#include "scenario/runner.h"
#include "boardview/screen_model.h"
#include "text/output_file.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

namespace fs = std::filesystem;

struct ReplayOptions {
    std::string capture;
    std::string renderFile;
    std::string renderShown;  // as given
    uint32_t at = 0;  // 0: the end of the capture
    std::vector<HostView::Monitor> monitors;
    std::optional<HostView::Monitor> screen;
    bool boardAnswers = false;  // reads answered by the simulated board, not from the capture
};

// The options as given; false after a usage message on err.
bool ReadOptions(const ParsedArgs& args, ReplayOptions* o, std::ostream& err) {
    o->capture = args.operands[0];
    o->renderFile = args.Value("render").value_or("");
    o->renderShown = o->renderFile;
    if (!o->renderFile.empty() && !RenderFormatSupported(o->renderFile)) {
        err << "radovl-sim replay: --render " << o->renderFile << ": radovl-sim draws " << RenderFormatsWritten << "\n";
        return false;
    }
    o->boardAnswers = args.Has("board-answers");
    if (const std::optional<std::string> at = args.Value("at")) {
        const std::optional<int64_t> n = OptionNumber(*at, 1, UINT32_MAX);
        if (!n) {
            err << "radovl-sim replay: --at takes a call number from 1, not " << *at << "\n";
            return false;
        }
        o->at = static_cast<uint32_t>(*n);
        if (o->renderFile.empty()) {
            err << "radovl-sim replay: --at goes with --render\n";
            return false;
        }
    }
    std::vector<std::pair<std::string, std::string>> boxes;
    for (const std::string& m : args.Values("monitor")) boxes.emplace_back("monitor", m);
    if (const std::optional<std::string> screen = args.Value("screen")) boxes.emplace_back("screen", *screen);
    for (const auto& [name, text] : boxes) {
        // Edges whose differences fit in 32 bits, as a scenario's.
        const std::optional<std::vector<int64_t>> v = OptionNumbers(text, 4, -1073741824, 1073741823);
        if (!v) {
            err << "radovl-sim replay: --" << name << " takes four numbers L T R B from -1073741824 to 1073741823, not '"
                << text << "'\n";
            return false;
        }
        const HostView::Monitor r{static_cast<int32_t>((*v)[0]), static_cast<int32_t>((*v)[1]),
                                  static_cast<int32_t>((*v)[2]), static_cast<int32_t>((*v)[3])};
        if (name == "monitor") o->monitors.push_back(r);
        else o->screen = r;
    }
    return true;
}

// DisMode as start-up takes it from the display-mode file: 1 without the
// file or the key.
int32_t DisModeOf(const CaptureRecord& record) {
    const std::string& text = record.fileData;
    const size_t key = text.find("DisMode");
    if (record.file.present == 0 || key == std::string::npos) return 1;
    size_t at = key + 7;
    while (at < text.size() && (text[at] == ' ' || text[at] == '=' || text[at] == '\t')) ++at;
    return static_cast<int32_t>(std::strtol(text.c_str() + at, nullptr, 10));
}

// The site's files in a private directory, the current one while the
// replay runs (the library opens its programs from there) and the
// simulated console's; removed afterwards.
class SiteDirectory {
public:
    bool Make(const SiteReads& site, std::string* error) {
        std::error_code ec;
        const fs::path base = fs::temp_directory_path(ec);
        for (unsigned n = 0; n < 100 && dir_.empty(); ++n) {
            const fs::path candidate = base / ("radovl-replay-" + std::to_string(std::random_device{}()));
            if (fs::create_directory(candidate, ec)) dir_ = candidate;
        }
        if (dir_.empty()) {
            *error = "cannot make a directory for the capture's files in " + base.string();
            return false;
        }
        RemoveOnInterrupt(dir_.string());
        for (const auto& [name, bytes] : site.files) {
            // A name outside the console's folder at the site (absolute, or
            // one that climbs out with "..", which the library never
            // records but a damaged or crafted file may hold) is not
            // written: nothing outside this directory is touched.
            const fs::path relative = fs::path(name).lexically_normal();
            if (relative.has_root_path() || relative.empty() || *relative.begin() == "..") continue;
            const fs::path path = dir_ / relative;
            fs::create_directories(path.parent_path(), ec);
            std::ofstream file(path, std::ios::binary);
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!file.flush()) {
                *error = "cannot write " + path.string();
                return false;
            }
        }
        previous_ = fs::current_path(ec);
        fs::current_path(dir_, ec);
        return true;
    }
    ~SiteDirectory() {
        if (dir_.empty()) return;
        std::error_code ec;
        fs::current_path(previous_, ec);
        fs::remove_all(dir_, ec);
        DropOnInterrupt(dir_.string());
    }
    const fs::path& dir() const { return dir_; }

private:
    fs::path dir_, previous_;
};

// The simulated host as at the site: its monitors and screen as the
// capture holds them unless given by hand, the executable in the current
// directory.
void SetUpHost(const ReplayOptions& o, const SiteReads& site, std::ostream& out) {
    RadovlSim_Reset();
    static std::string executable;
    executable = (fs::current_path() / "radovl-sim").string();
    RadovlSim_SetExecutablePath(executable.c_str());
    if (!o.monitors.empty() && !site.monitors.empty()) {
        out << "replay: --monitor overrides the " << site.monitors.size() << " monitors the capture holds\n";
    }
    if (o.screen && site.screen) out << "replay: --screen overrides the capture's screen clip box\n";
    const std::vector<HostView::Monitor>& monitors = o.monitors.empty() ? site.monitors : o.monitors;
    if (!monitors.empty()) RadovlSim_ClearMonitors();
    for (const HostView::Monitor& m : monitors) RadovlSim_AddMonitor(m.left, m.top, m.right, m.bottom);
    const std::optional<HostView::Monitor> screen = o.screen ? o.screen : site.screen;
    if (screen) RadovlSim_SetScreen(screen->left, screen->top, screen->right, screen->bottom);
    RadovlSim_SetTraceEnabled(0);
}

// The same request, whatever value a read got.
bool SameAsked(const RadovlSimRequest& captured, RadovlSimRequest replayed) {
    replayed.value = captured.value;
    return SameRequest(captured, replayed);
}

// Compares the library's requests with the capture's while the calls run.
class Comparison {
public:
    Comparison(CaptureReader& reader, bool answerReads, std::ostream& out, std::ostream& err)
        : reader_(reader), answerReads_(answerReads), out_(out), err_(err) {}

    // Replays every call; the exit status.
    int Run() {
        CaptureRecord record;
        RadovlSim_SetRequestObserver(&Comparison::Observe, this);
        RadovlSim_SetAnswerSource(&Comparison::Fail, this);
        if (answerReads_) RadovlSim_SetReadSource(&Comparison::Answer, this);
        while (!found_ && reader_.error().empty() && NextRecord(&record)) {
            if (record.kind != RADOVL_CAPTURE_KIND_CALL) continue;
            ReplayCall(record);
        }
        RadovlSim_SetRequestObserver(nullptr, nullptr);
        RadovlSim_SetAnswerSource(nullptr, nullptr);
        RadovlSim_SetReadSource(nullptr, nullptr);
        if (found_) {
            // A difference before the file stops is one all the same.
            ReportDifference(out_, where_, "capture", captured_, "replay", replayed_, differingRequest_);
            if (!note_.empty()) out_ << note_ << "\n";
            return ExitFailed;
        }
        if (!reader_.error().empty()) {
            err_ << "radovl-sim: " << reader_.error() << "\n";
            return ExitUsage;
        }
        out_ << "replay: " << Grouped(calls_) << " calls, " << Grouped(reader_.requests())
                  << " requests: no difference from the capture\n";
        return ExitOk;
    }

private:
    static void RADOVL_CALL Observe(const RadovlSimRequest* request, void* context) {
        static_cast<Comparison*>(context)->Replayed(*request);
    }

    static int32_t RADOVL_CALL Answer(const RadovlSimRequest* request, uint32_t* value, void* context) {
        return static_cast<Comparison*>(context)->AnswerRead(*request, value) ? 1 : 0;
    }

    static int32_t RADOVL_CALL Fail(const RadovlSimRequest* request, int32_t* status, void* context) {
        return static_cast<Comparison*>(context)->AnswerAsCaptured(*request, status);
    }

    // The capture's next record, read ahead and kept for the comparison of
    // the request being served; nullptr once there is nothing to compare.
    const CaptureRecord* Upcoming() {
        if (found_ || !reader_.error().empty()) return nullptr;
        if (!held_) {
            CaptureRecord record;
            if (!NextOfBoard(&record)) return nullptr;
            held_ = record;
        }
        return held_->kind == RADOVL_CAPTURE_KIND_REQUEST ? &*held_ : nullptr;
    }

    // A request the site's driver failed, or answered with an error status,
    // is answered so again: the library then goes on as it did at the site.
    int32_t AnswerAsCaptured(const RadovlSimRequest& r, int32_t* status) {
        const CaptureRecord* next = Upcoming();
        if (next == nullptr) return 0;
        const RadovlSimRequest captured = AsTraced(next->request);
        RadovlSimRequest asked = r;
        asked.status = captured.status;
        if (!SameAsked(captured, asked)) return 0;
        *status = captured.status;
        if (next->request.answered == 0) return 1;
        return captured.status != 0 ? 2 : 0;
    }

    // A read the capture holds next is answered with the captured value,
    // so the library goes on as it did with the site's board.
    bool AnswerRead(const RadovlSimRequest& r, uint32_t* value) {
        const CaptureRecord* next = Upcoming();
        if (next == nullptr) return false;
        const RadovlSimRequest captured = AsTraced(next->request);
        if (!SameAsked(captured, r)) return false;
        *value = captured.value;
        return true;
    }

    // The next call, request or return: what the call read besides the
    // board was given to the simulated host before the replay.
    bool NextOfBoard(CaptureRecord* record) {
        while (reader_.Next(record)) {
            if (record->kind <= RADOVL_CAPTURE_KIND_RETURN) return true;
        }
        return false;
    }

    bool NextRecord(CaptureRecord* record) {
        if (held_) {
            *record = *held_;
            held_.reset();
            return true;
        }
        return NextOfBoard(record);
    }

    void ReplayCall(const CaptureRecord& call) {
        ++calls_;
        callNumber_ = call.callNumber;
        callText_ = reader_.currentCall();
        captured_.Clear();
        replayed_.Clear();
        replayedInCall_ = 0;
        std::vector<Argument> args;
        const ExportInfo* info = CallExport(call.call, &args);
        if (info == nullptr) {
            Found(0, "this library has no export " + callText_);
            return;
        }
        const int32_t status = info->call(args);
        if (found_ || !reader_.error().empty()) return;
        // The capture's requests the library did not send, then its status.
        CaptureRecord record;
        if (!NextRecord(&record)) return;
        if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            captured_.Add(AsTraced(record.request), true);
            CaptureMore();
            Found(record.requestNumber, "the library sends " + std::to_string(replayedInCall_) +
                                            " requests, the capture " + std::to_string(record.requestNumber) +
                                            " or more");
        } else if (record.kind == RADOVL_CAPTURE_KIND_RETURN && record.end.status != status) {
            Found(0, "the call returns " + std::to_string(status) + ", in the capture " +
                         std::to_string(record.end.status));
        }
    }

    void Replayed(const RadovlSimRequest& r) {
        ++replayedInCall_;
        if (found_) {
            if (replayed_.requests.size() < afterLimit_) replayed_.Add(r, true);
            return;
        }
        if (!reader_.error().empty()) return;  // the file stopped making sense: nothing to compare
        replayed_.Add(r, false);
        CaptureRecord record;
        if (!NextRecord(&record)) {
            if (reader_.error().empty()) Found(replayedInCall_, "the capture ends here, the library sends more");
            return;
        }
        if (record.kind != RADOVL_CAPTURE_KIND_REQUEST) {
            held_ = record;
            Found(replayedInCall_, "the library sends more than the capture's " +
                                       std::to_string(replayedInCall_ - 1) + " requests");
            return;
        }
        const RadovlSimRequest captured = AsTraced(record.request);
        captured_.Add(captured, false);
        if (SameRequest(captured, r)) return;
        CaptureMore();
        Found(replayedInCall_, SameAsked(captured, r) ? "the same read: the simulated board answers another "
                                                        "value than the capture's board"
                                                      : "");
    }

    // A few of the capture's requests after the difference, for context.
    void CaptureMore() {
        CaptureRecord record;
        for (size_t i = 0; i < RequestWindow::After && NextRecord(&record); ++i) {
            if (record.kind != RADOVL_CAPTURE_KIND_REQUEST) break;
            captured_.Add(AsTraced(record.request), true);
        }
    }

    void Found(uint32_t request, const std::string& note) {
        found_ = true;
        differingRequest_ = request;
        afterLimit_ = replayed_.requests.size() + RequestWindow::After;
        where_ = "call " + std::to_string(callNumber_) + " (" + callText_ + ")" +
                 (request > 0 ? ", its request " + std::to_string(request) : "");
        note_ = note.empty() ? "" : "  " + note;
    }

    CaptureReader& reader_;
    bool answerReads_;
    std::ostream& out_;
    std::ostream& err_;
    std::optional<CaptureRecord> held_;  // read ahead: for a read's answer, or the call's end
    uint32_t calls_ = 0;
    uint32_t callNumber_ = 0;
    std::string callText_;
    uint32_t replayedInCall_ = 0;
    RequestWindow captured_, replayed_;
    bool found_ = false;
    uint32_t differingRequest_ = 0;
    size_t afterLimit_ = 0;
    std::string where_, note_;
};

// The captured requests up to the end of call `at` (0: all) sent to a fresh
// board, then its outputs drawn.
int Render(CaptureReader& reader, const ReplayOptions& o, const SiteReads& site, std::ostream& out,
           std::ostream& err) {
    SetUpHost(o, site, out);
    const AppliedCapture applied = ApplyCapture(reader, o.at);
    if (!reader.error().empty()) {
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitUsage;
    }
    if (o.at > applied.calls) {
        err << "radovl-sim: " << reader.path() << " holds " << applied.calls << " calls, not " << o.at << "\n";
        return ExitUsage;
    }
    RenderOptions options;
    const ScreenModel model = CapturedScreen(reader.path(), site, o.monitors, applied, &options);
    std::string error;
    if (!RenderScreen(model, o.renderFile, options, &error)) {
        err << "radovl-sim: " << error << "\n";
        return ExitUsage;
    }
    out << "render " << o.renderShown << "   (" << model.windows.size()
              << (model.windows.size() == 1 ? " window shown)" : " windows shown)") << "\n";
    return ExitOk;
}

}  // namespace

void SiteReads::Take(const CaptureRecord& record) {
    const RadovlCapturePlatform& p = record.platform;
    const HostView::Monitor box{p.left, p.top, p.right, p.bottom};
    if (record.kind == RADOVL_CAPTURE_KIND_PLATFORM && p.what == RADOVL_CAPTURE_SCREEN && !screen) {
        screen = box;
    } else if (record.kind == RADOVL_CAPTURE_KIND_PLATFORM && p.what == RADOVL_CAPTURE_MONITOR &&
               std::none_of(monitors.begin(), monitors.end(), [&](const HostView::Monitor& m) {
                   return m.left == box.left && m.top == box.top && m.right == box.right && m.bottom == box.bottom;
               })) {
        monitors.push_back(box);
    } else if (record.kind == RADOVL_CAPTURE_KIND_FILE && record.file.present != 0 &&
               std::none_of(files.begin(), files.end(), [&](const auto& f) { return f.first == record.fileName; })) {
        files.emplace_back(record.fileName, record.fileData);
    }
    if (record.kind == RADOVL_CAPTURE_KIND_FILE && fs::path(record.fileName).filename() == "dismodeconfig.inf") {
        disMode = DisModeOf(record);
    }
}

ScreenModel CapturedScreen(const std::string& path, const SiteReads& site,
                           const std::vector<HostView::Monitor>& monitors, const AppliedCapture& applied,
                           RenderOptions* options) {
    HostView host;
    if (!monitors.empty()) host.monitors = monitors;
    else if (!site.monitors.empty()) host.monitors = site.monitors;
    host.disModeKnown = site.disMode.has_value();
    host.disMode = site.disMode.value_or(1);
    host.disModeSource = site.disMode ? "start-up read the site's out/dismodeconfig.inf, held in the capture"
                                      : "a capture holds no DisMode";
    host.board = applied.board;
    options->title = "radovl-sim: what the board's two outputs show";
    options->subtitle = "Capture " + path + ", after call " + std::to_string(applied.calls) + " (" +
                        applied.lastCall + ")   ·   the captured requests applied to a fresh simulated board   ·   board " +
                        std::to_string(host.board);
    return ReadScreen(host);
}

SiteReads ReadSite(const std::string& path) {
    SiteReads site;
    CaptureReader reader;
    if (!reader.Open(path)) return site;
    CaptureRecord record;
    while (reader.Next(&record)) site.Take(record);
    return site;
}

AppliedCapture ApplyCapture(CaptureReader& reader, uint32_t at) {
    AppliedCapture applied;
    CaptureRecord record;
    while (reader.Next(&record)) {
        if (record.kind == RADOVL_CAPTURE_KIND_CALL) {
            if (at != 0 && record.callNumber > at) break;
            applied.calls = record.callNumber;
            applied.lastCall = reader.currentCall();
        } else if (record.kind == RADOVL_CAPTURE_KIND_REQUEST) {
            if (ApplyRequest(record.request)) applied.board = record.request.board;
        }
    }
    return applied;
}

bool ApplyRequest(const RadovlCaptureRequest& r) {
    // What the site's driver failed never reached its board.
    if (r.answered == 0) return false;
    const uint32_t size = r.code == WindowQueryCode ? sizeof(WindowQuery) : sizeof(MemoryRequest);
    uint32_t words[RADOVL_CAPTURE_RECORD_WORDS];
    std::copy(std::begin(r.sent), std::end(r.sent), words);
    uint32_t destination = 0;
    RadovlSim_SendRequest(r.board, r.code, words, size, &destination);
    return true;
}

int ReplayCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    ReplayOptions options;
    if (!ReadOptions(args, &options, err)) return ExitUsage;
    // The library under replay writes its own capture when RADOVL_CAPTURE
    // is set (to compare with diff), but never over the one being read.
    const char* own = std::getenv("RADOVL_CAPTURE");
    std::error_code ec;
    if (own != nullptr && *own != '\0' && std::filesystem::equivalent(own, options.capture, ec)) {
        err << "radovl-sim: RADOVL_CAPTURE names " << options.capture
                  << ", the capture being replayed: the replay's own capture would overwrite it\n";
        return ExitUsage;
    }
    CaptureReader reader;
    if (!reader.Open(options.capture)) {
        err << "radovl-sim: " << reader.error() << "\n";
        return ExitUsage;
    }
    // Paths as given, before the replay moves to the site's files.
    if (!options.renderFile.empty()) options.renderFile = fs::absolute(options.renderFile).string();
    if (own != nullptr && *own != '\0' && !fs::path(own).is_absolute()) {
        const std::string absolute = fs::absolute(own).string();
#ifdef _WIN32
        _putenv_s("RADOVL_CAPTURE", absolute.c_str());
#else
        setenv("RADOVL_CAPTURE", absolute.c_str(), 1);
#endif
    }
    const SiteReads site = ReadSite(options.capture);
    SiteDirectory directory;
    std::string error;
    if (!site.files.empty() && !directory.Make(site, &error)) {
        err << "radovl-sim: " << error << "\n";
        return ExitUsage;
    }
    if (!options.renderFile.empty()) return Render(reader, options, site, out, err);
    SetUpHost(options, site, out);
    Comparison comparison(reader, !options.boardAnswers, out, err);
    return comparison.Run();
}

}  // namespace radovl::tool
