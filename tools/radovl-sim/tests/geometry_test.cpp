// Windows opened through the exports, on both channels and two monitors,
// read back from the board's registers: the rectangle the screen decoder
// recovers is the one the console asked for, relative to its monitor, and
// the window goes to the output of its monitor.
#include <sstream>

#include "radovl/radovl.h"
#include "scenario/runner.h"
#include "boardview/screen_model.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

struct Case {
    WindowKind kind;
    int channel;
    int32_t secondLeft;  // the second monitor's left edge: 1280 or -1280
    bool onSecond;       // window on the second monitor
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << KindName(c.kind) << " ch" << c.channel << ", second monitor at " << c.secondLeft
        << (c.onSecond ? ", on it" : ", on the primary");
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    const Case& c = info.param;
    const char* kind = c.kind == WindowKind::Ppi ? "Ppi" : c.kind == WindowKind::Mini ? "Mini" : c.kind == WindowKind::Ar ? "Ar" : "Tv";
    return std::string(kind) + "Ch" + std::to_string(c.channel) + (c.secondLeft < 0 ? "Left" : "Right") +
           (c.onSecond ? "OnSecond" : "OnPrimary");
}

class OpenedWindow : public ToolTest, public ::testing::WithParamInterface<Case> {};

TEST_P(OpenedWindow, RectangleFromRegistersEqualsTheOpenedOne) {
    const Case& c = GetParam();
    RadovlSim_ClearMonitors();
    RadovlSim_AddMonitor(0, 0, 1280, 1024);
    RadovlSim_AddMonitor(c.secondLeft, 0, c.secondLeft + 1280, 1024);
    RadovlSim_SetScreen(std::min(0, c.secondLeft), 0, std::max(1280, c.secondLeft + 1280), 1024);
    ASSERT_EQ(StartUp(), 1);  // no display-mode file: DisMode 1

    const int32_t left = c.onSecond ? c.secondLeft : 0;
    Rect want;
    int32_t status = 0;
    switch (c.kind) {
        case WindowKind::Ppi:
            want = {130, 70, 400, 300};
            status = KT_RDSP_OpenPPI(c.channel, left + want.x, want.y, want.w, want.h);
            break;
        case WindowKind::Mini:
            want = {700, 90, 240, 180};
            status = KT_RDSP_OpenMiniWin(c.channel, left + want.x, want.y, want.w, want.h);
            break;
        case WindowKind::Ar:
            want = {300, 600, 512, 181};
            status = KT_RDSP_OpenAr(c.channel, left + want.x, want.y, want.w, want.h);
            break;
        case WindowKind::Tv:
            want = {520, 400, 480, 384};
            status = KT_RDSP_OpenTV(c.channel, left + want.x, want.y, want.w, want.h);
            break;
    }
    ASSERT_EQ(status, 1);

    HostView host;
    host.monitors = {{0, 0, 1280, 1024}, {c.secondLeft, 0, c.secondLeft + 1280, 1024}};
    const ScreenModel m = ReadScreen(host);
    const WindowView* found = nullptr;
    for (const WindowView& w : m.windows) {
        if (w.kind == c.kind && w.channel == c.channel) found = &w;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->rect, want) << "got " << found->rect.x << "," << found->rect.y << " " << found->rect.w << "x"
                                 << found->rect.h;
    EXPECT_EQ(found->output, c.onSecond ? 1 : 0);
    EXPECT_EQ(m.outputs[found->output].monitor.left, left);
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (WindowKind kind : {WindowKind::Ppi, WindowKind::Mini, WindowKind::Ar, WindowKind::Tv}) {
        for (int channel : {1, 2}) {
            for (int32_t second : {1280, -1280}) {
                for (bool onSecond : {false, true}) cases.push_back({kind, channel, second, onSecond});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(KindsChannelsMonitors, OpenedWindow, ::testing::ValuesIn(AllCases()), CaseName);

class BundledExample : public ToolTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BundledExample, RunsWithEveryExpectationHolding) {
    const ParseResult parsed = ParseScenarioFile(std::string(RADOVL_EXAMPLES_DIR) + "/" + GetParam());
    ASSERT_TRUE(parsed.ok()) << parsed.errors[0];
    ASSERT_EQ(StartUp(), 1);
    RadovlSim_Reset();
    RunOptions options;
    options.quiet = true;
    options.renderFile = Dir() + "/example" RADOVL_SIM_PICTURE;
    std::ostringstream out, err;
    ::testing::internal::CaptureStdout();
    Runner runner(options, out, err);
    const int code = runner.Run(parsed.scenario);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0) << err.str();
}

INSTANTIATE_TEST_SUITE_P(Examples, BundledExample, ::testing::Values("console.scenario", "fallback.scenario"));

}  // namespace
}  // namespace radovl::tool::test
