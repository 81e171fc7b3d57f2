// The A/R window: a scope display that the channel's video DSP draws in two
// stacked bands of equal height, the lower starting half the window's
// height below the upper. Distance and gate live in the upper band's block.
#include "board/access.h"
#include "hw/registers.h"
#include "windows/gate.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {
namespace {

constexpr int32_t MaxSize = 512;
constexpr int32_t MaxGate = 7;

ArRecord& Record(int8_t channel) { return state.ar[VideoDspOf(channel)]; }

bool ValidSize(int32_t w, int32_t h) { return InRange(w, 1, MaxSize) && InRange(h, 1, MaxSize); }

void PlaceAr(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    const int dsp = VideoDspOf(channel);
    SelectOutput(channel, PpiKeyControl::Address, x, y);

    const uint32_t size = FieldPrep(ArUpperSize::HalfHeight, static_cast<uint32_t>(h / 2)) |
                          FieldPrep(ArUpperSize::Width, static_cast<uint32_t>(w));
    VideoWrite32(dsp, ArUpperSize::Address, size);
    VideoWrite32(dsp, ArLowerSize::Address, size);

    const MonitorPoint start = MonitorRelative(x, y);
    const int32_t column = ClampToZero(start.x + PixelOffset::ArStartColumn);
    const int32_t row = ClampToZero(start.y + PixelOffset::ArStartRow);
    const uint32_t startWord = PositionWord(row, column);
    BoardWrite32(ArStart::Address.For(channel), startWord);
    VideoWrite32(dsp, ArUpperStart::Address, startWord);
    const auto half = static_cast<int32_t>(FieldGet(ArUpperSize::HalfHeight, VideoRead32(dsp, ArUpperSize::Address)));
    VideoWrite32(dsp, ArLowerStart::Address, PositionWord(row + half, column));

    const auto lastColumn = static_cast<int16_t>(x + w - 1);
    const auto lastRow = static_cast<int16_t>(y + h - 1);
    const MonitorPoint end = MonitorRelative(lastColumn, lastRow);
    const uint32_t endWord =
        PositionWord(ClampToZero(end.y), ClampToZero(end.x + PixelOffset::ArEndColumn));
    BoardWrite32(ArEnd::Address.For(channel), endWord);
    VideoWrite32(dsp, ArEndMirror::Address, endWord);
}

void EnableAr(int8_t channel, int32_t on) {
    const bool shown = (on & 1) != 0;
    const uint32_t displayBit = DisplayControl::ArShown.For(channel);
    UpdateDisplayControl(displayBit, shown ? displayBit : 0);
    const uint32_t band = on == 1 ? ArBandEnable : 0;
    UpdateVideo32(VideoDspOf(channel), ArUpperControl::Address, ArBandEnable, band);
    UpdateVideo32(VideoDspOf(channel), ArLowerControl::Address, ArBandEnable, band);
}

// Each colour bit of ArKeyControl switches one primary on or off.
void SetArColorBits(int8_t channel, uint32_t rgb) {
    UpdateBoard32(ArKeyControl::Address.For(channel), ArKeyControl::Colour, ArKeyControl::ColourBitsOf(rgb));
}

}  // namespace

namespace op {

int32_t OpenAr(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y) || !ValidSize(w, h)) return StatusBadArgument;
    PlaceAr(channel, x, y, w, h);
    EnableAr(channel, 1);
    const int dsp = VideoDspOf(channel);
    VideoWrite32(dsp, ArUpperPresetA::Address, ArPresetA);
    VideoWrite32(dsp, ArUpperPresetB::Address, ArPresetB);
    VideoWrite32(dsp, ArLowerPresetA::Address, ArPresetA);
    VideoWrite32(dsp, ArLowerPresetB::Address, ArPresetB);
    ArRecord& record = Record(channel);
    record.x = x;
    record.y = y;
    record.w = w;
    record.h = h;
    SetArColorKey(channel, DefaultColourKey);  // every open starts with the magenta key
    return StatusDone;
}

int32_t CloseAr(int8_t channel) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    EnableAr(channel, 0);
    return StatusDone;
}

int32_t SetArXY(int8_t channel, int16_t x, int16_t y) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y)) return StatusBadArgument;
    ArRecord& record = Record(channel);
    PlaceAr(channel, x, y, static_cast<int16_t>(record.w), static_cast<int16_t>(record.h));
    record.x = x;
    record.y = y;
    return StatusDone;
}

int32_t SetArWH(int8_t channel, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!ValidSize(w, h)) return StatusBadArgument;
    ArRecord& record = Record(channel);
    PlaceAr(channel, static_cast<int16_t>(record.x), static_cast<int16_t>(record.y), w, h);
    record.w = w;
    record.h = h;
    return StatusDone;
}

int32_t SetArGate(int8_t channel, int8_t gate) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!InRange(gate, 0, MaxGate)) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), ArGate::Address, ArGate::Gate, FieldPrep(ArGate::Gate, static_cast<uint32_t>(gate)));
    return StatusDone;
}

int32_t SetArDist(int8_t channel, int16_t dist) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (dist < 1) return StatusBadArgument;
    const int dsp = VideoDspOf(channel);
    const auto distance = static_cast<uint32_t>(int32_t{dist});
    WriteDistanceVariable(channel, dist);
    UpdateVideo32(dsp, ArDistance::Address, ArDistance::Distance, FieldPrep(ArDistance::Distance, distance));
    UpdateVideo32(dsp, ArGate::Address, ArGate::DistanceHigh,
                  FieldPrep(ArGate::DistanceHigh, FieldGet(DistanceScale::High, distance)));
    return StatusDone;
}

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

// On top shares bit 26 of ArKeyControl with the red colour bit.
int32_t SetAROnTop(int8_t channel, int32_t on) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(on)) return StatusBadArgument;
    if (on == 0) return StatusDone;
    SetPriority(channel, DisplayControl::ArPriority);
    UpdateBoard32(ArKeyControl::Address.For(channel), ArKeyControl::OnTop, ArKeyControl::OnTop);
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
