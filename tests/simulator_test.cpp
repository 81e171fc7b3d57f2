// The simulated board's own rules, as console developers rely on them.
#include "board/access.h"
#include "board/connection.h"
#include "board/selection.h"
#include "sim/simulator.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

class SimulatorTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        RadovlSim_TraceClear();
    }
};

TEST_F(SimulatorTest, UnalignedWordTouchesFourBytesFromItsAddress) {
    BoardWrite32(0xB0080000, 0x11223344);
    BoardWrite32(0xB0080004, 0x55667788);
    BoardWrite32(0xB0080002, 0xAABBCCDD);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0080000), 0xCCDD3344u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0080004), 0x5566AABBu);
    EXPECT_EQ(BoardRead32(0xB0080002), 0xAABBCCDDu);
}

TEST_F(SimulatorTest, TraceValueConventions) {
    RadovlSim_PokeMain(0, 0x1000, 0x000000F0);
    BoardWrite8(0x1000, static_cast<int8_t>(0x80));
    BoardRead8(0x1000);
    SendMemoryRequest(2, 2, 4, 0x102, 1, CurrentBoard());  // set bits, 8 bits wide
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[1].value, 0x80u);
    EXPECT_EQ(trace[3].value, 0x80u);
    EXPECT_EQ(trace[4].value, 0x02u);
    EXPECT_EQ(RadovlSim_PeekPci(0, 4) & 0xFF, 0x02u);
}

TEST_F(SimulatorTest, PciStatusClearAndPageRegister) {
    SendMemoryRequest(1, 2, 0, 0xFF, 1, CurrentBoard());
    SendMemoryRequest(3, 2, 0, 0x04, 1, CurrentBoard());
    EXPECT_EQ(RadovlSim_PeekPci(0, 0) & 0xFF, 0xFBu);
    SelectPage(0xFFC00000);
    EXPECT_EQ(RadovlSim_PeekPci(0, 8), 1023u);
}

TEST_F(SimulatorTest, MainDspStartLatch) {
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 0);
    SendMemoryRequest(1, 2, 4, 2, 1, CurrentBoard());
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 1);
    SendMemoryRequest(1, 2, 4, 0, 1, CurrentBoard());
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 1);  // still running after the interrupt is released
    SendMemoryRequest(2, 2, 4, 1, 1, CurrentBoard());
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 0);  // reset
}

TEST_F(SimulatorTest, VideoDspStartsFromBridgeControl) {
    BoardWrite32(0x6C000410, 0x00030003);
    EXPECT_EQ(RadovlSim_DspStarted(0, 2), 1);
    EXPECT_EQ(RadovlSim_DspStarted(0, 1), 0);
    BoardWrite8(0x6C000004, 0x01);  // DSP 1's reset line low: held in reset
    EXPECT_EQ(RadovlSim_DspStarted(0, 2), 0);
}

TEST_F(SimulatorTest, ScratchFaultShowsBit16OnEveryReadOfTheRegister) {
    RadovlSim_SetScratchFault(0, 1);
    BoardWrite32(0xB0203008, 0x1234);
    EXPECT_EQ(BoardRead32(0xB0203008), 0x00011234u);
    EXPECT_EQ(BoardRead8(0xB020300A), 0x01u);
    EXPECT_EQ(BoardRead32(0xB0203004), 0u);  // neighbours unaffected
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203008), 0x1234u);  // storage itself is plain
}

TEST_F(SimulatorTest, I2cStatusBusyRules) {
    struct Case {
        int32_t busyReads;
        std::vector<uint32_t> statuses;  // status reads after one command write
    };
    const Case cases[] = {
        {1, {0x02, 0x00, 0x00}},
        {0, {0x00, 0x00}},
        {3, {0x02, 0x02, 0x02, 0x00}},
        {-1, {0x02, 0x02, 0x02, 0x02, 0x02}},
    };
    for (const Case& c : cases) {
        RadovlSim_Reset();
        BoardConnection* connection = nullptr;
        ASSERT_EQ(BoardOpen(0, &connection), 0u);
        SelectConnection(connection);
        EXPECT_EQ(BoardRead8(0xB0300030), 0u) << "before any command";
        RadovlSim_SetI2cBusyReads(c.busyReads);
        BoardWrite32(0xB0300030, 0x10);
        for (size_t i = 0; i < c.statuses.size(); ++i) {
            EXPECT_EQ(BoardRead8(0xB0300030), c.statuses[i]) << "busy " << c.busyReads << " read " << i;
        }
    }
}

