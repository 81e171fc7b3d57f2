// Long seeded sequences of calls with valid and invalid arguments on both
// channels, checking what must always hold: the status is 1, -1 or -2; a
// refused call writes nothing; a call changes only bits its window kind
// owns, only on its own channel; bits no operation names keep their value.
#include <cmath>
#include <limits>
#include <random>

#include "support/window_test.h"

namespace radovl::test {
namespace {

enum Kind { Mixer, Ppi, Mini, Ar, Tv, KindCount };

struct Owned {
    uint32_t mask[KindCount];
};

struct Register {
    uint32_t address;
    bool video;
    int channel;  // 0: shared by both channels
    Owned owned;
};

constexpr uint32_t All = 0xFFFFFFFF;

// Which bits of which register each window kind may change.
std::vector<Register> Registers() {
    std::vector<Register> regs;
    auto main = [&](uint32_t address, int channel, Owned owned) { regs.push_back({address, false, channel, owned}); };
    auto video = [&](uint32_t address, Owned owned) {
        for (int channel : {1, 2}) regs.push_back({address, true, channel, owned});
    };
    main(0xB0203000, 0, {{0x00000003, 0x01000300, 0, 0x04003000, 0x02000C00}});
    main(0xB0203008, 0, {{0x00000010, 0, 0, 0, 0}});
    for (int c : {1, 2}) {
        const uint32_t step = c == 1 ? 0 : 4;
        main(0xB0203010 + step, c, {{0, 0, 0, 0, 0x14FFFFFF}});
        main(0xB0203018 + step, c, {{0x02000000, 0x14000000, 0x10000000, 0x10000000, 0}});
        main(0xB0203020 + step, c, {{0, 0, 0, 0x07FFFFFF, 0}});
        const uint32_t block = c == 1 ? 0 : 0x100;
        for (uint32_t a : {0xB0201000u, 0xB0201004u}) main(a + block, c, {{0, 0, All, 0, 0}});
        for (uint32_t a : {0xB0201008u, 0xB020100Cu}) main(a + block, c, {{0, All, 0, 0, 0}});
        for (uint32_t a : {0xB0201010u, 0xB0201014u}) main(a + block, c, {{0, 0, 0, All, 0}});
        const uint32_t tv = c == 1 ? 0 : 0x10;
        for (uint32_t a : {0xB0202000u, 0xB0202008u, 0xB020200Cu}) main(a + tv, c, {{0, 0, 0, 0, All}});
        main(c == 1 ? 0xB0202020 : 0xB0202024, c, {{0, 0, 0, 0, All}});
        for (uint32_t entry : {0u, 128u, 255u}) {
            const uint32_t lut = (c == 1 ? 0xB0301000 : 0xB0302000) + 4 * entry;
            main(lut, c, {{0, All, 0, 0, 0}});
            main(lut + 0x800, c, {{0, All, 0, 0, 0}});
            main((c == 1 ? 0xB0303000 : 0xB0304000) + 4 * entry, c, {{0, 0, All, 0, 0}});
        }
    }
    main(0x80000000, 0, {{0, 0, 0, 0, All}});
    video(0xB0080000, {{0xFFFF014B, 0xFFFF2030, 0xFFFF1010, 0, 0xFFFF0003}});
    video(0xB0080004, {{0, 0x00000F00, 0, 0, 0}});
    video(0xB008002C, {{0, All, 0, 0, 0}});
    video(0xB0080038, {{0, 0, 0, All, 0}});
    video(0xB0080100, {{0x1, 0x30, 0, 0, 0}});
    for (uint32_t a : {0xB0080104u, 0xB0080108u, 0xB0080118u, 0xB0080214u}) video(a, {{0, All, 0, 0, 0}});
    video(0xB0080114, {{0, 0xF0FF0000, 0, 0, 0}});
    video(0xB0080120, {{0, 0xFFFFFF00, 0, 0, 0}});
    video(0xB0080124, {{0, 0x0000FFFF, 0, 0, 0}});
    video(0xB0080128, {{0, 0x0000FFFF, 0, 0, 0}});
    video(0xB0080200, {{0x1, 0, 0x30, 0, 0}});
    for (uint32_t a : {0xB0080204u, 0xB0080208u, 0xB008020Cu, 0xB0080218u, 0xB008021Cu, 0xB0080224u}) {
        video(a, {{0, 0, All, 0, 0}});
    }
    video(0xB0080220, {{0, All, 0x0000FFFF, 0, 0}});
    for (uint32_t a : {0xB0080300u, 0xB0080400u}) video(a, {{0x1, 0, 0, 0x8, 0}});
    for (uint32_t a : {0xB0080304u, 0xB0080308u, 0xB0080318u, 0xB008031Cu, 0xB0080404u, 0xB0080408u, 0xB0080418u,
                       0xB008041Cu}) {
        video(a, {{0, 0, 0, All, 0}});
    }
    video(0xB0080310, {{0, 0, 0, 0xFFFF0000, 0}});
    video(0xB0080314, {{0, 0, 0, 0xF0FF0000, 0}});
    video(0x80001000, {{0, All, 0, All, 0}});  // the video program's distance variable
    return regs;
}

uint32_t Read(const Register& r) {
    return r.video ? RadovlSim_PeekVideo(0, r.channel - 1, r.address) : RadovlSim_PeekMain(0, r.address);
}

class Caller {
public:
    explicit Caller(uint32_t seed) : rng_(seed) {}

