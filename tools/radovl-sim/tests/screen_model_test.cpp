// The screen decoder on registers stored straight into the board: window
// rectangles, details, outputs and the stacking order.
#include "boardview/screen_model.h"

#include <string>
#include <vector>

#include "tool_test.h"

namespace radovl::tool::test {
namespace {

uint32_t Pos(int32_t row, int32_t column) {
    return (static_cast<uint32_t>(row) << 16) | (static_cast<uint32_t>(column) & 0xFFFF);
}

void SetBits(uint32_t address, uint32_t bits) {
    RadovlSim_PokeMain(0, address, RadovlSim_PeekMain(0, address) | bits);
}

// Registers as the window operations leave them, from the board's packing:
// mixer columns +58 (PPI, Mini), A/R start +56 one row up and end +60, TV
// start +56 four rows up with its extent in the scale.
void ShowPpi(int ch, int x, int y, int w, int h) {
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0201008 : 0xB0201108, Pos(y, x + 58));
    RadovlSim_PokeMain(0, ch == 1 ? 0xB020100C : 0xB020110C, Pos(y + h - 1, x + w - 1 + 58));
    SetBits(0xB0203000, ch == 1 ? 0x100 : 0x200);
}

void ShowMini(int ch, int x, int y, int w, int h) {
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0201000 : 0xB0201100, 0x80000000 | Pos(y, x + 58));
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0201004 : 0xB0201104, Pos(y + h - 1, x + w - 1 + 58));
}

void ShowAr(int ch, int x, int y, int w, int h) {
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0201010 : 0xB0201110, Pos(y > 0 ? y - 1 : 0, x + 56));
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0201014 : 0xB0201114, Pos(y + h - 1, x + w - 1 + 60));
    RadovlSim_PokeVideo(0, ch - 1, 0xB0080308, Pos(h / 2, w));
    SetBits(0xB0203000, ch == 1 ? 0x1000 : 0x2000);
}

void ShowTv(int ch, int x, int y, int w, int h) {
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0202000 : 0xB0202010, Pos(y >= 4 ? y - 4 : 0, x + 56));
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0202008 : 0xB0202018, 0x00010005);
    RadovlSim_PokeMain(0, ch == 1 ? 0xB020200C : 0xB020201C, 0x024002D5);
    const uint32_t hs = 0x2D0000 / static_cast<uint32_t>(w), vs = 0x240000 / static_cast<uint32_t>(h + 4);
    RadovlSim_PokeMain(0, ch == 1 ? 0xB0202020 : 0xB0202024, (std::min(vs, 0xFFFFu) << 16) | std::min(hs, 0xFFFFu));
    SetBits(0xB0203000, ch == 1 ? 0x400 : 0x800);
}

class ScreenModelTest : public ToolTest {
protected:
    ScreenModel Read() { return ReadScreen(host_); }
    std::vector<std::string> Order() {
        std::vector<std::string> out;
        for (const WindowView& w : Read().windows) out.push_back(std::string(KindName(w.kind)) + std::to_string(w.channel));
        return out;
    }
    HostView host_;
};

struct Geometry {
    WindowKind kind;
    int channel;
    Rect rect;
};

class RectFromRegisters : public ScreenModelTest, public ::testing::WithParamInterface<Geometry> {};

