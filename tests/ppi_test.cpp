// The PPI window: placement in its three modes, distance scale, centre,
// heading, colour tables, flags, switch and on-top.
#include <cmath>
#include <limits>

#include "support/window_test.h"

namespace radovl::test {
namespace {

using PpiTest = WindowTest;

TEST_F(PpiTest, OpenCentredWindowExactTraffic) {
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "V0 W 0xB0080108 = 0x012C0190",   // size
                              "V0 R 0xB0080100 -> 0x00000001",  // placement mode: centred
                              "V0 W 0xB0080118 = 0x00C8013C",   // sweep centre (200, 316)
                              "V0 R 0xB0080124 -> 0x00000000",
                              "V0 W 0xB0080124 = 0x00000096",   // range 150
                              "V0 R 0xB0080120 -> 0x00000000",
                              "V0 W 0xB0080120 = 0x00003500",   // step byte 53
                              "W32 0xB0201008 = 0x0032009E",    // start (50, 158)
                              "V0 W 0xB0080104 = 0x00320074",   // DSP start (50, 116)
                              "W32 0xB020100C = 0x015D022D",    // end (349, 557)
                              "R32 0xB0203018 -> 0x00000000",   // output select for (300, 200)
                              "W32 0xB0203018 = 0x00000000",
                              "V0 R 0xB0080120 -> 0x00003500",  // distance scale 0
                              "V0 W 0xB0080120 = 0x00003500",
                              "V0 R 0xB0080114 -> 0x00000000",
                              "V0 W 0xB0080114 = 0x00000000",
                              "R32 0xB0203000 -> 0x00000000",   // shown on channel 1
                              "W32 0xB0203000 = 0x00000100",
                              "V0 W 0xB0080000 = 0x0000214B",   // ChannelControl bit 13
                              "V0 W 0xB0080000 = 0x0000215B",   // then bit 4 set, bit 5 cleared
                          }));
}

TEST_F(PpiTest, OpenOnChannel2UsesItsOwnRegisters) {
    SetVideo(2, 0xB0080000, 0x0000FFFF);
    ASSERT_EQ(KT_RDSP_OpenPPI(2, 100, 50, 400, 300), 1);
    EXPECT_EQ(Main(0xB0201108), 0x0032009Eu);
    EXPECT_EQ(Main(0xB020110C), 0x015D022Du);
    EXPECT_EQ(Video(2, 0xB0080108), 0x012C0190u);
    EXPECT_EQ(Video(1, 0xB0080108), 0u);
    EXPECT_EQ(Main(0xB0203000), 0x00000200u);
    // Written from the shadow (0x014B after start-up): bit 13 and 4 set, bit 5 clear.
    EXPECT_EQ(Video(2, 0xB0080000), 0x0000215Bu);
}

TEST_F(PpiTest, PlacementModes) {
    struct Case {
        int16_t mode;
        uint32_t centre;
        uint32_t range;
        uint32_t step;
        uint32_t scale;  // distance 100 x 500 / range
    };
    const Case cases[] = {
        {1, (200u << 16) | 316, 150, 53, 333},
        {0, (350u << 16) | 116, 300, 19, 166},
        {2, (350u << 16) | 116, 400, 26, 125},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
        ASSERT_EQ(KT_RDSP_SetPPIDist(1, 100), 1);
        ASSERT_EQ(KT_RDSP_SetPPIMode(1, c.mode), 1);
        ASSERT_EQ(KT_RDSP_SetPPIXY(1, 100, 50), 1);
        EXPECT_EQ(Video(1, 0xB0080118), c.centre) << c.mode;
        EXPECT_EQ(Video(1, 0xB0080124) & 0x7FF, c.range) << c.mode;
        EXPECT_EQ((Video(1, 0xB0080120) >> 8) & 0xFF, c.step) << c.mode;
        EXPECT_EQ(Video(1, 0xB0080120) >> 16, c.scale) << c.mode;
        EXPECT_EQ(Video(1, 0xB0080114) >> 28, 0u) << c.mode;
    }
}

