// KT_RDSP_Init on the normal and the fallback path, its failures, the
// register state it leaves, and its capture.
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

#include "board/capture.h"
#include "board/selection.h"
#include "support/board_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

using StartUpTest = BoardTest;

int32_t InitQuietly(std::string* printed = nullptr) {
    int32_t status = 0;
    const std::string out = CaptureStdout([&] { status = KT_RDSP_Init(); });
    if (printed != nullptr) *printed = out;
    return status;
}

size_t Count(const std::vector<RadovlSimRequest>& trace, uint32_t code, int32_t board) {
    size_t n = 0;
    for (const RadovlSimRequest& r : trace) n += r.code == code && r.board == board;
    return n;
}

TEST_F(StartUpTest, NormalPathKeepsTheScratchValueAndUsesBoard0) {
    WriteDisplayPrograms();
    RadovlSim_PokeMain(0, 0xB0203008, 0x0000ABCD);
    std::string printed;
    ASSERT_EQ(InitQuietly(&printed), 1);
    EXPECT_EQ(printed, "The file " + NativePath("./out/idbout/testcmp.out") + " was opened\n"
                       "The file " + NativePath("./out/idbout/testcmp.out") + " was opened\n");
    const auto trace = Trace();
    EXPECT_EQ(Count(trace, 0xC35020C3, 0), 1u);  // one bring-up
    EXPECT_EQ(Count(trace, 0xC35020C3, 1), 0u);
    EXPECT_EQ(RadovlSim_SleptMs(), 0u);         // no fallback programs
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203008), 0x0000ABCDu);
    const auto scratch = Matching(Accesses(trace), "0xB0203008");
    EXPECT_EQ(scratch, (std::vector<std::string>{"R32 0xB0203008 -> 0x0000ABCD", "W32 0xB0203008 = 0x00001234",
                                                  "R32 0xB0203008 -> 0x00001234", "W32 0xB0203008 = 0x0000ABCD"}));
}

TEST_F(StartUpTest, EndsWithTheInitialRegisterWritesInOrder) {
    WriteDisplayPrograms();
    ASSERT_EQ(InitQuietly(), 1);
    const auto accesses = Accesses();
    const std::vector<std::string> tail = {
        "V0 W 0xB0080004 = 0x00000000",
        "V1 W 0xB0080004 = 0x00000000",
        "V0 W 0xB0080000 = 0x00000003",  // TV mode 11, channel 1
        "V1 W 0xB0080000 = 0x00000003",
        "V0 R 0xB0080000 -> 0x00000003",  // RD P2p on, channel 1
        "V0 W 0xB0080000 = 0x0000014B",
        "V0 R 0xB0080100 -> 0x00000000", "V0 W 0xB0080100 = 0x00000001",
        "V0 R 0xB0080200 -> 0x00000000", "V0 W 0xB0080200 = 0x00000001",
        "V0 R 0xB0080300 -> 0x00000000", "V0 W 0xB0080300 = 0x00000001",
        "V0 R 0xB0080400 -> 0x00000000", "V0 W 0xB0080400 = 0x00000001",
        "V1 R 0xB0080000 -> 0x00000003",
        "V1 W 0xB0080000 = 0x0000014B",
        "V1 R 0xB0080100 -> 0x00000000", "V1 W 0xB0080100 = 0x00000001",
        "V1 R 0xB0080200 -> 0x00000000", "V1 W 0xB0080200 = 0x00000001",
        "V1 R 0xB0080300 -> 0x00000000", "V1 W 0xB0080300 = 0x00000001",
        "V1 R 0xB0080400 -> 0x00000000", "V1 W 0xB0080400 = 0x00000001",
        "R32 0xB0203020 -> 0x00000000", "W32 0xB0203020 = 0x02000000",  // A/R colour green, channel 1 only
        "R32 0xB0203010 -> 0x00000000", "W32 0xB0203010 = 0x00FF00FF",  // TV keys
        "R32 0xB0203014 -> 0x00000000", "W32 0xB0203014 = 0x00FF00FF",
        "R32 0xB0203020 -> 0x02000000", "W32 0xB0203020 = 0x02FF00FF",  // A/R keys
        "R32 0xB0203024 -> 0x00000000", "W32 0xB0203024 = 0x00FF00FF",
    };
    ASSERT_GE(accesses.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(accesses.end() - static_cast<long>(tail.size()), accesses.end()), tail);

    // What the board holds afterwards.
    EXPECT_EQ(RadovlSim_DspStarted(0, 1), 1);
    EXPECT_EQ(RadovlSim_DspStarted(0, 2), 1);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0x80000000), 0x80001000u);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0x80000000), 0x80001000u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203000), 0u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0300028), 0x80u);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, 0x00), 0x02);
    EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, 0x0C), 0x80);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(state.mini[i].scale, 1);
        EXPECT_EQ(state.mini[i].distance, 0);
        EXPECT_EQ(state.TvModeSave[i], 3);
    }
    EXPECT_EQ(state.DisMode, 1);
}

