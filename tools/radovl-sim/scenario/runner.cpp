#include "scenario/runner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <random>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "scenario/demo_programs.h"
#include "hw/registers.h"
#include "radovl/sim.h"
#include "boardview/register_names.h"
#include "picture/renderer.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

namespace fs = std::filesystem;

// Calls and traces above this many requests report their progress.
constexpr uint32_t LongRun = 200000;
// Driver requests per word of a program load: three main DSP accesses of
// two requests each through a bridge, two for a main DSP word.
constexpr uint32_t VideoWordRequests = 6;
constexpr uint32_t MainWordRequests = 2;
// A traced call's decoded text beyond this many bytes waits in a scratch
// file in the work directory rather than in memory.
constexpr size_t TraceInMemory = 8u << 20;
// The name the simulated host executable has in the work directory.
constexpr const char* HostExecutable = "console";

uint64_t FileBytes(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<uint64_t>(size);
}

// Standard output sent to a scratch file while it lives: the library
// prints its own lines there, which --quiet leaves out. Its warnings and
// errors ("radovl: ...", "Error ...") still reach the output.
class LibraryLinesFiltered {
public:
    explicit LibraryLinesFiltered(const std::string& scratch) : path_(scratch) {
        std::fflush(stdout);
        saved_ = dup(fileno(stdout));
        const int file = open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (saved_ < 0 || file < 0 || dup2(file, fileno(stdout)) < 0) {
            if (saved_ >= 0) close(saved_);
            saved_ = -1;
        }
        if (file >= 0) close(file);
    }
    ~LibraryLinesFiltered() {
        if (saved_ < 0) return;
        std::fflush(stdout);
        dup2(saved_, fileno(stdout));
        close(saved_);
        std::ifstream in(path_, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("radovl: ", 0) == 0 || line.rfind("Error", 0) == 0) std::fprintf(stdout, "%s\n", line.c_str());
        }
        std::fflush(stdout);
        in.close();
        std::remove(path_.c_str());
    }
    LibraryLinesFiltered(const LibraryLinesFiltered&) = delete;
    LibraryLinesFiltered& operator=(const LibraryLinesFiltered&) = delete;

private:
    std::string path_;
    int saved_ = -1;
};

std::string SpaceText(const PeekTarget& t) {
    switch (t.space) {
        case PeekSpace::Main: return "main";
        case PeekSpace::Video: return "video " + std::to_string(t.channel);
        case PeekSpace::Pci: return "pci";
        case PeekSpace::Decoder: return "decoder " + std::to_string(t.channel);
    }
    return "?";
}

std::string TargetText(const PeekTarget& t) {
    std::string where = SpaceText(t) + " ";
    const std::string address = t.space == PeekSpace::Main || t.space == PeekSpace::Video ? Hex(t.address)
                                                                                           : HexByte(t.address);
    if (!t.name.empty()) return where + t.name + " (" + address + ")";
    return where + address;
}

}  // namespace

std::string ScenarioPath(const Scenario& scenario, const std::string& path) {
    if (scenario.directory.empty() || fs::path(path).is_absolute()) return path;
    return (fs::path(scenario.directory) / path).string();
}