TEST_F(PpiTest, NoPlacementModeLeavesCentreAndRange) {
    SetVideo(1, 0xB0080100, 0x31);
    SetVideo(1, 0xB0080118, 0x12345678);
    SetVideo(1, 0xB0080124, 0xABCD0123);
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    EXPECT_EQ(Video(1, 0xB0080118), 0x12345678u);
    EXPECT_EQ(Video(1, 0xB0080124), 0xABCD0123u);
    ASSERT_EQ(KT_RDSP_SetPPIDist(1, 3), 1);  // range 0x123: 3 x 500 / 291 = 5
    ASSERT_EQ(KT_RDSP_SetPPIXY(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB0080120) >> 16, 1500u);  // the range taken as 1
}

TEST_F(PpiTest, StepByteByExtent) {
    const std::pair<int16_t, uint32_t> cases[] = {{1, 255}, {31, 255}, {32, 251}, {100, 80}, {150, 53},
                                                   {300, 26}, {400, 19}, {600, 12}, {1200, 5}};
    for (const auto& [extent, step] : cases) {
        // A corner placement with the range from the height takes the width as extent.
        ASSERT_EQ(KT_RDSP_SetPPIMode(1, 0), 1);
        ASSERT_EQ(KT_RDSP_OpenPPI(1, 0, 0, extent, 10), 1);
        EXPECT_EQ((Video(1, 0xB0080120) >> 8) & 0xFF, step) << extent;
    }
}

TEST_F(PpiTest, DistanceScaleIsSplitAcrossScaleAndGate) {
    SetVideo(1, 0xB0080124, 0xFFFF0001);  // range 1
    SetVideo(1, 0xB0080120, 0x000012AB);
    SetVideo(1, 0xB0080114, 0x0A5A5A5A);
    SetVideo(1, 0x80000000, 0x80004000);
    ASSERT_EQ(KT_RDSP_SetPPIDist(1, 32767), 1);
    // 32767 x 500 = 0xF9FE0C: 0xFE0C in PpiScale, 0x9 in PpiGate's top nibble.
    EXPECT_EQ(Video(1, 0xB0080120), 0xFE0C12ABu);
    EXPECT_EQ(Video(1, 0xB0080114), 0x9A5A5A5Au);
    EXPECT_EQ(Video(1, 0xB0080220), 0xFE0C12ABu);
    EXPECT_EQ(Video(1, 0xB0080214), 0x9A5A5A5Au);
    EXPECT_EQ(Video(1, 0x80004000), 32767u);
    EXPECT_EQ(Video(2, 0x80004000), 0u);
}

TEST_F(PpiTest, DistanceOnTheCentredWindow) {
    ASSERT_EQ(KT_RDSP_OpenPPI(2, 100, 50, 400, 300), 1);
    RadovlSim_TraceClear();
    ASSERT_EQ(KT_RDSP_SetPPIDist(2, 100), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "V1 R 0xB0080124 -> 0x00000096",
                              "V1 R 0x80000000 -> 0x80001000",
                              "V1 W 0x80001000 = 0x00000064",
                              "V1 R 0xB0080120 -> 0x00003500",
                              "V1 W 0xB0080120 = 0x014D3500",  // 333
                              "V1 W 0xB0080220 = 0x014D3500",
                              "V1 R 0xB0080114 -> 0x00000000",
                              "V1 W 0xB0080114 = 0x00000000",
                              "V1 W 0xB0080214 = 0x00000000",
                          }));
    // A later placement keeps using the stored distance.
    ASSERT_EQ(KT_RDSP_SetPPIWH(2, 200, 200), 1);
    EXPECT_EQ(Video(2, 0xB0080120) >> 16, 500u);
    for (int16_t bad : {0, -1, -32768}) {
        RadovlSim_TraceClear();
        EXPECT_EQ(KT_RDSP_SetPPIDist(2, bad), -1);
        NoTraffic("SetPPIDist");
    }
}