TEST_F(StartUpTest, ScreenBoundsAreTheLastColumnAndRow) {
    struct Case {
        int32_t left, top, right, bottom;
    };
    for (const Case& c : {Case{0, 0, 1280, 1024}, Case{-1280, 0, 1280, 1024}, Case{0, -200, 1920, 1080}}) {
        RadovlSim_Reset();
        RadovlSim_SetScreen(c.left, c.top, c.right, c.bottom);
        ASSERT_EQ(InitQuietly(), 1);
        EXPECT_EQ(state.screenLeft, c.left);
        EXPECT_EQ(state.screenTop, c.top);
        EXPECT_EQ(state.screenRight, c.right - 1);
        EXPECT_EQ(state.screenBottom, c.bottom - 1);
    }
}

// The capture of one call holds, request by request, what the driver saw:
// the record as sent (a window query's three words zero, a memory
// request's status word zero), the board, the answer, a read's value.
void ExpectCaptureOfTrace(const CapturedCall& captured, const std::vector<RadovlSimRequest>& trace) {
    ASSERT_EQ(captured.requests.size(), trace.size());
    for (size_t i = 0; i < trace.size(); ++i) {
        const RadovlCaptureRequest& c = captured.requests[i];
        const RadovlSimRequest& t = trace[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(c.board, t.board);
        EXPECT_EQ(c.code, t.code);
        EXPECT_EQ(c.status, t.status);
        EXPECT_EQ(c.answered != 0, t.status == 0);
        if (t.code == 0xC35020C3) {
            EXPECT_EQ(std::vector<uint32_t>(c.sent, c.sent + 7), std::vector<uint32_t>(7, 0));
            continue;
        }
        EXPECT_EQ(std::vector<uint32_t>(c.sent, c.sent + 6),
                  (std::vector<uint32_t>{0, t.function, t.space, t.offset, 0, t.count}));
        const bool read = (t.function & 3) == 0;
        EXPECT_EQ(c.value, read ? t.value : 0) << Hex(t.offset);
        if (!read) {
            EXPECT_EQ(c.sent[6], t.data);
        }
    }
}

TEST_F(StartUpTest, FailingScratchRegisterFallsBackToBoard1) {
    WriteDisplayPrograms();
    RadovlSim_SetScratchFault(0, 1);
    RadovlSim_PokeMain(0, 0xB0203008, 0x00000077);
    // Window queries answered as a real driver answers them.
    RadovlSim_SetWindowQueryAnswer(0, 0xE1000000, 0x00400000);
    RadovlSim_SetWindowQueryAnswer(1, 0xE2000000, 0x00800000);
    const std::string file = Dir() + "/startup.cap";
    ASSERT_TRUE(capture::Start(file.c_str()));
    ASSERT_EQ(InitQuietly(), 1);
    capture::Stop();
    const auto trace = Trace();
    const auto captured = ReadCapture(file);
    ASSERT_EQ(captured.size(), 1u);
    EXPECT_STREQ(captured[0].call.name, "KT_RDSP_Init");
    EXPECT_EQ(captured[0].call.argCount, 0);
    EXPECT_EQ(captured[0].end.status, 1);
    ExpectCaptureOfTrace(captured[0], trace);
    std::vector<std::vector<uint32_t>> queries;
    for (const RadovlCaptureRequest& c : captured[0].requests) {
        if (c.code == 0xC35020C3) queries.push_back({c.board, c.value, c.extra});
    }
    EXPECT_EQ(queries, (std::vector<std::vector<uint32_t>>{{0, 0xE1000000, 0x00400000}, {1, 0xE2000000, 0x00800000}}));
    // What start-up read besides the board, each file once.
    std::vector<std::string> reads;
    for (const std::string& r : captured[0].reads) {
        reads.push_back(r.size() == 28 ? "rect" : r.substr(r.find_last_of("/\\") + 1));
    }
    EXPECT_EQ(reads, (std::vector<std::string>{"clktest_b.out", "clktest_c.out", "NicTest.out", "testcmp.out", "rect",
                                               "dismodeconfig.inf"}));
    EXPECT_EQ(CurrentBoard()->windowAddress, 0xE2000000u);
    EXPECT_EQ(CurrentBoard()->windowExtra, 0x00800000u);
    // The old value, as the faulty register showed it, is written back.
    EXPECT_EQ(Matching(Accesses(trace), "0xB0203008"),
              (std::vector<std::string>{"R32 0xB0203008 -> 0x00010077", "W32 0xB0203008 = 0x00001234",
                                        "R32 0xB0203008 -> 0x00011234", "W32 0xB0203008 = 0x00010077"}));
    EXPECT_EQ(RadovlSim_SleptMs(), 300u);
    EXPECT_EQ(Count(trace, 0xC35020C3, 1), 1u);
    EXPECT_EQ(RadovlSim_DspStarted(0, 0), 1);  // fallback program interrupted on board 0
    // After board 1's window query, every request goes to board 1.
    size_t query = 0;
    while (!(trace[query].code == 0xC35020C3 && trace[query].board == 1)) ++query;
    for (size_t i = query; i < trace.size(); ++i) ASSERT_EQ(trace[i].board, 1) << i;
    // Board 1 got the display programs and the start-up state; board 0's
    // connection was never closed.
    EXPECT_EQ(RadovlSim_PeekVideo(1, 0, 0x80000000), 0x80001000u);
    EXPECT_EQ(RadovlSim_PeekMain(1, 0xB0203010), 0x00FF00FFu);
    EXPECT_EQ(RadovlSim_OpenHandles(), 4);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), 1);
    EXPECT_EQ(RadovlSim_PeekMain(1, 0xB0203018), 0x02000000u);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203018), 0u);
}

