#include "scenario/scenario.h"

#include <gtest/gtest.h>

namespace radovl::tool {
namespace {

struct BadLine {
    const char* line;
    const char* message;  // expected after "s.scn:2: "
};

// The second line of a scenario is the bad one; the error names the file
// and that line and says what is wrong.
class ParserRejects : public ::testing::TestWithParam<BadLine> {};

TEST_P(ParserRejects, WithFileLineAndReason) {
    const BadLine& bad = GetParam();
    const ParseResult r = ParseScenarioText(std::string("KT_RDSP_Init = 1\n") + bad.line + "\n", "s.scn");
    ASSERT_EQ(r.errors.size(), 1u) << bad.line;
    EXPECT_EQ(r.errors[0], std::string("s.scn:2: ") + bad.message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParserRejects,
    ::testing::Values(
        BadLine{"KT_RDSP_OpenPPl 1 0 0 10 10",
                "unknown export or directive 'KT_RDSP_OpenPPl' (did you mean KT_RDSP_OpenPPI?)"},
        BadLine{"OpenPPI 1 0 0 10 10", "unknown export or directive 'OpenPPI' (did you mean KT_RDSP_OpenPPI?)"},
        BadLine{"frobnicate", "unknown export or directive 'frobnicate'"},
        BadLine{"KT_RDSP_OpenPPI 1 0 0 10", "KT_RDSP_OpenPPI takes 5 arguments (channel, x, y, w, h), 4 given"},
        BadLine{"KT_RDSP_Init 1", "KT_RDSP_Init takes 0 arguments (), 1 given"},
        BadLine{"KT_RDSP_ClosePPI", "KT_RDSP_ClosePPI takes 1 argument (channel), 0 given"},
        BadLine{"KT_RDSP_ClosePPI one", "argument 1 (channel) must be an integer (decimal or 0x hex), not 'one'"},
        BadLine{"KT_RDSP_ClosePPI 1.5", "argument 1 (channel) must be an integer (decimal or 0x hex), not '1.5'"},
        BadLine{"KT_RDSP_ClosePPI 0x1G", "argument 1 (channel) must be an integer (decimal or 0x hex), not '0x1G'"},
        BadLine{"KT_RDSP_ClosePPI 4294967296", "argument 1 (channel) 4294967296 does not fit a 32-bit argument"},
        BadLine{"KT_RDSP_ClosePPI -2147483649", "argument 1 (channel) -2147483649 does not fit a 32-bit argument"},
        BadLine{"KT_RDSP_SetPPIShipDir 1 north", "argument 2 (angle) must be a number, not 'north'"},
        BadLine{"KT_RDSP_ClosePPI 1 =", "'=' must be followed by exactly one status, e.g. '= 1'"},
        BadLine{"KT_RDSP_ClosePPI 1 = 1 2", "'=' must be followed by exactly one status, e.g. '= 1'"},
        BadLine{"KT_RDSP_ClosePPI 1 = yes",
                "the expected status must be an integer or DONE, BAD_ARGUMENT or NOT_INITIALISED, not 'yes'"},
        BadLine{"KT_RDSP_ClosePPI 1 = done",
                "the expected status must be an integer or DONE, BAD_ARGUMENT or NOT_INITIALISED, not 'done'"},
        // The end of a C-style call split over lines.
        BadLine{")", "a line of only '(', ')' or ',': a call and its arguments go on one line"},
        BadLine{",", "a line of only '(', ')' or ',': a call and its arguments go on one line"},
        BadLine{"  ( , )  # the rest", "a line of only '(', ')' or ',': a call and its arguments go on one line"},
        BadLine{"render \"shot.png", "a quoted text has no closing '\"'"},
        BadLine{"render \"\"", "the path is empty"},
        BadLine{"monitor 0 0 1280", "usage: monitor LEFT TOP RIGHT BOTTOM, or monitor none"},
        BadLine{"monitor 100 0 100 1024", "a monitor needs RIGHT > LEFT and BOTTOM > TOP"},
        BadLine{"screen 0 0 1280", "usage: screen LEFT TOP RIGHT BOTTOM"},
        BadLine{"board 2 absent", "the board must be 0..1, not 2"},
        BadLine{"board 0 missing", "unknown board setting 'missing': absent, present, scratch-fault or scratch-ok"},
        BadLine{"i2c-busy -2", "the busy read count must be -1..1000000, not -2"},
        BadLine{"fail-requests 1 1 5", "a driver status is negative (0x9xxxxxxx), or 0 for a failure without one"},
        BadLine{"peek", "which space? main, video CH, pci or decoder CH"},
        BadLine{"peek flash 0", "unknown space 'flash': main, video CH, pci or decoder CH"},
        BadLine{"peek video 3 0xB0080000", "the channel must be 1..2, not 3"},
        BadLine{"peek video 1", "usage: video CHANNEL ADDRESS"},
        BadLine{"peek main PpiStart", "no register named 'PpiStart' in that space (give a number, or a name such as "
                                      "PpiSize or PpiStart[2])"},
        BadLine{"peek video 1 PpiStart[1]", "no register named 'PpiStart[1]' in that space (give a number, or a name "
                                            "such as PpiSize or PpiStart[2])"},
        BadLine{"peek decoder 1 256", "the decoder register must be 0..255, not 256"},
        BadLine{"peek pci 12", "the PCI registers are at offsets 0..11"},
        BadLine{"peek main 0x100000000", "address 0x100000000 is not a 32-bit address"},
        BadLine{"peek main DisplayControl 5", "peek takes a space and an address, nothing more"},
        BadLine{"expect main DisplayControl", "usage: expect SPACE ADDRESS VALUE"},
        BadLine{"expect main DisplayControl 0x1FFFFFFFF", "the expected value does not fit 32 bits"},
        BadLine{"poke pci 4 1", "poke reaches main and video DSP memory only"},
        BadLine{"render", "usage: render FILE.png (or FILE.svg)"},
        BadLine{"trace maybe", "usage: trace on|off"},
        BadLine{"make-programs 2", "the code size must be 4..67108864, not 2"},
        BadLine{"dismode-file", "usage: dismode-file N, or dismode-file none"}));

TEST(Parser, ReportsEveryBadLineAndSkipsCommentsAndBlanks) {
    const ParseResult r = ParseScenarioText(
        "# start\n"
        "\n"
        "KT_RDSP_Init   # comment after a step\n"
        "bogus\n"
        "   \t\n"
        "KT_RDSP_ClosePPI\n",
        "f");
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(r.errors[0].rfind("f:4: ", 0), 0u);
    EXPECT_EQ(r.errors[1].rfind("f:6: ", 0), 0u);
    const std::vector<Step> s = AllSteps(r.scenario);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].line, 3);
    EXPECT_EQ(s[0].text, "KT_RDSP_Init");
}

TEST(Parser, TakesCallsInBothFormsWithHexNegativeAndFloatArguments) {
    const ParseResult r = ParseScenarioText(
        "KT_RDSP_OpenPPI 1 -20 0x32 400 300 = 1\n"
        "KT_RDSP_OpenPPI(2, 100, 50, 400, 300) = -1\n"
        "KT_RDSP_SetPPIShipDir 1 -90.5\n"
        "KT_RDSP_SetMiniWinDistDir 1 10 45\n"
        "KT_RDSP_SetPPIColor 1 0xFF800000\n"
        "KT_RDSP_ClosePPI 1 =-2\n",
        "f");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const std::vector<Step> s = AllSteps(r.scenario);
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].function->name, "KT_RDSP_OpenPPI");
    EXPECT_EQ(s[0].args[1].integer, -20);
    EXPECT_EQ(s[0].args[2].integer, 50);
    EXPECT_EQ(s[0].expectedStatus, 1);
    EXPECT_EQ(s[1].args[0].integer, 2);
    EXPECT_EQ(s[1].expectedStatus, -1);
    EXPECT_EQ(s[2].args[1].kind, ParamKind::Float);
    EXPECT_DOUBLE_EQ(s[2].args[1].real, -90.5);
    EXPECT_DOUBLE_EQ(s[3].args[2].real, 45.0);
    EXPECT_EQ(s[4].args[1].integer, 0xFF800000LL);
    EXPECT_EQ(s[5].expectedStatus, -2);
    EXPECT_EQ(DescribeCall(s[1]), "KT_RDSP_OpenPPI(2, 100, 50, 400, 300)");
}

