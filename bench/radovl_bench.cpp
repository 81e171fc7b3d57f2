// Benchmarks of the library and the simulated board.
//
//   PublicApi/SetPPIColor, PublicApi/OpenPPI   driver requests per second through the exports
//   StartUp/TwoMiBPrograms                     KT_RDSP_Init loading a 1 MiB program into both video DSPs
//   RequestPath/Library, RequestPath/Replay    start-up's request stream through the library and
//                                              straight into the simulated driver
//   RequestPath/LibraryColourTable,            the same for SetPPIColor's 512 requests, a stream
//   RequestPath/ReplayColourTable              that stays in the caches and reads no file
//   RequestPath/LibraryColourTableCapturing    SetPPIColor with a capture written (RADOVL_CAPTURE)
//   RequestPath/IoctlSyscall                   one ioctl system call: the floor of any real driver path
//   CallLock/Pair                              taking and giving back the lock every export holds
//   CallLock/Nested                            the same while it is held: what each request of a
//                                              call would add if it took the lock again (requests
//                                              inside a call go to the simulator without it)
//
// Times and rates are CPU time of the benchmark's thread: the machine is
// shared, and waiting for a core is not the library's cost.
//
// Before the benchmarks run, the simulator's memory after the two 1 MiB
// loads is measured and reported in the context (sim_rss_delta_kib,
// sim_pages_kib, vm_hwm_kib), and a soak of --soak_calls=N calls (default
// 20 million, 0 for none) of the heading update with the trace on at its
// default capacity reports the resident memory at its start, after a
// quarter of the calls and at its end (soak_*). bench/run.sh runs this and
// writes the table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/capture.h"
#include "coff/coff_writer.h"
#include "hw/driver.h"
#include "platform/platform.h"
#include "radovl/radovl.h"
#include "radovl/sim.h"
#include "sim/simulator.h"