void Command(uint32_t data, uint32_t command) {
    BoardWrite32(0xB030002C, data);
    BoardWrite32(0xB0300030, command);
}

TEST_F(SimulatorTest, DecoderTakesRegisterThenAutoIncrementingBytes) {
    Command(0xBA, 0x90);  // start, address 0x5D for writing
    Command(0x20, 0x10);  // register
    Command(0x01, 0x10);
    Command(0x02, 0x50);  // last byte and stop
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x20), 0x01);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x21), 0x02);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x20), 0x00);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x50, 0x20), -1);
    // Only the register byte: nothing stored. Another address: nothing stored.
    Command(0xB8, 0x90);
    Command(0x30, 0x50);
    Command(0xB4, 0x90);
    Command(0x30, 0x10);
    Command(0x07, 0x50);
    for (int reg = 0; reg < 256; ++reg) {
        if (reg == 0x20 || reg == 0x21) continue;
        EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, reg), 0) << reg;
        EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, reg), 0) << reg;
    }
}

TEST_F(SimulatorTest, FaultsCountFromTheLastTraceClear) {
    RadovlSim_FailRequests(3, -1, static_cast<int32_t>(0x90130000));
    BoardWrite32(0x1000, 1);  // requests 1, 2
    BoardWrite32(0x1004, 2);  // requests 3, 4: fail
    BoardWrite32(0x1008, 3);  // 5, 6: fail
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1000), 1u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1004), 0u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1008), 0u);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 6u);
    EXPECT_EQ(trace[1].status, 0);
    EXPECT_EQ(trace[2].status, static_cast<int32_t>(0x90130000));
    EXPECT_EQ(trace[5].status, static_cast<int32_t>(0x90130000));
    RadovlSim_FailRequests(2, 2, 0);
    RadovlSim_TraceClear();
    BoardWrite32(0x1010, 4);
    BoardWrite32(0x1014, 5);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1010), 0u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1014), 5u);
}

TEST_F(SimulatorTest, TraceOffStillCountsRequests) {
    RadovlSim_SetTraceEnabled(0);
    BoardWrite32(0x1000, 1);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    EXPECT_EQ(RadovlSim_RequestCount(), 2u);
    RadovlSim_FailRequests(3, 1, static_cast<int32_t>(0x900B0000));
    BoardWrite32(0x1004, 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1004), 1u);  // request 3 was the page write
}

// Offset and data of each request in the trace, oldest first.
std::vector<std::pair<uint32_t, uint32_t>> OffsetsAndData() {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (const RadovlSimRequest& r : Trace()) out.push_back({r.offset, r.data});
    return out;
}