namespace {

// Whether path lies in the folder or is the folder itself.
bool Inside(const std::string& path, const std::string& folder) {
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    const fs::path f = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    const auto [end, unused] = std::mismatch(f.begin(), f.end(), p.begin(), p.end());
    return end == f.end();
}

// The capture the library writes is a file of its own: never the scenario,
// an output, the simulated console nor what its out/ holds.
std::string CaptureClash(const Scenario& scenario, const RunOptions& options) {
    const std::string& capture = options.captureFile;
    const std::string what = "RADOVL_CAPTURE names " + capture;
    if (scenario.file != StdinName && SameFile(capture, scenario.file)) return what + ", the scenario being run";
    if (!options.traceFile.empty() && SameFile(capture, options.traceFile)) return what + ", the --trace file";
    if (!options.renderFile.empty() && SameFile(capture, options.renderFile)) return what + ", the --render file";
    if (!options.workDir.empty() && (SameFile(capture, (fs::path(options.workDir) / HostExecutable).string()) ||
                                     Inside(capture, (fs::path(options.workDir) / "out").string()))) {
        return what + ", the console or a file of its out/ in the work directory " + options.workDir;
    }
    StepReader steps(scenario);
    for (Step step; steps.Next(&step);) {
        const std::string path = ScenarioPath(scenario, step.path);
        const std::string line = " at line " + std::to_string(step.line);
        if (step.kind == StepKind::Render && SameFile(capture, path)) return what + ", the render" + line;
        if (step.kind == StepKind::Executable &&
            (SameFile(capture, path) || Inside(capture, (fs::path(path).parent_path() / "out").string()))) {
            return what + ", the console executable" + line + " or a file of its out/";
        }
    }
    return std::string();
}

}  // namespace

std::string OutputClash(const Scenario& scenario, const RunOptions& options) {
    if (!options.captureFile.empty()) {
        const std::string clash = CaptureClash(scenario, options);
        if (!clash.empty()) return clash;
    }
    // Each output against the scenario, the pictures this build draws and
    // the trace; render steps may redraw one picture.
    const bool fromFile = scenario.file != StdinName;
    const auto clash = [&](const std::string& what, const std::string& path, bool picture) {
        if (fromFile && SameFile(path, scenario.file)) return what + " " + path + " would overwrite the scenario being run";
        if (!picture) return std::string();
        if (!options.traceFile.empty() && SameFile(path, options.traceFile)) {
            return "--trace and " + what + " both write " + path;
        }
        if (!RenderFormatSupported(path)) return what + " " + path + ": radovl-sim draws " + RenderFormatsWritten;
        return std::string();
    };
    std::string found;
    if (!options.traceFile.empty()) found = clash("--trace", options.traceFile, false);
    if (found.empty() && !options.renderFile.empty()) found = clash("--render", options.renderFile, true);
    StepReader steps(scenario);
    for (Step step; found.empty() && steps.Next(&step);) {
        if (step.kind == StepKind::Render) {
            found = clash("render at line " + std::to_string(step.line), ScenarioPath(scenario, step.path), true);
        }
    }
    return found;
}

Runner::Runner(RunOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err) {}

Runner::~Runner() { LeaveWorkDir(); }

// Back to where the run began; a private work directory goes.
void Runner::LeaveWorkDir() {
    RadovlSim_SetRequestObserver(nullptr, nullptr);
    if (callSpill_ != nullptr) std::fclose(callSpill_);
    callSpill_ = nullptr;
    std::error_code ec;
    if (!startDir_.empty()) fs::current_path(startDir_, ec);
    startDir_.clear();
    if (removeWorkDir_) fs::remove_all(workDir_, ec);
    if (removeWorkDir_) DropOnInterrupt(workDir_);
    removeWorkDir_ = false;
}

bool Runner::PrepareWorkDir() {
    std::error_code ec;
    if (!options_.workDir.empty()) {
        workDir_ = fs::absolute(options_.workDir, ec).string();
        if (!ec) fs::create_directories(workDir_, ec);
        if (ec || !fs::is_directory(workDir_)) {
            err_ << "radovl-sim: cannot use " << options_.workDir << " as the work directory: "
                 << (ec ? ec.message() : "not a directory") << "\n";
            return false;
        }
        return true;
    }
    const fs::path base = fs::temp_directory_path(ec);
    if (!ec) {
        std::random_device random;
        for (int attempt = 0; attempt < 64; ++attempt) {
            char name[32];
            std::snprintf(name, sizeof name, "radovl-sim-%08x", static_cast<unsigned>(random()));
            const fs::path dir = base / name;
            if (fs::create_directory(dir, ec)) {
                fs::permissions(dir, fs::perms::owner_all, ec);
                workDir_ = dir.string();
                removeWorkDir_ = true;
                RemoveOnInterrupt(workDir_);
                return true;
            }
            if (ec) break;
        }
    }
    err_ << "radovl-sim: cannot make a private work directory under " << base.string() << ": "
         << (ec ? ec.message() : "every name tried exists") << "\n";
    return false;
}

