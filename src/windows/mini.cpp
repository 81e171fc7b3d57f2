// The Mini window: a magnified sector of the radar picture, aimed by
// distance and direction from the radar origin. Its registers mirror the
// PPI's, and it reads the PPI's distance scale to turn distances into
// pixels.
#include <cmath>

#include "board/access.h"
#include "hw/registers.h"
#include "windows/gate.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {
namespace {

constexpr int32_t MaxSize = 1200;
constexpr int32_t MaxDistance = 300;
constexpr int32_t MaxScale = 8;
constexpr int32_t ZoomSteps = 16;           // MiniScale zoom = 16 / scale
constexpr double Pi = 3.1415926;             // the value the video DSP program was tuned with

MiniRecord& Record(int8_t channel) { return state.mini[VideoDspOf(channel)]; }

bool ValidSize(int32_t w, int32_t h) { return InRange(w, 1, MaxSize) && InRange(h, 1, MaxSize); }

void WriteMiniSize(int8_t channel, int32_t w, int32_t h) {
    VideoWrite32(VideoDspOf(channel), MiniSize::Address,
                 FieldPrep(MiniSize::Height, static_cast<uint32_t>(h)) | FieldPrep(MiniSize::Width, static_cast<uint32_t>(w)));
}

// Centre point (distance zero) from a monitor-relative point.
void WriteMiniCentreAt(int8_t channel, int32_t column, int32_t row) {
    column = ClampToZero(column + PixelOffset::DspColumn);
    row = ClampToZero(row);
    VideoWrite32(VideoDspOf(channel), MiniCentre::Address, PositionWord(row, column));
}

// Centre point from a screen point.
void WriteMiniCentre(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    WriteMiniCentreAt(channel, m.x, m.y);
}

// Corner placement: the range is the window height, and the PPI's step
// byte is divided by the zoom.
void WriteMiniRange(int8_t channel, int32_t h) {
    const int dsp = VideoDspOf(channel);
    UpdateVideo32(dsp, MiniRange::Address, MiniRange::Written, FieldPrep(MiniRange::Range, static_cast<uint32_t>(h)));
    const auto ppiStep = static_cast<int32_t>(FieldGet(PpiScale::Step, VideoRead32(dsp, PpiScale::Address)));
    const int32_t step = ppiStep / Record(channel).scale;
    UpdateVideo32(dsp, MiniScale::Address, MiniScale::Step, FieldPrep(MiniScale::Step, static_cast<uint32_t>(step)));
}

// MiniStart keeps its shown bit; the row field is 15 bits wide.
void WriteMiniStart(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const auto column = static_cast<uint32_t>(ClampToZero(m.x));
    const auto row = static_cast<uint32_t>(ClampToZero(m.y));
    UpdateBoard32(MiniStart::Address.For(channel), ~MiniStart::Shown,
                  FieldPrepLow(MiniStart::Row, row) | FieldPrepLow(MiniStart::Column, column + PixelOffset::MixerColumn));
    VideoWrite32(VideoDspOf(channel), MiniDspStart::Address,
                 FieldPrepLow(MiniDspStart::Row, row) | FieldPrepLow(MiniDspStart::Column, column + PixelOffset::DspColumn));
}

void WriteMiniEnd(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const int32_t column = ClampToZero(m.x + PixelOffset::MixerColumn);
    const int32_t row = ClampToZero(m.y);
    BoardWrite32(MiniEnd::Address.For(channel), PositionWord(row, column));
}

void PlaceMini(int8_t channel, int32_t x, int32_t y, int32_t w, int32_t h) {
    const int32_t cx = x + w / 2;
    const int32_t cy = y + h / 2;
    WriteMiniSize(channel, w, h);
    const uint32_t mode = VideoRead32(VideoDspOf(channel), MiniControl::Address) & MiniControl::Mode;
    if (mode == MiniControl::ModeCorner) {
        WriteMiniCentre(channel, x, y + h);  // the lower-left corner
        WriteMiniRange(channel, h);
    }
    // Once a PPI has been placed, the PPI decides the shared output select.
    if (state.PpiPlaced == 0) SelectOutput(channel, PpiKeyControl::Address, cx, cy);
    WriteMiniStart(channel, x, y);
    WriteMiniEnd(channel, x + w - 1, y + h - 1);
    const MiniRecord& record = Record(channel);
    op::SetMiniWinDistDir(channel, static_cast<int16_t>(record.distance), record.direction);
}

void EnableMini(int8_t channel, int32_t on) {
    const bool shown = (on & 1) != 0;
    UpdateChannelControl(channel, ChannelControl::MiniShown | ChannelControl::WindowsTouched,
                         (shown ? ChannelControl::MiniShown : 0) | ChannelControl::WindowsTouched);
    UpdateBoard32(MiniStart::Address.For(channel), MiniStart::Shown, on == 1 ? MiniStart::Shown : 0);
}

// The PPI's distance scale, read back: the high half of PpiScale and the
// top nibble of PpiGate, each sign-extended from its register's bit 31.
int32_t PpiDistanceScale(int dsp) {
    const uint32_t scale = VideoRead32(dsp, PpiScale::Address);
    const uint32_t gate = VideoRead32(dsp, PpiGate::Address);
    const int32_t low = SignExtend(FieldGet(PpiScale::DistanceLow, scale), 16);
    const int32_t high = SignExtend(FieldGet(PpiGate::DistanceHigh, gate), 4);
    // The high part goes above bit 15, its sign bits with it.
    const uint32_t combined = static_cast<uint32_t>(low) | FieldPrepLow(~DistanceScale::Low, static_cast<uint32_t>(high));
    const auto distanceScale = static_cast<int32_t>(combined);
    return distanceScale < 1 ? 1 : distanceScale;
}

// Distance in PPI pixels.
int32_t DistancePixels(int8_t channel, int16_t distance) {
    return distance * DistanceScale::Factor / PpiDistanceScale(VideoDspOf(channel));
}

void RecordAim(int8_t channel, int16_t distance, float direction) {
    MiniRecord& record = Record(channel);
    record.distance = distance;
    record.direction = direction;
}

// Corner mode: the window's lower-left corner is the radar origin; the
// video DSP gets the direction and the distance as an offset, which also
// extends the range.
void MiniDistDirCorner(int8_t channel, int16_t distance, float direction) {
    const int dsp = VideoDspOf(channel);
    const float degrees = NormalisedDegrees(direction);
    const int32_t offset = DistancePixels(channel, distance);
    const int32_t turn = TurnUnits(degrees, MiniDirection::UnitsPerTurn);
    VideoWrite32(dsp, MiniDirection::Address,
                 FieldPrep(MiniDirection::Direction, static_cast<uint32_t>(turn)) |
                     FieldPrepLow(MiniDirection::Offset, static_cast<uint32_t>(offset)));
    VideoWrite32(dsp, MiniOffset::Address, FieldPrepLow(MiniOffset::Offset, static_cast<uint32_t>(offset)));
    const uint32_t range = VideoRead32(dsp, MiniRange::Address);
    VideoWrite32(dsp, MiniRange::Address, range + static_cast<uint32_t>(offset));
    RecordAim(channel, distance, direction);
}

// Centred mode: the picture's origin is put where the aim point, at the
// magnified distance and direction from it, falls on the window centre.
void MiniDistDirCentred(int8_t channel, int16_t distance, float direction) {
    const int dsp = VideoDspOf(channel);
    const float degrees = NormalisedDegrees(direction);
    const int32_t magnified = DistancePixels(channel, distance) * Record(channel).scale;
    const uint32_t start = VideoRead32(dsp, MiniDspStart::Address);
    const uint32_t size = VideoRead32(dsp, MiniSize::Address);
    const int32_t left = static_cast<int32_t>(FieldGet(Position::Column, start)) - PixelOffset::DspColumn;
    const auto top = static_cast<int32_t>(FieldGet(Position::Row, start));
    const int32_t cx = left + static_cast<int32_t>(FieldGet(MiniSize::Width, size)) / 2;
    const int32_t cy = top + static_cast<int32_t>(FieldGet(MiniSize::Height, size)) / 2;
    // Directions run clockwise from straight up; screen rows run down.
    const double theta = degrees * 2 * Pi / 360;
    const auto column = static_cast<int32_t>(cx - std::sin(theta) * magnified);
    const auto row = static_cast<int32_t>(cy + std::cos(theta) * magnified);
    WriteMiniCentreAt(channel, column, row);
    VideoWrite32(dsp, MiniRange::Address, MiniRange::Centred);
    VideoWrite32(dsp, MiniDirection::Address, 0);
    VideoWrite32(dsp, MiniOffset::Address, 0);
    RecordAim(channel, distance, direction);
}

}  // namespace

