// The TV window: camera video from the channel's decoder. The mixer takes a
// rectangle of the 720 x 576 frame, scales it down to the window and lays
// it over the screen; the window has a start but no end register.
#include "board/access.h"
#include "board/i2c.h"
#include "hw/registers.h"
#include "windows/gate.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {
namespace {

TvRecord& Record(int8_t channel) { return state.tv[VideoDspOf(channel)]; }

bool ValidSize(int32_t w, int32_t h) { return InRange(w, 1, TvFrame::Width) && InRange(h, 1, TvFrame::Height); }

// The capture window's defaults depend on the TV mode bits the video DSP
// holds now (read live, not from the shadow).
bool NormalTvMode(int8_t channel) {
    const uint32_t control = VideoRead32(VideoDspOf(channel), ChannelControl::Address);
    return FieldGet(ChannelControl::TvMode, control) == ChannelControl::TvModeNormal;
}

uint32_t CaptureStartDefault(int8_t channel) {
    return NormalTvMode(channel) ? TvCaptureStart::DefaultMode01 : TvCaptureStart::DefaultOther;
}

void ResetTvCapture(int8_t channel) {
    BoardWrite32(TvCaptureStart::Address.For(channel), CaptureStartDefault(channel));
    BoardWrite32(TvCaptureEnd::Address.For(channel),
                 NormalTvMode(channel) ? TvCaptureEnd::DefaultMode01 : TvCaptureEnd::DefaultOther);
}

void PositionTv(int8_t channel, int32_t x, int32_t y) {
    const MonitorPoint m = MonitorRelative(x, y);
    const int32_t column = ClampToZero(m.x + PixelOffset::TvColumn);
    const int32_t row = ClampToZero(m.y + PixelOffset::TvRow);
    BoardWrite32(TvStart::Address.For(channel), PositionWord(row, column));
}

int32_t Ratio(int32_t frame, int32_t window) {
    const int32_t ratio = frame * TvScale::Unit / window;
    return ratio > TvScale::Max ? TvScale::Max : ratio;
}

// Frame pixels per window pixel, at most just under 16; a window smaller
// than a sixteenth of the frame takes a cropped part of it instead. The
// size is a valid one (ValidSize).
void ScaleTv(int8_t channel, int16_t w, int16_t h) {
    const auto rows = static_cast<int16_t>(h + TvFrame::HeightMargin);
    const int32_t horizontal = Ratio(TvFrame::Width, w);
    const int32_t vertical = Ratio(TvFrame::Height, rows);
    const uint32_t captureStart = TvCaptureStart::Address.For(channel);
    if (w < TvFrame::Width / TvFrame::MaxDownscale) {
        UpdateBoard32(captureStart, TvCaptureStart::Column,
                      FieldPrep(TvCaptureStart::Column, static_cast<uint32_t>(TvFrame::Width - TvFrame::MaxDownscale * w)));
    } else {
        BoardWrite32(captureStart, CaptureStartDefault(channel));
    }
    if (rows < TvFrame::Height / TvFrame::MaxDownscale) {
        UpdateBoard32(captureStart, TvCaptureStart::Row,
                      FieldPrep(TvCaptureStart::Row, static_cast<uint32_t>(TvFrame::Height - TvFrame::MaxDownscale * rows)));
    } else {
        // The whole default word: this also puts the column back.
        BoardWrite32(captureStart, CaptureStartDefault(channel));
    }
    BoardWrite32(TvScale::Address.For(channel),
                 FieldPrep(TvScale::Vertical, static_cast<uint32_t>(vertical)) |
                     FieldPrep(TvScale::Horizontal, static_cast<uint32_t>(horizontal)));
}

void PlaceTv(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    SelectOutput(channel, TvKeyControl::Address, x, y);
    PositionTv(channel, x, y);
    // A window never opened has no size yet: it is placed but not scaled.
    if (ValidSize(w, h)) ScaleTv(channel, w, h);
}

// The main DSP program is told of every TV enable change before the mixer.
void EnableTv(int8_t channel, int32_t on) {
    BoardWrite32(MainMarkerWord::Address, MainMarkerWord::Value);
    const uint32_t displayBit = DisplayControl::TvShown.For(channel);
    UpdateDisplayControl(displayBit, (on & 1) != 0 ? displayBit : 0);
}

void ApplyTvFrostBits(int8_t channel, uint16_t bits) {
    UpdateChannelControl(channel, ChannelControl::TvMode, bits);
}

void WriteDecoder(int8_t channel, uint32_t reg, uint8_t level) {
    DecoderWrite(DecoderAddress.For(channel), reg, level);
}

// A picture control of the channel's video decoder.
int32_t SetDecoderLevel(int8_t channel, uint32_t reg, uint8_t level) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    WriteDecoder(channel, reg, level);
    return StatusDone;
}

}  // namespace

