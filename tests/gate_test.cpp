// The gate: every exported operation refuses before start-up, then checks
// its channel, then its own arguments, and a refused call sends nothing and
// changes nothing.
#include <cstring>
#include <functional>
#include <limits>

#include "support/board_test.h"
#include "support/export_table.h"
#include "windows/state.h"

namespace radovl::test {
namespace {

struct Operation {
    const char* name;
    std::function<int32_t(int32_t channel)> call;  // valid arguments besides the channel
};

// Every operation that takes a channel and runs the whole gate: the exports
// whose first slot is a channel, each with the valid call of the table.
const std::vector<Operation>& ChannelOperations() {
    static const std::vector<Operation> ops = [] {
        std::vector<Operation> list;
        for (const Export& e : Exports()) {
            if (e.params.empty() || e.params[0] != Param::Channel) continue;
            list.push_back({e.name, [&e](int32_t channel) {
                                Slots slots = e.valid;
                                slots[0] = static_cast<uint32_t>(channel);
                                return Call(e, slots);
                            }});
        }
        return list;
    }();
    return ops;
}

// The library's record, field by field (no padding compared).
bool SameState(const LibraryState& a, const LibraryState& b) {
    auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    return a.initialised == b.initialised && a.screenLeft == b.screenLeft && a.screenTop == b.screenTop &&
           a.screenRight == b.screenRight && a.screenBottom == b.screenBottom && a.DisMode == b.DisMode &&
           a.DisplayControl == b.DisplayControl && same(a.ControlShadow, b.ControlShadow) &&
           same(a.TvModeSave, b.TvModeSave) && a.PpiPlaced == b.PpiPlaced &&
           same(a.ppi, b.ppi) && same(a.ar, b.ar) && same(a.tv, b.tv) &&
           [&] {
               for (int i = 0; i < 2; ++i) {
                   const MiniRecord &x = a.mini[i], &y = b.mini[i];
                   if (x.x != y.x || x.y != y.y || x.w != y.w || x.h != y.h || x.distance != y.distance ||
                       std::memcmp(&x.direction, &y.direction, sizeof x.direction) != 0 || x.scale != y.scale) {
                       return false;
                   }
               }
               return true;
           }();
}

using GateTest = BoardTest;

TEST_F(GateTest, EverythingIsRefusedBeforeStartUp) {
    ASSERT_EQ(ChannelOperations().size(), 45u);
    for (const Operation& op : ChannelOperations()) {
        for (int32_t channel : {1, 2, 0, 3, -1}) EXPECT_EQ(op.call(channel), -2) << op.name << " " << channel;
    }
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(1), -2);
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(2), -2);
    EXPECT_EQ(SetTVP2pMode(1, 1), -2);
    EXPECT_EQ(SetTVP2pMode(3, 2), -2);
    EXPECT_EQ(SetRDP2pMode(1, 1), -2);
    EXPECT_EQ(SetRDP2pMode(3, 2), -2);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(GateTest, BadChannelIsRefusedAfterStartUpWithNothingSent) {
    StartUp();
    for (const Operation& op : ChannelOperations()) {
        for (int32_t channel : {0, 3, -1, 0x100, 127, -128}) {
            const LibraryState before = state;
            EXPECT_EQ(op.call(channel), -1) << op.name << " " << channel;
            EXPECT_EQ(RadovlSim_TraceCount(), 0) << op.name << " " << channel;
            EXPECT_TRUE(SameState(before, state)) << op.name << " " << channel;
        }
    }
}

TEST_F(GateTest, BadArgumentsAreRefusedWithNothingChanged) {
    StartUp();
    ASSERT_EQ(KT_RDSP_OpenPPI(1, 100, 50, 400, 300), 1);
    ASSERT_EQ(KT_RDSP_OpenAr(2, 100, 50, 200, 100), 1);
    RadovlSim_TraceClear();
    struct Refusal {
        const char* name;
        std::function<int32_t()> call;
        bool readsFirst;  // reads a register before it can refuse the value
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Refusal refusals[] = {
        {"OpenOverlay on 2", [] { return KT_RDSP_OpenOverlay(1, 2); }, false},
        {"VideoCombined 2", [] { return KT_RDSP_SetPPIVideoCombined(2); }, false},
        {"TVP2pMode 2", [] { return SetTVP2pMode(1, 2); }, false},
        {"RDP2pMode -1", [] { return SetRDP2pMode(2, -1); }, false},
        {"ScreenProp 0, 4", [] { return KT_RDSP_SetScreenProp(0, 4); }, true},
        {"ScreenProp 2", [] { return KT_RDSP_SetScreenProp(2, 0); }, true},
        {"OpenPPI x", [] { return KT_RDSP_OpenPPI(1, 1280, 0, 10, 10); }, false},
        {"OpenPPI h", [] { return KT_RDSP_OpenPPI(2, 0, 0, 10, 1201); }, false},
        {"SetPPIXY y", [] { return KT_RDSP_SetPPIXY(1, 0, -1); }, false},
        {"SetPPIWH w", [] { return KT_RDSP_SetPPIWH(1, 0, 10); }, false},
        {"SetPPIMode 3", [] { return KT_RDSP_SetPPIMode(1, 3); }, false},
        {"SetPPICenter dx", [] { return KT_RDSP_SetPPICenter(1, 1201, 0); }, false},
        {"SetPPIShipDir NaN", [nan] { return KT_RDSP_SetPPIShipDir(1, nan); }, false},
        {"SetPPIScan 2", [] { return KT_RDSP_SetPPIScan(1, 2); }, true},
        {"FrostPPI 2", [] { return KT_RDSP_FrostPPI(2, 2); }, true},
        {"SetPPIDist 0", [] { return KT_RDSP_SetPPIDist(1, 0); }, false},
        {"SetPPIGate 9", [] { return KT_RDSP_SetPPIGate(1, 9); }, false},
        {"SetPPITail -1", [] { return KT_RDSP_SetPPITail(1, -1); }, false},
        {"SetPPISwitch 2", [] { return KT_RDSP_SetPPISwitch(1, 2); }, false},
        {"SetPPISwitch unopened", [] { return KT_RDSP_SetPPISwitch(2, 1); }, false},
        {"SetPPIOnTop 2", [] { return KT_RDSP_SetPPIOnTop(1, 2); }, false},
        {"OpenMiniWin w", [] { return KT_RDSP_OpenMiniWin(1, 0, 0, 1201, 10); }, false},
        {"SetMiniWinXY x", [] { return KT_RDSP_SetMiniWinXY(1, -1, 0); }, false},
        {"SetMiniWinWH h", [] { return KT_RDSP_SetMiniWinWH(1, 10, 0); }, false},
        {"SetMiniWinMode 2", [] { return KT_RDSP_SetMiniWinMode(1, 2); }, false},
        {"SetMiniWinDistDir 301", [] { return KT_RDSP_SetMiniWinDistDir(1, 301, 0.0f); }, false},
        {"SetMiniWinDistDir NaN", [nan] { return KT_RDSP_SetMiniWinDistDir(1, 10, nan); }, false},
        {"SetMiniWinScale 9", [] { return KT_RDSP_SetMiniWinScale(1, 9); }, false},
        {"OpenAr w", [] { return KT_RDSP_OpenAr(1, 0, 0, 513, 10); }, false},
        {"SetArXY y", [] { return KT_RDSP_SetArXY(2, 0, 1024); }, false},
        {"SetArWH h", [] { return KT_RDSP_SetArWH(2, 10, 513); }, false},
        {"SetArGate 8", [] { return KT_RDSP_SetArGate(1, 8); }, false},
        {"SetArDist 0", [] { return KT_RDSP_SetArDist(1, 0); }, false},
        {"SetAROnTop 2", [] { return KT_RDSP_SetAROnTop(1, 2); }, false},
        {"OpenTV w", [] { return KT_RDSP_OpenTV(1, 0, 0, 721, 10); }, false},
        {"SetTVXY x", [] { return KT_RDSP_SetTVXY(1, 1280, 0); }, false},
        {"SetTVWH h", [] { return KT_RDSP_SetTVWH(1, 10, 577); }, false},
        {"FrostTV 2", [] { return KT_RDSP_FrostTV(1, 2); }, false},
        {"SetTVOnTop 2", [] { return KT_RDSP_SetTVOnTop(1, 2); }, false},
        // The channel is checked before anything is read.
        {"SetPPIScan on channel 3", [] { return KT_RDSP_SetPPIScan(3, 2); }, false},
        {"FrostPPI on channel 0", [] { return KT_RDSP_FrostPPI(0, 2); }, false},
    };
    for (const Refusal& r : refusals) {
        const LibraryState before = state;
        EXPECT_EQ(r.call(), -1) << r.name;
        EXPECT_TRUE(SameState(before, state)) << r.name;
        const auto accesses = Accesses();
        if (r.readsFirst) {
            EXPECT_EQ(accesses.size(), 1u) << r.name;
            const bool read = !accesses.empty() && (accesses[0].rfind("R", 0) == 0 || accesses[0].find(" R ") != std::string::npos);
            EXPECT_TRUE(read) << r.name;
        } else {
            EXPECT_TRUE(accesses.empty()) << r.name;
        }
        RadovlSim_TraceClear();
    }
}

TEST_F(GateTest, ChannelIsTakenFromTheLowByteOfItsSlot) {
    StartUp();
    EXPECT_EQ(KT_RDSP_OpenOverlay(0x101, 1), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203018), 0x02000000u);
    EXPECT_EQ(KT_RDSP_OpenOverlay(0x7FFFFF02, 1), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB020301C), 0x02000000u);
}