TEST_F(PpiTest, CentreOffset) {
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    ASSERT_EQ(KT_RDSP_SetPPICenter(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB0080118), (100u << 16) | 216);
    EXPECT_EQ(Video(1, 0xB0080124) & 0x7FF, 300u);
    EXPECT_EQ((Video(1, 0xB0080120) >> 8) & 0xFF, 26u);
    ASSERT_EQ(KT_RDSP_SetPPICenter(1, 0, 0), 1);
    EXPECT_EQ(Video(1, 0xB0080118), (50u << 16) | 116);
    EXPECT_EQ(Video(1, 0xB0080124) & 0x7FF, 400u);
    // The distance scale is not recomputed; the next placement drops the offset.
    ASSERT_EQ(KT_RDSP_SetPPIXY(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB0080118), (200u << 16) | 316);
    RadovlSim_TraceClear();
    for (auto [dx, dy] : {std::pair<int16_t, int16_t>{-1, 0}, {1201, 0}, {0, -1}, {0, 1201}}) {
        EXPECT_EQ(KT_RDSP_SetPPICenter(1, dx, dy), -1);
    }
    NoTraffic("SetPPICenter out of range");
    ASSERT_EQ(KT_RDSP_SetPPIMode(1, 2), 1);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetPPICenter(1, 10, 10), 1);
    EXPECT_EQ(Writes(), 0u);  // corner mode: only the mode is read
}

TEST_F(PpiTest, ShipHeading) {
    const std::pair<float, uint32_t> cases[] = {
        {90.0f, 1024}, {180.0f, 2048}, {450.25f, 1026}, {-90.5f, 3066}, {360.0f, 0}, {-360.0f, 0},
        {359.99f, 4095}, {-0.0001f, 4095}, {0.0f, 0}, {-0.000001f, 4096}, {720.5f, 5},
        {2147483392.0f, 2639}, {-2147483392.0f, 1456},
    };
    SetVideo(1, 0xB0080128, 0xABCD0000);
    for (const auto& [angle, units] : cases) {
        ASSERT_EQ(KT_RDSP_SetPPIShipDir(1, angle), 1) << angle;
        EXPECT_EQ(Video(1, 0xB0080128), 0xABCD0000u | units) << angle;
    }
    // Angles that do not convert to an integer are refused untouched.
    RadovlSim_TraceClear();
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity(), 2147483648.0f, -2147483648.0f, 1e30f}) {
        EXPECT_EQ(KT_RDSP_SetPPIShipDir(1, bad), -1) << bad;
    }
    NoTraffic("SetPPIShipDir");
}

TEST_F(PpiTest, ColourRamps) {
    ASSERT_EQ(KT_RDSP_SetPPIColor(1, 0xFF800000), 1);
    EXPECT_EQ(Trace().size(), 512u);
    EXPECT_EQ(Writes(), 256u);
    for (uint32_t i = 0; i < 256; ++i) {
        ASSERT_EQ(Main(0xB0301000 + 4 * i), (i << 16) | ((128 * i / 255) << 8)) << i;
    }
    EXPECT_EQ(Main(0xB0301000 + 4 * 255), 0x00FF8000u);
    ASSERT_EQ(KT_RDSP_SetPPIColor(2, 0xFF8000FF), 1);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(Main(0xB0302000 + 4 * i), Main(0xB0301000 + 4 * i)) << i;
    ASSERT_EQ(KT_RDSP_SetPPILineColor(1, 0x00FFFF00), 1);
    EXPECT_EQ(Main(0xB0301800 + 4 * 128), 0x00008080u);
    EXPECT_EQ(Main(0xB0301800 + 4 * 255), 0x0000FFFFu);
    ASSERT_EQ(KT_RDSP_SetPPILineColor(2, 0x12345678), 1);
    EXPECT_EQ(Main(0xB0302800), 0u);
    EXPECT_EQ(Main(0xB0302800 + 4 * 255), 0x00123456u);
}

