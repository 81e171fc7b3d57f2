// The fifty exported entry points. Each argument arrives in its own 32-bit
// slot; the narrow ones are cut to their real width here, explicitly, so
// that whatever the caller left in the upper bits (a channel passed as
// 0x101, say) the library reads what the 32-bit convention says it reads.
#include "radovl/radovl.h"

#include "api/entry.h"
#include "api/startup.h"
#include "windows/operations.h"

using namespace radovl;

namespace {

int8_t Int8(int32_t slot) { return static_cast<int8_t>(static_cast<uint8_t>(slot)); }
int16_t Int16(int32_t slot) { return static_cast<int16_t>(static_cast<uint16_t>(slot)); }
uint8_t UInt8(int32_t slot) { return static_cast<uint8_t>(slot); }

}  // namespace

extern "C" {

RADOVL_API int32_t RADOVL_CALL KT_RDSP_Init(void) {
    return RunExport("KT_RDSP_Init", {}, [&] { return Init(); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenOverlay(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_OpenOverlay", {channel, on}, [&] { return op::OpenOverlay(Int8(channel), on); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetScreenProp(int32_t which, int32_t value) {
    return RunExport("KT_RDSP_SetScreenProp", {which, value}, [&] { return op::SetScreenProp(UInt8(which), UInt8(value)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIVideoCombined(int32_t on) {
    return RunExport("KT_RDSP_SetPPIVideoCombined", {on}, [&] { return op::SetPPIVideoCombined(Int8(on)); });
}

RADOVL_API int32_t RADOVL_CALL SetTVP2pMode(int32_t channel, int32_t mode) {
    return RunExport("SetTVP2pMode", {channel, mode}, [&] { return op::SetTVP2pMode(Int8(channel), Int8(mode)); });
}

RADOVL_API int32_t RADOVL_CALL SetRDP2pMode(int32_t channel, int32_t mode) {
    return RunExport("SetRDP2pMode", {channel, mode}, [&] { return op::SetRDP2pMode(Int8(channel), Int8(mode)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenPPI(int32_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_OpenPPI", {channel, x, y, w, h}, [&] { return op::OpenPPI(Int8(channel), Int16(x), Int16(y), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_ClosePPI(int32_t channel) {
    return RunExport("KT_RDSP_ClosePPI", {channel}, [&] { return op::ClosePPI(Int8(channel)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIXY(int32_t channel, int32_t x, int32_t y) {
    return RunExport("KT_RDSP_SetPPIXY", {channel, x, y}, [&] { return op::SetPPIXY(Int8(channel), Int16(x), Int16(y)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIWH(int32_t channel, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_SetPPIWH", {channel, w, h}, [&] { return op::SetPPIWH(Int8(channel), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIMode(int32_t channel, int32_t mode) {
    return RunExport("KT_RDSP_SetPPIMode", {channel, mode}, [&] { return op::SetPPIMode(Int8(channel), Int16(mode)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPICenter(int32_t channel, int32_t dx, int32_t dy) {
    return RunExport("KT_RDSP_SetPPICenter", {channel, dx, dy}, [&] { return op::SetPPICenter(Int8(channel), Int16(dx), Int16(dy)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIShipDir(int32_t channel, float angle) {
    return RunExport("KT_RDSP_SetPPIShipDir", {channel, angle}, [&] { return op::SetPPIShipDir(Int8(channel), angle); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIColor(int32_t channel, uint32_t colour) {
    return RunExport("KT_RDSP_SetPPIColor", {channel, colour}, [&] { return op::SetPPIColor(Int8(channel), colour); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineColor(int32_t channel, uint32_t colour) {
    return RunExport("KT_RDSP_SetPPILineColor", {channel, colour}, [&] { return op::SetPPILineColor(Int8(channel), colour); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIScan(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_SetPPIScan", {channel, on}, [&] { return op::SetPPIScan(Int8(channel), on); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostPPI(int32_t channel, int32_t frost) {
    return RunExport("KT_RDSP_FrostPPI", {channel, frost}, [&] { return op::FrostPPI(Int8(channel), Int8(frost)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIDist(int32_t channel, int32_t dist) {
    return RunExport("KT_RDSP_SetPPIDist", {channel, dist}, [&] { return op::SetPPIDist(Int8(channel), Int16(dist)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIGate(int32_t channel, int32_t gate) {
    return RunExport("KT_RDSP_SetPPIGate", {channel, gate}, [&] { return op::SetPPIGate(Int8(channel), Int8(gate)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPITail(int32_t channel, int32_t tail) {
    return RunExport("KT_RDSP_SetPPITail", {channel, tail}, [&] { return op::SetPPITail(Int8(channel), tail); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPISwitch(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_SetPPISwitch", {channel, on}, [&] { return op::SetPPISwitch(Int8(channel), Int16(on)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPILineTail(int32_t channel, uint32_t lineTail) {
    return RunExport("KT_RDSP_SetPPILineTail", {channel, lineTail}, [&] { return op::SetPPILineTail(Int8(channel), lineTail); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetPPIOnTop(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_SetPPIOnTop", {channel, on}, [&] { return op::SetPPIOnTop(Int8(channel), on); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenMiniWin(int32_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_OpenMiniWin", {channel, x, y, w, h}, [&] { return op::OpenMiniWin(Int8(channel), Int16(x), Int16(y), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseMiniWin(int32_t channel) {
    return RunExport("KT_RDSP_CloseMiniWin", {channel}, [&] { return op::CloseMiniWin(Int8(channel)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinXY(int32_t channel, int32_t x, int32_t y) {
    return RunExport("KT_RDSP_SetMiniWinXY", {channel, x, y}, [&] { return op::SetMiniWinXY(Int8(channel), Int16(x), Int16(y)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinWH(int32_t channel, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_SetMiniWinWH", {channel, w, h}, [&] { return op::SetMiniWinWH(Int8(channel), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinMode(int32_t channel, int32_t mode) {
    return RunExport("KT_RDSP_SetMiniWinMode", {channel, mode}, [&] { return op::SetMiniWinMode(Int8(channel), Int8(mode)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinColor(int32_t channel, uint32_t colour) {
    return RunExport("KT_RDSP_SetMiniWinColor", {channel, colour}, [&] { return op::SetMiniWinColor(Int8(channel), colour); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinDistDir(int32_t channel, int32_t distance, float direction) {
    return RunExport("KT_RDSP_SetMiniWinDistDir", {channel, distance, direction}, [&] { return op::SetMiniWinDistDir(Int8(channel), Int16(distance), direction); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetMiniWinScale(int32_t channel, int32_t scale) {
    return RunExport("KT_RDSP_SetMiniWinScale", {channel, scale}, [&] { return op::SetMiniWinScale(Int8(channel), Int16(scale)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenAr(int32_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_OpenAr", {channel, x, y, w, h}, [&] { return op::OpenAr(Int8(channel), Int16(x), Int16(y), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseAr(int32_t channel) {
    return RunExport("KT_RDSP_CloseAr", {channel}, [&] { return op::CloseAr(Int8(channel)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArXY(int32_t channel, int32_t x, int32_t y) {
    return RunExport("KT_RDSP_SetArXY", {channel, x, y}, [&] { return op::SetArXY(Int8(channel), Int16(x), Int16(y)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArWH(int32_t channel, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_SetArWH", {channel, w, h}, [&] { return op::SetArWH(Int8(channel), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArGate(int32_t channel, int32_t gate) {
    return RunExport("KT_RDSP_SetArGate", {channel, gate}, [&] { return op::SetArGate(Int8(channel), Int8(gate)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArDist(int32_t channel, int32_t dist) {
    return RunExport("KT_RDSP_SetArDist", {channel, dist}, [&] { return op::SetArDist(Int8(channel), Int16(dist)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColor(int32_t channel, uint32_t colour) {
    return RunExport("KT_RDSP_SetArColor", {channel, colour}, [&] { return op::SetArColor(Int8(channel), colour); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetArColorKey(int32_t channel, uint32_t key) {
    return RunExport("KT_RDSP_SetArColorKey", {channel, key}, [&] { return op::SetArColorKey(Int8(channel), key); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetAROnTop(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_SetAROnTop", {channel, on}, [&] { return op::SetAROnTop(Int8(channel), on); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_OpenTV(int32_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_OpenTV", {channel, x, y, w, h}, [&] { return op::OpenTV(Int8(channel), Int16(x), Int16(y), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_CloseTV(int32_t channel) {
    return RunExport("KT_RDSP_CloseTV", {channel}, [&] { return op::CloseTV(Int8(channel)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVXY(int32_t channel, int32_t x, int32_t y) {
    return RunExport("KT_RDSP_SetTVXY", {channel, x, y}, [&] { return op::SetTVXY(Int8(channel), Int16(x), Int16(y)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVWH(int32_t channel, int32_t w, int32_t h) {
    return RunExport("KT_RDSP_SetTVWH", {channel, w, h}, [&] { return op::SetTVWH(Int8(channel), Int16(w), Int16(h)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_FrostTV(int32_t channel, int32_t frost) {
    return RunExport("KT_RDSP_FrostTV", {channel, frost}, [&] { return op::FrostTV(Int8(channel), Int8(frost)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVBright(int32_t channel, int32_t level) {
    return RunExport("KT_RDSP_SetTVBright", {channel, level}, [&] { return op::SetTVBright(Int8(channel), UInt8(level)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColor(int32_t channel, int32_t level) {
    return RunExport("KT_RDSP_SetTVColor", {channel, level}, [&] { return op::SetTVColor(Int8(channel), UInt8(level)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVContrast(int32_t channel, int32_t level) {
    return RunExport("KT_RDSP_SetTVContrast", {channel, level}, [&] { return op::SetTVContrast(Int8(channel), UInt8(level)); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVOnTop(int32_t channel, int32_t on) {
    return RunExport("KT_RDSP_SetTVOnTop", {channel, on}, [&] { return op::SetTVOnTop(Int8(channel), on); });
}

RADOVL_API int32_t RADOVL_CALL KT_RDSP_SetTVColorKey(int32_t channel, uint32_t key) {
    return RunExport("KT_RDSP_SetTVColorKey", {channel, key}, [&] { return op::SetTVColorKey(Int8(channel), key); });
}

}  // extern "C"
