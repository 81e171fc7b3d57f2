// End-to-end host: runs a scenario file (the radovl-sim scenario language)
// against radovl.dll and prints every call's status, what the library
// printed, and each driver request the board received. Built twice from
// this source: against the real-driver DLL, where the board is the
// software board driver reached through its control device, and against
// the simulated-board DLL, where it is in the process. The two logs of one
// scenario must be equal line for line.
//
//   radovl_driver_e2e SCENARIO [--program-bytes N] [--high-memory after-init|all]
//   radovl_driver_e2e --display       prints the display only
//
// Display steps (monitor, screen, executable, render) are skipped: both
// runs use the real display of the machine, and the log begins with it.
// --program-bytes makes the programs of make-programs that size.
// --high-memory (64-bit processes) takes every free address below 4 GiB
// once start-up is over (after-init) or before it (all), and runs the calls
// on a thread whose stack lies above 4 GiB.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hw/driver.h"
#include "hw/registers.h"
#include "board_control.h"
#include "demo_programs.h"
#include "radovl/radovl.h"
#include "scenario.h"

namespace {

using radovl::host::Board;
using radovl::host::TraceFrom;
using radovl::tool::BoardAction;
using radovl::tool::PeekSpace;
using radovl::tool::Step;
using radovl::tool::StepKind;

constexpr uint64_t FourGiB = uint64_t{1} << 32;
constexpr uint64_t PageBytes = 4096;

int failures = 0;

void Line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

void Failure(const std::string& text) {
    ++failures;
    Line("FAIL " + text);
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

bool IsRead(const RadovlSimRequest& r) {
    return r.code == radovl::MemoryRequestCode && radovl::IsReadFunction(r.function);
}

// A request as both runs see it: a read's data word is the address of its
// destination in the caller, which differs between them.
std::string Describe(const RadovlSimRequest& r) {
    std::string text = "  board " + std::to_string(r.board) + " code " + Hex(r.code) + " function " +
                       std::to_string(r.function) + " space " + std::to_string(r.space) + " offset " + Hex(r.offset) +
                       " count " + std::to_string(r.count) + " status " + Hex(static_cast<uint32_t>(r.status)) +
                       " value " + Hex(r.value);
    if (!IsRead(r)) text += " data " + Hex(r.data);
    return text;
}

// The directory of this program.
std::string HostDirectory() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, n < MAX_PATH ? n : 0);
    const size_t last = directory.rfind('\\');
    return last == std::string::npos ? std::string(".") : directory.substr(0, last);
}

// ---------------------------------------------------------------------------
// Memory below 4 GiB, taken so that new stacks and heaps land above it.

// Reserves [start, end), or as much of it as can be had, a granule and
// then a page at a time (Wine keeps parts of its own space below 4 GiB
// that it reports free, and places some of its blocks page by page).
bool ReserveRange(uint64_t start, uint64_t end) {
    return VirtualAlloc(reinterpret_cast<void*>(start), end - start, MEM_RESERVE, PAGE_NOACCESS) != nullptr;
}

void Reserve(uint64_t start, uint64_t end, uint64_t granularity) {
    if (ReserveRange(start, end)) return;
    for (uint64_t granule = start; granule < end; granule += granularity) {
        const uint64_t granuleEnd = granule + granularity < end ? granule + granularity : end;
        if (ReserveRange(granule, granuleEnd)) continue;
        for (uint64_t page = granule; page < granuleEnd; page += PageBytes) ReserveRange(page, page + PageBytes);
    }
}

void TakeLowMemory() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const uint64_t granularity = info.dwAllocationGranularity;
    uint64_t address = granularity;
    while (address < FourGiB) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(reinterpret_cast<void*>(address), &region, sizeof region) == 0) break;
        const uint64_t base = reinterpret_cast<uint64_t>(region.BaseAddress);
        uint64_t end = base + region.RegionSize;
        if (end > FourGiB) end = FourGiB;
        const uint64_t start = (base + granularity - 1) / granularity * granularity;
        if (region.State == MEM_FREE && start < end) Reserve(start, end, granularity);
        address = end;
    }
    Line("(took the free memory below 4 GiB)");
}

// ---------------------------------------------------------------------------
// The scenario.

struct Options {
    std::string scenario;
    long programBytes = -1;
    std::string highMemory;  // "", "after-init" or "all"
    bool displayOnly = false;
};

class Run {
public:
    explicit Run(const Options& options) : options_(options) {}

    void Do(const Step& step);
    // Whether the steps after this one run with the memory below 4 GiB taken.
    bool StartsHighMemory(const Step& step) const {
        return options_.highMemory == "after-init" && step.kind == StepKind::Call &&
               step.function->name == "KT_RDSP_Init";
    }

private:
    void Call(const Step& step);
    void Peek(const Step& step);