    int32_t Channel() {
        switch (Below(8)) {
            case 0: return static_cast<int32_t>(rng_());
            case 1: return Below(256);
            default: return 1 + Below(2);
        }
    }
    // Mostly inside [low, high], sometimes at or beyond its ends, sometimes any slot value.
    int32_t Value(int32_t low, int32_t high) {
        switch (Below(10)) {
            case 0: return static_cast<int32_t>(rng_());
            case 1: return static_cast<int32_t>(0x80000000u);
            case 2: return low - 1;
            case 3: return high + 1;
            case 4: return Below(2) ? low : high;
            default: return low + static_cast<int32_t>(rng_() % static_cast<uint32_t>(high - low + 1));
        }
    }
    float Angle() {
        switch (Below(12)) {
            case 0: return std::numeric_limits<float>::quiet_NaN();
            case 1: return std::numeric_limits<float>::infinity();
            case 2: return -3e9f;
            default: return static_cast<float>(static_cast<int32_t>(rng_() % 200000) - 100000) / 100.0f;
        }
    }
    uint32_t Word() { return rng_(); }
    int32_t Below(int32_t n) { return static_cast<int32_t>(rng_() % static_cast<uint32_t>(n)); }

private:
    std::mt19937 rng_;
};

struct Call {
    const char* name;
    Kind kind;
    bool readsBeforeRefusing;  // reads a register before it can refuse a bad value
    int32_t (*run)(Caller&, int32_t channel);
};

const Call Calls[] = {
    {"OpenOverlay", Mixer, false, [](Caller& c, int32_t ch) { return KT_RDSP_OpenOverlay(ch, c.Value(0, 1)); }},
    {"SetScreenProp", Mixer, true, [](Caller& c, int32_t) { return KT_RDSP_SetScreenProp(c.Value(0, 1), c.Value(0, 3)); }},
    {"SetPPIVideoCombined", Mixer, false, [](Caller& c, int32_t) { return KT_RDSP_SetPPIVideoCombined(c.Value(0, 1)); }},
    {"SetTVP2pMode", Mixer, false, [](Caller& c, int32_t ch) { return SetTVP2pMode(ch, c.Value(0, 1)); }},
    {"SetRDP2pMode", Mixer, false, [](Caller& c, int32_t ch) { return SetRDP2pMode(ch, c.Value(0, 1)); }},
    {"OpenPPI", Ppi, false, [](Caller& c, int32_t ch) {
         return KT_RDSP_OpenPPI(ch, c.Value(-50, 1300), c.Value(-50, 1100), c.Value(1, 1200), c.Value(1, 1200)); }},
    {"ClosePPI", Ppi, false, [](Caller&, int32_t ch) { return KT_RDSP_ClosePPI(ch); }},
    {"SetPPIXY", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIXY(ch, c.Value(0, 1279), c.Value(0, 1023)); }},
    {"SetPPIWH", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIWH(ch, c.Value(1, 1200), c.Value(1, 1200)); }},
    {"SetPPIMode", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIMode(ch, c.Value(0, 2)); }},
    {"SetPPICenter", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPICenter(ch, c.Value(0, 1200), c.Value(0, 1200)); }},
    {"SetPPIShipDir", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIShipDir(ch, c.Angle()); }},
    {"SetPPIColor", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIColor(ch, c.Word()); }},
    {"SetPPILineColor", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPILineColor(ch, c.Word()); }},
    {"SetPPIScan", Ppi, true, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIScan(ch, c.Value(0, 1)); }},
    {"FrostPPI", Ppi, true, [](Caller& c, int32_t ch) { return KT_RDSP_FrostPPI(ch, c.Value(0, 1)); }},
    {"SetPPIDist", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIDist(ch, c.Value(1, 32767)); }},
    {"SetPPIGate", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIGate(ch, c.Value(1, 8)); }},
    {"SetPPITail", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPITail(ch, c.Value(0, 0x7FFF)); }},
    {"SetPPISwitch", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPISwitch(ch, c.Value(0, 1)); }},
    {"SetPPILineTail", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPILineTail(ch, c.Word()); }},
    {"SetPPIOnTop", Ppi, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetPPIOnTop(ch, c.Value(0, 1)); }},
    {"OpenMiniWin", Mini, false, [](Caller& c, int32_t ch) {
         return KT_RDSP_OpenMiniWin(ch, c.Value(-50, 1300), c.Value(-50, 1100), c.Value(1, 1200), c.Value(1, 1200)); }},
    {"CloseMiniWin", Mini, false, [](Caller&, int32_t ch) { return KT_RDSP_CloseMiniWin(ch); }},
    {"SetMiniWinXY", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinXY(ch, c.Value(0, 1279), c.Value(0, 1023)); }},
    {"SetMiniWinWH", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinWH(ch, c.Value(1, 1200), c.Value(1, 1200)); }},
    {"SetMiniWinMode", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinMode(ch, c.Value(0, 1)); }},
    {"SetMiniWinColor", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinColor(ch, c.Word()); }},
    {"SetMiniWinDistDir", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinDistDir(ch, c.Value(0, 300), c.Angle()); }},
    {"SetMiniWinScale", Mini, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetMiniWinScale(ch, c.Value(1, 8)); }},
    {"OpenAr", Ar, false, [](Caller& c, int32_t ch) {
         return KT_RDSP_OpenAr(ch, c.Value(-50, 1300), c.Value(-50, 1100), c.Value(1, 512), c.Value(1, 512)); }},
    {"CloseAr", Ar, false, [](Caller&, int32_t ch) { return KT_RDSP_CloseAr(ch); }},
    {"SetArXY", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArXY(ch, c.Value(0, 1279), c.Value(0, 1023)); }},
    {"SetArWH", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArWH(ch, c.Value(1, 512), c.Value(1, 512)); }},
    {"SetArGate", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArGate(ch, c.Value(0, 7)); }},
    {"SetArDist", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArDist(ch, c.Value(1, 32767)); }},
    {"SetArColor", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArColor(ch, c.Word()); }},
    {"SetArColorKey", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetArColorKey(ch, c.Word()); }},
    {"SetAROnTop", Ar, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetAROnTop(ch, c.Value(0, 1)); }},
    {"OpenTV", Tv, false, [](Caller& c, int32_t ch) {
         return KT_RDSP_OpenTV(ch, c.Value(-50, 1300), c.Value(-50, 1100), c.Value(1, 720), c.Value(1, 576)); }},
    {"CloseTV", Tv, false, [](Caller&, int32_t ch) { return KT_RDSP_CloseTV(ch); }},
    {"SetTVXY", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVXY(ch, c.Value(0, 1279), c.Value(0, 1023)); }},
    {"SetTVWH", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVWH(ch, c.Value(1, 720), c.Value(1, 576)); }},
    {"FrostTV", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_FrostTV(ch, c.Value(0, 1)); }},
    {"SetTVBright", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVBright(ch, c.Value(0, 255)); }},
    {"SetTVColor", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVColor(ch, c.Value(0, 255)); }},
    {"SetTVContrast", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVContrast(ch, c.Value(0, 255)); }},
    {"SetTVOnTop", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVOnTop(ch, c.Value(0, 1)); }},
    {"SetTVColorKey", Tv, false, [](Caller& c, int32_t ch) { return KT_RDSP_SetTVColorKey(ch, c.Word()); }},
};