std::string Runner::Location(int line) const { return scenarioFile_ + ":" + std::to_string(line); }

// Failures are listed together at the end of the run, after the log; past
// the first thousand they are only counted.
void Runner::Fail(int line, const std::string& message) {
    if (++failures_ > MaxFailuresListed) return;
    failureMessages_.push_back((line > 0 ? Location(line) : scenarioFile_) + ": " + message);
}

void Runner::Progress(const std::string& message) {
    if (!options_.quiet) err_ << "radovl-sim: " << message << std::endl;
}

std::string Runner::Absolute(const std::string& path) const {
    if (path.empty() || fs::path(path).is_absolute()) return path;
    return (fs::path(startDir_) / path).lexically_normal().string();
}

int Runner::Run(const Scenario& scenario) {
    scenario_ = &scenario;
    scenarioFile_ = scenario.file;
    std::error_code ec;
    startDir_ = fs::current_path(ec).string();
    options_.traceFile = Absolute(options_.traceFile);
    options_.renderFile = Absolute(options_.renderFile);
    if (!PrepareWorkDir()) return 1;
    // A console reads its DSP programs from out/ in its current directory
    // and the display-mode file from out/ beside its executable: both are
    // the work directory for the run.
    fs::current_path(workDir_, ec);
    if (ec) {
        err_ << "radovl-sim: cannot enter the work directory " << workDir_ << ": " << ec.message() << "\n";
        return 1;
    }
    if (!options_.traceFile.empty()) {
        if (!traceFile_.Open(options_.traceFile)) {
            err_ << "radovl-sim: " << traceFile_.error() << "\n";
            return 1;
        }
        traceFile_.Write("# Decoded driver trace of " + scenario.file + "\n" +
                         "# request number, where (main DSP, video DSP N through its bridge, PCI, I2C), access,\n"
                         "# address, register, value, decoded fields; main DSP accesses give [page +offset].\n");
        tracing_ = true;
    }
    // The simulated host executable lives in the work directory, so its
    // out/ holds both the DSP programs and the display-mode file.
    executablePath_ = (fs::path(workDir_) / HostExecutable).string();
    RadovlSim_SetExecutablePath(executablePath_.c_str());
    StepReader steps(scenario);
    for (Step step; steps.Next(&step);) {
        Execute(step);
        if (traceFile_.failed() && !aborted_) {
            err_ << "radovl-sim: " << traceFile_.error() << "; the run stopped after line " << step.line << "\n";
            aborted_ = true;
        }
        if (aborted_) break;
    }
    if (!aborted_ && !options_.renderFile.empty()) Render(options_.renderFile, 0);
    const bool failedBefore = traceFile_.failed();
    if (traceFile_.is_open() && !traceFile_.Close()) {
        if (!failedBefore) err_ << "radovl-sim: " << traceFile_.error() << "\n";
        aborted_ = true;
    }
    if (aborted_ && !options_.traceFile.empty()) {
        std::error_code ec;
        const bool regular = fs::is_regular_file(options_.traceFile, ec);
        traceFile_.Discard();
        err_ << "radovl-sim: the trace " << options_.traceFile << " is incomplete"
             << (regular ? " and was removed" : "") << "\n";
    }
    out_.flush();
    LeaveWorkDir();
    if (aborted_) return 1;
    for (const std::string& m : failureMessages_) err_ << m << "\n";
    if (failures_ > MaxFailuresListed) err_ << "... and " << failures_ - MaxFailuresListed << " more\n";
    if (failures_ > 0) {
        err_ << "radovl-sim: " << failures_ << (failures_ == 1 ? " failure" : " failures") << " in " << scenario.file
             << "\n";
    }
    return failures_ == 0 ? 0 : 1;
}

std::string Runner::DisplayModeFilePath() const {
    return (fs::path(executablePath_).parent_path() / "out" / "dismodeconfig.inf").string();
}