namespace {

constexpr uint32_t ProgramBytes = 1u << 20;

// The benchmark's own directory, with the display program start-up loads.
class Workplace {
public:
    Workplace() {
        std::string pattern = (std::filesystem::temp_directory_path() / "radovl-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        dir_ = pattern;
        if (chdir(dir_.c_str()) != 0) std::abort();
        radovl::coff::Section pointer;
        pointer.name = ".distptr";
        pointer.address = 0x80000000;
        pointer.data = radovl::coff::WordBytes({0x80001000});
        radovl::coff::Section text;
        text.name = ".text";
        text.address = 0x80100000;
        text.data.resize(ProgramBytes);
        for (uint32_t i = 0; i < ProgramBytes; ++i) text.data[i] = static_cast<uint8_t>(i * 13 + 5);
        if (!radovl::coff::WriteFile(dir_ + "/out/idbout/testcmp.out", radovl::coff::BuildProgram({pointer, text}))) {
            std::abort();
        }
    }
    ~Workplace() {
        std::error_code error;
        std::filesystem::remove_all(dir_, error);
    }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

Workplace& Place() {
    static Workplace place;
    return place;
}

// The loader prints a line per program file; the benchmark's output is
// its table.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

// A fresh board and process, then start-up with the trace off.
void StartUp() {
    RadovlSim_Reset();
    RadovlSim_SetExecutablePath((Place().Dir() + "/bin/console").c_str());
    RadovlSim_SetTraceEnabled(0);
    QuietStdout quiet;
    if (KT_RDSP_Init() != 1) std::abort();
}

void Rates(benchmark::State& state, uint64_t requests) {
    state.counters["requests"] = benchmark::Counter(static_cast<double>(requests) / state.iterations());
    state.counters["requests_per_s"] = benchmark::Counter(static_cast<double>(requests), benchmark::Counter::kIsRate);
}

// ---------------------------------------------------------------------------
// (a) Requests per second through the public API.

template <typename Call>
void ThroughApi(benchmark::State& state, Call call) {
    StartUp();
    RadovlSim_TraceClear();
    if (call() != 1) {
        state.SkipWithError("the operation is refused (window operations not built)");
        return;
    }
    RadovlSim_TraceClear();
    for (auto _ : state) benchmark::DoNotOptimize(call());
    Rates(state, RadovlSim_RequestCount());
}

void SetPPIColor(benchmark::State& state) {
    ThroughApi(state, [] { return KT_RDSP_SetPPIColor(1, 0xFF800000); });
}
void OpenPPI(benchmark::State& state) {
    ThroughApi(state, [] { return KT_RDSP_OpenPPI(1, 100, 50, 400, 300); });
}

// ---------------------------------------------------------------------------
// (b) Start-up with a 1 MiB program in each video DSP.

void StartUpTwoMiB(benchmark::State& state) {
    uint64_t requests = 0;
    for (auto _ : state) {
        StartUp();
        requests += RadovlSim_RequestCount();
    }
    Rates(state, requests);
}

// ---------------------------------------------------------------------------
// (c) The library's own cost per request: start-up's request stream
// through the library, against the same stream handed straight to the
// simulated driver.

struct Recorded {
    uint32_t code;
    radovl::MemoryRequest record;
};

// The trace as records to hand to the driver again.
std::vector<Recorded> TracedStream() {
    std::vector<Recorded> out(static_cast<size_t>(RadovlSim_TraceCount()));
    for (size_t i = 0; i < out.size(); ++i) {
        RadovlSimRequest r{};
        RadovlSim_TraceGet(static_cast<int32_t>(i), &r);
        out[i].code = r.code;
        out[i].record = radovl::MemoryRequest{0, r.function, r.space, r.offset, 0, r.count, r.data};
    }
    return out;
}

const std::vector<Recorded>& StartUpStream() {
    static const std::vector<Recorded> stream = [] {
        StartUp();
        RadovlSim_Reset();
        RadovlSim_SetExecutablePath((Place().Dir() + "/bin/console").c_str());
        // Every request of the two 1 MiB loads, millions of them.
        RadovlSim_SetTraceEnabled(1);
        RadovlSim_SetTraceCapacity(-1);
        {
            QuietStdout quiet;
            KT_RDSP_Init();
        }
        std::vector<Recorded> out = TracedStream();
        RadovlSim_SetTraceEnabled(0);
        RadovlSim_SetTraceCapacity(RADOVL_SIM_TRACE_DEFAULT_CAPACITY);
        RadovlSim_Reset();  // the trace's memory back
        return out;
    }();
    return stream;
}

void LibraryPath(benchmark::State& state) {
    const size_t expected = StartUpStream().size();
    uint64_t requests = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RadovlSim_Reset();
        RadovlSim_SetExecutablePath((Place().Dir() + "/bin/console").c_str());
        RadovlSim_SetTraceEnabled(0);
        state.ResumeTiming();
        {
            QuietStdout quiet;
            KT_RDSP_Init();
        }
        requests += RadovlSim_RequestCount();
    }
    if (requests != expected * state.iterations()) state.SkipWithError("the stream differs from the recorded one");
    Rates(state, requests);
}

// Hands the recorded stream to the simulated driver, as the library's
// platform layer does inside a call (the simulator's lock held once for
// all of it), without the library.
void Replay(radovl::sim::Handle device, const std::vector<Recorded>& stream) {
    const radovl::sim::Locked held;
    for (const Recorded& r : stream) {
        uint32_t value = 0;
        if (r.code == radovl::WindowQueryCode) {
            radovl::WindowQuery query{};
            radovl::sim::DeviceIoControlHeld(device, r.code, &query, sizeof query, nullptr);
        } else {
            radovl::MemoryRequest record = r.record;
            radovl::sim::DeviceIoControlHeld(device, r.code, &record, sizeof record, &value);
        }
        benchmark::DoNotOptimize(value);
    }
}

void ReplayPath(benchmark::State& state) {
    const std::vector<Recorded>& stream = StartUpStream();
    uint64_t requests = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RadovlSim_Reset();
        RadovlSim_SetTraceEnabled(0);
        const radovl::sim::Handle device = radovl::sim::OpenDevice("\\\\.\\RarU64Ruz0");
        state.ResumeTiming();
        Replay(device, stream);
        requests += stream.size();
    }
    Rates(state, requests);
}

// The same comparison on a short stream that stays in the caches and does
// no file reading: the colour table of one SetPPIColor call, 512 requests,
// through the library and replayed, on a started board.
constexpr uint32_t ColourOfTheComparison = 0xFF800000;

std::vector<Recorded> SetPPIColorStream() {
    StartUp();
    RadovlSim_SetTraceEnabled(1);
    RadovlSim_TraceClear();
    KT_RDSP_SetPPIColor(1, ColourOfTheComparison);
    std::vector<Recorded> out = TracedStream();
    RadovlSim_SetTraceEnabled(0);
    RadovlSim_TraceClear();
    return out;
}

void LibraryColourTable(benchmark::State& state) {
    const size_t expected = SetPPIColorStream().size();
    if (expected == 0) {
        state.SkipWithError("SetPPIColor sends nothing (window operations not built)");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(KT_RDSP_SetPPIColor(1, ColourOfTheComparison));
    if (RadovlSim_RequestCount() != expected * state.iterations()) {
        state.SkipWithError("the stream differs from the recorded one");
    }
    Rates(state, RadovlSim_RequestCount());
}

void ReplayColourTable(benchmark::State& state) {
    const std::vector<Recorded> stream = SetPPIColorStream();
    if (stream.empty()) {
        state.SkipWithError("SetPPIColor sends nothing (window operations not built)");
        return;
    }
    const radovl::sim::Handle device = radovl::sim::OpenDevice("\\\\.\\RarU64Ruz0");
    uint64_t requests = 0;
    for (auto _ : state) {
        Replay(device, stream);
        requests += stream.size();
    }
    Rates(state, requests);
}

// The same calls with a capture being written: every call and request
// encoded, buffered and handed to the file (the null device, so that the
// figure is the library's cost, not the disk's).
void LibraryColourTableCapturing(benchmark::State& state) {
    if (SetPPIColorStream().empty()) {
        state.SkipWithError("SetPPIColor sends nothing (window operations not built)");
        return;
    }
    if (!radovl::capture::Start("/dev/null")) {
        state.SkipWithError("cannot write a capture to /dev/null");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(KT_RDSP_SetPPIColor(1, ColourOfTheComparison));
    radovl::capture::Stop();
    Rates(state, RadovlSim_RequestCount());
}

// ---------------------------------------------------------------------------
// (d) One ioctl system call that the kernel refuses at once: no real
// driver request can cost less.

void IoctlSyscall(benchmark::State& state) {
    const int fd = open("/dev/null", O_RDWR);
    radovl::MemoryRequest record{};
    uint64_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ioctl(fd, radovl::MemoryRequestCode, &record));
        ++calls;
    }
    close(fd);
    Rates(state, calls);
}

// ---------------------------------------------------------------------------
// (e) The lock every export holds, taken and given back: alone, as each
// call takes it, and while held, which is what each request of a call
// would add if it took the simulator's lock again.

void CallLockPair(benchmark::State& state) {
    for (auto _ : state) {
        radovl::platform::EnterCall();
        radovl::platform::LeaveCall();
    }
}

void CallLockNested(benchmark::State& state) {
    const radovl::platform::CallHeld held;
    for (auto _ : state) {
        radovl::platform::EnterCall();
        radovl::platform::LeaveCall();
    }
}

// ---------------------------------------------------------------------------
// (f) The simulator's memory after the two loads.

long StatusKib(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
            return std::stol(line.substr(length + 1));
        }
    }
    return -1;
}

