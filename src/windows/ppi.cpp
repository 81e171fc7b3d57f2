// The PPI window: the radar picture. The mixer gets its first and last
// pixel; the video DSP gets its start, size, sweep centre, range and scale.
#include "board/access.h"
#include "hw/registers.h"
#include "windows/gate.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {
namespace {

constexpr int32_t MaxSize = 1200;
constexpr int32_t MinGate = 1;
constexpr int32_t MaxGate = 8;
// The sweep is drawn in steps: 8192 over the extent plus half a pixel,
// less one, at most 255.
constexpr double StepSpan = 8192.0;
constexpr int32_t MaxStep = 255;

PpiRecord& Record(int8_t channel) { return state.ppi[VideoDspOf(channel)]; }

bool ValidSize(int32_t w, int32_t h) { return InRange(w, 1, MaxSize) && InRange(h, 1, MaxSize); }

// Sweep centre for the video DSP, from a screen point.
void WritePpiCentre(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const int32_t column = ClampToZero(m.x + PixelOffset::DspColumn);
    const int32_t row = ClampToZero(m.y);
    VideoWrite32(VideoDspOf(channel), PpiCentre::Address, PositionWord(row, column));
}

// First pixel, for the mixer and for the video DSP.
void WritePpiStart(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const int32_t column = ClampToZero(m.x);
    const int32_t row = ClampToZero(m.y);
    BoardWrite32(PpiStart::Address.For(channel), PositionWord(row, column + PixelOffset::MixerColumn));
    VideoWrite32(VideoDspOf(channel), PpiDspStart::Address, PositionWord(row, column + PixelOffset::DspColumn));
}

// Last pixel, for the mixer only.
void WritePpiEnd(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const int32_t column = ClampToZero(m.x + PixelOffset::MixerColumn);
    const int32_t row = ClampToZero(m.y);
    BoardWrite32(PpiEnd::Address.For(channel), PositionWord(row, column));
}

// Range in pixels, and the sweep's step byte from the extent it covers.
void WritePpiRange(int8_t channel, int32_t range, int32_t extent) {
    const int dsp = VideoDspOf(channel);
    UpdateVideo32(dsp, PpiRange::Address, PpiRange::Written, FieldPrep(PpiRange::Range, static_cast<uint32_t>(range)));
    int32_t step = static_cast<int32_t>(StepSpan / (extent + 0.5)) - 1;
    if (step > MaxStep) step = MaxStep;
    UpdateVideo32(dsp, PpiScale::Address, PpiScale::Step, FieldPrep(PpiScale::Step, static_cast<uint32_t>(step)));
}

int32_t DistanceScaleOf(int32_t distance, int32_t range) {
    if (range < 1) range = 1;
    return distance * DistanceScale::Factor / range;
}

uint32_t ScaleLowBits(int32_t scale) {
    return FieldPrep(PpiScale::DistanceLow, FieldGet(DistanceScale::Low, static_cast<uint32_t>(scale)));
}

uint32_t ScaleHighBits(int32_t scale) {
    return FieldPrep(PpiGate::DistanceHigh, FieldGet(DistanceScale::High, static_cast<uint32_t>(scale)));
}

void PlacePpi(int8_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    const int dsp = VideoDspOf(channel);
    const int32_t cx = x + w / 2;
    const int32_t cy = y + h / 2;
    VideoWrite32(dsp, PpiSize::Address,
                 FieldPrep(PpiSize::Height, static_cast<uint32_t>(h)) | FieldPrep(PpiSize::Width, static_cast<uint32_t>(w)));
    int32_t range = 1;
    switch (VideoRead32(dsp, PpiControl::Address) & PpiControl::Mode) {
        case PpiControl::ModeCentred:
            WritePpiCentre(channel, cx, cy);
            range = w < h ? w / 2 : h / 2;
            WritePpiRange(channel, range, range);
            break;
        case PpiControl::ModeCornerHeight:  // sweep centre one row below the bottom-left pixel
            WritePpiCentre(channel, x, y + h);
            WritePpiRange(channel, h, w);
            range = h;
            break;
        case PpiControl::ModeCornerWidth:
            WritePpiCentre(channel, x, y + h);
            WritePpiRange(channel, w, h);
            range = w;
            break;
        default:  // no placement mode: centre and range are left alone
            break;
    }
    WritePpiStart(channel, x, y);
    WritePpiEnd(channel, x + w - 1, y + h - 1);
    SelectOutput(channel, PpiKeyControl::Address, cx, cy);
    state.PpiPlaced = 1;
    const int32_t scale = DistanceScaleOf(Record(channel).distance, range);
    UpdateVideo32(dsp, PpiScale::Address, PpiScale::DistanceLow, ScaleLowBits(scale));
    UpdateVideo32(dsp, PpiGate::Address, PpiGate::DistanceHigh, ScaleHighBits(scale));
}

void EnablePpi(int8_t channel, int32_t on) {
    const bool shown = (on & 1) != 0;
    const uint32_t displayBit = DisplayControl::PpiShown.For(channel);
    UpdateDisplayControl(displayBit, shown ? displayBit : 0);
    UpdateChannelControl(channel, ChannelControl::PpiShown, shown ? ChannelControl::PpiShown : 0);
}

}  // namespace

