// The exported window operations, behind the C entry points: each takes its
// arguments already narrowed to their real widths, runs the gate and its own
// checks, and returns a status. Operations that call one another (an open
// resetting its colour key, a Mini placement aiming the window) call these,
// so the inner call passes the same gate.
#pragma once

#include <cstdint>

namespace radovl::op {

// Screen placement and mixer
int32_t OpenOverlay(int8_t channel, int32_t on);
int32_t SetScreenProp(uint8_t which, uint8_t value);
int32_t SetPPIVideoCombined(int8_t on);
int32_t SetTVP2pMode(int8_t channel, int8_t mode);
int32_t SetRDP2pMode(int8_t channel, int8_t mode);

// PPI
int32_t OpenPPI(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h);
int32_t ClosePPI(int8_t channel);
int32_t SetPPIXY(int8_t channel, int16_t x, int16_t y);
int32_t SetPPIWH(int8_t channel, int16_t w, int16_t h);
int32_t SetPPIMode(int8_t channel, int16_t mode);
int32_t SetPPICenter(int8_t channel, int16_t dx, int16_t dy);
int32_t SetPPIShipDir(int8_t channel, float angle);
int32_t SetPPIColor(int8_t channel, uint32_t colour);
int32_t SetPPILineColor(int8_t channel, uint32_t colour);
int32_t SetPPIScan(int8_t channel, int32_t on);
int32_t FrostPPI(int8_t channel, int8_t frost);
int32_t SetPPIDist(int8_t channel, int16_t dist);
int32_t SetPPIGate(int8_t channel, int8_t gate);
int32_t SetPPITail(int8_t channel, int32_t tail);
int32_t SetPPISwitch(int8_t channel, int16_t on);
int32_t SetPPILineTail(int8_t channel, uint32_t lineTail);
int32_t SetPPIOnTop(int8_t channel, int32_t on);

// Mini window
int32_t OpenMiniWin(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h);
int32_t CloseMiniWin(int8_t channel);
int32_t SetMiniWinXY(int8_t channel, int16_t x, int16_t y);
int32_t SetMiniWinWH(int8_t channel, int16_t w, int16_t h);
int32_t SetMiniWinMode(int8_t channel, int8_t mode);
int32_t SetMiniWinColor(int8_t channel, uint32_t colour);
int32_t SetMiniWinDistDir(int8_t channel, int16_t distance, float direction);
int32_t SetMiniWinScale(int8_t channel, int16_t scale);

// A/R window
int32_t OpenAr(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h);
int32_t CloseAr(int8_t channel);
int32_t SetArXY(int8_t channel, int16_t x, int16_t y);
int32_t SetArWH(int8_t channel, int16_t w, int16_t h);
int32_t SetArGate(int8_t channel, int8_t gate);
int32_t SetArDist(int8_t channel, int16_t dist);
int32_t SetArColor(int8_t channel, uint32_t colour);
int32_t SetArColorKey(int8_t channel, uint32_t key);
int32_t SetAROnTop(int8_t channel, int32_t on);

// TV window
int32_t OpenTV(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h);
int32_t CloseTV(int8_t channel);
int32_t SetTVXY(int8_t channel, int16_t x, int16_t y);
int32_t SetTVWH(int8_t channel, int16_t w, int16_t h);
int32_t FrostTV(int8_t channel, int8_t frost);
int32_t SetTVBright(int8_t channel, uint8_t level);
int32_t SetTVColor(int8_t channel, uint8_t level);
int32_t SetTVContrast(int8_t channel, uint8_t level);
int32_t SetTVOnTop(int8_t channel, int32_t on);
int32_t SetTVColorKey(int8_t channel, uint32_t key);

}  // namespace radovl::op
