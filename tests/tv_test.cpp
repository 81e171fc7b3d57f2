// The TV window: capture defaults, scaling and cropping, freeze, picture
// controls through the decoder, on-top and the marker word.
#include "support/window_test.h"

namespace radovl::test {
namespace {

using TvTest = WindowTest;

TEST_F(TvTest, OpenFullFrameExactTraffic) {
    ASSERT_EQ(KT_RDSP_OpenTV(1, 100, 50, 720, 576), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "V0 R 0xB0080000 -> 0x0000014B",  // TV mode 11: the other defaults
                              "W32 0xB0202008 = 0x00010005",
                              "V0 R 0xB0080000 -> 0x0000014B",
                              "W32 0xB020200C = 0x024002D5",
                              "R32 0xB0203010 -> 0x00FF00FF",  // output select, top-left corner
                              "W32 0xB0203010 = 0x00FF00FF",
                              "W32 0xB0202000 = 0x002E009C",   // start: row 50 - 4, column 100 + 56
                              "V0 R 0xB0080000 -> 0x0000014B",
                              "W32 0xB0202008 = 0x00010005",
                              "V0 R 0xB0080000 -> 0x0000014B",
                              "W32 0xB0202008 = 0x00010005",
                              "W32 0xB0202020 = 0x0FE31000",   // 0x240000 / 580, 4096
                              "W32 0x80000000 = 0x12345678",   // marker before the mixer
                              "R32 0xB0203000 -> 0x00000000",
                              "W32 0xB0203000 = 0x00000400",
                              "R32 0xB0203010 -> 0x00FF00FF",
                              "W32 0xB0203010 = 0x00FF00FF",
                          }));
}