namespace op {

int32_t OpenPPI(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y) || !ValidSize(w, h)) return StatusBadArgument;
    PlacePpi(channel, x, y, w, h);
    EnablePpi(channel, 1);
    UpdateChannelControl(channel,
                         ChannelControl::PpiShown | ChannelControl::WindowsTouched | ChannelControl::PpiClearedAtOpen,
                         ChannelControl::PpiShown | ChannelControl::WindowsTouched);
    PpiRecord& record = Record(channel);
    record.x = x;
    record.y = y;
    record.w = w;
    record.h = h;
    return StatusDone;
}

int32_t ClosePPI(int8_t channel) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    EnablePpi(channel, 0);
    return StatusDone;
}

int32_t SetPPIXY(int8_t channel, int16_t x, int16_t y) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y)) return StatusBadArgument;
    PpiRecord& record = Record(channel);
    PlacePpi(channel, x, y, record.w, record.h);
    record.x = x;
    record.y = y;
    return StatusDone;
}

int32_t SetPPIWH(int8_t channel, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!ValidSize(w, h)) return StatusBadArgument;
    PpiRecord& record = Record(channel);
    PlacePpi(channel, record.x, record.y, w, h);
    record.w = w;
    record.h = h;
    return StatusDone;
}

int32_t SetPPIMode(int8_t channel, int16_t mode) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    // Mode 0 puts the sweep centre in the bottom-left corner with the range
    // from the height, 1 centres it, 2 is the corner with the range from the
    // width.
    static constexpr uint32_t Modes[] = {PpiControl::ModeCornerHeight, PpiControl::ModeCentred,
                                         PpiControl::ModeCornerWidth};
    if (!InRange(mode, 0, 2)) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), PpiControl::Address, PpiControl::Mode, Modes[mode]);
    return StatusDone;
}

int32_t SetPPICenter(int8_t channel, int16_t dx, int16_t dy) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!InRange(dx, 0, MaxSize) || !InRange(dy, 0, MaxSize)) return StatusBadArgument;
    if ((VideoRead32(VideoDspOf(channel), PpiControl::Address) & PpiControl::Mode) != PpiControl::ModeCentred) {
        return StatusDone;  // a corner placement has its own centre
    }
    PpiRecord& record = Record(channel);
    WritePpiCentre(channel, record.x + dx, record.y + dy);
    // The range reaches the farthest window edge along either axis.
    const int32_t across = record.w - dx > dx ? record.w - dx : dx;
    const int32_t down = record.h - dy > dy ? record.h - dy : dy;
    const int32_t range = across > down ? across : down;
    WritePpiRange(channel, range, range);
    record.dx = dx;
    record.dy = dy;
    return StatusDone;
}

int32_t SetPPIShipDir(int8_t channel, float angle) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsConvertibleAngle(angle)) return StatusBadArgument;
    const int32_t heading = TurnUnits(NormalisedDegrees(angle), PpiHeading::UnitsPerTurn);
    UpdateVideo32(VideoDspOf(channel), PpiHeading::Address, PpiHeading::Direction, static_cast<uint32_t>(heading));
    return StatusDone;
}

