// Board bring-up: the exact order of accesses, the reset-line sequences,
// open failures and the two program sets.
#include "board/bringup.h"
#include "board/connection.h"
#include "board/selection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

using BringUpTest = BoardTest;

struct EmifRow {
    uint32_t address, main, video0, video1;
};

// The EMIF configuration in write order.
const EmifRow Emif[24] = {
    {0x01800000, 0x00012074, 0x000127A4, 0x000127A4}, {0x01800008, 0xFFFFFFD3, 0xFFFFFFD3, 0xFFFFFFD3},
    {0x01800004, 0x22A28323, 0x22A28A42, 0x22A28A23}, {0x01800010, 0x22A28A42, 0x22A28A42, 0x22A28A43},
    {0x01800014, 0x22A28A23, 0x22A28A12, 0x22A28A12}, {0x01800018, 0x57115000, 0x57115000, 0x57115000},
    {0x0180001C, 0x0000081B, 0x0000081B, 0x0000081B}, {0x01800020, 0x001FAF4D, 0x001FAF4D, 0x001FAF4D},
    {0x01800048, 0x00000062, 0x00000061, 0x00000023}, {0x01800044, 0x00000042, 0x00000042, 0x00000041},
    {0x01800050, 0x00000042, 0x00000042, 0x00000041}, {0x01800054, 0x00000041, 0x00000041, 0x00000041},
    {0x01A80000, 0x000127A4, 0x000127A4, 0x000127A4}, {0x01A80008, 0xFFFFFF03, 0x000000B0, 0x000000B0},
    {0x01A80004, 0xFFFFFF03, 0xFFFFFF03, 0xFFFFFF03}, {0x01A80010, 0x22A28AB3, 0x000000B3, 0x000000B0},
    {0x01A80014, 0x22A28A13, 0xFFFFFF13, 0xFFFFFF13}, {0x01A80018, 0x57115000, 0x57115000, 0x57115000},
    {0x01A8001C, 0x0000081B, 0x0000030D, 0x0000030D}, {0x01A80020, 0x001FAF4D, 0x0004B4A8, 0x0004B4A8},
    {0x01A80048, 0x00000041, 0x00000041, 0x00000041}, {0x01A80044, 0x00000041, 0x00000041, 0x00000041},
    {0x01A80050, 0x00000042, 0x00000042, 0x00000042}, {0x01A80054, 0x00000041, 0x00000041, 0x00000041},
};

TEST_F(BringUpTest, AccessOrderAfterOpen) {
    RadovlSim_PokeMain(0, 0xB0203000, 0x0F0F0F0F);
    ASSERT_EQ(SelectBoard(0), 0u);
    BringUpBoard();
    std::vector<std::string> expected = {"QUERY", "PCI C8 0 = 0x04", "PCI W8 4 = 0x01"};
    for (const EmifRow& row : Emif) expected.push_back("W32 " + Hex(row.address) + " = " + Hex(row.main));
    for (const char* a : {"R8 0x6C000006 -> 0x00", "W8 0x6C000006 = 0x08", "R8 0x6C000004 -> 0x00",
                          "W8 0x6C000004 = 0x00", "W8 0x6C000004 = 0x01", "W8 0x6C000006 = 0x00"}) {
        expected.push_back(a);
    }
    for (const EmifRow& row : Emif) expected.push_back("V0 W " + Hex(row.address) + " = " + Hex(row.video0));
    for (const char* a : {"R8 0x6C000006 -> 0x00", "W8 0x6C000006 = 0x08", "R8 0x6C000004 -> 0x01",
                          "W8 0x6C000004 = 0x01", "W8 0x6C000004 = 0x03", "W8 0x6C000006 = 0x00"}) {
        expected.push_back(a);
    }
    for (const EmifRow& row : Emif) expected.push_back("V1 W " + Hex(row.address) + " = " + Hex(row.video1));
    expected.push_back("R32 0xB0203000 -> 0x0F0F0F0F");
    expected.push_back("W32 0xB0203000 = 0x00000000");
    EXPECT_EQ(Accesses(), expected);
    EXPECT_NE(CurrentBoard(), nullptr);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x01A80020), 0x0004B4A8u);
    EXPECT_EQ(RadovlSim_DspStarted(0, 1), 0);  // configured, not started
}