void Runner::Execute(const Step& step) {
    auto echo = [&](const std::string& extra = std::string()) {
        if (options_.quiet) return;
        char number[16];
        std::snprintf(number, sizeof number, "%4d  ", step.line);
        out_ << number << step.text << extra << "\n";
    };
    switch (step.kind) {
        case StepKind::Call: Call(step); return;
        case StepKind::Monitor:
            if (!monitorsReplaced_) {
                RadovlSim_ClearMonitors();
                host_.monitors.clear();
                monitorsReplaced_ = true;
            }
            RadovlSim_AddMonitor(static_cast<int32_t>(step.numbers[0]), static_cast<int32_t>(step.numbers[1]),
                                 static_cast<int32_t>(step.numbers[2]), static_cast<int32_t>(step.numbers[3]));
            host_.monitors.push_back({static_cast<int32_t>(step.numbers[0]), static_cast<int32_t>(step.numbers[1]),
                                      static_cast<int32_t>(step.numbers[2]), static_cast<int32_t>(step.numbers[3])});
            echo();
            return;
        case StepKind::MonitorNone:
            RadovlSim_ClearMonitors();
            host_.monitors.clear();
            monitorsReplaced_ = true;
            echo();
            return;
        case StepKind::Screen:
            RadovlSim_SetScreen(static_cast<int32_t>(step.numbers[0]), static_cast<int32_t>(step.numbers[1]),
                                static_cast<int32_t>(step.numbers[2]), static_cast<int32_t>(step.numbers[3]));
            echo();
            return;
        case StepKind::Board: {
            const int32_t board = static_cast<int32_t>(step.numbers[0]);
            switch (step.boardAction) {
                case BoardAction::Absent: RadovlSim_SetBoardPresent(board, 0); break;
                case BoardAction::Present: RadovlSim_SetBoardPresent(board, 1); break;
                case BoardAction::ScratchFault:
                    RadovlSim_SetScratchFault(board, 1);
                    scratchFault_[board] = true;
                    break;
                case BoardAction::ScratchOk:
                    RadovlSim_SetScratchFault(board, 0);
                    scratchFault_[board] = false;
                    break;
            }
            echo();
            return;
        }
        case StepKind::I2cBusy:
            RadovlSim_SetI2cBusyReads(static_cast<int32_t>(step.numbers[0]));
            echo();
            return;
        case StepKind::FailRequests:
            pendingFault_ = PendingFault{static_cast<int32_t>(step.numbers[0]), static_cast<int32_t>(step.numbers[1]),
                                         static_cast<int32_t>(step.numbers[2])};
            echo("   (applies to the next call)");
            return;
        case StepKind::Executable:
            executablePath_ = Absolute(ScenarioPath(*scenario_, step.path));
            RadovlSim_SetExecutablePath(executablePath_.c_str());
            echo();
            return;
        case StepKind::DisModeFile: {
            const std::string path = DisplayModeFilePath();
            std::error_code ec;
            if (step.removeFile) {
                fs::remove(path, ec);
                disModeWritten_.reset();
                echo("   (removed " + path + ")");
                return;
            }
            fs::create_directories(fs::path(path).parent_path(), ec);
            OutputFile file;
            if (!file.Open(path) || !file.Write("DisMode=" + std::to_string(step.numbers[0]) + "\n#END\n") ||
                !file.Close()) {
                Fail(step.line, file.error());
                file.Discard();
                return;
            }
            disModeWritten_ = step.numbers[0];
            echo("   (wrote " + path + ")");
            return;
        }
        case StepKind::MakePrograms: {
            std::string error;
            const uint32_t bytes =
                step.numbers.empty() ? DefaultDisplayProgramBytes : static_cast<uint32_t>(step.numbers[0]);
            const std::vector<ProgramFile> files = WriteDemoPrograms(workDir_, bytes, &error);
            if (files.empty()) {
                Fail(step.line, error);
                return;
            }
            echo();
            if (!options_.quiet) {
                for (const ProgramFile& f : files) out_ << "        wrote " << f.path << " (" << Grouped(f.bytes) << " bytes loaded)\n";
            }
            return;
        }
        case StepKind::Peek:
        case StepKind::Expect: Peek(step); return;
        case StepKind::Poke:
            if (step.target.space == PeekSpace::Main) {
                RadovlSim_PokeMain(host_.board, step.target.address, step.expectedValue);
            } else {
                RadovlSim_PokeVideo(host_.board, VideoDspOf(step.target.channel), step.target.address, step.expectedValue);
            }
            echo();
            return;
        case StepKind::Render: Render(Absolute(ScenarioPath(*scenario_, step.path)), step.line); return;
        case StepKind::Trace:
            tracing_ = step.on;
            echo();
            return;
    }
}

