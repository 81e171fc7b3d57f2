#include "support/export_table.h"

#include <cstdio>
#include <cstring>

#include "radovl/radovl.h"

namespace radovl::test {

uint32_t FloatBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

namespace {

using P = Param;

int32_t I(uint32_t slot) { return static_cast<int32_t>(slot); }
float F(uint32_t slot) { return BitsFloat(slot); }

// Windows the calls below act on: channel 1, on the primary monitor.
void OpenPpi() { KT_RDSP_OpenPPI(1, 100, 50, 400, 300); }
void OpenPpiThenClose() {
    OpenPpi();
    KT_RDSP_ClosePPI(1);
}
void OpenMini() {
    OpenPpi();
    KT_RDSP_OpenMiniWin(1, 150, 80, 200, 100);
}
void OpenAr() { KT_RDSP_OpenAr(1, 100, 50, 200, 100); }
void OpenTv() { KT_RDSP_OpenTV(1, 100, 50, 360, 288); }

constexpr Refusal Nothing = Refusal::SendsNothing;

}  // namespace

const std::vector<Export>& Exports() {
    static const std::vector<Export> table = {
        {"KT_RDSP_Init", {}, {}, [](const uint32_t*) { return KT_RDSP_Init(); }, nullptr, false, Nothing},
        {"KT_RDSP_OpenOverlay", {P::Channel, P::Int32}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_OpenOverlay(I(s[0]), I(s[1])); }, nullptr, true, Nothing},
        {"KT_RDSP_SetScreenProp", {P::UInt8, P::UInt8}, {0, 2},
         [](const uint32_t* s) { return KT_RDSP_SetScreenProp(I(s[0]), I(s[1])); }, nullptr, false,
         Refusal::MayReadDisplayControl},
        {"KT_RDSP_SetPPIVideoCombined", {P::Int8}, {1},
         [](const uint32_t* s) { return KT_RDSP_SetPPIVideoCombined(I(s[0])); }, nullptr, true, Nothing},
        {"SetTVP2pMode", {P::Int8, P::Int8}, {1, 0},
         [](const uint32_t* s) { return SetTVP2pMode(I(s[0]), I(s[1])); }, nullptr, true, Nothing},
        {"SetRDP2pMode", {P::Int8, P::Int8}, {2, 0},
         [](const uint32_t* s) { return SetRDP2pMode(I(s[0]), I(s[1])); }, nullptr, true, Nothing},

        {"KT_RDSP_OpenPPI", {P::Channel, P::Int16, P::Int16, P::Int16, P::Int16}, {1, 100, 50, 400, 300},
         [](const uint32_t* s) { return KT_RDSP_OpenPPI(I(s[0]), I(s[1]), I(s[2]), I(s[3]), I(s[4])); }, nullptr,
         true, Nothing},
        {"KT_RDSP_ClosePPI", {P::Channel}, {1}, [](const uint32_t* s) { return KT_RDSP_ClosePPI(I(s[0])); },
         OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIXY", {P::Channel, P::Int16, P::Int16}, {1, 120, 60},
         [](const uint32_t* s) { return KT_RDSP_SetPPIXY(I(s[0]), I(s[1]), I(s[2])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIWH", {P::Channel, P::Int16, P::Int16}, {1, 300, 400},
         [](const uint32_t* s) { return KT_RDSP_SetPPIWH(I(s[0]), I(s[1]), I(s[2])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIMode", {P::Channel, P::Int16}, {1, 2},
         [](const uint32_t* s) { return KT_RDSP_SetPPIMode(I(s[0]), I(s[1])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPICenter", {P::Channel, P::Int16, P::Int16}, {1, 100, 50},
         [](const uint32_t* s) { return KT_RDSP_SetPPICenter(I(s[0]), I(s[1]), I(s[2])); }, OpenPpi, true,
         Nothing},
        {"KT_RDSP_SetPPIShipDir", {P::Channel, P::Float}, {1, FloatBits(450.25f)},
         [](const uint32_t* s) { return KT_RDSP_SetPPIShipDir(I(s[0]), F(s[1])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIColor", {P::Channel, P::UInt32}, {1, 0xFF800000},
         [](const uint32_t* s) { return KT_RDSP_SetPPIColor(I(s[0]), s[1]); }, nullptr, true, Nothing},
        {"KT_RDSP_SetPPILineColor", {P::Channel, P::UInt32}, {2, 0x00FF8000},
         [](const uint32_t* s) { return KT_RDSP_SetPPILineColor(I(s[0]), s[1]); }, nullptr, true, Nothing},
        {"KT_RDSP_SetPPIScan", {P::Channel, P::Int32}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_SetPPIScan(I(s[0]), I(s[1])); }, OpenPpi, true,
         Refusal::MayReadPpiFlags},
        {"KT_RDSP_FrostPPI", {P::Channel, P::Int8}, {1, 0},
         [](const uint32_t* s) { return KT_RDSP_FrostPPI(I(s[0]), I(s[1])); }, OpenPpi, true,
         Refusal::MayReadPpiFlags},
        {"KT_RDSP_SetPPIDist", {P::Channel, P::Int16}, {1, 100},
         [](const uint32_t* s) { return KT_RDSP_SetPPIDist(I(s[0]), I(s[1])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIGate", {P::Channel, P::Int8}, {1, 4},
         [](const uint32_t* s) { return KT_RDSP_SetPPIGate(I(s[0]), I(s[1])); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPITail", {P::Channel, P::Int32}, {1, 0x12345},
         [](const uint32_t* s) { return KT_RDSP_SetPPITail(I(s[0]), I(s[1])); }, OpenPpi, true, Nothing},
        // Passes on the status of the Open it calls; Open refuses before any access.
        {"KT_RDSP_SetPPISwitch", {P::Channel, P::Int16}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_SetPPISwitch(I(s[0]), I(s[1])); }, OpenPpiThenClose, true,
         Nothing},
        {"KT_RDSP_SetPPILineTail", {P::Channel, P::UInt32}, {1, 0x12345},
         [](const uint32_t* s) { return KT_RDSP_SetPPILineTail(I(s[0]), s[1]); }, OpenPpi, true, Nothing},
        {"KT_RDSP_SetPPIOnTop", {P::Channel, P::Int32}, {2, 1},
         [](const uint32_t* s) { return KT_RDSP_SetPPIOnTop(I(s[0]), I(s[1])); }, nullptr, true, Nothing},

        {"KT_RDSP_OpenMiniWin", {P::Channel, P::Int16, P::Int16, P::Int16, P::Int16}, {1, 150, 80, 200, 100},
         [](const uint32_t* s) { return KT_RDSP_OpenMiniWin(I(s[0]), I(s[1]), I(s[2]), I(s[3]), I(s[4])); },
         OpenPpi, true, Nothing},
        {"KT_RDSP_CloseMiniWin", {P::Channel}, {1}, [](const uint32_t* s) { return KT_RDSP_CloseMiniWin(I(s[0])); },
         OpenMini, true, Nothing},
        {"KT_RDSP_SetMiniWinXY", {P::Channel, P::Int16, P::Int16}, {1, 160, 90},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinXY(I(s[0]), I(s[1]), I(s[2])); }, OpenMini, true,
         Nothing},
        {"KT_RDSP_SetMiniWinWH", {P::Channel, P::Int16, P::Int16}, {1, 120, 240},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinWH(I(s[0]), I(s[1]), I(s[2])); }, OpenMini, true,
         Nothing},
        {"KT_RDSP_SetMiniWinMode", {P::Channel, P::Int8}, {1, 0},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinMode(I(s[0]), I(s[1])); }, OpenMini, true, Nothing},
        {"KT_RDSP_SetMiniWinColor", {P::Channel, P::UInt32}, {1, 0xFF000000},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinColor(I(s[0]), s[1]); }, nullptr, true, Nothing},
        {"KT_RDSP_SetMiniWinDistDir", {P::Channel, P::Int16, P::Float}, {1, 100, FloatBits(45.0f)},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinDistDir(I(s[0]), I(s[1]), F(s[2])); }, OpenMini, true,
         Nothing},
        {"KT_RDSP_SetMiniWinScale", {P::Channel, P::Int16}, {1, 2},
         [](const uint32_t* s) { return KT_RDSP_SetMiniWinScale(I(s[0]), I(s[1])); }, OpenMini, true, Nothing},

        {"KT_RDSP_OpenAr", {P::Channel, P::Int16, P::Int16, P::Int16, P::Int16}, {1, 100, 50, 200, 100},
         [](const uint32_t* s) { return KT_RDSP_OpenAr(I(s[0]), I(s[1]), I(s[2]), I(s[3]), I(s[4])); }, nullptr,
         true, Nothing},
        {"KT_RDSP_CloseAr", {P::Channel}, {1}, [](const uint32_t* s) { return KT_RDSP_CloseAr(I(s[0])); }, OpenAr,
         true, Nothing},
        {"KT_RDSP_SetArXY", {P::Channel, P::Int16, P::Int16}, {1, 120, 60},
         [](const uint32_t* s) { return KT_RDSP_SetArXY(I(s[0]), I(s[1]), I(s[2])); }, OpenAr, true, Nothing},
        {"KT_RDSP_SetArWH", {P::Channel, P::Int16, P::Int16}, {1, 512, 300},
         [](const uint32_t* s) { return KT_RDSP_SetArWH(I(s[0]), I(s[1]), I(s[2])); }, OpenAr, true, Nothing},
        {"KT_RDSP_SetArGate", {P::Channel, P::Int8}, {1, 3},
         [](const uint32_t* s) { return KT_RDSP_SetArGate(I(s[0]), I(s[1])); }, OpenAr, true, Nothing},
        {"KT_RDSP_SetArDist", {P::Channel, P::Int16}, {1, 100},
         [](const uint32_t* s) { return KT_RDSP_SetArDist(I(s[0]), I(s[1])); }, OpenAr, true, Nothing},
        {"KT_RDSP_SetArColor", {P::Channel, P::UInt32}, {2, 0xFF000000},
         [](const uint32_t* s) { return KT_RDSP_SetArColor(I(s[0]), s[1]); }, nullptr, true, Nothing},
        {"KT_RDSP_SetArColorKey", {P::Channel, P::UInt32}, {1, 0x123456},
         [](const uint32_t* s) { return KT_RDSP_SetArColorKey(I(s[0]), s[1]); }, nullptr, true, Nothing},
        {"KT_RDSP_SetAROnTop", {P::Channel, P::Int32}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_SetAROnTop(I(s[0]), I(s[1])); }, OpenAr, true, Nothing},

        {"KT_RDSP_OpenTV", {P::Channel, P::Int16, P::Int16, P::Int16, P::Int16}, {1, 100, 50, 360, 288},
         [](const uint32_t* s) { return KT_RDSP_OpenTV(I(s[0]), I(s[1]), I(s[2]), I(s[3]), I(s[4])); }, nullptr,
         true, Nothing},
        {"KT_RDSP_CloseTV", {P::Channel}, {1}, [](const uint32_t* s) { return KT_RDSP_CloseTV(I(s[0])); }, OpenTv,
         true, Nothing},
        {"KT_RDSP_SetTVXY", {P::Channel, P::Int16, P::Int16}, {1, 120, 60},
         [](const uint32_t* s) { return KT_RDSP_SetTVXY(I(s[0]), I(s[1]), I(s[2])); }, OpenTv, true, Nothing},
        {"KT_RDSP_SetTVWH", {P::Channel, P::Int16, P::Int16}, {1, 720, 576},
         [](const uint32_t* s) { return KT_RDSP_SetTVWH(I(s[0]), I(s[1]), I(s[2])); }, OpenTv, true, Nothing},
        {"KT_RDSP_FrostTV", {P::Channel, P::Int8}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_FrostTV(I(s[0]), I(s[1])); }, OpenTv, true, Nothing},
        {"KT_RDSP_SetTVBright", {P::Channel, P::UInt8}, {1, 0x90},
         [](const uint32_t* s) { return KT_RDSP_SetTVBright(I(s[0]), I(s[1])); }, nullptr, true, Nothing},
        {"KT_RDSP_SetTVColor", {P::Channel, P::UInt8}, {2, 0x90},
         [](const uint32_t* s) { return KT_RDSP_SetTVColor(I(s[0]), I(s[1])); }, nullptr, true, Nothing},
        {"KT_RDSP_SetTVContrast", {P::Channel, P::UInt8}, {1, 0x90},
         [](const uint32_t* s) { return KT_RDSP_SetTVContrast(I(s[0]), I(s[1])); }, nullptr, true, Nothing},
        {"KT_RDSP_SetTVOnTop", {P::Channel, P::Int32}, {1, 1},
         [](const uint32_t* s) { return KT_RDSP_SetTVOnTop(I(s[0]), I(s[1])); }, OpenTv, true, Nothing},
        {"KT_RDSP_SetTVColorKey", {P::Channel, P::UInt32}, {2, 0x123456},
         [](const uint32_t* s) { return KT_RDSP_SetTVColorKey(I(s[0]), s[1]); }, nullptr, true, Nothing},
    };
    return table;
}

int32_t Call(const Export& e, const Slots& slots) { return e.call(slots.data()); }

std::string Describe(const Export& e, const Slots& slots) {
    std::string text = std::string(e.name) + "(";
    for (size_t i = 0; i < slots.size(); ++i) {
        char arg[48];
        if (e.params[i] == Param::Float) {
            std::snprintf(arg, sizeof arg, "%s%g [0x%08X]", i ? ", " : "", static_cast<double>(BitsFloat(slots[i])),
                          slots[i]);
        } else {
            std::snprintf(arg, sizeof arg, "%s0x%08X", i ? ", " : "", slots[i]);
        }
        text += arg;
    }
    return text + ")";
}

}  // namespace radovl::test
