// A console calls the library from several threads: a UI thread moving a
// window on one channel while a sensor thread pushes the ship's heading on
// the other, and a test host looking at the board meanwhile. Whatever the
// interleaving, the board must end as a serial run of the same calls
// leaves it.
#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "board/capture.h"
#include "board/selection.h"
#include "hw/driver.h"
#include "sim/simulator.h"
#include "support/window_test.h"

namespace radovl::test {
namespace {

constexpr int Iterations = 1500;

// Each worker's calls, in its own order; the two share mixer registers but
// no bits of them.
void HeadingAndRange(int i) {
    ASSERT_EQ(KT_RDSP_SetPPIShipDir(1, static_cast<float>(i) * 7.5f), 1);
    ASSERT_EQ(KT_RDSP_SetPPIDist(1, static_cast<int16_t>(50 + i % 100)), 1);
    ASSERT_EQ(KT_RDSP_SetPPIXY(1, 100 + i % 64, 50 + i % 32), 1);
}

void ScopeAndCamera(int i) {
    ASSERT_EQ(KT_RDSP_SetArXY(2, 300 + i % 80, 400 + i % 40), 1);
    ASSERT_EQ(KT_RDSP_SetArGate(2, static_cast<int8_t>(i % 8)), 1);
    ASSERT_EQ(KT_RDSP_SetTVBright(2, i % 256), 1);
}

using Work = void (*)(int);
constexpr Work Workers[] = {HeadingAndRange, ScopeAndCamera};

void OpenWindows() {
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    ASSERT_EQ(KT_RDSP_OpenAr(2, 300, 400, 200, 100), 1);
    ASSERT_EQ(KT_RDSP_OpenTV(2, 600, 400, 360, 288), 1);
}

// Board 0 as a whole: main and video DSP memory, the PCI interface's
// status and control, and the decoders' registers.
struct Board {
    std::map<uint32_t, uint32_t> memory[3];  // main DSP, video DSPs 0 and 1
    std::vector<uint8_t> registers;           // PCI interface, then decoders

    static Board Now() {
        const sim::Locked hold;
        const sim::BoardState& b = sim::State().boards[0];
        Board board;
        board.memory[0] = b.main.Words();
        for (int d = 0; d < 2; ++d) board.memory[d + 1] = b.video[d].Words();
        // Not the page register (bytes 8-11): it holds the page of whichever
        // call came last, and which that is, is the host's business.
        board.registers.assign(b.pci, b.pci + 8);
        for (const auto& decoder : b.decoder) board.registers.insert(board.registers.end(), decoder, decoder + 256);
        return board;
    }
};

void ExpectSameBoard(const Board& actual, const Board& expected) {
    for (int space = 0; space < 3; ++space) {
        for (const auto& [address, word] : expected.memory[space]) {
            const auto it = actual.memory[space].find(address);
            EXPECT_EQ(it == actual.memory[space].end() ? 0 : it->second, word) << space << " " << Hex(address);
        }
        for (const auto& [address, word] : actual.memory[space]) {
            if (expected.memory[space].count(address) == 0) ADD_FAILURE() << space << " " << Hex(address) << " = " << Hex(word);
        }
    }
    EXPECT_EQ(actual.registers, expected.registers);
}

class ThreadsTest : public WindowTest {};

TEST_F(ThreadsTest, ConcurrentExportsEndAsASerialRun) {
    OpenWindows();
    for (Work work : Workers) {
        for (int i = 0; i < Iterations; ++i) work(i);
    }
    const Board serial = Board::Now();

    // The same calls from one thread per worker, with a test host peeking
    // at the board and reading the trace meanwhile.
    RadovlSim_Reset();
    RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
    StartUp();
    OpenWindows();
    std::atomic<int> running{static_cast<int>(std::size(Workers))};
    std::vector<std::thread> threads;
    for (Work work : Workers) {
        threads.emplace_back([work, &running] {
            for (int i = 0; i < Iterations; ++i) work(i);
            --running;
        });
    }
    threads.emplace_back([&running] {
        RadovlSimRequest r{};
        while (running > 0) {
            RadovlSim_PeekMain(0, 0xB0203000);
            RadovlSim_PeekVideo(0, 0, 0xB0080000);
            RadovlSim_TraceGet(RadovlSim_TraceCount() - 1, &r);
        }
    });
    for (std::thread& t : threads) t.join();
    ExpectSameBoard(Board::Now(), serial);
}

// What other threads do while an export runs: a request straight to the
// simulated driver, a reset and another export. Each waits until the
// running export has returned, so none sees it half done, and the capture
// holds the calls one after the other. The export's first request lets the
// others go, then looks, a while later, for any sign of them.
struct OtherThreads {
    std::thread::id exporter;
    std::vector<std::thread> threads;
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    bool sawAnother = false;