TEST_F(PpiTest, ScanAndFreezeShareBit27) {
    SetVideo(1, 0xB0080004, 0x0000A0A0);  // flags bits 16-31 are this word's low half
    ASSERT_EQ(KT_RDSP_FrostPPI(1, 0), 1);
    ASSERT_EQ(KT_RDSP_SetPPIScan(1, 0), 1);
    EXPECT_EQ(Video(1, 0xB0080004), 0x0000A7A0u);  // bits 24-26 set, 27 clear
    ASSERT_EQ(KT_RDSP_SetPPIScan(1, 1), 1);
    EXPECT_EQ(Video(1, 0xB0080004), 0x0000AFA0u);
    ASSERT_EQ(KT_RDSP_FrostPPI(1, 1), 1);
    EXPECT_EQ(Video(1, 0xB0080004), 0x0000A0A0u);
    EXPECT_EQ(Video(1, 0xB0080000), 0x0000014Bu);  // ChannelControl untouched
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_FrostPPI(1, 2), -1);
    EXPECT_EQ(KT_RDSP_SetPPIScan(1, 2), -1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"V0 R 0xB0080002 -> 0xA0A00000", "V0 R 0xB0080002 -> 0xA0A00000"}));
}

TEST_F(PpiTest, GateAndTails) {
    SetVideo(1, 0xB0080114, 0xFFFFFFFF);
    EXPECT_EQ(KT_RDSP_SetPPIGate(1, 1), 1);
    EXPECT_EQ(Video(1, 0xB0080114), 0xFF01FFFFu);
    EXPECT_EQ(KT_RDSP_SetPPIGate(1, 8), 1);
    EXPECT_EQ(Video(1, 0xB0080114), 0xFF08FFFFu);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetPPIGate(1, 0), -1);
    EXPECT_EQ(KT_RDSP_SetPPIGate(1, 9), -1);
    EXPECT_EQ(KT_RDSP_SetPPITail(1, -1), -1);
    NoTraffic("gate and tail");
    SetVideo(1, 0xB008002C, 0x11112222);
    EXPECT_EQ(KT_RDSP_SetPPITail(1, 0x12345), 1);
    EXPECT_EQ(Video(1, 0xB008002C), 0x23452222u);
    EXPECT_EQ(KT_RDSP_SetPPILineTail(1, 0x12345), 1);
    EXPECT_EQ(Video(1, 0xB008002C), 0x23452345u);
    EXPECT_EQ(KT_RDSP_SetPPILineTail(1, 0xFFFFFFFF), 1);
    EXPECT_EQ(Video(1, 0xB008002C), 0x2345FFFFu);
}

TEST_F(PpiTest, ModeBits) {
    SetVideo(1, 0xB0080100, 0xFFFFFFCF);
    const std::pair<int16_t, uint32_t> cases[] = {{0, 0xFFFFFFDF}, {1, 0xFFFFFFCF}, {2, 0xFFFFFFEF}};
    for (const auto& [mode, word] : cases) {
        ASSERT_EQ(KT_RDSP_SetPPIMode(1, mode), 1);
        EXPECT_EQ(Video(1, 0xB0080100), word) << mode;
    }
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetPPIMode(1, 3), -1);
    EXPECT_EQ(KT_RDSP_SetPPIMode(1, -1), -1);
    NoTraffic("SetPPIMode");
}

TEST_F(PpiTest, OpenChecksBoundsAndSizes) {
    EXPECT_EQ(KT_RDSP_OpenPPI(1, 0, 0, 1200, 1), 1);
    EXPECT_EQ(KT_RDSP_OpenPPI(1, 1279, 1023, 10, 10), 1);
    RadovlSim_TraceClear();
    const int16_t bad[][4] = {{0, 0, 0, 10},   {0, 0, 1201, 10}, {0, 0, 10, 0},  {0, 0, 10, 1201},
                              {1280, 0, 10, 10}, {0, 1024, 10, 10}, {-1, 0, 10, 10}, {0, -1, 10, 10}};
    for (const auto& b : bad) EXPECT_EQ(KT_RDSP_OpenPPI(1, b[0], b[1], b[2], b[3]), -1);
    EXPECT_EQ(KT_RDSP_SetPPIXY(1, 1280, 0), -1);
    EXPECT_EQ(KT_RDSP_SetPPIWH(1, 0, 10), -1);
    NoTraffic("refused opens");
}