void MeasureMemory() {
    Place();
    RadovlSim_Reset();
    const long before = StatusKib("VmRSS");
    StartUp();
    const long after = StatusKib("VmRSS");
    size_t pages = 0;
    for (const radovl::sim::BoardState& board : radovl::sim::State().boards) {
        pages += board.main.PagesInUse();
        for (const radovl::sim::SparseMemory& video : board.video) pages += video.PagesInUse();
    }
    benchmark::AddCustomContext("sim_requests_per_start_up", std::to_string(RadovlSim_RequestCount()));
    benchmark::AddCustomContext("sim_rss_delta_kib", std::to_string(after - before));
    benchmark::AddCustomContext("sim_pages_kib", std::to_string(pages * 4));
    benchmark::AddCustomContext("vm_hwm_kib", std::to_string(StatusKib("VmHWM")));
    RadovlSim_Reset();
}

// ---------------------------------------------------------------------------
// (g) A console left running: the heading pushed call after call with the
// trace on, as it is by default, holds steady memory once the trace's ring
// is full.

void Soak(uint64_t calls) {
    StartUp();
    RadovlSim_SetTraceCapacity(RADOVL_SIM_TRACE_DEFAULT_CAPACITY);
    RadovlSim_SetTraceEnabled(1);
    RadovlSim_TraceClear();
    if (KT_RDSP_OpenPPI(1, 100, 50, 400, 300) != 1) return;  // window operations not built
    const long start = StatusKib("VmRSS");
    long quarter = start;
    for (uint64_t i = 0; i < calls; ++i) {
        KT_RDSP_SetPPIShipDir(1, static_cast<float>(i % 3600) * 0.1f);
        if (i + 1 == calls / 4) quarter = StatusKib("VmRSS");
    }
    // Every request was recorded: those kept and those dropped.
    const uint64_t requests = RadovlSim_TraceDropped() + static_cast<uint64_t>(RadovlSim_TraceCount());
    benchmark::AddCustomContext("soak_calls", std::to_string(calls));
    benchmark::AddCustomContext("soak_requests", std::to_string(requests));
    benchmark::AddCustomContext("soak_trace_kept", std::to_string(RadovlSim_TraceCount()));
    benchmark::AddCustomContext("soak_rss_start_kib", std::to_string(start));
    benchmark::AddCustomContext("soak_rss_quarter_kib", std::to_string(quarter));
    benchmark::AddCustomContext("soak_rss_end_kib", std::to_string(StatusKib("VmRSS")));
    RadovlSim_Reset();
}

