// The Mini window: corner and centred aiming, the distance read back from
// the PPI's registers, zoom, placement and output select.
#include <functional>
#include <limits>

#include "support/window_test.h"

namespace radovl::test {
namespace {

class MiniTest : public WindowTest {
protected:
    // The PPI's distance scale as the Mini window reads it back.
    static void SetPpiDistanceScale(int channel, uint32_t scaleWord, uint32_t gateWord) {
        SetVideo(channel, 0xB0080120, scaleWord);
        SetVideo(channel, 0xB0080114, gateWord);
    }
};

TEST_F(MiniTest, CornerAim) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    SetPpiDistanceScale(1, 100u << 16, 0);
    SetVideo(1, 0xB0080224, 0x00001000);
    RadovlSim_TraceClear();
    ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 45.0f), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "V0 R 0xB0080200 -> 0x00000011",
                              "V0 R 0xB0080120 -> 0x00640000",
                              "V0 R 0xB0080114 -> 0x00000000",
                              "V0 W 0xB008020C = 0x04000032",  // 45 degrees = 1024/8192, offset 50
                              "V0 W 0xB008021C = 0x00000032",
                              "V0 R 0xB0080224 -> 0x00001000",
                              "V0 W 0xB0080224 = 0x00001032",  // the range grows by the offset
                          }));
    ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 45.0f), 1);
    EXPECT_EQ(Video(1, 0xB0080224), 0x00001064u);
}

TEST_F(MiniTest, CornerDirections) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(2, 0), 1);
    SetPpiDistanceScale(2, 100u << 16, 0);
    const std::pair<float, uint32_t> cases[] = {
        {-0.25f, 8186}, {360.0f, 0}, {725.25f, 119}, {-90.5f, 6132}, {90.0f, 2048}, {-0.000001f, 8192},
    };
    for (const auto& [direction, units] : cases) {
        ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(2, 0, direction), 1);
        EXPECT_EQ(Video(2, 0xB008020C), units << 16) << direction;
    }
}

TEST_F(MiniTest, CentredAim) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 1), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinScale(1, 2), 1);
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 100, 50, 200, 100), 1);
    SetPpiDistanceScale(1, 100u << 16, 0);
    SetVideo(1, 0xB008020C, 0xFFFFFFFF);
    SetVideo(1, 0xB008021C, 0xFFFFFFFF);
    ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 30.0f), 1);
    EXPECT_EQ(Video(1, 0xB0080218), 0x00BA00A6u);  // row 186, column 150 + 16
    EXPECT_EQ(Video(1, 0xB0080224), 0x04B004B0u);
    EXPECT_EQ(Video(1, 0xB008020C), 0u);
    EXPECT_EQ(Video(1, 0xB008021C), 0u);
    const auto writes = Matching(Accesses(), " W ");
    EXPECT_EQ(std::vector<std::string>(writes.end() - 4, writes.end()),
              (std::vector<std::string>{"V0 W 0xB0080218 = 0x00BA00A6", "V0 W 0xB0080224 = 0x04B004B0",
                                        "V0 W 0xB008020C = 0x00000000", "V0 W 0xB008021C = 0x00000000"}));
}

TEST_F(MiniTest, DistanceScaleIsReadBackSignExtended) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    struct Case {
        uint32_t scaleWord, gateWord;
        int16_t distance;
        uint32_t offset;
    };
    const Case cases[] = {
        {100u << 16, 0x00000000, 300, 1500},
        {100u << 16, 0x10000000, 300, 2},     // 150000 / 65636
        {0x80000000, 0x00000000, 1, 500},     // bit 31 set: negative, taken as 1
        {100u << 16, 0x80000000, 1, 500},
        {0x00000000, 0x00000000, 2, 1000},    // zero taken as 1
        {0x7FFF0000, 0x70000000, 300, 0},
    };
    for (const Case& c : cases) {
        SetPpiDistanceScale(1, c.scaleWord, c.gateWord);
        ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, c.distance, 0.0f), 1);
        EXPECT_EQ(Video(1, 0xB008021C), c.offset) << std::hex << c.scaleWord << " " << c.gateWord;
    }
}

TEST_F(MiniTest, DistanceAndDirectionChecks) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 0, 0.0f), 1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 300, 0.0f), 1);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, -1, 0.0f), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 301, 0.0f), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, std::numeric_limits<float>::quiet_NaN()), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, std::numeric_limits<float>::infinity()), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 3e9f), -1);
    NoTraffic("refused aims");
}

