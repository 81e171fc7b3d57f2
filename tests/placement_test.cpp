// Output select and monitor-relative placement for every window kind, on
// two monitors, in each display mode.
#include "support/window_test.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

struct Kind {
    const char* name;
    int32_t (*open)(int32_t, int32_t, int32_t, int32_t, int32_t);
    uint32_t keyControl[2];  // register holding the output-select bit, channel 1 and 2
    bool byCentre;           // decided by the window centre rather than its top-left corner
};

const Kind Kinds[] = {
    {"PPI", KT_RDSP_OpenPPI, {0xB0203018, 0xB020301C}, true},
    {"Mini", KT_RDSP_OpenMiniWin, {0xB0203018, 0xB020301C}, true},
    {"A/R", KT_RDSP_OpenAr, {0xB0203018, 0xB020301C}, false},
    {"TV", KT_RDSP_OpenTV, {0xB0203010, 0xB0203014}, false},
};

struct Layout {
    const char* name;
    int32_t secondLeft;
    int32_t x;  // a 400-wide window from x: corner on one monitor, centre on the other
    bool cornerOnSecondary;
};

const Layout Layouts[] = {
    {"second at (1280, 0)", 1280, 1100, false},
    {"second at (-1280, 0)", -1280, -100, true},
};

class PlacementTest : public WindowTest {
protected:
    void StartWithTwoMonitors(const Layout& layout) {
        RadovlSim_Reset();
        RadovlSim_SetExecutablePath((Dir() + "/bin/console").c_str());
        RadovlSim_ClearMonitors();
        RadovlSim_AddMonitor(0, 0, 1280, 1024);
        RadovlSim_AddMonitor(layout.secondLeft, 0, layout.secondLeft + 1280, 1024);
        RadovlSim_SetScreen(layout.secondLeft < 0 ? layout.secondLeft : 0, 0,
                            layout.secondLeft < 0 ? 1280 : layout.secondLeft + 1280, 1024);
        StartUp();
    }
};

TEST_F(PlacementTest, OutputSelectByModeMonitorAndKind) {
    for (const Layout& layout : Layouts) {
        for (const Kind& kind : Kinds) {
            for (int channel : {1, 2}) {
                for (uint8_t mode : {0, 1, 2, 255}) {
                    for (uint32_t before : {0x00000000u, 0x10000000u}) {
                        StartWithTwoMonitors(layout);
                        ASSERT_EQ(KT_RDSP_SetScreenProp(1, mode), 1);
                        const uint32_t key = kind.keyControl[channel - 1];
                        SetMain(key, before);
                        RadovlSim_TraceClear();
                        ASSERT_EQ(kind.open(channel, layout.x, 100, 400, 300), 1) << kind.name;
                        const bool secondary = kind.byCentre != layout.cornerOnSecondary;
                        uint32_t expected = before;
                        if (mode == 0) expected = secondary ? 0 : 0x10000000;
                        if (mode == 1) expected = secondary ? 0x10000000 : 0;
                        EXPECT_EQ(Main(key) & 0x10000000, expected)
                            << layout.name << ", " << kind.name << ", channel " << channel << ", DisMode "
                            << int{mode} << ", bit before " << Hex(before);
                        // Written back even when nothing changed.
                        EXPECT_FALSE(Matching(Accesses(), "W32 " + Hex(key)).empty());
                    }
                }
            }
        }
    }
}

TEST_F(PlacementTest, PositionsAreRelativeToTheMonitorOfEachPoint) {
    const Layout& right = Layouts[0];
    StartWithTwoMonitors(right);
    // Corner on the primary (x 1100), last column on the second (1100 + 399 - 1280 = 219).
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 1100, 100, 400, 300), 1);
    EXPECT_EQ(Main(0xB0201008), (100u << 16) | (1100 + 58));
    EXPECT_EQ(Main(0xB020100C), (399u << 16) | (219 + 58));
    EXPECT_EQ(Video(1, 0xB0080118), (250u << 16) | (1300 - 1280 + 16));
    // Beyond the right edge of every monitor: measured against the nearest one.
    RadovlSim_SetScreen(0, 0, 4000, 1024);
    StartUp();
    ASSERT_EQ(KT_RDSP_OpenTV(2, 3000, 100, 100, 100), 1);
    EXPECT_EQ(Main(0xB0202010), (96u << 16) | (3000 - 1280 + 56));

    const Layout& left = Layouts[1];
    StartWithTwoMonitors(left);
    ASSERT_EQ(KT_RDSP_OpenAr(2, -1200, 10, 100, 100), 1);
    EXPECT_EQ(Main(0xB0201110), (9u << 16) | (80 + 56));
    EXPECT_EQ(Main(0xB0201114), (109u << 16) | (179 + 60));
}

TEST_F(PlacementTest, DisplayModeTakesEffectAtTheNextPlacement) {
    StartWithTwoMonitors(Layouts[0]);
    ASSERT_EQ(KT_RDSP_OpenTV(1, 1300, 100, 100, 100), 1);
    EXPECT_EQ(Main(0xB0203010) & 0x10000000, 0x10000000u);
    ASSERT_EQ(KT_RDSP_SetScreenProp(1, 0), 1);
    EXPECT_EQ(Main(0xB0203010) & 0x10000000, 0x10000000u);
    ASSERT_EQ(KT_RDSP_SetTVXY(1, 1300, 100), 1);
    EXPECT_EQ(Main(0xB0203010) & 0x10000000, 0u);
}

}  // namespace
}  // namespace radovl::test
