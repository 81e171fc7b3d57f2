// The commands that work on capture files: decode, replay and diff.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "boardview/screen_model.h"
#include "picture/renderer.h"

#include "cli/cli.h"
#include "radovl/capture.h"
#include "radovl/sim.h"

namespace radovl::tool {

// The commands, run through the command table (cli.h): decode exits 1 for
// a file it could not read to the end (or not a capture at all), replay and
// diff 1 when the two sides differ and 2 when a file is not a whole capture.
int DecodeCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);
int ReplayCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);
int DiffCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);

class CaptureReader;
struct CaptureRecord;

// A platform or file record as one line: "read: screen clip box 0 0 2560 1024".
std::string DescribeRead(const CaptureRecord& record);

// Sends the captured requests of calls 1 to at (0: every call) to the
// simulated boards as they were sent, from the reader's position.
struct AppliedCapture {
    uint32_t calls = 0;    // calls whose requests were sent
    std::string lastCall;  // the last of them, as a scenario line
    int32_t board = 0;     // board of the last request
};
AppliedCapture ApplyCapture(CaptureReader& reader, uint32_t at);
// One captured request sent to its simulated board as it was sent; false
// (nothing sent) for a request the site's driver failed.
bool ApplyRequest(const RadovlCaptureRequest& request);

// What the capture holds of the site besides its board (version 2): the
// screen's clip box, the monitors its queries answered, the files opened.
struct SiteReads {
    std::optional<HostView::Monitor> screen;
    std::vector<HostView::Monitor> monitors;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes: the first time each was present
    std::optional<int32_t> disMode;  // as the last display-mode file read sets it
    // Takes what one record read (any other record changes nothing; the
    // same record taken twice neither).
    void Take(const CaptureRecord& record);
};
SiteReads ReadSite(const std::string& path);
// The simulated boards' outputs as they stand, as replay --render draws
// them once the captured requests of applied.calls calls are on the boards:
// the site's monitors (or those given) and DisMode, the page titled with the
// capture's path and the last call. replay and view both draw through it.
ScreenModel CapturedScreen(const std::string& path, const SiteReads& site,
                           const std::vector<HostView::Monitor>& monitors, const AppliedCapture& applied,
                           RenderOptions* options);

// The last requests of one side of a comparison, with the number of the
// first one kept, for the decoded context of a difference.
struct RequestWindow {
    static constexpr size_t Before = 48;  // requests kept before a difference: decoding
                                          // finds its feet again within a few accesses
    static constexpr size_t After = 3;   // requests shown after it
    std::deque<RadovlSimRequest> requests;
    uint32_t firstNumber = 1;
    void Clear() {
        requests.clear();
        firstNumber = 1;
    }
    // Adds a request; keeps Before of them until frozen by a difference.
    void Add(const RadovlSimRequest& r, bool frozen) {
        requests.push_back(r);
        if (!frozen && requests.size() > Before + 1) {
            requests.pop_front();
            ++firstNumber;
        }
    }
};

// "first difference at call N (CALL), its request K", the two differing
// requests' fields, then each side's requests around them, decoded.
void ReportDifference(std::ostream& os, const std::string& where, const std::string& labelA,
                      const RequestWindow& a, const std::string& labelB, const RequestWindow& b,
                      uint32_t requestNumber);

}  // namespace radovl::tool
