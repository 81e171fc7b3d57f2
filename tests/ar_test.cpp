// The A/R window: two bands, the start and end offsets, presets, distance,
// colour bits and on-top.
#include "support/window_test.h"

namespace radovl::test {
namespace {

using ArTest = WindowTest;

TEST_F(ArTest, OpenExactTraffic) {
    SetMain(0xB0203020, 0x02123456);
    ASSERT_EQ(KT_RDSP_OpenAr(1, 100, 50, 200, 101), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{
                              "R32 0xB0203018 -> 0x00000000",  // output select, top-left corner
                              "W32 0xB0203018 = 0x00000000",
                              "V0 W 0xB0080308 = 0x003200C8",  // half height 50, width 200
                              "V0 W 0xB0080408 = 0x003200C8",
                              "W32 0xB0201010 = 0x0031009C",   // start: row 50 - 1, column 100 + 56
                              "V0 W 0xB0080304 = 0x0031009C",
                              "V0 R 0xB0080308 -> 0x003200C8",
                              "V0 W 0xB0080404 = 0x0063009C",  // lower band: 49 + 50
                              "W32 0xB0201014 = 0x00960167",   // end: row 150, column 299 + 60
                              "V0 W 0xB0080038 = 0x00960167",
                              "R32 0xB0203000 -> 0x00000000",
                              "W32 0xB0203000 = 0x00001000",
                              "V0 R 0xB0080300 -> 0x00000001",
                              "V0 W 0xB0080300 = 0x00000009",
                              "V0 R 0xB0080400 -> 0x00000001",
                              "V0 W 0xB0080400 = 0x00000009",
                              "V0 W 0xB0080318 = 0xFFFF0000",
                              "V0 W 0xB008031C = 0x000000F0",
                              "V0 W 0xB0080418 = 0xFFFF0000",
                              "V0 W 0xB008041C = 0x000000F0",
                              "R32 0xB0203020 -> 0x02123456",  // key back to magenta
                              "W32 0xB0203020 = 0x02FF00FF",
                          }));
}

TEST_F(ArTest, OddHeightsAndTheMonitorCorner) {
    ASSERT_EQ(KT_RDSP_OpenAr(2, 0, 0, 10, 5), 1);
    EXPECT_EQ(Video(2, 0xB0080308), (2u << 16) | 10);
    EXPECT_EQ(Video(2, 0xB0080408), (2u << 16) | 10);
    EXPECT_EQ(Main(0xB0201110), 56u);          // row -1 clamped to 0
    EXPECT_EQ(Video(2, 0xB0080404), (2u << 16) | 56);
    EXPECT_EQ(Main(0xB0201114), (4u << 16) | (9 + 60));
    EXPECT_EQ(Main(0xB0203000), 0x00002000u);
}

TEST_F(ArTest, SizeAndPositionChecks) {
    EXPECT_EQ(KT_RDSP_OpenAr(1, 0, 0, 512, 512), 1);
    EXPECT_EQ(KT_RDSP_OpenAr(1, 1279, 1023, 1, 1), 1);
    RadovlSim_TraceClear();
    for (auto [w, h] : {std::pair<int16_t, int16_t>{0, 10}, {513, 10}, {10, 0}, {10, 513}}) {
        EXPECT_EQ(KT_RDSP_OpenAr(1, 0, 0, w, h), -1);
        EXPECT_EQ(KT_RDSP_SetArWH(1, w, h), -1);
    }
    EXPECT_EQ(KT_RDSP_OpenAr(1, 1280, 0, 10, 10), -1);
    EXPECT_EQ(KT_RDSP_OpenAr(1, 0, 1024, 10, 10), -1);
    EXPECT_EQ(KT_RDSP_SetArXY(1, -1, 0), -1);
    NoTraffic("refused A/R calls");
}

TEST_F(ArTest, GateAndDistance) {
    SetVideo(1, 0xB0080314, 0xF0FFFFFF);
    EXPECT_EQ(KT_RDSP_SetArGate(1, 0), 1);
    EXPECT_EQ(Video(1, 0xB0080314), 0xF000FFFFu);
    EXPECT_EQ(KT_RDSP_SetArGate(1, 7), 1);
    EXPECT_EQ(Video(1, 0xB0080314), 0xF007FFFFu);
    SetVideo(1, 0xB0080310, 0x1234ABCD);
    SetVideo(1, 0x80000000, 0x80002000);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetArDist(1, 32767), 1);
    EXPECT_EQ(Video(1, 0x80002000), 32767u);
    EXPECT_EQ(Video(1, 0xB0080310), 0x7FFFABCDu);
    EXPECT_EQ(Video(1, 0xB0080314), 0x0007FFFFu);  // distance bits 16-19 are 0
    EXPECT_EQ(Accesses().front(), "V0 R 0x80000000 -> 0x80002000");
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetArGate(1, 8), -1);
    EXPECT_EQ(KT_RDSP_SetArGate(1, -1), -1);
    EXPECT_EQ(KT_RDSP_SetArDist(1, 0), -1);
    EXPECT_EQ(KT_RDSP_SetArDist(1, -5), -1);
    NoTraffic("refused gate and distance");
}