    const Options& options_;
    int32_t board_ = 0;  // the board start-up brings up, for peeks
    bool boardAbsent_[2] = {};
    bool scratchFault_[2] = {};
    bool pendingFault_ = false;
    int64_t fault_[3] = {};
};

void Run::Call(const Step& step) {
    Board(RadovlControlTraceClear);
    if (pendingFault_) {
        Board(RadovlControlFailRequests, static_cast<int32_t>(fault_[0]), static_cast<int32_t>(fault_[1]),
              static_cast<int32_t>(fault_[2]));
    }
    Line("call " + radovl::tool::DescribeCall(step));
    const int32_t status = step.function->call(step.args);
    std::fflush(stdout);
    if (pendingFault_) {
        Board(RadovlControlFailRequests, 1, 0, 0);
        pendingFault_ = false;
    }
    std::string text = "  = " + std::to_string(status);
    if (step.expectedStatus && *step.expectedStatus != status) text += " (expected " + std::to_string(*step.expectedStatus) + ")";
    Line(text);
    const std::vector<RadovlSimRequest> trace = TraceFrom(0);
    int reads = 0;
    for (const RadovlSimRequest& r : trace) {
        Line(Describe(r));
        reads += IsRead(r) ? 1 : 0;
    }
    if (options_.highMemory == "all" && reads > 0) {
        Failure(std::to_string(reads) + " reads reached the board without a destination below 4 GiB");
    }
}

void Run::Peek(const Step& step) {
    const auto& t = step.target;
    const int32_t a = static_cast<int32_t>(t.address);
    int32_t value = 0;
    switch (t.space) {
        case PeekSpace::Main: value = Board(RadovlControlPeekMain, board_, a); break;
        case PeekSpace::Video: value = Board(RadovlControlPeekVideo, board_, t.channel - 1, a); break;
        case PeekSpace::Pci: value = Board(RadovlControlPeekPci, board_, a); break;
        case PeekSpace::Decoder:
            value = Board(RadovlControlPeekDecoder, board_,
                          static_cast<int32_t>(radovl::DecoderAddress.For(t.channel)), a);
            break;
    }
    std::string text = step.text + " -> " + Hex(static_cast<uint32_t>(value));
    if (step.kind == StepKind::Expect && static_cast<uint32_t>(value) != step.expectedValue) text += " (expected " + Hex(step.expectedValue) + ")";
    Line(text);
}

void Run::Do(const Step& step) {
    switch (step.kind) {
        case StepKind::Call: Call(step); return;
        case StepKind::Board: {
            const int32_t board = static_cast<int32_t>(step.numbers[0]);
            if (board < 0 || board > 1) break;
            switch (step.boardAction) {
                case BoardAction::Absent: boardAbsent_[board] = true; Board(RadovlControlSetBoardPresent, board, 0); break;
                case BoardAction::Present: boardAbsent_[board] = false; Board(RadovlControlSetBoardPresent, board, 1); break;
                case BoardAction::ScratchFault: scratchFault_[board] = true; Board(RadovlControlSetScratchFault, board, 1); break;
                case BoardAction::ScratchOk: scratchFault_[board] = false; Board(RadovlControlSetScratchFault, board, 0); break;
            }
            board_ = boardAbsent_[0] || scratchFault_[0] ? 1 : 0;
            Line(step.text);
            return;
        }
        case StepKind::I2cBusy:
            Board(RadovlControlSetI2cBusyReads, static_cast<int32_t>(step.numbers[0]));
            Line(step.text);
            return;
        case StepKind::FailRequests:
            pendingFault_ = true;
            for (int i = 0; i < 3; ++i) fault_[i] = step.numbers[static_cast<size_t>(i)];
            Line(step.text);
            return;
        case StepKind::DisModeFile: {
            // Beside the host executable, where the library reads it.
            const std::string out = HostDirectory() + "\\out";
            const std::string path = out + "\\dismodeconfig.inf";
            CreateDirectoryA(out.c_str(), nullptr);
            if (step.removeFile) {
                DeleteFileA(path.c_str());
            } else if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fprintf(f, "DisMode=%lld\n#END\n", static_cast<long long>(step.numbers[0]));
                std::fclose(f);
            } else {
                Failure("cannot write " + path);
            }
            Line(step.text);
            return;
        }
        case StepKind::MakePrograms: {
            uint32_t bytes = step.numbers.empty() ? radovl::tool::DefaultDisplayProgramBytes
                                                  : static_cast<uint32_t>(step.numbers[0]);
            if (options_.programBytes >= 0) bytes = static_cast<uint32_t>(options_.programBytes);
            std::string error;
            if (radovl::tool::WriteDemoPrograms(".", bytes, &error).empty()) Failure("make-programs: " + error);
            Line("make-programs " + std::to_string(bytes));
            return;
        }
        case StepKind::Peek:
        case StepKind::Expect: Peek(step); return;
        case StepKind::Poke:
            if (step.target.space == PeekSpace::Main) {
                Board(RadovlControlPokeMain, board_, static_cast<int32_t>(step.target.address),
                      static_cast<int32_t>(step.expectedValue));
            } else {
                Board(RadovlControlPokeVideo, board_, step.target.channel - 1, static_cast<int32_t>(step.target.address),
                      static_cast<int32_t>(step.expectedValue));
            }
            Line(step.text);
            return;
        default: break;
    }
    Line("skipped: " + step.text);
}

