// Fixture for the window operations: a board brought up by KT_RDSP_Init,
// the trace cleared, and short names for looking at its registers.
#pragma once

#include "support/board_test.h"

namespace radovl::test {

class WindowTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        StartUp();
    }

    // Main DSP word and video DSP word of a channel (1 or 2).
    static uint32_t Main(uint32_t address) { return RadovlSim_PeekMain(0, address); }
    static uint32_t Video(int channel, uint32_t address) { return RadovlSim_PeekVideo(0, channel - 1, address); }
    static void SetMain(uint32_t address, uint32_t value) { RadovlSim_PokeMain(0, address, value); }
    static void SetVideo(int channel, uint32_t address, uint32_t value) {
        RadovlSim_PokeVideo(0, channel - 1, address, value);
    }
    // Address of a per-channel register given channel 1's and channel 2's.
    static uint32_t For(int channel, uint32_t channel1, uint32_t channel2) {
        return channel == 1 ? channel1 : channel2;
    }
    static void NoTraffic(const char* what) {
        EXPECT_EQ(RadovlSim_TraceCount(), 0) << what;
        RadovlSim_TraceClear();
    }
    // Accesses that change the board: main DSP and PCI writes, set-bits
    // and clear-bits, and video DSP writes (a video read's bridge set-up is
    // part of the read).
    static size_t Writes() {
        size_t n = 0;
        for (const std::string& a : Accesses()) {
            const std::string op = a.rfind("PCI ", 0) == 0 ? a.substr(4, 1)
                                   : a[0] == 'V'          ? a.substr(3, 1)
                                                          : a.substr(0, 1);
            n += op == "W" || op == "S" || op == "C";
        }
        return n;
    }
};

}  // namespace radovl::test
