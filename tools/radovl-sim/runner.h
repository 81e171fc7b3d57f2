// Runs a parsed scenario against the library and its simulated board:
// calls the exports, sets up the simulated host and boards, checks
// expectations, writes the decoded trace and renders the screen.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scenario.h"
#include "screen_model.h"

namespace radovl::tool {

struct RunOptions {
    std::string traceFile;   // decoded trace of traced calls; "" = to the output
    std::string renderFile;  // drawn at the end of the run; "" = none
    bool quiet = false;      // only failures and errors
};

class Runner {
public:
    Runner(RunOptions options, std::ostream& out, std::ostream& err);
    // 0 when every step ran and every expectation held; 1 otherwise.
    int Run(const Scenario& scenario);
    const HostView& host() const { return host_; }
    int failures() const { return failures_; }

private:
    void Execute(const Step& step);
    void Call(const Step& step);
    void Peek(const Step& step);
    void Render(const std::string& path, int line);
    void WriteTrace(const std::string& heading, uint32_t requests);
    void NoteStartUp(int32_t status);
    void Fail(int line, const std::string& message);
    void Progress(const std::string& message);
    uint32_t EstimatedStartUpRequests() const;
    std::string DisplayModeFilePath() const;
    std::string Location(int line) const;
    std::ostream& traceStream();

    RunOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    std::ofstream traceFile_;
    std::string scenarioFile_;
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
    int failures_ = 0;
    std::vector<std::string> failureMessages_;
};

// Formats n with thousands separators: 3,146,112.
std::string Grouped(uint64_t n);

}  // namespace radovl::tool