namespace op {

int32_t OpenTV(int8_t channel, int16_t x, int16_t y, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y) || !ValidSize(w, h)) return StatusBadArgument;
    ResetTvCapture(channel);
    PlaceTv(channel, x, y, w, h);
    EnableTv(channel, 1);
    TvRecord& record = Record(channel);
    record.x = x;
    record.y = y;
    record.w = w;
    record.h = h;
    SetTVColorKey(channel, DefaultColourKey);  // every open starts with the magenta key
    return StatusDone;
}

int32_t CloseTV(int8_t channel) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    EnableTv(channel, 0);
    return StatusDone;
}

int32_t SetTVXY(int8_t channel, int16_t x, int16_t y) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!OnScreen(x, y)) return StatusBadArgument;
    TvRecord& record = Record(channel);
    PlaceTv(channel, x, y, static_cast<int16_t>(record.w), static_cast<int16_t>(record.h));
    record.x = x;
    record.y = y;
    return StatusDone;
}

int32_t SetTVWH(int8_t channel, int16_t w, int16_t h) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!ValidSize(w, h)) return StatusBadArgument;
    TvRecord& record = Record(channel);
    PlaceTv(channel, static_cast<int16_t>(record.x), static_cast<int16_t>(record.y), w, h);
    record.w = w;
    record.h = h;
    return StatusDone;
}

// Freezing saves the live TV mode bits and clears them; thawing puts the
// saved bits back.
int32_t FrostTV(int8_t channel, int8_t frost) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(frost)) return StatusBadArgument;
    uint8_t& saved = state.TvModeSave[VideoDspOf(channel)];
    if (frost == 0) {
        saved = static_cast<uint8_t>(
            FieldGet(ChannelControl::TvMode, VideoRead32(VideoDspOf(channel), ChannelControl::Address)));
        ApplyTvFrostBits(channel, 0);
    } else {
        ApplyTvFrostBits(channel, saved);
    }
    return StatusDone;
}

int32_t SetTVBright(int8_t channel, uint8_t level) { return SetDecoderLevel(channel, Decoder::Brightness, level); }

int32_t SetTVColor(int8_t channel, uint8_t level) { return SetDecoderLevel(channel, Decoder::Colour, level); }

int32_t SetTVContrast(int8_t channel, uint8_t level) { return SetDecoderLevel(channel, Decoder::Contrast, level); }

int32_t SetTVOnTop(int8_t channel, int32_t on) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(on)) return StatusBadArgument;
    if (on == 0) return StatusDone;
    SetPriority(channel, DisplayControl::TvPriority);
    UpdateBoard32(TvKeyControl::Address.For(channel), TvKeyControl::OnTop, TvKeyControl::OnTop);
    return StatusDone;
}

int32_t SetTVColorKey(int8_t channel, uint32_t key) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    UpdateBoard32(TvKeyControl::Address.For(channel), TvKeyControl::ColourKey, key);
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
