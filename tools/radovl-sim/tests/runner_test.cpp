#include "scenario/runner.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "radovl/radovl.h"
#include "test_files.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

class RunnerTest : public ToolTest {
protected:
    RunResult Play(const std::string& text, RunOptions options = {}) {
        const ParseResult parsed = ParseScenarioText(text, "t.scn");
        EXPECT_TRUE(parsed.ok()) << (parsed.errors.empty() ? "" : parsed.errors[0]);
        std::ostringstream out, err;
        ::testing::internal::CaptureStdout();
        Runner runner(options, out, err);
        const int code = runner.Run(parsed.scenario);
        host_ = runner.host();
        const std::string library = ::testing::internal::GetCapturedStdout();
        return {code, library + out.str(), err.str()};
    }
    HostView host_;
};

TEST_F(RunnerTest, PassingScenarioExitsZeroAndPrintsEachCallWithItsStatus) {
    const RunResult r = Play(
        "make-programs 64\n"
        "KT_RDSP_Init = 1\n"
        "KT_RDSP_OpenOverlay 1 1 = 1\n"
        "KT_RDSP_OpenOverlay 3 1 = -1\n"
        "expect main PpiKeyControl[1] 0x02000000\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("   2  KT_RDSP_Init() = 1   ("), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   3  KT_RDSP_OpenOverlay(1, 1) = 1   (4 requests)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("   4  KT_RDSP_OpenOverlay(3, 1) = -1   (0 requests)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("expect main PpiKeyControl[1] (0xB0203018) = 0x02000000   ok"), std::string::npos) << r.out;
}

TEST_F(RunnerTest, FailingExpectationNamesRegisterExpectedAndActual) {
    const RunResult r = Play(
        "make-programs 64\n"
        "KT_RDSP_Init\n"
        "expect video 2 ChannelControl 0x00000001\n"
        "expect main 0xB0203008 0x10\n"
        "expect decoder 2 0x09 0x7F\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("t.scn:3: expect video 2 ChannelControl (0xB0080000): expected 0x00000001, actual 0x0000014B"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("t.scn:4: expect main TestAndCombine (0xB0203008): expected 0x00000010, actual 0x00000000"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("t.scn:5: expect decoder 2 Brightness (0x09): expected 0x7F, actual 0x80"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("3 failures in t.scn"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("FAILED: actual 0x0000014B"), std::string::npos) << r.out;
}

TEST_F(RunnerTest, FailingStatusExpectationNamesTheCall) {
    const RunResult r = Play("KT_RDSP_OpenOverlay 1 1 = 1\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("t.scn:1: KT_RDSP_OpenOverlay(1, 1) returned -2, expected 1"), std::string::npos) << r.err;
}

TEST_F(RunnerTest, QuietPrintsOnlyFailures) {
    RunOptions quiet;
    quiet.quiet = true;
    const RunResult ok = Play("make-programs 64\nKT_RDSP_Init = 1\n", quiet);
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(ok.out.find("KT_RDSP_Init()"), std::string::npos) << ok.out;
    const RunResult bad = Play("KT_RDSP_Init = 7\n", quiet);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("t.scn:1: KT_RDSP_Init() returned"), std::string::npos) << bad.err;
}

TEST_F(RunnerTest, ScratchFaultMovesPeeksToBoardOne) {
    const RunResult r = Play(
        "make-programs 64\n"
        "board 0 scratch-fault\n"
        "KT_RDSP_Init = 1\n"
        "expect decoder 1 0x00 0x02\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(host_.board, 1);
    EXPECT_NE(r.out.find("on board 1"), std::string::npos) << r.out;
}

TEST_F(RunnerTest, AbsentBoardFailsStartUp) {
    const RunResult r = Play("board 0 absent\nKT_RDSP_Init = -1\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Error : board initialization failed : 0xA1020000"), std::string::npos) << r.out;
}

TEST_F(RunnerTest, FaultAppliesToTheNextCallOnly) {
    const RunResult r = Play(
        "make-programs 64\n"
        "KT_RDSP_Init = 1\n"
        "fail-requests 4 1 0x900B0000\n"
        "trace on\n"
        "KT_RDSP_OpenOverlay 1 1 = 1\n"
        "expect main PpiKeyControl[1] 0x00000000\n"
        "KT_RDSP_OpenOverlay 1 1 = 1\n"
        "expect main PpiKeyControl[1] 0x02000000\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("FAILED status 0x900B0000"), std::string::npos) << r.out;
}

TEST_F(RunnerTest, TracksDisModeFromFileAndSetScreenProp) {
    Play("make-programs 64\ndismode-file 0\nKT_RDSP_Init = 1\n");
    EXPECT_TRUE(host_.disModeKnown);
    EXPECT_EQ(host_.disMode, 0);
    EXPECT_NE(host_.disModeSource.find("written by the scenario"), std::string::npos);

    RadovlSim_Reset();
    Play("make-programs 64\ndismode-file none\nKT_RDSP_Init = 1\n");
    EXPECT_EQ(host_.disMode, 1);
    EXPECT_NE(host_.disModeSource.find("no display-mode file"), std::string::npos);

    RadovlSim_Reset();
    {
        std::filesystem::create_directories(Dir() + "/out");
        std::ofstream own(Dir() + "/out/dismodeconfig.inf", std::ios::binary);
        own << "# console settings\r\nDisMode = 1\r\nDisMode=0\n#END\nDisMode 1\n";
    }
    RunOptions console;  // a console's own directory, with its own file
    console.workDir = Dir();
    Play("KT_RDSP_Init = 1\n", console);
    EXPECT_TRUE(host_.disModeKnown);
    EXPECT_EQ(host_.disMode, 0);  // the last key line before #END

    RadovlSim_Reset();
    Play("make-programs 64\nKT_RDSP_Init = 1\nKT_RDSP_SetScreenProp 1 7 = 1\n");
    EXPECT_EQ(host_.disMode, 7);
    EXPECT_EQ(host_.disModeSource, "set by KT_RDSP_SetScreenProp(1, 7) at line 3");
}

TEST_F(RunnerTest, MonitorLinesReplaceTheDefaultThenAdd) {
    Play("monitor 0 0 1920 1080\nmonitor -1280 0 0 1024\n");
    ASSERT_EQ(host_.monitors.size(), 2u);
    EXPECT_EQ(host_.monitors[1].left, -1280);
}

TEST_F(RunnerTest, TraceFileHoldsDecodedCallsUnderTheirLines) {
    RunOptions options;
    options.traceFile = Dir() + "/trace.txt";
    const RunResult r = Play(
        "make-programs 64\n"
        "trace off\n"
        "KT_RDSP_Init = 1\n"
        "trace on\n"
        "KT_RDSP_OpenOverlay 2 1\n",
        options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string trace = ReadFile(options.traceFile);
    EXPECT_EQ(trace.find("KT_RDSP_Init"), std::string::npos);
    EXPECT_NE(trace.find("# line 5: KT_RDSP_OpenOverlay(2, 1) = 1\n"
                         "      1  main   R32 0xB020301C  PpiKeyControl[2]      -> 0x00000000  overlay=0 onTop=0 out=0"
                         "  [page 704 +0x20301C]\n"
                         "      3  main   W32 0xB020301C  PpiKeyControl[2]      =  0x02000000  overlay=1 onTop=0 out=0"
                         "  [page 704 +0x20301C]\n"),
              std::string::npos)
        << trace;
}

TEST_F(RunnerTest, RenderWritesThePictureAndReportsAnUnwritablePath) {
    const RunResult r = Play("render shot" RADOVL_SIM_PICTURE "\nrender /nonexistent/dir/shot" RADOVL_SIM_PICTURE "\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(Dir() + "/shot" RADOVL_SIM_PICTURE));
    EXPECT_NE(r.err.find("t.scn:2: cannot write /nonexistent/dir/shot" RADOVL_SIM_PICTURE), std::string::npos) << r.err;
}

}  // namespace
}  // namespace radovl::tool::test