// --soak_calls=N, taken out of the arguments before the benchmark library
// sees them.
uint64_t SoakCalls(int* argc, char** argv) {
    uint64_t calls = 20000000;
    const std::string flag = "--soak_calls=";
    int kept = 0;
    for (int i = 0; i < *argc; ++i) {
        const std::string arg = argv[i];
        if (arg.compare(0, flag.size(), flag) == 0) {
            calls = std::stoull(arg.substr(flag.size()));
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
    return calls;
}

}  // namespace

BENCHMARK(SetPPIColor)->Name("PublicApi/SetPPIColor");
BENCHMARK(OpenPPI)->Name("PublicApi/OpenPPI");
BENCHMARK(StartUpTwoMiB)->Name("StartUp/TwoMiBPrograms")->Unit(benchmark::kMillisecond);
BENCHMARK(LibraryPath)->Name("RequestPath/Library")->Unit(benchmark::kMillisecond);
BENCHMARK(ReplayPath)->Name("RequestPath/Replay")->Unit(benchmark::kMillisecond);
BENCHMARK(LibraryColourTable)->Name("RequestPath/LibraryColourTable");
BENCHMARK(ReplayColourTable)->Name("RequestPath/ReplayColourTable");
BENCHMARK(LibraryColourTableCapturing)->Name("RequestPath/LibraryColourTableCapturing");
BENCHMARK(IoctlSyscall)->Name("RequestPath/IoctlSyscall");
BENCHMARK(CallLockPair)->Name("CallLock/Pair");
BENCHMARK(CallLockNested)->Name("CallLock/Nested");

int main(int argc, char** argv) {
    const uint64_t soakCalls = SoakCalls(&argc, argv);
    MeasureMemory();
    if (soakCalls > 0) Soak(soakCalls);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