#if !defined(_WIN32)
// A capture whose reader goes away (a pipe, a full disk) stops at the end
// of the call whose records cannot be handed over, says how many calls
// reached the file, and the console goes on; each call before it was
// handed over whole by the time it returned.
TEST_F(StartUpTest, CaptureWhoseReaderStopsEndsAfterTheLastWholeCall) {
    StartUp();
    // An earlier capture of the process: the count is this capture's own.
    const std::string earlier = Dir() + "/earlier.cap";
    ASSERT_TRUE(capture::Start(earlier.c_str()));
    ASSERT_EQ(KT_RDSP_SetTVBright(1, 10), 1);
    capture::Stop();

    const std::string pipe = Dir() + "/reader.cap";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(capture::Start(pipe.c_str()));
    ASSERT_EQ(KT_RDSP_SetTVBright(1, 20), 1);
    char bytes[4096];
    const ssize_t got = read(reader, bytes, sizeof bytes);
    ASSERT_GT(got, 32 + 64 + 16);
    EXPECT_EQ(std::string(bytes, 8), "RADOVCAP");
    EXPECT_EQ(bytes[got - 16], 3);  // the call's return record came last
    close(reader);

    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::string printed = CaptureStdout([] { EXPECT_EQ(KT_RDSP_SetTVBright(1, 30), 1); });
    EXPECT_EQ(printed, "radovl: capture to " + pipe + " stopped: writing failed: Broken pipe (1 calls recorded)\n");
    printed = CaptureStdout([] { EXPECT_EQ(KT_RDSP_SetTVBright(1, 40), 1); });
    EXPECT_EQ(printed, "");
    EXPECT_FALSE(capture::recording);
    std::signal(SIGPIPE, previous);
}
#endif