TEST_F(BringUpTest, ReleaseKeepsTheOtherDspAndTheLowEnableBits) {
    struct Case {
        int dsp;
        uint32_t control, enable;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {1, 0xFF, 0xF5, {"W8 0x6C000006 = 0x0D", "W8 0x6C000004 = 0x0D", "W8 0x6C000004 = 0x0F", "W8 0x6C000006 = 0x05"}},
        {0, 0x00, 0x00, {"W8 0x6C000006 = 0x08", "W8 0x6C000004 = 0x00", "W8 0x6C000004 = 0x01", "W8 0x6C000006 = 0x00"}},
        {0, 0xFF, 0xFF, {"W8 0x6C000006 = 0x0F", "W8 0x6C000004 = 0x0E", "W8 0x6C000004 = 0x0F", "W8 0x6C000006 = 0x07"}},
    };
    for (const Case& c : cases) {
        RadovlSim_Reset();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        RadovlSim_PokeMain(0, 0x6C000004, c.control | (c.enable << 16));
        RadovlSim_TraceClear();
        ReleaseVideoDsp(c.dsp);
        EXPECT_EQ(Matching(Accesses(), "W8"), c.writes) << "dsp " << c.dsp;
    }
}

TEST_F(BringUpTest, OpenFailurePrintsCodeAndTextAndSendsNothing) {
    RadovlSim_SetBoardPresent(1, 0);
    uint32_t code = 0;
    const std::string printed = CaptureStdout([&] { code = SelectBoard(1); });
    EXPECT_EQ(code, 0xA1020001u);
    EXPECT_EQ(printed, "Error : board initialization failed : 0xA1020001 : Can't communicate with\n"
                       "the driver for board #1\n");
    EXPECT_EQ(CurrentBoard(), nullptr);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);

    RadovlSim_SetMutexFault(2);
    const std::string mutex = CaptureStdout([&] { code = SelectBoard(0); });
    EXPECT_EQ(code, 0xA2070000u);
    EXPECT_EQ(mutex, "Error : board initialization failed : 0xA2070000 : Can't create or\nopen board's mutex\n");
}

TEST_F(BringUpTest, VideoProgramsStartEvenWithoutTheirFile) {
    ASSERT_EQ(SelectBoard(0), 0u);
    BringUpBoard();
    RadovlSim_TraceClear();
    const std::string printed = CaptureStdout([] { LoadVideoPrograms(); });
    EXPECT_EQ(printed, "The file " + NativePath("./out/idbout/testcmp.out") + " was not opened\n"
                       "The file " + NativePath("./out/idbout/testcmp.out") + " was not opened\n");
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"W32 0x6C000400 = 0x00030003", "W32 0x6C000410 = 0x00030003"}));
    EXPECT_EQ(RadovlSim_DspStarted(0, 1), 1);
    EXPECT_EQ(RadovlSim_DspStarted(0, 2), 1);
}

TEST_F(BringUpTest, VideoProgramsLoadIntoBothVideoDsps) {
    WriteDisplayPrograms();
    ASSERT_EQ(SelectBoard(0), 0u);
    BringUpBoard();
    CaptureStdout([] { LoadVideoPrograms(); });
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0x80000000), 0x80001000u);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x80000000), 0x80001000u);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x8001000C), 0x0000A123u);
}

TEST_F(BringUpTest, FallbackProgramSet) {
    ASSERT_EQ(SelectBoard(0), 0u);
    BringUpBoard();
    RadovlSim_TraceClear();
    const std::string printed = CaptureStdout([] { LoadFallbackPrograms(); });
    EXPECT_EQ(printed, "The file " + NativePath("./out/vibout/clktest_b.out") + " was not opened\n"
                       "The file " + NativePath("./out/vibout/clktest_c.out") + " was not opened\n"
                       "The file " + NativePath("./out/vibout/NicTest.out") + " was not opened\n");
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "W32 0x6C000400 = 0x00030003",
                              "W32 0x6C000400 = 0x00030003",
                              "V0 R 0x81FFFFFC -> 0x00000000",
                              "V1 R 0x81FFFFFC -> 0x00000000",
                              "V1 W 0x81FFFFFC = 0x12345678",
                              "V1 R 0x81FFFFFC -> 0x12345678",
                              "W32 0x6C000410 = 0x00030003",
                              "V1 R 0x81FFFFFC -> 0x12345678",
                              "PCI W8 4 = 0x02",
                              "PCI W8 4 = 0x00",
                          }));
    EXPECT_EQ(RadovlSim_SleptMs(), 300u);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0x81FFFFFC), 0u);
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 1);
}

TEST_F(BringUpTest, FallbackLoadsEachProgramIntoItsDsp) {
    WriteProgram("out/vibout/clktest_b.out", {coff::Section{".text", 0x1000, coff::WordBytes({0xB}), true, 0x20}});
    WriteProgram("out/vibout/clktest_c.out", {coff::Section{".text", 0x1000, coff::WordBytes({0xC}), true, 0x20}});
    WriteProgram("out/vibout/NicTest.out", {coff::Section{".text", 0x1000, coff::WordBytes({0xD}), true, 0x20}});
    ASSERT_EQ(SelectBoard(0), 0u);
    BringUpBoard();
    CaptureStdout([] { LoadFallbackPrograms(); });
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0x1000), 0xBu);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x1000), 0xCu);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1000), 0xDu);
}

}  // namespace
}  // namespace radovl::test