TEST_F(PpiTest, CloseClearsOnlyTheEnableBits) {
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    ASSERT_EQ(KT_RDSP_OpenPPI(2, 100, 50, 400, 300), 1);
    RadovlSim_TraceClear();
    ASSERT_EQ(KT_RDSP_ClosePPI(1), 1);
    EXPECT_EQ(Main(0xB0203000), 0x00000200u);
    EXPECT_EQ(Video(1, 0xB0080000), 0x0000015Bu);
    EXPECT_EQ(Accesses().size(), 3u);
    EXPECT_EQ(Main(0xB0201008), 0x0032009Eu);  // geometry stays
}

TEST_F(PpiTest, SwitchReopensWithStoredGeometry) {
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetPPISwitch(1, 1), -1);  // never opened: the stored width is 0
    NoTraffic("switch before open");
    EXPECT_EQ(KT_RDSP_SetPPISwitch(1, 2), -1);
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    ASSERT_EQ(KT_RDSP_SetPPISwitch(1, 0), 1);
    EXPECT_EQ(Main(0xB0203000) & 0x100, 0u);
    SetMain(0xB0201008, 0);
    ASSERT_EQ(KT_RDSP_SetPPISwitch(1, 1), 1);
    EXPECT_EQ(Main(0xB0203000) & 0x100, 0x100u);
    EXPECT_EQ(Main(0xB0201008), 0x0032009Eu);
}

TEST_F(PpiTest, OnTop) {
    SetMain(0xB0203000, 0x00000000);
    ASSERT_EQ(KT_RDSP_SetPPIOnTop(1, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0x01000000u);
    EXPECT_EQ(Main(0xB0203018), 0x04000000u);
    ASSERT_EQ(KT_RDSP_SetPPIOnTop(2, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0x00000000u);
    EXPECT_EQ(Main(0xB020301C), 0x04000000u);
    EXPECT_EQ(Main(0xB0203018), 0x04000000u);  // never cleared
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetPPIOnTop(1, 0), 1);
    EXPECT_EQ(KT_RDSP_SetPPIOnTop(1, 2), -1);
    NoTraffic("SetPPIOnTop 0 and 2");
}

TEST_F(PpiTest, PlacingBeforeOpenUsesTheZeroRecord) {
    ASSERT_EQ(KT_RDSP_SetPPIXY(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB0080108), 0u);
    EXPECT_EQ(Video(1, 0xB0080118), (50u << 16) | 116);
    EXPECT_EQ(Video(1, 0xB0080124) & 0x7FF, 0u);
    EXPECT_EQ((Video(1, 0xB0080120) >> 8) & 0xFF, 255u);
    EXPECT_EQ(Main(0xB0201008), (50u << 16) | 158);
    EXPECT_EQ(Main(0xB020100C), (49u << 16) | 157);
    EXPECT_EQ(Main(0xB0203000) & 0x100, 0u);  // not shown
}

TEST_F(PpiTest, WindowOnTheSecondMonitor) {
    RadovlSim_ClearMonitors();
    RadovlSim_AddMonitor(0, 0, 1280, 1024);
    RadovlSim_AddMonitor(1280, 0, 2560, 1024);
    RadovlSim_SetScreen(0, 0, 2560, 1024);
    StartUp();
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 1300, 20, 400, 300), 1);
    EXPECT_EQ(Main(0xB0201008), (20u << 16) | (20 + 58));
    EXPECT_EQ(Video(1, 0xB0080118), ((20u + 150) << 16) | (20 + 200 + 16));
    EXPECT_EQ(Main(0xB0203018) & 0x10000000, 0x10000000u);  // DisMode 1, secondary
}

}  // namespace
}  // namespace radovl::test
