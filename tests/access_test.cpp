// Word and byte access to the main DSP and, through the bridges, to the
// video DSPs: the exact requests, and what reaches the board.
#include "board/access.h"
#include "board/connection.h"
#include "board/selection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

class AccessTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        RadovlSim_TraceClear();
    }
};

TEST_F(AccessTest, MainWordWriteIsPageThenAccess) {
    BoardWrite32(0xB0203000, 0x12345678);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 2u);
    const uint32_t page[] = {9, 2, 8, 704, 1};
    const uint32_t access[] = {9, 0, 0x203000, 0x12345678, 1};
    const uint32_t got[2][5] = {{trace[0].function, trace[0].space, trace[0].offset, trace[0].data, trace[0].count},
                                {trace[1].function, trace[1].space, trace[1].offset, trace[1].data, trace[1].count}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(got[0][i], page[i]) << "page request field " << i;
        EXPECT_EQ(got[1][i], access[i]) << "access request field " << i;
    }
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203000), 0x12345678u);
}

TEST_F(AccessTest, PageIsWrittenBeforeEveryAccess) {
    BoardWrite32(0xB0203000, 1);
    BoardWrite32(0xB0203004, 2);
    EXPECT_EQ(RadovlSim_TraceCount(), 4);
}

TEST_F(AccessTest, NarrowWritesAreSignExtendedInTheRecord) {
    BoardWrite8(0xB0300000, static_cast<int8_t>(0x80));
    BoardWrite16(0xB0300004, static_cast<int16_t>(0x8001));
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[1].function, 1u);
    EXPECT_EQ(trace[1].data, 0xFFFFFF80u);
    EXPECT_EQ(trace[1].value, 0x80u);
    EXPECT_EQ(trace[3].function, 5u);
    EXPECT_EQ(trace[3].data, 0xFFFF8001u);
    EXPECT_EQ(trace[3].value, 0x8001u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0300000), 0x80u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0300004), 0x8001u);
}

TEST_F(AccessTest, ReadsReturnWhatTheBoardHolds) {
    RadovlSim_PokeMain(0, 0xB0201000, 0xA1B2C3D4);
    EXPECT_EQ(BoardRead32(0xB0201000), 0xA1B2C3D4u);
    EXPECT_EQ(BoardRead16(0xB0201002), 0xA1B2u);
    EXPECT_EQ(BoardRead8(0xB0201001), 0xC3u);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"R32 0xB0201000 -> 0xA1B2C3D4", "R16 0xB0201002 -> 0xA1B2",
                                                     "R8 0xB0201001 -> 0xC3"}));
}

TEST_F(AccessTest, FailedReadYieldsZero) {
    RadovlSim_PokeMain(0, 0xB0201000, 0xA1B2C3D4);
    RadovlSim_FailRequests(2, 1, static_cast<int32_t>(0x900C0000));
    EXPECT_EQ(BoardRead32(0xB0201000), 0u);
    EXPECT_EQ(Trace()[1].value, 0u);
}

TEST_F(AccessTest, BlockCrossesPageBoundaryWordByWord) {
    const uint32_t words[] = {0x11111111, 0x22222222};
    BoardWriteBlock(0x003FFFFC, words, 2);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[0].data, 0u);  // page 0
    EXPECT_EQ(trace[1].offset, 0x3FFFFCu);
    EXPECT_EQ(trace[2].data, 1u);  // page 1
    EXPECT_EQ(trace[3].offset, 0u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x00400000), 0x22222222u);
}

TEST_F(AccessTest, EmptyBlocksSendNothing) {
    const uint32_t word = 1;
    BoardWriteBlock(0, &word, 0);
    BoardWriteBlock(0, &word, -3);
    VideoWriteBlock(1, 0, 0, &word);
    TargetWriteBlock(1, 0, &word, 0);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(AccessTest, VideoWriteGoesThroughTheBridge) {
    VideoWrite32(1, 0xB0080000, 0xCAFE);
    EXPECT_EQ(MainAccesses(Trace()),
              (std::vector<std::string>{"W32 0x6C000410 = 0x00010001", "W32 0x6C000414 = 0xB0080000",
                                        "W32 0x6C00041C = 0x0000CAFE"}));
    for (const RadovlSimRequest& r : Trace()) {
        if (r.space == 2) {
            EXPECT_EQ(r.value, 432u);
        }
    }
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0xB0080000), 0xCAFEu);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0xB0080000), 0u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x6C00041C), 0u);  // the data goes to the video DSP, not main memory
}

TEST_F(AccessTest, VideoReadEndsWithBridgeDataRead) {
    RadovlSim_PokeVideo(0, 0, 0x80000000, 0x80001234);
    EXPECT_EQ(VideoRead32(0, 0x80000000), 0x80001234u);
    EXPECT_EQ(MainAccesses(Trace()),
              (std::vector<std::string>{"W32 0x6C000400 = 0x00010001", "W32 0x6C000404 = 0x80000000",
                                        "R32 0x6C00040C -> 0x80001234"}));
}

TEST_F(AccessTest, AnyOtherVideoIndexReachesTheSecondBridge) {
    VideoWrite32(7, 0x100, 5);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x100), 5u);
}

TEST_F(AccessTest, TargetWriteBlockByTarget) {
    const uint32_t words[] = {0xA, 0xB};
    TargetWriteBlock(0, 0x00001000, words, 2);
    TargetWriteBlock(1, 0x00002000, words, 2);
    TargetWriteBlock(2, 0x00003000, words, 2);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x00001004), 0xBu);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0x00002004), 0xBu);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x00003004), 0xBu);
    RadovlSim_TraceClear();
    const std::string printed = CaptureStdout([&] { TargetWriteBlock(3, 0x00004000, words, 2); });
    EXPECT_EQ(printed, "this dsp is not pressent\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(AccessTest, ReadModifyWriteKeepsOtherBits) {
    RadovlSim_PokeMain(0, 0xB0203018, 0xFFFF0000);
    EXPECT_EQ(UpdateBoard32(0xB0203018, 0x0F000000, 0x05000000), 0xF5FF0000u);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"R32 0xB0203018 -> 0xFFFF0000", "W32 0xB0203018 = 0xF5FF0000"}));
    RadovlSim_TraceClear();
    UpdateVideo32(1, 0xB0080100, 0x1, 0x1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"V1 R 0xB0080100 -> 0x00000000", "V1 W 0xB0080100 = 0x00000001"}));
}

TEST_F(AccessTest, NothingIsSentWithoutConnection) {
    BoardClose(CurrentBoard());
    SelectConnection(nullptr);
    RadovlSim_TraceClear();
    BoardWrite32(0xB0203000, 1);
    EXPECT_EQ(BoardRead32(0xB0203000), 0u);
    EXPECT_EQ(VideoRead32(0, 0), 0u);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

}  // namespace
}  // namespace radovl::test