    template <typename Work>
    void Start(Work work) {
        threads.emplace_back([this, work] {
            ++started;
            work();
            ++finished;
        });
    }

    static void RADOVL_CALL FirstRequest(const RadovlSimRequest*, void* context) {
        auto* self = static_cast<OtherThreads*>(context);
        if (std::this_thread::get_id() != self->exporter || !self->threads.empty()) return;
        self->Start([] {
            uint32_t record[7] = {0, 9, 1, 0x7000, 0, 1, 0x5A5A5A5A};
            RadovlSim_SendRequest(0, 0xC3502047, record, sizeof record, nullptr);
        });
        self->Start([] { RadovlSim_Reset(); });
        self->Start([] { KT_RDSP_SetTVBright(2, 77); });
        while (self->started < 3) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        self->sawAnother = self->finished > 0 || CurrentBoard() == nullptr;
    }
};

TEST_F(ThreadsTest, OtherThreadsWaitForARunningExport) {
    const std::string file = Dir() + "/threads.cap";
    ASSERT_TRUE(capture::Start(file.c_str()));
    OtherThreads others;
    others.exporter = std::this_thread::get_id();
    RadovlSim_SetRequestObserver(&OtherThreads::FirstRequest, &others);
    EXPECT_EQ(KT_RDSP_SetTVBright(1, 200), 1);
    for (std::thread& t : others.threads) t.join();
    capture::Stop();
    EXPECT_FALSE(others.sawAnother);
    ASSERT_EQ(others.threads.size(), 3u);
    const std::vector<CapturedCall> calls = ReadCapture(file);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_STREQ(calls[0].call.name, "KT_RDSP_SetTVBright");
    EXPECT_EQ(std::vector<uint32_t>(calls[0].call.args, calls[0].call.args + 2), (std::vector<uint32_t>{1, 200}));
    EXPECT_EQ(calls[1].call.args[1], 77u);
}

// The simulated board on its own, as a test driver serves it to several
// connections: requests straight to the driver from two threads, each on
// its own device handle, while a third reads the trace and the board.
TEST_F(ThreadsTest, SimulatedDriverServesConnectionsFromManyThreads) {
    constexpr uint32_t Words = 4000;
    ASSERT_EQ(RadovlSim_SetTraceCapacity(1000), 1);
    RadovlSim_TraceClear();
    std::atomic<int> running{2};
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < 2; ++t) {
        threads.emplace_back([t, &running] {
            const sim::Handle device = sim::OpenDevice("\\\\.\\RarU64Ruz0");
            for (uint32_t i = 0; i < Words; ++i) {
                // Function 9 (32-bit write) in space 1, the register window
                // at 0x01800000, which needs no page selection.
                MemoryRequest request{0, 9, 1, 0x8000 * t + 4 * i, 0, 1, i + 1};
                sim::DeviceIoControl(device, 0xC3502047, &request, sizeof request, nullptr);
            }
            sim::CloseHandle(device);
            --running;
        });
    }
    threads.emplace_back([&running] {
        RadovlSimRequest r{};
        while (running > 0) {
            RadovlSim_TraceGet(RadovlSim_TraceCount() - 1, &r);
            RadovlSim_PeekMain(0, 0x01800000);
        }
    });
    for (std::thread& t : threads) t.join();
    for (uint32_t t = 0; t < 2; ++t) {
        for (uint32_t i = 0; i < Words; i += 997) {
            EXPECT_EQ(RadovlSim_PeekMain(0, 0x01800000 + 0x8000 * t + 4 * i), i + 1) << t << " " << i;
        }
    }
    EXPECT_EQ(RadovlSim_RequestCount(), 2 * Words);
    EXPECT_EQ(RadovlSim_TraceCount(), 1000);
    EXPECT_EQ(RadovlSim_TraceDropped(), 2 * Words - 1000);
}

}  // namespace
}  // namespace radovl::test