uint32_t Runner::EstimatedStartUpRequests() const {
    auto bytes = [&](DspProgramFile p) { return FileBytes((fs::path(workDir_) / ProgramRelativePath(p)).string()); };
    uint64_t words = 2 * bytes(DspPrograms::Display) / 4 * VideoWordRequests;
    if (scratchFault_[0]) {
        words += (bytes(DspPrograms::FallbackVideo0) + bytes(DspPrograms::FallbackVideo1)) / 4 * VideoWordRequests;
        words += bytes(DspPrograms::FallbackMain) / 4 * MainWordRequests;
    }
    return words > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(words);
}

void Runner::Call(const Step& step) {
    const bool startUp = step.function->name == "KT_RDSP_Init";
    RadovlSim_TraceClear();
    // The trace is decoded as the call runs, never held whole.
    RadovlSim_SetTraceEnabled(0);
    if (tracing_) {
        decoder_ = TraceDecoder();
        tracedRequests_ = 0;
        RadovlSim_SetRequestObserver(&Runner::ObserveRequest, this);
    }
    if (pendingFault_) {
        RadovlSim_FailRequests(pendingFault_->first, pendingFault_->count, pendingFault_->status);
    }
    if (startUp) {
        const uint32_t estimate = EstimatedStartUpRequests();
        if (estimate > LongRun) {
            Progress("line " + std::to_string(step.line) + ": start-up loads the DSP programs, about " +
                     Grouped(estimate) + " driver requests");
        }
    }
    const auto begin = std::chrono::steady_clock::now();
    std::cout.flush();
    int32_t status;
    if (options_.quiet) {
        const LibraryLinesFiltered filtered((fs::path(workDir_) / "library-lines.tmp").string());
        status = step.function->call(step.args);
    } else {
        status = step.function->call(step.args);
        std::fflush(stdout);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    RadovlSim_SetRequestObserver(nullptr, nullptr);
    const uint32_t requests = RadovlSim_RequestCount();
    if (pendingFault_) {
        RadovlSim_FailRequests(1, 0, 0);
        pendingFault_.reset();
    }
    if (startUp) NoteStartUp(status);
    if (step.function->name == "KT_RDSP_SetScreenProp" && status == RADOVL_STATUS_DONE &&
        (static_cast<uint32_t>(step.args[0].integer) & 0xFF) == 1) {
        host_.disMode = RadovlSim_DisplayMode();
        host_.disModeKnown = true;
        host_.disModeSource = "set by KT_RDSP_SetScreenProp(1, " + std::to_string(host_.disMode) + ") at line " +
                              std::to_string(step.line);
    }

    const std::string call = DescribeCall(step);
    const bool mismatch = step.expectedStatus && *step.expectedStatus != status;
    if (!options_.quiet) {
        char line[64];
        std::snprintf(line, sizeof line, "%4d  ", step.line);
        out_ << line << call << " = " << status;
        out_ << "   (" << Grouped(requests) << (requests == 1 ? " request)" : " requests)");
        if (mismatch) out_ << "   FAILED: expected " << *step.expectedStatus;
        out_ << "\n";
    }
    if (mismatch) {
        Fail(step.line, call + " returned " + std::to_string(status) + ", expected " +
                            std::to_string(*step.expectedStatus));
    }
    if (requests > LongRun || seconds > 1.0) {
        char timing[96];
        std::snprintf(timing, sizeof timing, " requests in %.2f s (%.1f million per second)", seconds,
                      seconds > 0 ? requests / seconds / 1e6 : 0.0);
        Progress("line " + std::to_string(step.line) + ": " + Grouped(requests) + timing);
    }
    if (tracing_) WriteTrace("line " + std::to_string(step.line) + ": " + call + " = " + std::to_string(status), requests);
}

void Runner::NoteStartUp(int32_t status) {
    // Start-up opens board 0; a board 0 that fails the scratch test makes it
    // take the fallback path and use board 1.
    host_.board = scratchFault_[0] ? 1 : 0;
    if (status != RADOVL_STATUS_DONE) return;
    // The library read the file; the tool asks it what it made of it.
    const std::string path = DisplayModeFilePath();
    // The picture names the file by its place beside the console, the same
    // in every work directory and on every platform.
    const std::string shown = "the console's out/dismodeconfig.inf";
    std::error_code ec;
    host_.disMode = RadovlSim_DisplayMode();
    host_.disModeKnown = true;
    if (!fs::exists(path, ec)) {
        host_.disModeSource = "no display-mode file at " + shown + ": start-up sets 1";
    } else if (fs::is_directory(path, ec)) {
        // The console's own out/ may hold anything; start-up reads no mode
        // from a directory, and the run says so rather than guess.
        host_.disModeSource = shown + " is a directory: start-up read no mode from it";
        err_ << "radovl-sim: " << path << " is a directory, not a display-mode file: start-up read no mode from it\n";
    } else {
        host_.disModeSource = "start-up read " + shown + (disModeWritten_ ? ", written by the scenario" : "");
    }
}

void RADOVL_CALL Runner::ObserveRequest(const RadovlSimRequest* request, void* context) {
    Runner& self = *static_cast<Runner*>(context);
    if (self.options_.traceLimit != 0 && self.tracedRequests_ >= self.options_.traceLimit) return;
    self.decoder_.Feed(*request, ++self.tracedRequests_);
    if ((self.tracedRequests_ & 0xFFF) == 0) {
        for (const DecodedAccess& a : self.decoder_.Take()) self.TraceOutput(FormatAccess(a) + "\n");
    }
}

void Runner::TraceOutput(const std::string& text) {
    callTrace_ += text;
    if (callTrace_.size() < TraceInMemory) return;
    if (callSpill_ == nullptr) {
        const std::string path = (fs::path(workDir_) / "call-trace.tmp").string();
        callSpill_ = std::fopen(path.c_str(), "w+b");
        // Unlinked at once where the system allows it; the work directory
        // goes at the end of the run in any case.
        if (callSpill_ != nullptr) std::remove(path.c_str());
    }
    if (callSpill_ == nullptr || std::fwrite(callTrace_.data(), 1, callTrace_.size(), callSpill_) != callTrace_.size()) {
        if (!aborted_) err_ << "radovl-sim: cannot hold a long trace in the work directory " << workDir_ << "\n";
        aborted_ = true;
    }
    callTrace_.clear();
}

// The traced call's heading, then its decoded requests.
void Runner::WriteTrace(const std::string& heading, uint32_t requests) {
    decoder_.Flush();
    for (const DecodedAccess& a : decoder_.Take()) TraceOutput(FormatAccess(a) + "\n");
    if (requests > tracedRequests_) {
        const std::string left = Grouped(requests - tracedRequests_);
        TraceOutput("# ... and " + left + " more requests of this call, not written (--trace-limit)\n");
        Progress("the trace of " + heading.substr(0, heading.find(':')) + " stops after " + Grouped(tracedRequests_) +
                 " of its " + Grouped(requests) + " requests (--trace-limit)");
    }
    auto emit = [&](const std::string& text) {
        if (traceFile_.is_open()) traceFile_.Write(text);
        else out_ << text;
    };
    if (traceFile_.is_open()) emit("\n# " + heading + "\n");
    if (callSpill_ != nullptr) {
        std::rewind(callSpill_);
        std::string chunk(1u << 20, '\0');
        size_t n;
        while ((n = std::fread(&chunk[0], 1, chunk.size(), callSpill_)) > 0) emit(chunk.substr(0, n));
        std::fclose(callSpill_);
        callSpill_ = nullptr;
    }
    emit(callTrace_);
    callTrace_.clear();
}

void Runner::Peek(const Step& step) {
    const PeekTarget& t = step.target;
    const int32_t board = host_.board;
    uint32_t value = 0;
    switch (t.space) {
        case PeekSpace::Main: value = RadovlSim_PeekMain(board, t.address); break;
        case PeekSpace::Video: value = RadovlSim_PeekVideo(board, VideoDspOf(t.channel), t.address); break;
        case PeekSpace::Pci: value = RadovlSim_PeekPci(board, t.address); break;
        case PeekSpace::Decoder:
            value = static_cast<uint32_t>(
                RadovlSim_PeekDecoder(board, static_cast<int32_t>(DecoderAddress.For(t.channel)), static_cast<int32_t>(t.address)));
            break;
    }
    const bool byteWide = t.space == PeekSpace::Decoder || t.space == PeekSpace::Pci;
    std::string fields;
    if (t.space == PeekSpace::Main || t.space == PeekSpace::Video || t.space == PeekSpace::Pci) {
        const RegisterSpace space = t.space == PeekSpace::Main    ? RegisterSpace::Main
                                    : t.space == PeekSpace::Video ? RegisterSpace::Video
                                                                  : RegisterSpace::Pci;
        if (const std::optional<RegisterName> reg = LookupRegister(space, t.address)) fields = DecodeFields(*reg, value);
    }
    const std::string shown = byteWide ? HexByte(value) : Hex(value);
    const std::string board_text = board != 0 ? " on board " + std::to_string(board) : "";
    if (step.kind == StepKind::Peek) {
        if (!options_.quiet) {
            char line[16];
            std::snprintf(line, sizeof line, "%4d  ", step.line);
            out_ << line << "peek " << TargetText(t) << board_text << " = " << shown << (fields.empty() ? "" : "  " + fields)
                 << "\n";
        }
        return;
    }
    const bool holds = value == step.expectedValue;
    const std::string expected = byteWide ? HexByte(step.expectedValue) : Hex(step.expectedValue);
    if (!options_.quiet) {
        char line[16];
        std::snprintf(line, sizeof line, "%4d  ", step.line);
        out_ << line << "expect " << TargetText(t) << board_text << " = " << expected
             << (holds ? "   ok" : "   FAILED: actual " + shown) << "\n";
    }
    if (!holds) {
        Fail(step.line, "expect " + TargetText(t) + board_text + ": expected " + expected + ", actual " + shown +
                            (fields.empty() ? "" : " (" + fields + ")"));
    }
}

void Runner::Render(const std::string& path, int line) {
    const ScreenModel model = ReadScreen(host_);
    if (!traceFile_.path().empty() && SameFile(path, traceFile_.path())) {
        Fail(line, "render " + path + " would overwrite the trace");
        return;
    }
    RenderOptions options;
    options.title = "radovl-sim: what the board's two outputs show";
    options.subtitle = "Scenario " + scenarioFile_ + (line > 0 ? ", after line " + std::to_string(line) : ", at the end") +
                       "   ·   windows and settings from the board's registers"
                       "   ·   board " +
                       std::to_string(model.board);
    std::string error;
    if (!RenderScreen(model, path, options, &error)) {
        Fail(line, error);
        return;
    }
    if (!options_.quiet) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%4d  ", line);
        out_ << (line > 0 ? std::string(prefix) : std::string("      ")) << "render " << path << "   ("
             << model.windows.size() << (model.windows.size() == 1 ? " window shown)" : " windows shown)") << "\n";
    }
}

}  // namespace radovl::tool