TEST(Parser, ResolvesRegisterNamesToAddresses) {
    const ParseResult r = ParseScenarioText(
        "peek main PpiStart[2]\n"
        "peek video 2 PpiSize\n"
        "expect main PpiColourLut[1][255] 0x00FF8000\n"
        "peek pci PciControl\n"
        "peek decoder 2 0x0C\n"
        "peek main 0xB0203000\n",
        "f");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const std::vector<Step> s = AllSteps(r.scenario);
    EXPECT_EQ(s[0].target.address, 0xB0201108u);
    EXPECT_EQ(s[1].target.address, 0xB0080108u);
    EXPECT_EQ(s[1].target.channel, 2);
    EXPECT_EQ(s[2].target.address, 0xB03013FCu);
    EXPECT_EQ(s[2].expectedValue, 0x00FF8000u);
    EXPECT_EQ(s[3].target.address, 4u);
    EXPECT_EQ(s[4].target.name, "Contrast");
    EXPECT_EQ(s[5].target.name, "DisplayControl");
}

TEST(Parser, ReadsDirectives) {
    const ParseResult r = ParseScenarioText(
        "monitor -1280 0 0 1024\n"
        "monitor none\n"
        "board 1 scratch-fault\n"
        "fail-requests 3 -1 0x900B0000\n"
        "dismode-file none\n"
        "trace on\n",
        "f");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const std::vector<Step> s = AllSteps(r.scenario);
    EXPECT_EQ(s[0].kind, StepKind::Monitor);
    EXPECT_EQ(s[0].numbers, (std::vector<int64_t>{-1280, 0, 0, 1024}));
    EXPECT_EQ(s[1].kind, StepKind::MonitorNone);
    EXPECT_EQ(s[2].boardAction, BoardAction::ScratchFault);
    EXPECT_EQ(s[3].numbers, (std::vector<int64_t>{3, -1, static_cast<int32_t>(0x900B0000u)}));
    EXPECT_TRUE(s[4].removeFile);
    EXPECT_TRUE(s[5].on);
}