namespace op {

int32_t OpenMiniWin(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y) || !ValidSize(w, h)) return StatusBadArgument;
    PlaceMini(channel, x, y, w, h);
    EnableMini(channel, 1);
    MiniRecord& record = Record(channel);
    record.x = x;
    record.y = y;
    record.w = w;
    record.h = h;
    return StatusDone;
}

int32_t CloseMiniWin(int8_t channel) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    EnableMini(channel, 0);
    return StatusDone;
}

int32_t SetMiniWinXY(int8_t channel, int16_t x, int16_t y) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y)) return StatusBadArgument;
    MiniRecord& record = Record(channel);
    PlaceMini(channel, x, y, record.w, record.h);
    record.x = x;
    record.y = y;
    return StatusDone;
}

int32_t SetMiniWinWH(int8_t channel, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!ValidSize(w, h)) return StatusBadArgument;
    MiniRecord& record = Record(channel);
    PlaceMini(channel, record.x, record.y, w, h);
    record.w = w;
    record.h = h;
    return StatusDone;
}

// Mode 0 aims from the window's corner, mode 1 centres the aim point. The
// change takes effect at the next placement or aim.
int32_t SetMiniWinMode(int8_t channel, int8_t mode) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(mode)) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), MiniControl::Address, MiniControl::Mode,
                  mode == 0 ? MiniControl::ModeCorner : MiniControl::ModeCentred);
    return StatusDone;
}

int32_t SetMiniWinColor(int8_t channel, uint32_t colour) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    WriteColourRamp(MiniColourLut::Address.For(channel), colour);
    return StatusDone;
}

int32_t SetMiniWinScale(int8_t channel, int16_t scale) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!InRange(scale, 1, MaxScale)) return StatusBadArgument;
    UpdateVideo32(VideoDspOf(channel), MiniScale::Address, MiniScale::Zoom,
                  FieldPrep(MiniScale::Zoom, static_cast<uint32_t>(ZoomSteps / scale)));
    MiniRecord& record = Record(channel);
    record.scale = scale;
    PlaceMini(channel, record.x, record.y, record.w, record.h);
    return StatusDone;
}

int32_t SetMiniWinDistDir(int8_t channel, int16_t distance, float direction) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!InRange(distance, 0, MaxDistance)) return StatusBadArgument;
    if (!IsConvertibleAngle(direction)) return StatusBadArgument;
    switch (VideoRead32(VideoDspOf(channel), MiniControl::Address) & MiniControl::Mode) {
        case MiniControl::ModeCorner: MiniDistDirCorner(channel, distance, direction); break;
        case MiniControl::ModeCentred: MiniDistDirCentred(channel, distance, direction); break;
        default: break;  // no aiming mode: nothing written, the record kept
    }
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