TEST_F(MiniTest, NoAimingModeKeepsTheRecord) {
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    SetPpiDistanceScale(1, 100u << 16, 0);
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 100, 50, 200, 100), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 45.0f), 1);  // p = 50
    for (uint32_t mode : {0x20u, 0x30u}) {
        SetVideo(1, 0xB0080200, mode);
        RadovlSim_TraceClear();
        ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 20, 90.0f), 1);
        EXPECT_EQ(Writes(), 0u);
    }
    // Back in corner mode, a placement aims with the kept distance and direction.
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinXY(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB008020C), 0x04000032u);
}

TEST_F(MiniTest, CornerPlacementResetsTheRangeThenAddsTheOffset) {
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 0, 0, 400, 300), 1);  // step byte 53
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 0), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinScale(1, 2), 1);
    SetPpiDistanceScale(1, (100u << 16) | (53u << 8), 0);
    SetVideo(1, 0xB0080224, 0xABCD7FFF);
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 100, 50, 200, 100), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinDistDir(1, 10, 0.0f), 1);
    EXPECT_EQ(Video(1, 0xB0080224), 0xABCD0000u + 100 + 50);
    EXPECT_EQ((Video(1, 0xB0080220) >> 8) & 0xFF, 26u);  // step 53 / zoom 2
    ASSERT_EQ(KT_RDSP_SetMiniWinXY(1, 100, 60), 1);
    EXPECT_EQ(Video(1, 0xB0080224), 0xABCD0000u + 100 + 50);
    // The centre point sits at the lower-left corner.
    EXPECT_EQ(Video(1, 0xB0080218), ((60u + 100) << 16) | (100 + 16));
    // Centred mode: the range becomes 1200 in both halves.
    ASSERT_EQ(KT_RDSP_SetMiniWinMode(1, 1), 1);
    ASSERT_EQ(KT_RDSP_SetMiniWinXY(1, 100, 60), 1);
    EXPECT_EQ(Video(1, 0xB0080224), 0x04B004B0u);
}

TEST_F(MiniTest, ZoomScale) {
    const uint32_t zoom[] = {16, 8, 5, 4, 3, 2, 2, 2};
    SetVideo(2, 0xB0080220, 0xFFFFFF00);
    for (int16_t scale = 1; scale <= 8; ++scale) {
        ASSERT_EQ(KT_RDSP_SetMiniWinScale(2, scale), 1);
        EXPECT_EQ(Video(2, 0xB0080220) & 0xFF, zoom[scale - 1]) << scale;
        EXPECT_EQ(Video(2, 0xB0080220) >> 16, 0xFFFFu) << scale;
    }
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetMiniWinScale(2, 0), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinScale(2, 9), -1);
    NoTraffic("SetMiniWinScale");
}

TEST_F(MiniTest, OpenRegistersAndChecks) {
    SetMain(0xB0201000, 0x7FFFFFFF);
    ASSERT_EQ(KT_RDSP_OpenMiniWin(2, 100, 50, 200, 100), 1);
    EXPECT_EQ(Video(2, 0xB0080208), (100u << 16) | 200);
    EXPECT_EQ(Main(0xB0201100), 0x80000000u | (50u << 16) | 158);
    EXPECT_EQ(Video(2, 0xB0080204), (50u << 16) | 116);
    EXPECT_EQ(Main(0xB0201104), (149u << 16) | (299 + 58));
    EXPECT_EQ(Main(0xB0201000), 0x7FFFFFFFu);  // channel 1 untouched
    EXPECT_EQ(Video(2, 0xB0080000), 0x0000115Bu);  // shown, bit 4 set
    EXPECT_EQ(KT_RDSP_OpenMiniWin(2, 0, 0, 1200, 1200), 1);
    RadovlSim_TraceClear();
    for (auto [w, h] : {std::pair<int16_t, int16_t>{0, 10}, {1201, 10}, {10, 0}, {10, 1201}}) {
        EXPECT_EQ(KT_RDSP_OpenMiniWin(2, 0, 0, w, h), -1);
        EXPECT_EQ(KT_RDSP_SetMiniWinWH(2, w, h), -1);
    }
    EXPECT_EQ(KT_RDSP_OpenMiniWin(2, 1280, 0, 10, 10), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinXY(2, 0, 1024), -1);
    EXPECT_EQ(KT_RDSP_SetMiniWinMode(2, 2), -1);
    NoTraffic("refused Mini calls");
}

