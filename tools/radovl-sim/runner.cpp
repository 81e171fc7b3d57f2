#include "runner.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>

#include "demo_programs.h"
#include "hw/registers.h"
#include "radovl/sim.h"
#include "register_names.h"
#include "renderer.h"
#include "trace_decoder.h"

namespace radovl::tool {
namespace {

namespace fs = std::filesystem;

// Calls and traces above this many requests report their progress.
constexpr uint32_t LongRun = 200000;
// Driver requests per word of a program load: three main DSP accesses of
// two requests each through a bridge, two for a main DSP word.
constexpr uint32_t VideoWordRequests = 6;
constexpr uint32_t MainWordRequests = 2;

uint64_t FileBytes(const std::string& path) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<uint64_t>(size);
}

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

std::string Grouped(uint64_t n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

Runner::Runner(RunOptions options, std::ostream& out, std::ostream& err)
    : options_(std::move(options)), out_(out), err_(err) {}

std::string Runner::Location(int line) const { return scenarioFile_ + ":" + std::to_string(line); }

// Failures are listed together at the end of the run, after the log.
void Runner::Fail(int line, const std::string& message) {
    ++failures_;
    failureMessages_.push_back((line > 0 ? Location(line) : scenarioFile_) + ": " + message);
}

void Runner::Progress(const std::string& message) {
    if (!options_.quiet) err_ << "radovl-sim: " << message << std::endl;
}

std::ostream& Runner::traceStream() { return traceFile_.is_open() ? static_cast<std::ostream&>(traceFile_) : out_; }

int Runner::Run(const Scenario& scenario) {
    scenarioFile_ = scenario.file;
    if (!options_.traceFile.empty()) {
        traceFile_.open(options_.traceFile);
        if (!traceFile_) {
            err_ << "radovl-sim: cannot write the trace file " << options_.traceFile << "\n";
            return 1;
        }
        traceFile_ << "# Decoded driver trace of " << scenario.file << "\n"
                   << "# request number, where (main DSP, video DSP N through its bridge, PCI, I2C), access,\n"
                   << "# address, register, value, decoded fields; main DSP accesses give [page +offset].\n";
        tracing_ = true;
    }
    // The simulated host executable lives in the current directory, so
    // ./out holds both the DSP programs and the display-mode file.
    executablePath_ = (fs::current_path() / "radovl-sim").string();
    RadovlSim_SetExecutablePath(executablePath_.c_str());
    for (const Step& step : scenario.steps) Execute(step);
    if (!options_.renderFile.empty()) Render(options_.renderFile, 0);
    out_.flush();
    for (const std::string& m : failureMessages_) err_ << m << "\n";
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
            executablePath_ = fs::absolute(step.path).string();
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
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (f == nullptr || std::fprintf(f, "DisMode=%lld\n#END\n", static_cast<long long>(step.numbers[0])) < 0) {
                if (f != nullptr) std::fclose(f);
                Fail(step.line, "cannot write " + path);
                return;
            }
            std::fclose(f);
            disModeWritten_ = step.numbers[0];
            echo("   (wrote " + path + ")");
            return;
        }
        case StepKind::MakePrograms: {
            std::string error;
            const uint32_t bytes =
                step.numbers.empty() ? DefaultDisplayProgramBytes : static_cast<uint32_t>(step.numbers[0]);
            const std::vector<ProgramFile> files = WriteDemoPrograms(".", bytes, &error);
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
                RadovlSim_PokeVideo(host_.board, step.target.channel - 1, step.target.address, step.expectedValue);
            }
            echo();
            return;
        case StepKind::Render: Render(step.path, step.line); return;
        case StepKind::Trace:
            tracing_ = step.on;
            echo();
            return;
    }
}

uint32_t Runner::EstimatedStartUpRequests() const {
    const uint64_t display = FileBytes("./out/idbout/testcmp.out");
    uint64_t words = 2 * display / 4 * VideoWordRequests;
    if (scratchFault_[0]) {
        words += (FileBytes("./out/vibout/clktest_b.out") + FileBytes("./out/vibout/clktest_c.out")) / 4 *
                 VideoWordRequests;
        words += FileBytes("./out/vibout/NicTest.out") / 4 * MainWordRequests;
    }
    return words > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(words);
}

void Runner::Call(const Step& step) {
    const bool startUp = step.function->name == "KT_RDSP_Init";
    RadovlSim_TraceClear();
    RadovlSim_SetTraceEnabled(tracing_ ? 1 : 0);
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
    const int32_t status = step.function->call(step.args);
    std::fflush(stdout);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
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
    std::error_code ec;
    host_.disMode = RadovlSim_DisplayMode();
    host_.disModeKnown = true;
    if (!fs::exists(path, ec)) {
        host_.disModeSource = "no display-mode file at " + path + ": start-up sets 1";
    } else {
        host_.disModeSource = "start-up read " + path + (disModeWritten_ ? ", written by the scenario" : "");
    }
}

void Runner::WriteTrace(const std::string& heading, uint32_t requests) {
    std::ostream& os = traceStream();
    if (traceFile_.is_open()) os << "\n# " << heading << "\n";
    TraceDecoder decoder;
    const int32_t count = RadovlSim_TraceCount();
    const bool longTrace = static_cast<uint32_t>(count) > LongRun;
    int32_t nextReport = count / 10;
    int tenths = 0;
    RadovlSimRequest r;
    for (int32_t i = 0; i < count; ++i) {
        RadovlSim_TraceGet(i, &r);
        decoder.Feed(r, static_cast<uint32_t>(i) + 1);
        if ((i & 0xFFF) == 0) {
            for (const DecodedAccess& a : decoder.Take()) os << FormatAccess(a) << "\n";
        }
        if (longTrace && i == nextReport) {
            Progress("decoding the trace: " + std::to_string(10 * ++tenths) + "% of " + Grouped(requests) +
                     " requests");
            nextReport += count / 10;
        }
    }
    decoder.Flush();
    for (const DecodedAccess& a : decoder.Take()) os << FormatAccess(a) << "\n";
    RadovlSim_TraceClear();
}

void Runner::Peek(const Step& step) {
    const PeekTarget& t = step.target;
    const int32_t board = host_.board;
    uint32_t value = 0;
    switch (t.space) {
        case PeekSpace::Main: value = RadovlSim_PeekMain(board, t.address); break;
        case PeekSpace::Video: value = RadovlSim_PeekVideo(board, t.channel - 1, t.address); break;
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
    RenderOptions options;
    options.title = "radovl-sim: what the board's two outputs show";
    options.subtitle = "Scenario " + scenarioFile_ + (line > 0 ? ", after line " + std::to_string(line) : ", at the end") +
                       "   ·   decoded from the simulated board's registers alone   ·   board " +
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