TEST_F(SimulatorTest, TraceKeepsTheMostRecentRequestsUpToItsCapacity) {
    using Requests = std::vector<std::pair<uint32_t, uint32_t>>;
    ASSERT_EQ(RadovlSim_SetTraceCapacity(4), 1);
    BoardWrite32(0x1000, 1);  // each word: the page write (offset 8, page 0), then the word
    BoardWrite32(0x1004, 2);
    BoardWrite32(0x1008, 3);
    EXPECT_EQ(OffsetsAndData(), (Requests{{8, 0}, {0x1004, 2}, {8, 0}, {0x1008, 3}}));
    EXPECT_EQ(RadovlSim_TraceDropped(), 2u);
    EXPECT_EQ(RadovlSim_RequestCount(), 6u);
    EXPECT_EQ(sim::State().trace.entries.capacity(), 4u);  // no room held past the capacity

    // Shrinking a ring that has wrapped keeps the newest, in order; growing
    // it again goes on from there.
    ASSERT_EQ(RadovlSim_SetTraceCapacity(3), 1);
    EXPECT_EQ(OffsetsAndData(), (Requests{{0x1004, 2}, {8, 0}, {0x1008, 3}}));
    EXPECT_EQ(RadovlSim_TraceDropped(), 3u);
    ASSERT_EQ(RadovlSim_SetTraceCapacity(10), 1);
    BoardWrite32(0x100C, 4);
    EXPECT_EQ(OffsetsAndData(), (Requests{{0x1004, 2}, {8, 0}, {0x1008, 3}, {8, 0}, {0x100C, 4}}));
    RadovlSimRequest untouched{};
    untouched.data = 0xDEAD;
    EXPECT_EQ(RadovlSim_TraceGet(5, &untouched), 0);
    EXPECT_EQ(untouched.data, 0xDEADu);

    // Values other than N >= 1 and -1 change nothing.
    for (int32_t refused : {0, -2, INT32_MIN}) {
        EXPECT_EQ(RadovlSim_SetTraceCapacity(refused), 0) << refused;
        EXPECT_EQ(RadovlSim_TraceCapacity(), 10) << refused;
    }
    ASSERT_EQ(RadovlSim_SetTraceCapacity(-1), 1);
    EXPECT_EQ(RadovlSim_TraceCapacity(), -1);
    EXPECT_EQ(RadovlSim_TraceCount(), 5);

    // A capacity between two steps of the ring's growth.
    ASSERT_EQ(RadovlSim_SetTraceCapacity(1500), 1);
    for (uint32_t i = 0; i < 800; ++i) BoardWrite32(0x1000, i);
    EXPECT_EQ(RadovlSim_TraceCount(), 1500);
    EXPECT_EQ(sim::State().trace.entries.capacity(), 1500u);
}

// A request handed straight to a board's driver: boards 0 and 1 while
// present, nothing else.
TEST_F(SimulatorTest, SendRequestServesPresentBoardsOnly) {
    struct Case {
        int32_t board;
        bool present;
        int32_t served;
    };
    for (const Case& c : {Case{0, true, 1}, Case{1, true, 1}, Case{1, false, 0}, Case{2, true, 0},
                          Case{-1, true, 0}}) {
        RadovlSim_TraceClear();
        RadovlSim_SetBoardPresent(1, c.present ? 1 : 0);
        // A 32-bit write to the register window at 0x01807000.
        uint32_t record[7] = {0, 9, 1, 0x7000, 0, 1, 0x5A000000u + static_cast<uint32_t>(c.board)};
        EXPECT_EQ(RadovlSim_SendRequest(c.board, 0xC3502047, record, sizeof record, nullptr), c.served) << c.board;
        EXPECT_EQ(RadovlSim_TraceCount(), c.served) << c.board;
        if (c.served == 0) continue;
        EXPECT_EQ(Trace()[0].board, c.board);
        EXPECT_EQ(RadovlSim_PeekMain(c.board, 0x01807000), record[6]);
    }
    EXPECT_EQ(RadovlSim_SendRequest(0, 0xC35020C3, nullptr, 12, nullptr), 0);  // no record
}