TEST_F(TvTest, ScalingAndCropping) {
    struct Case {
        int16_t w, h;
        uint32_t captureStart;
        uint32_t scale;
    };
    const Case cases[] = {
        {720, 576, 0x00010005, 0x0FE31000},
        {360, 284, 0x00010005, (0x240000u / 288 << 16) | 8192},
        {45, 100, 0x00010005, (0x240000u / 104 << 16) | 0xFFFF},
        {44, 31, (16u << 16) | 16, 0xFFFFFFFF},
        // Lower than 32 rows, the row is merged into the word: the column
        // stays what the width made it, default or cropped.
        {45, 31, (16u << 16) | 5, 0xFFFFFFFF},
        {45, 10, (352u << 16) | 5, 0xFFFFFFFF},
        {44, 10, (352u << 16) | 16, 0xFFFFFFFF},
        {100, 32, 0x00010005, 0xFFFF0000 | (0x2D0000 / 100)},
        {100, 31, (16u << 16) | 5, 0xFFFF0000 | (0x2D0000 / 100)},
        {20, 10, 0x01600190, 0xFFFFFFFF},
        {20, 100, 0x00010005, (0x240000u / 104 << 16) | 0xFFFF},  // the vertical default restores the column
        {1, 1, ((576u - 16 * 5) << 16) | (720 - 16), 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SetMain(0xB0202008, 0xAAAAAAAA);
        ASSERT_EQ(KT_RDSP_OpenTV(2, 0, 0, c.w, c.h), 1);
        EXPECT_EQ(Main(0xB0202018), c.captureStart) << c.w << "x" << c.h;
        EXPECT_EQ(Main(0xB0202024), c.scale) << c.w << "x" << c.h;
        EXPECT_EQ(Main(0xB020201C), 0x024002D5u);
    }
}

TEST_F(TvTest, CaptureDefaultsFollowTheLiveTvMode) {
    ASSERT_EQ(SetTVP2pMode(1, 0), 1);
    ASSERT_EQ(KT_RDSP_OpenTV(1, 0, 0, 360, 288), 1);
    EXPECT_EQ(Main(0xB0202008), 0x0001000Au);
    EXPECT_EQ(Main(0xB020200C), 0x024002DAu);
    // Frozen, the mode bits read 00: the other defaults.
    ASSERT_EQ(KT_RDSP_FrostTV(1, 0), 1);
    ASSERT_EQ(KT_RDSP_OpenTV(1, 0, 0, 360, 288), 1);
    EXPECT_EQ(Main(0xB0202008), 0x00010005u);
}

TEST_F(TvTest, SizeAndPositionChecks) {
    RadovlSim_TraceClear();
    for (auto [w, h] : {std::pair<int16_t, int16_t>{0, 10}, {721, 10}, {10, 0}, {10, 577}}) {
        EXPECT_EQ(KT_RDSP_OpenTV(1, 0, 0, w, h), -1);
        EXPECT_EQ(KT_RDSP_SetTVWH(1, w, h), -1);
    }
    EXPECT_EQ(KT_RDSP_OpenTV(1, 1280, 0, 10, 10), -1);
    EXPECT_EQ(KT_RDSP_SetTVXY(1, 0, 1024), -1);
    EXPECT_EQ(KT_RDSP_FrostTV(1, 2), -1);
    EXPECT_EQ(KT_RDSP_SetTVOnTop(1, 2), -1);
    NoTraffic("refused TV calls");
}

TEST_F(TvTest, StartClampsAtTheMonitorCorner) {
    ASSERT_EQ(KT_RDSP_OpenTV(1, 0, 2, 100, 100), 1);
    EXPECT_EQ(Main(0xB0202000), 56u);
}

TEST_F(TvTest, MovingBeforeOpenWritesNoScale) {
    SetMain(0xB0202020, 0x11111111);
    SetMain(0xB0202008, 0x22222222);
    ASSERT_EQ(KT_RDSP_SetTVXY(1, 100, 50), 1);
    EXPECT_EQ(Main(0xB0202000), (46u << 16) | 156);
    EXPECT_EQ(Main(0xB0202020), 0x11111111u);
    EXPECT_EQ(Main(0xB0202008), 0x22222222u);
    // The position was stored: resizing places the window there.
    SetMain(0xB0202000, 0);
    ASSERT_EQ(KT_RDSP_SetTVWH(1, 360, 288), 1);
    EXPECT_EQ(Main(0xB0202000), (46u << 16) | 156);
    EXPECT_EQ(Main(0xB0202020), (0x240000u / 292 << 16) | 8192);
}

TEST_F(TvTest, FreezeSavesAndRestoresTheModeBits) {
    ASSERT_EQ(KT_RDSP_FrostTV(1, 0), 1);
    EXPECT_EQ(Video(1, 0xB0080000) & 3, 0u);
    ASSERT_EQ(KT_RDSP_FrostTV(1, 1), 1);
    EXPECT_EQ(Video(1, 0xB0080000) & 3, 3u);
    // Frozen twice: the second save takes the frozen 00.
    ASSERT_EQ(KT_RDSP_FrostTV(2, 0), 1);
    ASSERT_EQ(KT_RDSP_FrostTV(2, 0), 1);
    ASSERT_EQ(KT_RDSP_FrostTV(2, 1), 1);
    EXPECT_EQ(Video(2, 0xB0080000) & 3, 0u);
    // Thawing without a freeze writes the bits the P2p mode stored.
    ASSERT_EQ(SetTVP2pMode(2, 0), 1);
    SetVideo(2, 0xB0080000, 0x14B);
    ASSERT_EQ(KT_RDSP_FrostTV(2, 1), 1);
    EXPECT_EQ(Video(2, 0xB0080000), 0x149u);
}

TEST_F(TvTest, PictureControlsGoToTheChannelsDecoder) {
    struct Case {
        int32_t (*set)(int32_t, int32_t);
        int reg;
    };
    const Case cases[] = {{KT_RDSP_SetTVBright, 0x09}, {KT_RDSP_SetTVColor, 0x0A}, {KT_RDSP_SetTVContrast, 0x0C}};
    for (const Case& c : cases) {
        for (int32_t level : {0, 255, 0x42}) {
            ASSERT_EQ(c.set(1, level), 1);
            EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, c.reg), level);
            ASSERT_EQ(c.set(2, level ^ 0xFF), 1);
            EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5D, c.reg), level ^ 0xFF);
        }
        ASSERT_EQ(c.set(1, 0x1AB), 1);  // the level is the slot's low byte
        EXPECT_EQ(RadovlSim_PeekDecoder(0, 0x5C, c.reg), 0xAB);
    }
    RadovlSim_SetI2cBusyReads(-1);  // a decoder that never answers does not change the status
    EXPECT_EQ(KT_RDSP_SetTVBright(1, 1), 1);
}

TEST_F(TvTest, OnTop) {
    ASSERT_EQ(KT_RDSP_SetTVOnTop(1, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0x02000000u);
    EXPECT_EQ(Main(0xB0203010), 0x04FF00FFu);
    ASSERT_EQ(KT_RDSP_SetTVOnTop(2, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0u);
    EXPECT_EQ(Main(0xB0203014), 0x04FF00FFu);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetTVOnTop(2, 0), 1);
    NoTraffic("SetTVOnTop 0");
}

TEST_F(TvTest, CloseWritesTheMarkerThenClearsTheEnable) {
    ASSERT_EQ(KT_RDSP_OpenTV(2, 10, 10, 100, 100), 1);
    SetMain(0x80000000, 0);
    RadovlSim_TraceClear();
    ASSERT_EQ(KT_RDSP_CloseTV(2), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"W32 0x80000000 = 0x12345678", "R32 0xB0203000 -> 0x00000800",
                                                     "W32 0xB0203000 = 0x00000000"}));
}

TEST_F(TvTest, KeyIsResetOnOpen) {
    ASSERT_EQ(KT_RDSP_SetTVColorKey(1, 0xFF123456), 1);
    EXPECT_EQ(Main(0xB0203010), 0x00123456u);
    ASSERT_EQ(KT_RDSP_OpenTV(1, 10, 10, 100, 100), 1);
    EXPECT_EQ(Main(0xB0203010), 0x00FF00FFu);
}

}  // namespace
}  // namespace radovl::test