TEST_F(GateTest, OverlayFlag) {
    StartUp();
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 2), -1);
    EXPECT_EQ(KT_RDSP_OpenOverlay(3, 1), -1);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    RadovlSim_PokeMain(0, 0xB0203018, 0x10FF00FF);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 1), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203018), 0x12FF00FFu);
    EXPECT_EQ(KT_RDSP_OpenOverlay(1, 0), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203018), 0x10FF00FFu);
}

TEST_F(GateTest, VideoCombinedSetsOnlyBit4) {
    StartUp();
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(2), -1);
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(-1), -1);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
    RadovlSim_PokeMain(0, 0xB0203008, 0xFFFF0000);
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(1), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203008), 0xFFFF0010u);
    EXPECT_EQ(KT_RDSP_SetPPIVideoCombined(0), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203008), 0xFFFF0000u);
}

TEST_F(GateTest, P2pModesCheckModeThenChannel) {
    StartUp();
    for (int32_t mode : {2, -1, 0x7F}) {
        EXPECT_EQ(SetTVP2pMode(1, mode), -1);
        EXPECT_EQ(SetRDP2pMode(1, mode), -1);
    }
    for (int32_t channel : {0, 3, -1}) {
        EXPECT_EQ(SetTVP2pMode(channel, 1), -1);
        EXPECT_EQ(SetRDP2pMode(channel, 0), -1);
    }
    EXPECT_EQ(RadovlSim_TraceCount(), 0);
}

