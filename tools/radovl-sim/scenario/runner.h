// Runs a parsed scenario against the library and its simulated board:
// calls the exports, sets up the simulated host and boards, checks
// expectations, writes the decoded trace and renders the screen.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "text/output_file.h"
#include "radovl/sim.h"
#include "scenario/scenario.h"
#include "boardview/screen_model.h"
#include "boardview/trace_decoder.h"

namespace radovl::tool {

constexpr uint32_t DefaultTraceLimit = 2000000;

struct RunOptions {
    std::string traceFile;   // decoded trace of traced calls; "" = to the output
    std::string renderFile;  // drawn at the end of the run; "" = none
    bool quiet = false;      // only failures and errors
    // Requests of one call decoded into the trace at most; 0 = all of them.
    // A start-up with a 64 MiB program is 200 million requests, some 20 GB
    // of text.
    uint32_t traceLimit = DefaultTraceLimit;
    // Where the simulated host executable lives (its out/ holds the DSP
    // programs and the display-mode file). "" = a fresh private directory,
    // removed after the run, so that no run sees what an earlier one left.
    std::string workDir;
    // The capture file the library writes (RADOVL_CAPTURE), absolute; "" = none.
    std::string captureFile;
};

// Outputs that would overwrite the scenario or each other ("--trace names
// the scenario being run"), a capture file (RunOptions::captureFile)
// that names any file the run reads or writes, or pictures this build
// cannot draw; "" when every output can be written.
std::string OutputClash(const Scenario& scenario, const RunOptions& options);

// A path of the scenario (render, executable) as the run uses it: relative
// paths are taken from the scenario file's directory.
std::string ScenarioPath(const Scenario& scenario, const std::string& path);

class Runner {
public:
    Runner(RunOptions options, std::ostream& out, std::ostream& err);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;
    // 0 when every step ran and every expectation held; 1 otherwise.
    int Run(const Scenario& scenario);
    const HostView& host() const { return host_; }
    int failures() const { return failures_; }

private:
    void Execute(const Step& step);
    void Call(const Step& step);
    void Peek(const Step& step);
    void Render(const std::string& path, int line);
    bool PrepareWorkDir();
    void LeaveWorkDir();
    std::string Absolute(const std::string& path) const;  // from the directory the run started in
    void WriteTrace(const std::string& heading, uint32_t requests);
    void TraceOutput(const std::string& text);
    static void RADOVL_CALL ObserveRequest(const RadovlSimRequest* request, void* context);
    void NoteStartUp(int32_t status);
    void Fail(int line, const std::string& message);
    void Progress(const std::string& message);
    uint32_t EstimatedStartUpRequests() const;
    std::string DisplayModeFilePath() const;
    std::string Location(int line) const;

    RunOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    OutputFile traceFile_;
    bool aborted_ = false;          // an output could not be written: no further steps
    const Scenario* scenario_ = nullptr;
    std::string scenarioFile_;
    std::string workDir_;
    std::string startDir_;          // the current directory when the run began, restored after it
    bool removeWorkDir_ = false;
    // The traced call in progress: decoded as the requests are served, its
    // text held in memory and, beyond a few megabytes, in a scratch file.
    TraceDecoder decoder_;
    uint32_t tracedRequests_ = 0;
    std::string callTrace_;
    std::FILE* callSpill_ = nullptr;
    HostView host_;
    bool monitorsReplaced_ = false;
    bool scratchFault_[2] = {false, false};
    bool tracing_ = false;
    std::string executablePath_;
    std::optional<int64_t> disModeWritten_;  // value of the file the scenario wrote, if it did
    struct PendingFault {
        int32_t first, count, status;
    };
    std::optional<PendingFault> pendingFault_;
    static constexpr int MaxFailuresListed = 1000;
    int failures_ = 0;
    std::vector<std::string> failureMessages_;  // the first MaxFailuresListed
};

}  // namespace radovl::tool