TEST_P(RectFromRegisters, EqualsThePlacedWindow) {
    const Geometry& g = GetParam();
    const Rect& r = g.rect;
    switch (g.kind) {
        case WindowKind::Ppi: ShowPpi(g.channel, r.x, r.y, r.w, r.h); break;
        case WindowKind::Mini: ShowMini(g.channel, r.x, r.y, r.w, r.h); break;
        case WindowKind::Ar: ShowAr(g.channel, r.x, r.y, r.w, r.h); break;
        case WindowKind::Tv: ShowTv(g.channel, r.x, r.y, r.w, r.h); break;
    }
    const ScreenModel m = Read();
    ASSERT_EQ(m.windows.size(), 1u);
    EXPECT_EQ(m.windows[0].kind, g.kind);
    EXPECT_EQ(m.windows[0].channel, g.channel);
    EXPECT_EQ(m.windows[0].rect, r) << m.windows[0].rect.x << "," << m.windows[0].rect.y << " " << m.windows[0].rect.w
                                    << "x" << m.windows[0].rect.h;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, RectFromRegisters,
    ::testing::Values(Geometry{WindowKind::Ppi, 1, {100, 50, 400, 300}}, Geometry{WindowKind::Ppi, 2, {0, 0, 1200, 1}},
                      Geometry{WindowKind::Mini, 1, {940, 60, 300, 300}}, Geometry{WindowKind::Mini, 2, {7, 9, 1, 1200}},
                      Geometry{WindowKind::Ar, 1, {100, 50, 512, 5}}, Geometry{WindowKind::Ar, 2, {0, 0, 1, 512}},
                      Geometry{WindowKind::Ar, 2, {3, 1, 20, 9}}, Geometry{WindowKind::Ar, 1, {3, 0, 20, 9}},
                      Geometry{WindowKind::Tv, 1, {100, 50, 720, 576}}, Geometry{WindowKind::Tv, 2, {620, 80, 480, 384}},
                      Geometry{WindowKind::Tv, 1, {5, 5, 45, 32}}, Geometry{WindowKind::Tv, 2, {1000, 900, 50, 40}}));

TEST_F(ScreenModelTest, CroppedTvWindowKeepsItsSize) {
    // w = 20, h = 10: both scales at their limit and the capture cropped.
    RadovlSim_PokeMain(0, 0xB0202000, Pos(46, 156));
    RadovlSim_PokeMain(0, 0xB0202008, 0x01600190);
    RadovlSim_PokeMain(0, 0xB020200C, 0x024002D5);
    RadovlSim_PokeMain(0, 0xB0202020, 0xFFFFFFFF);
    RadovlSim_PokeMain(0, 0xB0203000, 0x400);
    const ScreenModel m = Read();
    ASSERT_EQ(m.windows.size(), 1u);
    EXPECT_EQ(m.windows[0].rect, (Rect{100, 50, 20, 10}));
    EXPECT_EQ(m.windows[0].tv.captureLeft, 400);
    EXPECT_EQ(m.windows[0].tv.captureTop, 352);
}

TEST_F(ScreenModelTest, PpiDetails) {
    ShowPpi(2, 100, 50, 400, 300);
    RadovlSim_PokeVideo(0, 1, 0xB0080118, Pos(200, 316));
    RadovlSim_PokeVideo(0, 1, 0xB0080124, 0xABCD0000 | 150);
    RadovlSim_PokeVideo(0, 1, 0xB0080128, 1024);
    RadovlSim_PokeVideo(0, 1, 0xB0080100, 0x21);
    RadovlSim_PokeVideo(0, 1, 0xB0080114, 0x90030000);
    RadovlSim_PokeVideo(0, 1, 0xB0080120, 0xFE0C3500);
    RadovlSim_PokeVideo(0, 1, 0xB008002C, 0x00120004);
    RadovlSim_PokeVideo(0, 1, 0xB0080002, 0x0F000000);  // overlaps ChannelControl's upper half
    RadovlSim_PokeMain(0, 0xB03023FC, 0x00FF8000);     // last entry of channel 2's colour table
    const ScreenModel m = Read();
    ASSERT_EQ(m.windows.size(), 1u);
    const PpiView& p = m.windows[0].ppi;
    EXPECT_DOUBLE_EQ(p.centre.x, 300);
    EXPECT_DOUBLE_EQ(p.centre.y, 200);
    EXPECT_EQ(p.range, 150);
    EXPECT_DOUBLE_EQ(p.headingDeg, 90.0);
    EXPECT_EQ(p.mode, 0x20u);
    EXPECT_EQ(p.gate, 3u);
    EXPECT_EQ(p.step, 0x35u);
    EXPECT_EQ(p.distanceScale, 0x9FE0Cu);
    EXPECT_EQ(p.tail, 0x12u);
    EXPECT_EQ(p.lineTail, 4u);
    EXPECT_TRUE(p.frozen);
    EXPECT_TRUE(p.scan);
    EXPECT_EQ(p.lut[255], 0x00FF8000u);
}