int32_t SetPPIColor(int8_t channel, uint32_t colour) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    WriteColourRamp(PpiColourLut::Address.For(channel), colour);
    return StatusDone;
}

int32_t SetPPILineColor(int8_t channel, uint32_t colour) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    WriteColourRamp(PpiLineColourLut::Address.For(channel), colour);
    return StatusDone;
}

namespace {

// PpiFlags is read before the value is checked; a bad value writes nothing.
int32_t SetPpiFlags(int8_t channel, uint32_t bits, int32_t flag, bool set) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    const int dsp = VideoDspOf(channel);
    const uint32_t flags = VideoRead32(dsp, PpiFlags::Address);
    if (!IsFlag(flag)) return StatusBadArgument;
    VideoWrite32(dsp, PpiFlags::Address, BitsTo(bits, flags, set));
    return StatusDone;
}

}  // namespace

int32_t SetPPIScan(int8_t channel, int32_t on) { return SetPpiFlags(channel, PpiFlags::Scan, on, on == 1); }

// Freezing sets all four flag bits, the scan bit among them.
int32_t FrostPPI(int8_t channel, int8_t frost) { return SetPpiFlags(channel, PpiFlags::Frozen, frost, frost == 0); }

int32_t SetPPIDist(int8_t channel, int16_t dist) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (dist < 1) return StatusBadArgument;
    const int dsp = VideoDspOf(channel);
    const int32_t range = static_cast<int32_t>(FieldGet(PpiRange::Range, VideoRead32(dsp, PpiRange::Address)));
    const int32_t scale = DistanceScaleOf(dist, range);
    WriteDistanceVariable(channel, dist);
    // The Mini window magnifies the same picture: it gets copies of both words.
    const uint32_t scaleWord = UpdateVideo32(dsp, PpiScale::Address, PpiScale::DistanceLow, ScaleLowBits(scale));
    VideoWrite32(dsp, MiniScale::Address, scaleWord);
    const uint32_t gateWord = UpdateVideo32(dsp, PpiGate::Address, PpiGate::DistanceHigh, ScaleHighBits(scale));
    VideoWrite32(dsp, MiniGate::Address, gateWord);
    Record(channel).distance = dist;
    return StatusDone;
}

int32_t SetPPIGate(int8_t channel, int8_t gate) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!InRange(gate, MinGate, MaxGate)) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), PpiGate::Address, PpiGate::Gate, FieldPrep(PpiGate::Gate, static_cast<uint32_t>(gate)));
    return StatusDone;
}

int32_t SetPPITail(int8_t channel, int32_t tail) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (tail < 0) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), PpiTails::Address, PpiTails::Tail, FieldPrepLow(PpiTails::Tail, static_cast<uint32_t>(tail)));
    return StatusDone;
}

int32_t SetPPILineTail(int8_t channel, uint32_t lineTail) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    UpdateVideo32(VideoDspOf(channel), PpiTails::Address, PpiTails::LineTail, FieldPrepLow(PpiTails::LineTail, lineTail));
    return StatusDone;
}

// Switching on re-opens the window with the stored geometry, through Open's
// own checks (which refuse a window never opened).
int32_t SetPPISwitch(int8_t channel, int16_t on) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(on)) return StatusBadArgument;
    if (on == 0) return ClosePPI(channel);
    const PpiRecord& record = Record(channel);
    return OpenPPI(channel, static_cast<int16_t>(record.x), static_cast<int16_t>(record.y),
                   static_cast<int16_t>(record.w), static_cast<int16_t>(record.h));
}

int32_t SetPPIOnTop(int8_t channel, int32_t on) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(on)) return StatusBadArgument;
    if (on == 0) return StatusDone;
    SetPriority(channel, DisplayControl::PpiPriority);
    UpdateBoard32(PpiKeyControl::Address.For(channel), PpiKeyControl::OnTop, PpiKeyControl::OnTop);
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
