// The demo console captured by the library in a process of its own, then
// its captured requests applied to a fresh simulated board: the board's
// outputs, drawn, are the demo's own at the same call.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "capture/commands.h"
#include "capture/capture_file.h"
#include "picture/renderer.h"
#include "scenario/runner.h"
#include "scenario/scenario.h"
#include "boardview/screen_model.h"
#include "test_files.h"
#include "capture/register_track.h"
#include "view/capture_index.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

// The demo scenario up to its calls-th export call (0: all of it).
std::string DemoUpTo(int calls) {
    std::ifstream in(std::string(RADOVL_EXAMPLES_DIR) + "/console.scenario");
    std::string text, line;
    int seen = 0;
    while (std::getline(in, line)) {
        text += line + "\n";
        if (line.rfind("KT_RDSP_", 0) == 0 && ++seen == calls) break;
    }
    return text;
}

void Draw(const ScreenModel& model, const std::string& path) {
    RenderOptions options;
    options.title = "same title";
    std::string error;
    ASSERT_TRUE(RenderScreen(model, path, options, &error)) << error;
}

using CapturedDemo = ToolTest;

TEST_F(CapturedDemo, CapturedRequestsOnAFreshBoardShowTheDemosPicture) {
    const std::string command = "RADOVL_CAPTURE=demo.cap '" RADOVL_SIM_TOOL "' run --quiet '" RADOVL_EXAMPLES_DIR
                                "/console.scenario' > run.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile("run.log");

    for (const int calls : {20, 0}) {
        SCOPED_TRACE("after call " + std::to_string(calls));
        std::ofstream("part.scenario") << DemoUpTo(calls);
        const ParseResult parsed = ParseScenarioFile("part.scenario");
        ASSERT_TRUE(parsed.ok());
        std::ostringstream out, err;
        RunOptions quiet;
        quiet.quiet = true;
        Runner runner(quiet, out, err);
        ASSERT_EQ(runner.Run(parsed.scenario), 0) << err.str();
        Draw(ReadScreen(runner.host()), "demo" RADOVL_SIM_PICTURE);

        RadovlSim_Reset();
        CaptureReader reader;
        ASSERT_TRUE(reader.Open("demo.cap")) << reader.error();
        const AppliedCapture applied = ApplyCapture(reader, static_cast<uint32_t>(calls));
        EXPECT_EQ(reader.error(), "");
        EXPECT_EQ(applied.calls, calls == 0 ? 37u : 20u);
        HostView host = runner.host();
        host.board = applied.board;
        Draw(ReadScreen(host), "replayed" RADOVL_SIM_PICTURE);
        EXPECT_TRUE(ReadFile("demo" RADOVL_SIM_PICTURE) == ReadFile("replayed" RADOVL_SIM_PICTURE));
    }
}

// The viewer's index past its first keyframes: every register's value after
// a call is the board's after that call's requests, and its last writer the
// last call whose accesses wrote it, even with the value it already held.
TEST_F(CapturedDemo, TheViewersIndexAgreesWithTheBoardAcrossKeyframes) {
    std::string scenario = DemoUpTo(0);
    for (int i = 0; i < 100; ++i) scenario += "KT_RDSP_SetPPIShipDir 1 35.0\n";  // calls 38 to 137
    for (int i = 0; i < 10; ++i) scenario += "KT_RDSP_SetPPIDist 1 24\n";        // calls 138 to 147
    std::ofstream("long.scenario") << scenario;
    const std::string command = "RADOVL_CAPTURE=long.cap '" RADOVL_SIM_TOOL "' run --quiet long.scenario > run.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile("run.log");
    CaptureIndex index;
    std::string error;
    ASSERT_TRUE(index.Build("long.cap", &error)) << error;
    ASSERT_EQ(index.calls().size(), 147u);
    const size_t registers = index.registers().size();

    const RegisterState last = index.At(147);
    size_t rewritten = 0;
    for (size_t r = 0; r < registers; ++r) {
        uint32_t writer = 0;
        for (const IndexedCall& c : index.calls()) {
            for (const uint32_t w : c.written) {
                if (w == r) writer = c.number;
            }
        }
        EXPECT_EQ(last.lastWriter[r], writer) << index.registers()[r].reg.name;
        if (writer == 137) ++rewritten;
    }
    EXPECT_GT(rewritten, 0u);  // the heading, written again with its own value

    for (const uint32_t n : {1u, 64u, 65u, 137u, 147u}) {
        SCOPED_TRACE("after call " + std::to_string(n));
        const RegisterTrack board(SimulatedBoards());
        CaptureReader reader;
        ASSERT_TRUE(reader.Open("long.cap"));
        ApplyCapture(reader, n);
        const std::vector<uint32_t> held = index.At(n).values, sampled = board.Sample();
        for (size_t r = 0; r < registers; ++r) {
            EXPECT_EQ(held[r], sampled[r]) << index.registers()[r].unit << " " << index.registers()[r].reg.name;
        }
    }
}

}  // namespace
}  // namespace radovl::tool::test