TEST_F(ScreenModelTest, MiniAimInBothModes) {
    ShowMini(1, 100, 50, 200, 100);
    RadovlSim_PokeVideo(0, 0, 0xB0080200, 0x10);
    RadovlSim_PokeVideo(0, 0, 0xB0080218, Pos(150, 116));
    RadovlSim_PokeVideo(0, 0, 0xB008020C, (2048u << 16) | 50);  // a quarter turn, 50 pixels
    MiniView corner = Read().windows.at(0).mini;
    EXPECT_TRUE(corner.corner);
    EXPECT_DOUBLE_EQ(corner.origin.x, 100);
    EXPECT_DOUBLE_EQ(corner.origin.y, 150);
    EXPECT_NEAR(corner.aim.x, 150, 1e-9);
    EXPECT_NEAR(corner.aim.y, 150, 1e-9);

    RadovlSim_PokeVideo(0, 0, 0xB0080200, 0x00);
    RadovlSim_PokeVideo(0, 0, 0xB0080204, Pos(50, 116));
    RadovlSim_PokeVideo(0, 0, 0xB0080208, Pos(100, 200));
    RadovlSim_PokeVideo(0, 0, 0xB0080218, 0x00BA00A6);
    MiniView centred = Read().windows.at(0).mini;
    EXPECT_FALSE(centred.corner);
    EXPECT_DOUBLE_EQ(centred.aim.x, 200);
    EXPECT_DOUBLE_EQ(centred.aim.y, 100);
    EXPECT_DOUBLE_EQ(centred.origin.x, 150);
    EXPECT_DOUBLE_EQ(centred.origin.y, 186);
}

TEST_F(ScreenModelTest, ChannelSettingsAndDistanceVariable) {
    RadovlSim_PokeMain(0, 0xB020301C, 0x16000000);  // overlay, on top, output 1
    RadovlSim_PokeMain(0, 0xB0203014, 0x00123456);
    RadovlSim_PokeMain(0, 0xB0203024, 0x05FF00FF);  // red and blue, red doubling as on-top
    RadovlSim_PokeVideo(0, 1, 0x80000000, 0x80000400);
    RadovlSim_PokeVideo(0, 1, 0x80000400, 77);
    RadovlSim_PokeVideo(0, 1, 0xB0080000, 0x2148);  // TV mode bits 00: frozen
    const ChannelView c = Read().channels[1];
    EXPECT_TRUE(c.overlay);
    EXPECT_TRUE(c.ppiOnTop);
    EXPECT_EQ(c.ppiOutput, 1);
    EXPECT_EQ(c.tvKey, 0x123456u);
    EXPECT_EQ(c.arKey, 0xFF00FFu);
    EXPECT_EQ(c.arColourBits, 0xFF00FFu);
    EXPECT_TRUE(c.arOnTop);
    EXPECT_TRUE(c.distanceKnown);
    EXPECT_EQ(c.distance, 77);
    EXPECT_TRUE(c.tvFrozen);
}

struct Stacking {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> pokes;  // main address, bits to set
    std::vector<std::string> order;                    // bottom first
};

class StackingOrder : public ScreenModelTest, public ::testing::WithParamInterface<Stacking> {};