// Moving, resizing or zooming a window rewrites MiniStart's position and
// leaves its shown bit as the last open or close set it.
TEST_F(MiniTest, PlacementKeepsTheShownBit) {
    struct Case {
        const char* name;
        std::function<int32_t()> call;
        uint32_t position;  // MiniStart without the shown bit
    };
    const Case cases[] = {
        {"SetMiniWinXY", [] { return KT_RDSP_SetMiniWinXY(1, 120, 60); }, (60u << 16) | 178},
        {"SetMiniWinWH", [] { return KT_RDSP_SetMiniWinWH(1, 300, 150); }, (50u << 16) | 158},
        {"SetMiniWinScale", [] { return KT_RDSP_SetMiniWinScale(1, 2); }, (50u << 16) | 158},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 100, 50, 200, 100), 1);
        ASSERT_EQ(c.call(), 1) << c.name;
        EXPECT_EQ(Main(0xB0201000), 0x80000000u | c.position) << c.name << " on an open window";
        ASSERT_EQ(KT_RDSP_CloseMiniWin(1), 1);
        ASSERT_EQ(KT_RDSP_SetMiniWinXY(1, 100, 50), 1);
        ASSERT_EQ(c.call(), 1) << c.name;
        EXPECT_EQ(Main(0xB0201000), c.position) << c.name << " on a closed window";
    }
}

TEST_F(MiniTest, CloseSetsBit4AndClearsShown) {
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 100, 50, 200, 100), 1);
    SetVideo(1, 0xB0080000, 0);  // the shadow is written, not the register
    ASSERT_EQ(KT_RDSP_CloseMiniWin(1), 1);
    EXPECT_EQ(Video(1, 0xB0080000), 0x0000015Bu);
    EXPECT_EQ(Main(0xB0201000) & 0x80000000, 0u);
    EXPECT_EQ(Main(0xB0201000) & 0x7FFFFFFF, (50u << 16) | 158);
}

TEST_F(MiniTest, StartClampsToTheMonitor) {
    RadovlSim_SetScreen(-100, -100, 1280, 1024);
    StartUp();
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, -50, -20, 200, 100), 1);
    EXPECT_EQ(Main(0xB0201000), 0x80000000u | 58);
    EXPECT_EQ(Video(1, 0xB0080204), 16u);
    EXPECT_EQ(Main(0xB0201004), (79u << 16) | (149 + 58));
}

TEST_F(MiniTest, OutputSelectOnlyUntilAPpiIsPlaced) {
    RadovlSim_ClearMonitors();
    RadovlSim_AddMonitor(0, 0, 1280, 1024);
    RadovlSim_AddMonitor(1280, 0, 2560, 1024);
    RadovlSim_SetScreen(0, 0, 2560, 1024);
    StartUp();
    ASSERT_EQ(KT_RDSP_OpenMiniWin(1, 1300, 50, 200, 100), 1);
    EXPECT_EQ(Main(0xB0203018) & 0x10000000, 0x10000000u);
    ASSERT_EQ(KT_RDSP_SetPPIXY(2, 10, 10), 1);  // any PPI placement, either channel
    RadovlSim_TraceClear();
    ASSERT_EQ(KT_RDSP_SetMiniWinXY(1, 10, 50), 1);
    EXPECT_TRUE(Matching(Accesses(), "0xB0203018").empty());
    EXPECT_EQ(Main(0xB0203018) & 0x10000000, 0x10000000u);
}

TEST_F(MiniTest, ColourRamps) {
    ASSERT_EQ(KT_RDSP_SetMiniWinColor(1, 0xFF000000), 1);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(Main(0xB0303000 + 4 * i), i << 16) << i;
    ASSERT_EQ(KT_RDSP_SetMiniWinColor(2, 0xFFFFFF00), 1);
    EXPECT_EQ(Main(0xB0304000 + 4 * 255), 0x00FFFFFFu);
    ASSERT_EQ(KT_RDSP_SetMiniWinColor(2, 0x80808000), 1);
    EXPECT_EQ(Main(0xB0304000 + 4 * 128), 0x00404040u);
}

}  // namespace
}  // namespace radovl::test