TEST_F(StartUpTest, FallbackWithoutBoard1Fails) {
    RadovlSim_SetScratchFault(0, 1);
    RadovlSim_SetBoardPresent(1, 0);
    std::string printed;
    EXPECT_EQ(InitQuietly(&printed), -1);
    EXPECT_NE(printed.find("Error : board initialization failed : 0xA1020001 : Can't communicate with\n"
                           "the driver for board #1\n"),
              std::string::npos);
    EXPECT_EQ(state.initialised, 0);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
}

TEST_F(StartUpTest, AbsentBoardFailsAndEverythingStaysGated) {
    RadovlSim_SetBoardPresent(0, 0);
    std::string printed;
    EXPECT_EQ(InitQuietly(&printed), -1);
    EXPECT_EQ(printed, "Error : board initialization failed : 0xA1020000 : Can't communicate with\n"
                       "the driver for board #0\n");
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
    EXPECT_EQ(SetTVP2pMode(1, 1), -2);
    EXPECT_EQ(RadovlSim_OpenHandles(), 0);
}

TEST_F(StartUpTest, RepeatedStartUpOpensAgainWithoutClosing) {
    ASSERT_EQ(InitQuietly(), 1);
    RadovlSim_TraceClear();
    ASSERT_EQ(InitQuietly(), 1);
    EXPECT_EQ(Count(Trace(), 0xC35020C3, 0), 1u);
    EXPECT_EQ(RadovlSim_OpenHandles(), 4);  // two connections to board 0
    EXPECT_EQ(state.initialised, 1);
}

TEST_F(StartUpTest, RepeatedStartUpThatCannotOpenLeavesOperationsRefused) {
    // The board gone, or its mutex refused (the open fails before it has a
    // connection to clear).
    for (const auto fail : {+[] { RadovlSim_SetBoardPresent(0, 0); }, +[] { RadovlSim_SetMutexFault(2); }}) {
        RadovlSim_Reset();
        ASSERT_EQ(InitQuietly(), 1);
        fail();
        EXPECT_EQ(InitQuietly(), -1);
        EXPECT_EQ(state.initialised, 1);
        EXPECT_EQ(CurrentBoard(), nullptr);
        RadovlSim_TraceClear();
        EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), -2);
        EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(1), -2);
        EXPECT_EQ(SetTVP2pMode(1, 1), -2);
        EXPECT_EQ(SetRDP2pMode(1, 1), -2);
        EXPECT_EQ(KT_RDSP_SetScreenProp(1, 0), 1);
        EXPECT_EQ(KT_RDSP_SetScreenProp(0, 1), -1);
        EXPECT_EQ(RadovlSim_TraceCount(), 0);
    }
}

TEST_F(StartUpTest, DisplayModeFileIsReadLast) {
    WriteDisplayModeFile("DisMode=0\n");
    ASSERT_EQ(InitQuietly(), 1);
    EXPECT_EQ(state.DisMode, 0);
    std::remove(DisplayModeFile().c_str());
    ASSERT_EQ(InitQuietly(), 1);
    EXPECT_EQ(state.DisMode, 1);
}

}  // namespace
}  // namespace radovl::test