TEST(Parser, UnreadableFileIsOneErrorWithItsReason) {
    const ParseResult missing = ParseScenarioFile("/nonexistent/x.scenario");
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0], "/nonexistent/x.scenario: cannot read the scenario file: No such file or directory");
    const ParseResult directory = ParseScenarioFile("/");
    ASSERT_EQ(directory.errors.size(), 1u);
    EXPECT_EQ(directory.errors[0], "/: cannot read the scenario file: it is a directory");
    EXPECT_TRUE(AllSteps(directory.scenario).empty());
}

// What Windows editors save: a byte-order mark before UTF-8, or UTF-16.
TEST(Parser, ReadsByteOrderMarksAndUtf16AndRefusesOtherZeroBytes) {
    const std::string utf16le("\xFF\xFEK\0T\0_\0R\0D\0S\0P\0_\0I\0n\0i\0t\0\r\0\n\0", 28);
    const std::string utf16be("\xFE\xFF\0K\0T\0_\0R\0D\0S\0P\0_\0I\0n\0i\0t", 26);
    for (const std::string& text : {std::string("\xEF\xBB\xBFKT_RDSP_Init\r\n"), utf16le, utf16be}) {
        const ParseResult r = ParseScenarioText(text, "f");
        ASSERT_TRUE(r.ok()) << r.errors[0];
        const std::vector<Step> s = AllSteps(r.scenario);
        ASSERT_EQ(s.size(), 1u);
        EXPECT_EQ(s[0].function->name, "KT_RDSP_Init");
    }
    const ParseResult zero = ParseScenarioText(std::string("K\0T\0", 4), "f");
    ASSERT_EQ(zero.errors.size(), 1u);
    EXPECT_EQ(zero.errors[0], "f: holds zero bytes: not a text file (UTF-16 without a byte-order mark?)");
}

TEST(Parser, TakesStatusNamesAndQuotedPaths) {
    const ParseResult r = ParseScenarioText(
        "KT_RDSP_Init = DONE\n"
        "KT_RDSP_ClosePPI(3) = BAD_ARGUMENT\n"
        "KT_RDSP_ClosePPI 1 = RADOVL_STATUS_NOT_INITIALISED\n"
        "render \"my shots/a#1.png\"   # quoted: blanks and '#' belong to the path\n"
        "executable \"C:\\Console\\radar.exe\"\n",
        "f");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const std::vector<Step> s = AllSteps(r.scenario);
    EXPECT_EQ(s[0].expectedStatus, 1);
    EXPECT_EQ(s[1].expectedStatus, -1);
    EXPECT_EQ(s[2].expectedStatus, -2);
    EXPECT_EQ(s[3].path, "my shots/a#1.png");
    EXPECT_EQ(s[4].path, "C:\\Console\\radar.exe");
}

TEST(Exports, TableHoldsTheFiftyExportsOnce) {
    EXPECT_EQ(Exports().size(), 50u);
    for (const ExportInfo& e : Exports()) {
        EXPECT_EQ(FindExport(e.name), &e);
        EXPECT_EQ(e.params.size(), e.kinds.size());
    }
    const ExportInfo* dist = FindExport("KT_RDSP_SetMiniWinDistDir");
    ASSERT_NE(dist, nullptr);
    EXPECT_EQ(dist->kinds, (std::vector<ParamKind>{ParamKind::Int, ParamKind::Int, ParamKind::Float}));
}

}  // namespace
}  // namespace radovl::tool
