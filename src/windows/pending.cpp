// Window operations not built yet. Each passes the gate and then refuses
// with StatusBadArgument, touching nothing: a deliberate placeholder that the
// window kinds replace one by one.
#include "api/gate.h"
#include "windows/operations.h"

namespace radovl::op {
namespace {

int32_t NotBuiltYet(int8_t channel) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    return StatusBadArgument;
}

}  // namespace

int32_t OpenPPI(int8_t channel, int16_t, int16_t, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t ClosePPI(int8_t channel) { return NotBuiltYet(channel); }
int32_t SetPPIXY(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPIWH(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPIMode(int8_t channel, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPICenter(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPIShipDir(int8_t channel, float) { return NotBuiltYet(channel); }
int32_t SetPPIColor(int8_t channel, uint32_t) { return NotBuiltYet(channel); }
int32_t SetPPILineColor(int8_t channel, uint32_t) { return NotBuiltYet(channel); }
int32_t SetPPIScan(int8_t channel, int32_t) { return NotBuiltYet(channel); }
int32_t FrostPPI(int8_t channel, int8_t) { return NotBuiltYet(channel); }
int32_t SetPPIDist(int8_t channel, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPIGate(int8_t channel, int8_t) { return NotBuiltYet(channel); }
int32_t SetPPITail(int8_t channel, int32_t) { return NotBuiltYet(channel); }
int32_t SetPPISwitch(int8_t channel, int16_t) { return NotBuiltYet(channel); }
int32_t SetPPILineTail(int8_t channel, uint32_t) { return NotBuiltYet(channel); }
int32_t SetPPIOnTop(int8_t channel, int32_t) { return NotBuiltYet(channel); }
int32_t OpenMiniWin(int8_t channel, int16_t, int16_t, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t CloseMiniWin(int8_t channel) { return NotBuiltYet(channel); }
int32_t SetMiniWinXY(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetMiniWinWH(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetMiniWinMode(int8_t channel, int8_t) { return NotBuiltYet(channel); }
int32_t SetMiniWinColor(int8_t channel, uint32_t) { return NotBuiltYet(channel); }
int32_t SetMiniWinDistDir(int8_t channel, int16_t, float) { return NotBuiltYet(channel); }
int32_t SetMiniWinScale(int8_t channel, int16_t) { return NotBuiltYet(channel); }
int32_t OpenAr(int8_t channel, int16_t, int16_t, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t CloseAr(int8_t channel) { return NotBuiltYet(channel); }
int32_t SetArXY(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetArWH(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetArGate(int8_t channel, int8_t) { return NotBuiltYet(channel); }
int32_t SetArDist(int8_t channel, int16_t) { return NotBuiltYet(channel); }
int32_t SetAROnTop(int8_t channel, int32_t) { return NotBuiltYet(channel); }
int32_t OpenTV(int8_t channel, int16_t, int16_t, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t CloseTV(int8_t channel) { return NotBuiltYet(channel); }
int32_t SetTVXY(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t SetTVWH(int8_t channel, int16_t, int16_t) { return NotBuiltYet(channel); }
int32_t FrostTV(int8_t channel, int8_t) { return NotBuiltYet(channel); }
int32_t SetTVBright(int8_t channel, uint8_t) { return NotBuiltYet(channel); }
int32_t SetTVColor(int8_t channel, uint8_t) { return NotBuiltYet(channel); }
int32_t SetTVContrast(int8_t channel, uint8_t) { return NotBuiltYet(channel); }
int32_t SetTVOnTop(int8_t channel, int32_t) { return NotBuiltYet(channel); }

}  // namespace radovl::op
