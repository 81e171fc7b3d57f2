// The radovl-sim program itself, as a user runs it: bad input of every kind
// gets a clear message, its exit status, and nothing half-written; the
// command-line conventions; runs that do not depend on earlier ones.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_files.h"

namespace {

namespace fs = std::filesystem;

using radovl::tool::test::ReadFile;
using radovl::tool::test::WriteFile;

struct Result {
    int status;  // exit status, or 128 + signal
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/radovl-sim-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Runs the tool in the test's directory through the shell; shell is
    // what follows the program name (arguments, redirections).
    // env: "NAME=value" words for its environment.
    Result Tool(const std::string& shell, const std::string& env = "") const {
        // Redirections in shell come later and win; a hang is cut short
        // (exit status 124).
        const std::string command =
            "cd '" + dir_ + "' && " + env + " timeout 120 '" RADOVL_SIM_EXE "' >out.txt 2>err.txt " + shell;
        const int raw = std::system(command.c_str());
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return {status, ReadFile(dir_ + "/out.txt"), ReadFile(dir_ + "/err.txt")};
    }
    std::string dir_;
};

struct BadInput {
    const char* name;
    std::string scenario;  // written to a.scenario, "" for none
    const char* args;
    int status;
    const char* message;  // expected on standard error
    const char* env = "";  // "NAME=value" words for the tool's environment
};

class CliRejects : public Cli, public ::testing::WithParamInterface<BadInput> {};

TEST_P(CliRejects, WithMessageAndStatus) {
    const BadInput& bad = GetParam();
    if (!bad.scenario.empty()) WriteFile(dir_ + "/a.scenario", bad.scenario);
    const Result r = Tool(bad.args, bad.env);
    EXPECT_EQ(r.status, bad.status) << r.err;
    EXPECT_NE(r.err.find(bad.message), std::string::npos) << r.err;
    if (!bad.scenario.empty()) {
        EXPECT_EQ(ReadFile(dir_ + "/a.scenario"), bad.scenario);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliRejects,
    ::testing::Values(
        BadInput{"CallSplitOverLines", "KT_RDSP_OpenPPI(1, 0, 0,\n100, 100\n)\n", "run a.scenario", 2,
                 "a.scenario:3: a line of only '(', ')' or ','"},
        BadInput{"DirectoryAsScenario", "", "run /", 2, "/: cannot read the scenario file: it is a directory"},
        BadInput{"MissingScenario", "", "run nothing.scenario", 2, "No such file or directory"},
        BadInput{"TraceOverScenario", "KT_RDSP_Init\n", "run a.scenario --trace a.scenario", 2,
                 "--trace a.scenario would overwrite the scenario being run; nothing was run"},
        BadInput{"TraceOverScenarioViaPath", "KT_RDSP_Init\n", "run a.scenario --trace=./sub/../a.scenario", 2,
                 "would overwrite the scenario being run"},
        BadInput{"RenderOverScenario", "render a.scenario\n", "run a.scenario", 2,
                 "a.scenario would overwrite the scenario being run"},
        BadInput{"TraceAndRenderSameFile", "KT_RDSP_Init\n", "run a.scenario --trace F --render F", 2,
                 "--trace and --render both write F"},
        BadInput{"TraceAndRenderStepSameFile", "render t.svg\n", "run a.scenario --trace t.svg", 2,
                 "--trace and render at line 1 both write"},
        // Errors past the first hundred are counted, not kept.
        BadInput{"ManyBadLines", [] { std::string s; for (int i = 0; i < 150; ++i) s += "bogus\n"; return s; }(),
                 "run a.scenario", 2, "... and 130 more\nradovl-sim: 150 errors in a.scenario; nothing was run"},
        BadInput{"CaptureOverScenario", "KT_RDSP_Init\n", "run a.scenario", 2,
                 "a.scenario, the scenario being run; nothing was run", "RADOVL_CAPTURE=./a.scenario"},
        BadInput{"CaptureOverTrace", "KT_RDSP_Init\n", "run a.scenario --trace t.txt", 2, "t.txt, the --trace file",
                 "RADOVL_CAPTURE=t.txt"},
        BadInput{"CaptureOverRender", "KT_RDSP_Init\n", "run a.scenario --render r.svg", 2,
                 "r.svg, the --render file", "RADOVL_CAPTURE=r.svg"},
        BadInput{"CaptureOverRenderStep", "KT_RDSP_Init\nrender r.svg\n", "run a.scenario", 2,
                 "r.svg, the render at line 2", "RADOVL_CAPTURE=r.svg"},
        BadInput{"CaptureInConsoleOut", "executable site/console\ndismode-file 2\n", "run a.scenario", 2,
                 "the console executable at line 1 or a file of its out/",
                 "RADOVL_CAPTURE=site/out/dismodeconfig.inf"},
        BadInput{"CaptureInWorkDir", "KT_RDSP_Init\n", "run a.scenario --workdir w", 2,
                 "a file of its out/ in the work directory w", "RADOVL_CAPTURE=w/out/c.cap"},
        BadInput{"TraceFull", "KT_RDSP_OpenOverlay 1 1\n", "run a.scenario --trace /dev/full", 1,
                 "cannot write /dev/full: No space left on device"},
        BadInput{"RenderFull", "KT_RDSP_Init\n", "run a.scenario --render /dev/full", 1,
                 "cannot write /dev/full: No space left on device"},
        BadInput{"OutputFull", "KT_RDSP_Init\n", "run a.scenario >/dev/full", 1,
                 "cannot write the standard output"},
        BadInput{"EndlessInput", "", "run - </dev/zero", 2,
                 "(standard input): cannot read the scenario file: larger than 67108864 bytes (64 MiB), the most"},
        BadInput{"EndlessFile", "", "run /dev/zero", 2, "/dev/zero: cannot read the scenario file: larger than 67108864"},
        BadInput{"ZeroBytes", std::string("K\0T", 3), "run a.scenario", 2, "holds zero bytes"},
        BadInput{"UnknownOption", "", "run --trce x a.scenario", 2,
                 "unknown option --trce (did you mean --trace?)"},
        BadInput{"OptionWithoutValue", "", "run a.scenario --trace", 2, "--trace needs a value (FILE)"},
        BadInput{"FlagWithValue", "", "run a.scenario --quiet=yes", 2, "--quiet takes no value"},
        BadInput{"BadTraceLimit", "", "run a.scenario --trace-limit=-1", 2, "--trace-limit takes a request count"},
        BadInput{"TwoScenarios", "", "run a b", 2, "unexpected argument b"},
        BadInput{"NoScenario", "", "run --quiet", 2, "missing SCENARIO"},
        BadInput{"OptionTwice", "", "run a.scenario --trace=t --trace u", 2, "--trace is given twice"},
        BadInput{"OptionOfAnotherCommand", "", "decode --render=x.png c.cap", 2, "unknown option --render"},
        BadInput{"DiffOfOne", "", "diff c.cap", 2, "missing A B"},
        BadInput{"ReplayMonitorShort", "", "replay c.cap --monitor 0 0 1280", 2, "--monitor needs a value (L T R B)"},
        BadInput{"ReplayMonitorNotNumbers", "", "replay c.cap --monitor=0,0,wide,1024", 2,
                 "--monitor takes four numbers L T R B from -1073741824 to 1073741823, not '0 0 wide 1024'"},
        BadInput{"ReplayScreenEdgeOverflows", "", "replay c.cap --screen -2147483648 0 1280 1024", 2,
                 "--screen takes four numbers L T R B from -1073741824 to 1073741823"},
        BadInput{"MonitorEdgeOverflows", "monitor -2147483648 0 1280 1024\n", "run a.scenario", 2,
                 "a monitor edge must be -1073741824..1073741823, not -2147483648"},
        BadInput{"ScreenEdgeOverflows", "screen 0 0 2147483647 1024\n", "run a.scenario", 2,
                 "a screen edge must be -1073741824..1073741823, not 2147483647"},
        BadInput{"RenderTextFile", "KT_RDSP_Init\n", "run a.scenario --render out.txt", 2,
                 "--render out.txt: radovl-sim draws FILE."},
        BadInput{"RenderStepNoExtension", "render noext\n", "run a.scenario", 2,
                 "noext: radovl-sim draws FILE."},
        BadInput{"ReplayRenderTextFile", "", "replay c.cap --render out.txt", 2, "--render out.txt: radovl-sim draws"},
        BadInput{"ReplayAtWithoutRender", "", "replay c.cap --at=1", 2, "--at goes with --render"},
        BadInput{"ReplayAtZero", "", "replay c.cap --at 0 --render x.svg", 2, "--at takes a call number from 1"},
        BadInput{"HelpForNoCommand", "", "help frobnicate", 2, "no command 'frobnicate'"},
        BadInput{"NoSuchRegister", "", "registers NoSuchThing", 1, "no register name contains 'NoSuchThing'"},
        BadInput{"ProgramTooLarge", "", "make-programs --size=67108868", 2, "--size takes a byte count from 4 to"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

// Every command with its options in each form: --opt=value, --opt value,
// "--" before the operands, options before or after them.
struct Form {
    const char* name;
    const char* args;
    int status;
    const char* output;  // expected on standard output
};

class CliForms : public Cli, public ::testing::WithParamInterface<Form> {};

TEST_P(CliForms, Work) {
    // A capture of a short run, with the run's out/ (its DSP programs) kept
    // here, where replay looks for them.
    WriteFile(dir_ + "/a.scenario", "make-programs 64\nKT_RDSP_Init = 1\nKT_RDSP_OpenPPI 1 0 0 400 400 = 1\n");
    ASSERT_EQ(std::system(("cd '" + dir_ + "' && RADOVL_CAPTURE=c.cap '" RADOVL_SIM_EXE
                           "' run --quiet --workdir=. a.scenario >/dev/null")
                              .c_str()),
              0);
    const Result r = Tool(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err;
    EXPECT_NE(r.out.find(GetParam().output), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliForms,
    ::testing::Values(
        Form{"RunInline", "run --trace=t.txt --trace-limit=10 -q a.scenario", 0, ""},
        Form{"RunSeparate", "run --trace t.txt --workdir w -- a.scenario", 0, "KT_RDSP_Init() = 1   (1,389 requests)"},
        Form{"MakeProgramsInline", "make-programs --dir=d --size=64", 0, "wrote d/out/idbout/testcmp.out"},
        Form{"MakeProgramsSeparate", "make-programs --size 64 --dir d", 0, "wrote d/out/vibout/NicTest.out"},
        Form{"Exports", "exports --", 0, "KT_RDSP_Init()"},
        Form{"RegistersAfterDashes", "registers -- ppistart", 0, "PpiStart[1]"},
        Form{"DecodeAfterDashes", "decode -- c.cap", 0, "# call 2: KT_RDSP_OpenPPI 1 0 0 400 400"},
        Form{"DecodeCallsFirst", "decode --calls c.cap", 0, "KT_RDSP_OpenPPI 1 0 0 400 400 = 1"},
        Form{"DecodeCallsLast", "decode c.cap --calls", 0, "KT_RDSP_Init = 1    # call 1, 1,389 requests"},
        Form{"ReplayMonitorsSeparate", "replay c.cap --monitor 0 0 1280 1024 --screen 0 0 1280 1024", 0,
             "no difference from the capture"},
        Form{"ReplayMonitorsInline", "replay --monitor=0,0,1280,1024 --board-answers -- c.cap", 0,
             "no difference from the capture"},
        Form{"ReplaySecondMonitorDiffers", "replay c.cap --monitor=-1280,0,0,1024 --monitor 1280 0 2560 1024", 1,
             "first difference at call 2 (KT_RDSP_OpenPPI 1 0 0 400 400), its request 18"},
        Form{"ReplayRenderInline", "replay c.cap --render=x" RADOVL_SIM_PICTURE " --at=2", 0, "render x" RADOVL_SIM_PICTURE},
        Form{"ReplayRenderSeparate", "replay --render x.svg --at 1 c.cap", 0, "render x.svg"},
        Form{"Diff", "diff -- c.cap c.cap", 0, "no difference: 2 calls"},
        Form{"HelpHelp", "help help", 0, "usage: radovl-sim help [COMMAND]"},
        Form{"HelpOfDecode", "help decode", 0, "usage: radovl-sim decode [OPTIONS] CAPTURE"},
        Form{"DecodeHelp", "decode --help", 0, "  1  the file is not a capture, or stops before its end"},
        Form{"DiffHelp", "diff -h", 0, "usage: radovl-sim diff A B"}),
    [](const ::testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

// The SVG the Windows tool must match byte for byte: written by our own SVG
// writer, the same on every run (no work directory or other run-dependent
// text in it), and showing the colour tables, the A/R colour and FROZEN.
TEST_F(Cli, SvgIdentityScenario) {
    const std::string scenario = RADOVL_SIM_TESTS_DIR "/svg-identity.scenario";
    ASSERT_EQ(Tool("run '" + scenario + "' --quiet --render one.svg").status, 0);
    ASSERT_EQ(Tool("run '" + scenario + "' --quiet --render=two.svg").status, 0);
    const std::string svg = ReadFile(dir_ + "/one.svg");
    EXPECT_EQ(svg, ReadFile(dir_ + "/two.svg"));
    EXPECT_NE(svg.find(">FROZEN</text>"), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#20FF60\""), std::string::npos);                      // PPI ch1's table, top
    EXPECT_NE(svg.find("fill=\"#FFC020\""), std::string::npos);                      // Mini ch1's table, top
    EXPECT_NE(svg.find("fill=\"#FF00FF\" fill-opacity=\"0.22\""), std::string::npos);  // A/R red and blue
    EXPECT_EQ(svg.find("/radovl-sim-"), std::string::npos);  // the run's private work directory
}

TEST_F(Cli, AnUnfinishedTraceFileIsRemoved) {
    // A trace that cannot be finished is not left behind half-written.
    WriteFile(dir_ + "/a.scenario", "KT_RDSP_Init\n");
    const Result r = Tool("run a.scenario --trace missing-dir/t.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + dir_ + "/missing-dir/t.txt: No such file or directory"), std::string::npos)
        << r.err;
}

// A console's own out/ may hold a directory where the display-mode file
// belongs: the run says so and goes on, as start-up does.
TEST_F(Cli, DisplayModeFileThatIsADirectory) {
    fs::create_directories(dir_ + "/w/out/dismodeconfig.inf");
    WriteFile(dir_ + "/a.scenario", "KT_RDSP_Init = 1\ndismode-file 0\n");
    const Result r = Tool("run --workdir w a.scenario");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(dir_ + "/w/out/dismodeconfig.inf is a directory, not a display-mode file"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("a.scenario:2: cannot write " + dir_ + "/w/out/dismodeconfig.inf: Is a directory"),
              std::string::npos)
        << r.err;
}

TEST_F(Cli, InterruptRemovesTheWorkDirectoryAndHalfWrittenOutput) {
    // A start-up of 8 MiB programs takes seconds; the signal comes within it.
    WriteFile(dir_ + "/a.scenario", "make-programs 8388608\nKT_RDSP_Init = 1\n");
    fs::create_directory(dir_ + "/tmp");
    for (const char* signal : {"INT", "TERM"}) {
        const std::string command = "cd '" + dir_ + "' && TMPDIR='" + dir_ +
                                    "/tmp' timeout --preserve-status -s " + signal + " 1 '" RADOVL_SIM_EXE
                                    "' run a.scenario --trace t.txt >/dev/null 2>&1";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(raw), std::string(signal) == "INT" ? 130 : 143) << signal;
        EXPECT_FALSE(fs::exists(dir_ + "/t.txt")) << signal;
        EXPECT_TRUE(fs::is_empty(dir_ + "/tmp")) << signal;
    }
}

TEST_F(Cli, UnknownHugeWordIsRefusedInBoundedTime) {
    // 8 MiB of one word: "did you mean" compares nothing that long.
    WriteFile(dir_ + "/a.scenario", std::string(8u << 20, 'K') + "\n");
    const auto start = std::chrono::steady_clock::now();
    const Result r = Tool("run a.scenario");
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(Cli, HugeMonitorRendersInBoundedTime) {
    WriteFile(dir_ + "/a.scenario", "monitor 0 0 1 1073741823\nmonitor -1073741824 0 1073741823 1\nrender m" RADOVL_SIM_PICTURE "\n");
    const Result r = Tool("run a.scenario");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::file_size(dir_ + "/m" RADOVL_SIM_PICTURE) > 0);
}

TEST_F(Cli, ScenarioFromWindowsEditorsRuns) {
    const Result start = Tool("make-programs --dir=.");
    ASSERT_EQ(start.status, 0) << start.err;
    WriteFile(dir_ + "/bom.scenario", "\xEF\xBB\xBFKT_RDSP_Init = DONE\r\n");
    EXPECT_EQ(Tool("run bom.scenario").status, 0);
    WriteFile(dir_ + "/u16.scenario", std::string("\xFF\xFE" "K\0T\0_\0R\0D\0S\0P\0_\0I\0n\0i\0t\0\r\0\n\0", 28));
    const Result r = Tool("run u16.scenario");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("KT_RDSP_Init() = 1"), std::string::npos) << r.out;
}

// Files earlier runs (or anything else) left in the current directory do
// not change a run: it works in a private directory of its own.
TEST_F(Cli, RunsDoNotDependOnWhatEarlierRunsLeft) {
    const std::string scenario = "KT_RDSP_Init = 1\n";
    WriteFile(dir_ + "/a.scenario", scenario);
    const Result clean = Tool("run a.scenario");
    ASSERT_EQ(Tool("make-programs --size 4096").status, 0);
    WriteFile(dir_ + "/out/dismodeconfig.inf", "DisMode=0\n");
    const Result cluttered = Tool("run a.scenario");
    EXPECT_EQ(clean.out, cluttered.out);
    EXPECT_NE(clean.out.find("KT_RDSP_Init() = 1   (1,173 requests)"), std::string::npos) << clean.out;

    // --workdir chooses the directory and keeps what the run wrote there.
    WriteFile(dir_ + "/b.scenario", "make-programs 64\nKT_RDSP_Init = 1\n");
    const Result kept = Tool("run --workdir=w b.scenario");
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(fs::exists(dir_ + "/w/out/idbout/testcmp.out"));
    EXPECT_NE(kept.out.find("KT_RDSP_Init() = 1   (1,389 requests)"), std::string::npos) << kept.out;
}

TEST_F(Cli, ScenarioPathsAreRelativeToTheScenarioFile) {
    fs::create_directories(dir_ + "/sub dir");
    WriteFile(dir_ + "/sub dir/a.scenario", "render \"shot one" RADOVL_SIM_PICTURE "\"\n");
    const Result r = Tool("run 'sub dir/a.scenario'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir_ + "/sub dir/shot one" RADOVL_SIM_PICTURE));
    // From standard input, paths are relative to the current directory.
    const Result piped = Tool("run - <'sub dir/a.scenario'");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(fs::exists(dir_ + "/shot one" RADOVL_SIM_PICTURE));
}

// The run's address space limited to 200 MB (not under AddressSanitizer,
// which reserves far more).
#if defined(__SANITIZE_ADDRESS__)
constexpr const char* MemoryLimit = "";
#else
constexpr const char* MemoryLimit = "ulimit -v 200000 && ";
#endif

TEST_F(Cli, LongProgramLoadTracesInLittleMemory) {
    // A 4 MiB display program is 12.6 million requests at start-up; held
    // whole, their trace took 604 MB.
    WriteFile(dir_ + "/a.scenario", "make-programs 4194304\nKT_RDSP_Init = 1\n");
    const std::string command = std::string("cd '") + dir_ + "' && " + MemoryLimit + "'" RADOVL_SIM_EXE "' run a.scenario --quiet " +
                                "--trace=t.txt --trace-limit=100000 >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << ReadFile(dir_ + "/err.txt");
    EXPECT_EQ(WEXITSTATUS(raw), 0) << ReadFile(dir_ + "/err.txt");
    const std::string trace = ReadFile(dir_ + "/t.txt");
    EXPECT_NE(trace.find("# ... and 12,484,109 more requests of this call, not written (--trace-limit)"),
              std::string::npos);
}

TEST_F(Cli, LargeScenarioRunsInLittleMemory) {
    // A million steps, 21 MB: parsed all at once they took some 350 MB.
    std::string text;
    for (int i = 0; i < 1000000; ++i) text += "screen 0 0 1280 1024\n";
    text += "expect pci 0 0x5A5A\n";  // the last step runs, and fails
    WriteFile(dir_ + "/a.scenario", text);
    const std::string command =
        std::string("cd '") + dir_ + "' && " + MemoryLimit + "'" RADOVL_SIM_EXE "' run a.scenario --quiet >out.txt 2>err.txt";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_NE(ReadFile(dir_ + "/err.txt").find("a.scenario:1000001: "), std::string::npos) << ReadFile(dir_ + "/err.txt");
}

TEST_F(Cli, HelpAndConventions) {
    const Result help = Tool("help run");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: radovl-sim run [OPTIONS] SCENARIO"), std::string::npos) << help.out;
    EXPECT_EQ(Tool("run --help").out, help.out);

    // "--" ends the options: a scenario whose name starts with a dash.
    WriteFile(dir_ + "/-odd.scenario", "KT_RDSP_Init = NOT_INITIALISED\n");
    const Result odd = Tool("run --quiet -- -odd.scenario");
    EXPECT_EQ(odd.status, 1);
    EXPECT_NE(odd.err.find("-odd.scenario:1: KT_RDSP_Init() returned 1, expected -2"), std::string::npos) << odd.err;
    // --quiet leaves out the library's own lines too.
    EXPECT_EQ(odd.out, "");

    // The command list in the help is the one in the docs.
    const Result list = Tool("help");
    const std::string docs = ReadFile(RADOVL_SIM_DOCS_DIR "/scenario-language.md");
    std::istringstream lines(list.out.substr(list.out.find("commands:\n") + 10));
    int commands = 0;
    for (std::string line; std::getline(lines, line) && line.rfind("  --version", 0) != 0; ++commands) {
        const size_t gap = line.find("  ", 2);
        const size_t summary = line.find_first_not_of(' ', gap);
        const std::string row = "| `radovl-sim " + line.substr(2, line.find_last_not_of(' ', gap) - 1) + "` | " +
                                line.substr(summary) + " |";
        EXPECT_NE(docs.find(row), std::string::npos) << row;
    }
    EXPECT_EQ(commands, 9);

    const Result registers = Tool("registers ppistart");
    EXPECT_EQ(registers.status, 0);
    EXPECT_NE(registers.out.find("main   0xB0201008  PpiStart[1]"), std::string::npos) << registers.out;
    EXPECT_NE(registers.out.find("x y col row"), std::string::npos) << registers.out;
}

}  // namespace
