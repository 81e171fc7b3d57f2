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

}  // namespace
}  // namespace radovl::tool::test