TEST_F(GateTest, TvP2pModeWritesTheShadowWithoutReading) {
    StartUp();
    RadovlSim_PokeVideo(0, 0, 0xB0080000, 0xFFFF0000);  // not read: the shadow is used as held
    EXPECT_EQ(SetTVP2pMode(1, 0), 1);
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"V0 W 0xB0080000 = 0x00000149"}));
    EXPECT_EQ(state.TvModeSave[0], 1);
    EXPECT_EQ(SetTVP2pMode(1, 1), 1);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0xB0080000), 0x0000014Bu);
    EXPECT_EQ(state.TvModeSave[0], 3);
}

TEST_F(GateTest, RdP2pModeTakesTheRegisterIntoTheShadow) {
    StartUp();
    RadovlSim_PokeVideo(0, 1, 0xB0080000, 0xABCD7FFF);
    for (uint32_t block : {0xB0080100u, 0xB0080200u, 0xB0080300u, 0xB0080400u}) {
        RadovlSim_PokeVideo(0, 1, block, 0xF0F0F0F1);
    }
    EXPECT_EQ(SetRDP2pMode(2, 0), 1);
    EXPECT_EQ(RadovlSim_PeekVideo(0, 1, 0xB0080000), 0x00007EB7u);  // low 16 bits, bits 3, 6, 8 cleared
    EXPECT_EQ(state.ControlShadow[1], 0x7EB7);
    for (uint32_t block : {0xB0080100u, 0xB0080200u, 0xB0080300u, 0xB0080400u}) {
        EXPECT_EQ(RadovlSim_PeekVideo(0, 1, block), 0xF0F0F0F0u) << Hex(block);
    }
    EXPECT_EQ(RadovlSim_PeekVideo(0, 0, 0xB0080000), 0x0000014Bu);  // channel 1 untouched
}

TEST_F(GateTest, ScreenPropertyBeforeAndAfterStartUp) {
    // Before start-up there is no board to read: only the display mode is kept.
    EXPECT_EQ(KT_RDSP_SetScreenProp(1, 0), 1);
    EXPECT_EQ(state.DisMode, 0);
    EXPECT_EQ(KT_RDSP_SetScreenProp(0, 1), -1);
    EXPECT_EQ(KT_RDSP_SetScreenProp(2, 0), -1);
    EXPECT_EQ(RadovlSim_TraceCount(), 0);

    StartUp();
    RadovlSim_PokeMain(0, 0xB0203000, 0xF0F0F0F0);
    EXPECT_EQ(KT_RDSP_SetScreenProp(0, 3), 1);
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203000), 0xF0F0F0F3u);
    RadovlSim_TraceClear();
    EXPECT_EQ(KT_RDSP_SetScreenProp(0, 4), -1);
    EXPECT_EQ(KT_RDSP_SetScreenProp(2, 0), -1);
    EXPECT_EQ(KT_RDSP_SetScreenProp(1, 7), 1);
    EXPECT_EQ(state.DisMode, 7);
    // Each call read DisplayControl, none wrote anything.
    EXPECT_EQ(Accesses(), (std::vector<std::string>{"R32 0xB0203000 -> 0xF0F0F0F3", "R32 0xB0203000 -> 0xF0F0F0F3",
                                                     "R32 0xB0203000 -> 0xF0F0F0F3"}));
    EXPECT_EQ(KT_RDSP_SetScreenProp(0x100, 0x101), 1);  // which 0, value 1
    EXPECT_EQ(RadovlSim_PeekMain(0, 0xB0203000), 0xF0F0F0F1u);
}

TEST_F(GateTest, InitAndScreenPropNeverReturnNotInitialised) {
    RadovlSim_SetBoardPresent(0, 0);
    CaptureStdout([] { EXPECT_EQ(KT_RDSP_Init(), -1); });
    EXPECT_NE(KT_RDSP_SetScreenProp(0, 0), -2);
    EXPECT_NE(KT_RDSP_SetScreenProp(5, 0), -2);
}

}  // namespace
}  // namespace radovl::test