struct ThreadWork {
    Run* run;
    const std::vector<Step>* steps;
    size_t first;
};

DWORD WINAPI RunSteps(void* argument) {
    const auto* work = static_cast<ThreadWork*>(argument);
    const auto stack = reinterpret_cast<uint64_t>(&argument);
    // Again: what was in use a moment ago may have been released since.
    TakeLowMemory();
    Line(std::string("(steps run on a stack ") + (stack >= FourGiB ? "above" : "below") + " 4 GiB)");
    if (stack < FourGiB) Failure("no stack above 4 GiB");
    for (size_t i = work->first; i < work->steps->size(); ++i) work->run->Do((*work->steps)[i]);
    return 0;
}

void RunOnHighStack(Run& run, const std::vector<Step>& steps, size_t first) {
    TakeLowMemory();
    ThreadWork work{&run, &steps, first};
    HANDLE thread = CreateThread(nullptr, 0, RunSteps, &work, 0, nullptr);
    if (thread == nullptr) {
        Failure("CreateThread (error " + std::to_string(GetLastError()) + ")");
        return;
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

// A callback of Windows: the stdcall convention, which 32-bit x86 passes
// differently from a C++ lambda's.
BOOL CALLBACK UseMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    Line("display: monitor " + RectText(info.rcMonitor));
#if defined(RADOVL_IN_PROCESS_BOARD)
    RadovlSim_AddMonitor(info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom);
#endif
    return TRUE;
}

// The display of this machine as the real-driver DLL asks Windows for it:
// the whole desktop (the screen's clip box) and each monitor. The log
// shows it; the simulated board answers with it.
void UseThisDisplay() {
    RECT screen{0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetClipBox(dc, &screen);
    ReleaseDC(nullptr, dc);
    Line("display: screen " + RectText(screen));
#if defined(RADOVL_IN_PROCESS_BOARD)
    RadovlSim_SetScreen(screen.left, screen.top, screen.right, screen.bottom);
    RadovlSim_ClearMonitors();
#endif
    EnumDisplayMonitors(nullptr, nullptr, UseMonitor, 0);
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--display") {
            options->displayOnly = true;
        } else if (arg == "--program-bytes" && i + 1 < argc) {
            options->programBytes = std::strtol(argv[++i], nullptr, 0);
        } else if (arg == "--high-memory" && i + 1 < argc && sizeof(void*) == 8) {
            options->highMemory = argv[++i];
            if (options->highMemory != "after-init" && options->highMemory != "all") return false;
        } else if (options->scenario.empty() && arg.rfind("--", 0) != 0) {
            options->scenario = arg;
        } else {
            return false;
        }
    }
    return options->displayOnly || !options->scenario.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: radovl_driver_e2e SCENARIO [--program-bytes N] [--high-memory after-init|all]\n"
                             "       radovl_driver_e2e --display\n");
        return 2;
    }
    if (options.displayOnly) {
        UseThisDisplay();
        return 0;
    }
    const radovl::tool::ParseResult parsed = radovl::tool::ParseScenarioFile(options.scenario);
    for (const std::string& error : parsed.errors) std::fprintf(stderr, "%s\n", error.c_str());
    if (!parsed.ok()) return 2;

    if (!radovl::host::OpenBoardControl()) return 2;
    Board(RadovlControlReset);
    UseThisDisplay();

    Run run(options);
    const std::vector<Step> steps = radovl::tool::AllSteps(parsed.scenario);
    if (options.highMemory == "all") {
        RunOnHighStack(run, steps, 0);
    } else {
        size_t i = 0;
        for (; i < steps.size(); ++i) {
            run.Do(steps[i]);
            if (run.StartsHighMemory(steps[i])) break;
        }
        if (i < steps.size()) RunOnHighStack(run, steps, i + 1);
    }
    Line("end: " + std::to_string(failures) + " failures");
    return failures == 0 ? 0 : 1;
}
