// The A/R window: a two-band scope display drawn by the channel's video DSP.
#include "api/gate.h"
#include "board/access.h"
#include "board/registers.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {
namespace {

// Each colour bit of ArKeyControl switches one primary on or off.
int32_t SetArColorBits(int8_t channel, uint32_t rgb) {
    uint32_t bits = 0;
    if (rgb & Rgb::Red) bits |= ArKeyControl::Red;
    if (rgb & Rgb::Green) bits |= ArKeyControl::Green;
    if (rgb & Rgb::Blue) bits |= ArKeyControl::Blue;
    UpdateBoard32(ArKeyControl::Address.For(channel), ArKeyControl::Colour, bits);
    return StatusDone;
}

}  // namespace

namespace op {

int32_t SetArColor(int8_t channel, uint32_t colour) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    SetArColorBits(channel, FieldGet(HostColour::Red | HostColour::Green | HostColour::Blue, colour));
    return StatusDone;
}

int32_t SetArColorKey(int8_t channel, uint32_t key) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    UpdateBoard32(ArKeyControl::Address.For(channel), ArKeyControl::ColourKey, key);
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