TEST_F(SimulatorTest, TraceClearAndResetGiveTheMemoryBackAndKeepTheSettings) {
    for (int i = 0; i < 5000; ++i) BoardWrite32(0x1000, i);
    ASSERT_GE(sim::State().trace.entries.capacity(), 10000u);
    RadovlSim_TraceClear();
    EXPECT_EQ(sim::State().trace.entries.capacity(), 0u);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    EXPECT_EQ(RadovlSim_RequestCount(), 0u);

    ASSERT_EQ(RadovlSim_SetTraceCapacity(1), 1);
    BoardWrite32(0x1000, 1);
    EXPECT_EQ(RadovlSim_TraceDropped(), 1u);
    RadovlSim_SetTraceEnabled(0);
    RadovlSim_Reset();
    EXPECT_EQ(CurrentBoard(), nullptr);  // the library at its load state too
    EXPECT_EQ(RadovlSim_TraceDropped(), 0u);
    EXPECT_EQ(RadovlSim_TraceCapacity(), 1);
    BoardConnection* connection = nullptr;
    ASSERT_EQ(BoardOpen(0, &connection), 0u);
    SelectConnection(connection);
    const uint32_t before = RadovlSim_RequestCount();
    BoardWrite32(0x1000, 1);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);  // still off
    EXPECT_EQ(RadovlSim_RequestCount() - before, 2u);
}

TEST_F(SimulatorTest, FaultsCountEveryRequestWhateverTheTraceKeeps) {
    ASSERT_EQ(RadovlSim_SetTraceCapacity(1), 1);
    RadovlSim_FailRequests(4, 1, static_cast<int32_t>(0x90130000));
    BoardWrite32(0x1000, 1);  // requests 1, 2
    BoardWrite32(0x1004, 2);  // 3, 4: the word's request fails
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1000), 1u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0x1004), 0u);
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 1u);
    EXPECT_EQ(trace[0].offset, 0x1004u);
    EXPECT_EQ(trace[0].status, static_cast<int32_t>(0x90130000));
}

// A read source answers each successful read in the board's place, within
// the read's width; a read the driver refuses asks it nothing.
int32_t RADOVL_CALL AnswerEveryRead(const RadovlSimRequest*, uint32_t* value, void* asked) {
    ++*static_cast<int*>(asked);
    *value = 0x1234ABCD;
    return 1;
}

TEST_F(SimulatorTest, ReadSourceAnswersSuccessfulReadsWithinTheirWidth) {
    int asked = 0;
    RadovlSim_SetReadSource(&AnswerEveryRead, &asked);
    RadovlSim_PokeMain(0, 0x1000, 0x55555555);
    EXPECT_EQ(BoardRead8(0x1000), 0xCDu);
    EXPECT_EQ(Trace().back().value, 0xCDu);
    EXPECT_EQ(BoardRead16(0x1000), 0xABCDu);
    EXPECT_EQ(Trace().back().value, 0xABCDu);
    EXPECT_EQ(BoardRead32(0x1000), 0x1234ABCDu);
    EXPECT_EQ(asked, 3);
    uint32_t destination = 0x77777777;
    EXPECT_EQ(SendReadRequest(8, 0, 0x400000, &destination, 1, CurrentBoard()), 0x900C0000u);  // past the window
    EXPECT_EQ(destination, 0x77777777u);
    EXPECT_EQ(asked, 3);
    RadovlSim_SetReadSource(nullptr, nullptr);
    EXPECT_EQ(BoardRead32(0x1000), 0x55555555u);
}

TEST_F(SimulatorTest, PeekAndPokeHaveNoSideEffects) {
    RadovlSim_PokeMain(0, 0xB0300030, 0x90);
    EXPECT_EQ(BoardRead8(0xB0300030), 0u);  // no command was issued through the core
    RadovlSim_PokeMain(0, 0x6C000400, 0x00030003);
    EXPECT_EQ(RadovlSim_DspStarted(0, 1), 0);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 2, 0), 0u);  // no such DSP
}

