// Screen-to-board placement rules and the mixer state every window kind
// shares.
#pragma once

#include <cstdint>

#include "hw/registers.h"

namespace radovl {

// A point relative to the top-left corner of its monitor.
struct MonitorPoint {
    int32_t x;
    int32_t y;
};

MonitorPoint MonitorRelative(int32_t x, int32_t y);
// 1 when the point's monitor does not have its corner at (0, 0).
int32_t OnSecondaryMonitor(int32_t x, int32_t y);
// Output-select bit of the channel's key-control register from DisMode and
// the monitor of the point; the register is written back in every case.
void SelectOutput(int8_t channel, ChannelRegister keyControl, int32_t x, int32_t y);

// DisplayControl through its shadow: the register is read into the shadow,
// the bits of mask replaced, and the shadow written back.
void UpdateDisplayControl(uint32_t mask, uint32_t bits);
// Sets (channel 1) or clears (channel 2) a priority bit that exists once.
void SetPriority(int8_t channel, uint32_t priorityBit);

// ChannelControl of the channel's video DSP, written from its shadow.
void WriteChannelControl(int8_t channel);
// Replaces bits of the channel's ChannelControl shadow and writes it.
void UpdateChannelControl(int8_t channel, uint32_t mask, uint32_t bits);

// A colour table: 256 entries ramping from black to the colour 0xRRGGBBxx.
void WriteColourRamp(uint32_t base, uint32_t colour);

// Writes dist to the video DSP program's distance variable, whose address
// the program keeps in DistancePointer.
void WriteDistanceVariable(int8_t channel, int16_t dist);

// An angle in degrees that converts to a 32-bit integer: finite and of
// magnitude below 2^31. Others cannot be brought into a turn exactly.
bool IsConvertibleAngle(float degrees);
// The angle brought into [0, 360] in single precision: whole degrees
// reduced modulo 360, the fraction added back, a negative result turned
// by one full turn (a tiny negative angle can round to exactly 360).
float NormalisedDegrees(float degrees);
// The angle in units of 1/unitsPerTurn of a turn, truncated.
int32_t TurnUnits(float normalisedDegrees, int32_t unitsPerTurn);

// Negative coordinates are clamped to 0 before they are packed.
constexpr int32_t ClampToZero(int32_t value) { return value < 0 ? 0 : value; }

}  // namespace radovl