TEST_P(StackingOrder, FollowsPriorityAndOnTopBits) {
    // Every kind on both channels, overlapping.
    for (int ch = 1; ch <= 2; ++ch) {
        ShowPpi(ch, 10, 10, 300, 300);
        ShowMini(ch, 20, 20, 100, 100);
        ShowAr(ch, 30, 30, 200, 100);
        ShowTv(ch, 40, 40, 200, 150);
    }
    for (const auto& [address, bits] : GetParam().pokes) SetBits(address, bits);
    EXPECT_EQ(Order(), GetParam().order) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StackingOrder,
    ::testing::Values(
        Stacking{"no bits: kinds in base order, channel 2 above channel 1",
                 {},
                 {"PPI1", "PPI2", "Mini1", "Mini2", "A/R1", "A/R2", "TV1", "TV2"}},
        Stacking{"priority bits set: channel 1 above channel 2 for each kind",
                 {{0xB0203000, 0x07000000}},
                 {"PPI2", "PPI1", "Mini2", "Mini1", "A/R2", "A/R1", "TV2", "TV1"}},
        Stacking{"PPI priority only",
                 {{0xB0203000, 0x01000000}},
                 {"PPI2", "PPI1", "Mini2", "Mini1", "A/R1", "A/R2", "TV1", "TV2"}},
        Stacking{"channel 1's PPI on top lifts its PPI and Mini above everything",
                 {{0xB0203018, 0x04000000}},
                 {"PPI2", "Mini2", "A/R1", "A/R2", "TV1", "TV2", "PPI1", "Mini1"}},
        Stacking{"channel 2's A/R red bit is also its on-top bit",
                 {{0xB0203024, 0x04000000}},
                 {"PPI1", "PPI2", "Mini1", "Mini2", "A/R1", "TV1", "TV2", "A/R2"}},
        Stacking{"both TVs on top: the TV priority bit orders them",
                 {{0xB0203010, 0x04000000}, {0xB0203014, 0x04000000}, {0xB0203000, 0x02000000}},
                 {"PPI1", "PPI2", "Mini1", "Mini2", "A/R1", "A/R2", "TV2", "TV1"}}),
    [](const ::testing::TestParamInfo<Stacking>& info) { return "Case" + std::to_string(info.index); });

TEST_F(ScreenModelTest, HiddenWindowsAreNotShown) {
    ShowPpi(1, 0, 0, 10, 10);
    RadovlSim_PokeMain(0, 0xB0203000, 0);  // enable bit cleared
    ShowMini(2, 0, 0, 10, 10);
    RadovlSim_PokeMain(0, 0xB0201100, RadovlSim_PeekMain(0, 0xB0201100) & 0x7FFFFFFF);
    EXPECT_TRUE(Read().windows.empty());
}

TEST_F(ScreenModelTest, OutputsFollowDisMode) {
    host_.monitors = {{0, 0, 1280, 1024}, {-1280, 0, 0, 1024}};
    host_.disMode = 1;
    ScreenModel m = Read();
    EXPECT_EQ(m.outputs[0].monitor.left, 0);
    EXPECT_EQ(m.outputs[1].monitor.left, -1280);
    host_.disMode = 0;
    m = Read();
    EXPECT_EQ(m.outputs[0].monitor.left, -1280);
    EXPECT_EQ(m.outputs[1].monitor.left, 0);
    host_.monitors = {{0, 0, 1920, 1080}};
    m = Read();
    EXPECT_TRUE(m.outputs[1].hasMonitor);
    EXPECT_FALSE(m.outputs[0].hasMonitor);
}

TEST_F(ScreenModelTest, WindowsGoToTheOutputOfTheirSelectBit) {
    ShowPpi(1, 0, 0, 10, 10);
    ShowTv(1, 100, 100, 100, 100);
    RadovlSim_PokeMain(0, 0xB0203010, 0x10000000);  // TV to output 1
    const ScreenModel m = Read();
    ASSERT_EQ(m.windows.size(), 2u);
    EXPECT_EQ(m.windows[0].output, 0);
    EXPECT_EQ(m.windows[1].output, 1);
}

}  // namespace
}  // namespace radovl::tool::test