// A save is what the view's keyframes stand on: a board put back from one
// answers as at the save, whatever was written since, on either side.
TEST_F(SimulatorTest, SavedBoardsAnswerAsAtTheSaveWhateverIsWrittenSince) {
    constexpr uint32_t Word = 0xB0080000, OtherPage = 0xB0090000, Unwritten = 0xB00A0000;
    BoardWrite32(Word, 0x11111111);  // through the driver: the page this memory last wrote
    RadovlSim_PokeVideo(0, 1, 0x100, 0x22222222);
    RadovlSim_PokeMain(1, Word, 0x33333333);
    BoardWrite32(0x6C000410, 0x00030003);  // video DSP 2 started
    const int32_t saved = RadovlSim_SaveBoards();
    ASSERT_GT(saved, 0);
    const auto asSaved = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(RadovlSim_PeekMain(0, Word), 0x11111111u);
        EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x100), 0x22222222u);
        EXPECT_EQ(RadovlSim_PeekMain(1, Word), 0x33333333u);
        EXPECT_EQ(RadovlSim_PeekMain(0, Unwritten), 0u);
        EXPECT_EQ(RadovlSim_DspStarted(0, 2), 1);
    };
    // Writes after the save: the page written last before it, another one,
    // a page the save does not have, and a DSP held in reset.
    for (int round = 0; round < 2; ++round) {
        BoardWrite32(Word, 0xAAAAAAAA);
        BoardWrite32(OtherPage, 0xBBBBBBBB);
        RadovlSim_PokeVideo(0, 1, 0x100, 0xCCCCCCCC);
        RadovlSim_PokeMain(1, Word + 4, 0xDDDDDDDD);
        RadovlSim_PokeMain(0, Unwritten, 0xEEEEEEEE);
        BoardWrite8(0x6C000004, 0x01);
        EXPECT_EQ(RadovlSim_PeekMain(0, Word), 0xAAAAAAAAu);
        ASSERT_EQ(RadovlSim_RestoreBoards(saved), 1);
        asSaved(round == 0 ? "restored" : "restored after writing the restored board");
        EXPECT_EQ(RadovlSim_PeekMain(0, OtherPage), 0u);
        EXPECT_EQ(RadovlSim_PeekMain(1, Word + 4), 0u);
    }
    RadovlSim_Reset();
    EXPECT_EQ(RadovlSim_PeekMain(0, Word), 0u);
    ASSERT_EQ(RadovlSim_RestoreBoards(saved), 1);
    asSaved("restored after a reset");
    RadovlSim_FreeBoards(saved);
    EXPECT_EQ(RadovlSim_RestoreBoards(saved), 0);
    EXPECT_EQ(RadovlSim_RestoreBoards(0), 0);
}

TEST(SimulatorMonitors, NearestMonitorRule) {
    RadovlSim_Reset();
    RadovlSim_ClearMonitors();
    RadovlSim_AddMonitor(0, 0, 1280, 1024);
    RadovlSim_AddMonitor(1280, 0, 2560, 1024);
    struct Case {
        int32_t x, y;
        int32_t left, top;
    };
    const Case cases[] = {
        {1300, 20, 1280, 0},   // inside the second
        {1279, 1023, 0, 0},    // last pixel of the first
        {1280, 0, 1280, 0},    // first pixel of the second
        {3000, 500, 1280, 0},  // beyond the right edge: nearest is the second
        {-5, 500, 0, 0},       // left of everything: the first
        {1280, -1, 1280, 0},   // above the second's first column
        {1279, -1, 0, 0},      // above the first's last column
    };
    for (const Case& c : cases) {
        const platform::Rect m = platform::MonitorOfPoint(c.x, c.y);
        EXPECT_EQ(m.left, c.left) << c.x << "," << c.y;
        EXPECT_EQ(m.top, c.top) << c.x << "," << c.y;
    }
    // Equal distance: the earlier monitor.
    RadovlSim_ClearMonitors();
    RadovlSim_AddMonitor(0, 0, 100, 100);
    RadovlSim_AddMonitor(201, 0, 300, 100);
    EXPECT_EQ(platform::MonitorOfPoint(149, 50).left, 0);
    EXPECT_EQ(platform::MonitorOfPoint(150, 50).left, 0);  // 51 from both
    EXPECT_EQ(platform::MonitorOfPoint(151, 50).left, 201);
    // No monitor: relative to the origin, as primary.
    RadovlSim_ClearMonitors();
    EXPECT_EQ(platform::MonitorOfPoint(500, 500).left, 0);
    RadovlSim_Reset();
}

}  // namespace
}  // namespace radovl::test