using RandomCallsTest = WindowTest;

TEST_F(RandomCallsTest, InvariantsHoldOverLongSequences) {
    const std::vector<Register> regs = Registers();
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        StartUp();
        Caller caller(seed);
        // Every tracked register starts from noise, so that bits no
        // operation names have something to keep.
        std::vector<uint32_t> initial;
        for (const Register& r : regs) {
            const uint32_t noise = caller.Word();
            if (r.video && r.address == 0xB0080000) {
                initial.push_back(Read(r));  // ChannelControl is the library's own, written from its shadow
                continue;
            }
            r.video ? RadovlSim_PokeVideo(0, r.channel - 1, r.address, noise) : RadovlSim_PokeMain(0, r.address, noise);
            initial.push_back(noise);
        }
        for (int channel : {1, 2}) RadovlSim_PokeVideo(0, channel - 1, 0x80000000, 0x80001000);

        int done = 0;
        for (int i = 0; i < 3000; ++i) {
            const Call& call = Calls[caller.Below(static_cast<int32_t>(std::size(Calls)))];
            const int32_t channel = caller.Channel();
            std::vector<uint32_t> before;
            for (const Register& r : regs) before.push_back(Read(r));
            RadovlSim_TraceClear();
            const int32_t status = call.run(caller, channel);
            const std::string where = std::string(call.name) + " seed " + std::to_string(seed) + " call " +
                                      std::to_string(i) + " channel " + std::to_string(channel);
            ASSERT_TRUE(status == 1 || status == -1 || status == -2) << where << " status " << status;
            done += status == 1;
            if (status != 1) {
                ASSERT_EQ(Writes(), 0u) << where;
                if (!call.readsBeforeRefusing) {
                    ASSERT_EQ(RadovlSim_TraceCount(), 0) << where;
                }
            }
            const int8_t narrowed = static_cast<int8_t>(channel);
            for (size_t k = 0; k < regs.size(); ++k) {
                const uint32_t changed = before[k] ^ Read(regs[k]);
                if (changed == 0) continue;
                ASSERT_EQ(changed & ~regs[k].owned.mask[call.kind], 0u)
                    << where << ": changed " << Hex(changed) << " of " << (regs[k].video ? "video " : "main ")
                    << Hex(regs[k].address) << " channel " << regs[k].channel;
                if (regs[k].channel != 0) {
                    ASSERT_EQ(regs[k].channel, narrowed) << where << ": touched the other channel's " << Hex(regs[k].address);
                }
            }
        }
        EXPECT_GT(done, 1000) << "most calls should get through, seed " << seed;
        for (size_t k = 0; k < regs.size(); ++k) {
            uint32_t named = 0;
            for (uint32_t m : regs[k].owned.mask) named |= m;
            EXPECT_EQ(Read(regs[k]) & ~named, initial[k] & ~named)
                << "unnamed bits of " << (regs[k].video ? "video " : "main ") << Hex(regs[k].address);
        }
    }
}

}  // namespace
}  // namespace radovl::test