TEST_F(ArTest, ColourBitsArePrimariesOnOrOff) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0x00010000, 0x02000000}, {0x000000FF, 0x00000000}, {0xFF000000, 0x04000000},
        {0x00000100, 0x01000000}, {0x01010100, 0x07000000}, {0x00000000, 0x00000000},
    };
    SetMain(0xB0203024, 0xF8ABCDEF);
    for (const auto& [colour, bits] : cases) {
        ASSERT_EQ(KT_RDSP_SetArColor(2, colour), 1);
        EXPECT_EQ(Main(0xB0203024), 0xF8ABCDEFu | bits) << Hex(colour);
    }
}

TEST_F(ArTest, OnTopSharesTheRedBit) {
    SetMain(0xB0203000, 0x04000000);
    ASSERT_EQ(KT_RDSP_SetAROnTop(2, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0u);
    EXPECT_EQ(Main(0xB0203024), 0x04FF00FFu);
    ASSERT_EQ(KT_RDSP_SetArColor(2, 0x00010000), 1);  // no red: clears the on-top bit too
    EXPECT_EQ(Main(0xB0203024), 0x02FF00FFu);
    ASSERT_EQ(KT_RDSP_SetAROnTop(1, 1), 1);
    EXPECT_EQ(Main(0xB0203000), 0x04000000u);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetAROnTop(1, 0), 1);
    EXPECT_EQ(KT_RDSP_SetAROnTop(1, 2), -1);
    NoTraffic("SetAROnTop 0 and 2");
}

TEST_F(ArTest, MovingBeforeOpenPlacesAnEmptyWindow) {
    ASSERT_EQ(KT_RDSP_SetArXY(1, 100, 50), 1);
    EXPECT_EQ(Video(1, 0xB0080308), 0u);
    EXPECT_EQ(Video(1, 0xB0080408), 0u);
    EXPECT_EQ(Main(0xB0201014), (49u << 16) | (99 + 60));
    EXPECT_EQ(Main(0xB0203000) & 0x1000, 0u);
}

TEST_F(ArTest, CloseNeverOpenedClearsTheEnables) {
    SetMain(0xB0203000, 0xFFFFFFFF);
    SetVideo(1, 0xB0080300, 0xFF);
    SetVideo(1, 0xB0080400, 0xFF);
    ASSERT_EQ(KT_RDSP_CloseAr(1), 1);
    EXPECT_EQ(Main(0xB0203000), 0xFFFFEFFFu);
    EXPECT_EQ(Video(1, 0xB0080300), 0xF7u);
    EXPECT_EQ(Video(1, 0xB0080400), 0xF7u);
}

TEST_F(ArTest, MovedWindowKeepsItsSize) {
    ASSERT_EQ(KT_RDSP_OpenAr(1, 100, 50, 200, 100), 1);
    ASSERT_EQ(KT_RDSP_SetArXY(1, 300, 400), 1);
    EXPECT_EQ(Main(0xB0201010), (399u << 16) | 356);
    EXPECT_EQ(Main(0xB0201014), (499u << 16) | (499 + 60));
    ASSERT_EQ(KT_RDSP_SetArWH(1, 50, 20), 1);
    EXPECT_EQ(Main(0xB0201014), (419u << 16) | (349 + 60));
    EXPECT_EQ(Video(1, 0xB0080404), ((399u + 10) << 16) | 356);
}

}  // namespace
}  // namespace radovl::test
