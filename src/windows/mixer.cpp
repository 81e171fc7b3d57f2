// Placement rules, the shared mixer registers, and the operations that act
// on them directly.
#include <cmath>

#include "board/access.h"
#include "board/capture.h"
#include "radovl/capture.h"
#include "hw/registers.h"
#include "platform/platform.h"
#include "windows/gate.h"
#include "windows/operations.h"
#include "windows/placement.h"

namespace radovl {

namespace {

// The monitor of the point, as the capture records it.
platform::Rect MonitorOf(int32_t x, int32_t y) {
    const platform::Rect monitor = platform::MonitorOfPoint(x, y);
    if (capture::recording) {
        capture::PlatformRead(RADOVL_CAPTURE_MONITOR, x, y, monitor.left, monitor.top, monitor.right, monitor.bottom);
    }
    return monitor;
}

}  // namespace

MonitorPoint MonitorRelative(int32_t x, int32_t y) {
    const platform::Rect monitor = MonitorOf(x, y);
    return MonitorPoint{platform::WrappingMinus(x, monitor.left), platform::WrappingMinus(y, monitor.top)};
}

int32_t OnSecondaryMonitor(int32_t x, int32_t y) {
    const platform::Rect monitor = MonitorOf(x, y);
    return (monitor.left != 0 || monitor.top != 0) ? 1 : 0;
}

void SelectOutput(int8_t channel, ChannelRegister keyControl, int32_t x, int32_t y) {
    const uint32_t address = keyControl.For(channel);
    uint32_t word = BoardRead32(address);
    const bool secondary = OnSecondaryMonitor(x, y) != 0;
    // DisMode 1 sends a window on a secondary monitor to the second output;
    // DisMode 0 the other way round; any other mode leaves the choice alone.
    if (state.DisMode == 0) word = BitsTo(OutputSelectBit, word, !secondary);
    if (state.DisMode == 1) word = BitsTo(OutputSelectBit, word, secondary);
    BoardWrite32(address, word);
}

void UpdateDisplayControl(uint32_t mask, uint32_t bits) {
    state.DisplayControl = BoardRead32(DisplayControl::Address);
    state.DisplayControl = (state.DisplayControl & ~mask) | (bits & mask);
    BoardWrite32(DisplayControl::Address, state.DisplayControl);
}

void SetPriority(int8_t channel, uint32_t priorityBit) {
    UpdateDisplayControl(priorityBit, channel == 1 ? priorityBit : 0);
}

void WriteChannelControl(int8_t channel) {
    VideoWrite32(VideoDspOf(channel), ChannelControl::Address, state.ControlShadow[VideoDspOf(channel)]);
}

void UpdateChannelControl(int8_t channel, uint32_t mask, uint32_t bits) {
    uint16_t& shadow = state.ControlShadow[VideoDspOf(channel)];
    shadow = static_cast<uint16_t>((shadow & ~mask) | (bits & mask));
    WriteChannelControl(channel);
}

void WriteColourRamp(uint32_t base, uint32_t colour) {
    const uint32_t red = FieldGet(HostColour::Red, colour);
    const uint32_t green = FieldGet(HostColour::Green, colour);
    const uint32_t blue = FieldGet(HostColour::Blue, colour);
    for (uint32_t i = 0; i < ColourLutEntries; ++i) {
        const uint32_t entry = FieldPrep(Rgb::Red, i * red / 255) | FieldPrep(Rgb::Green, i * green / 255) |
                               FieldPrep(Rgb::Blue, i * blue / 255);
        BoardWrite32(base + 4 * i, entry);
    }
}

void WriteDistanceVariable(int8_t channel, int16_t dist) {
    const int dsp = VideoDspOf(channel);
    const uint32_t variable = VideoRead32(dsp, DistancePointer::Address);
    VideoWrite32(dsp, variable, static_cast<uint32_t>(int32_t{dist}));
}

bool IsConvertibleAngle(float degrees) { return std::fabs(degrees) < 2147483648.0f; }

float NormalisedDegrees(float degrees) {
    const auto whole = static_cast<int32_t>(degrees);
    const float fraction = degrees - static_cast<float>(whole);
    float turned = static_cast<float>(whole % 360) + fraction;
    if (turned < 0) turned = turned + 360.0f;
    return turned;
}

int32_t TurnUnits(float normalisedDegrees, int32_t unitsPerTurn) {
    return static_cast<int32_t>(static_cast<double>(normalisedDegrees) * unitsPerTurn / 360.0);
}

namespace op {

int32_t OpenOverlay(int8_t channel, int32_t on) {
    if (int32_t status = GateChannel(channel); status != StatusDone) return status;
    if (!IsFlag(on)) return StatusBadArgument;
    UpdateBoard32(PpiKeyControl::Address.For(channel), PpiKeyControl::OverlayEnable,
                  on ? PpiKeyControl::OverlayEnable : 0);
    return StatusDone;
}

int32_t SetScreenProp(uint8_t which, uint8_t value) {
    constexpr uint8_t ScreenProperty = 0;
    constexpr uint8_t DisplayMode = 1;
    // No initialised test. Without a board connection there is nothing to
    // read: the display mode, which needs no register, is still recorded.
    if (CurrentBoard() == nullptr) {
        if (which != DisplayMode) return StatusBadArgument;
        state.DisMode = value;
        return StatusDone;
    }
    const uint32_t word = BoardRead32(DisplayControl::Address);
    if (which == ScreenProperty) {
        if (value > DisplayControl::ScreenPropertyMax) return StatusBadArgument;
        BoardWrite32(DisplayControl::Address, FieldReplace(DisplayControl::ScreenProperty, word, value));
        return StatusDone;
    }
    if (which == DisplayMode) {
        state.DisMode = value;
        return StatusDone;
    }
    return StatusBadArgument;
}

int32_t SetPPIVideoCombined(int8_t on) {
    if (!BoardReady()) return StatusNotInitialised;
    if (!IsFlag(on)) return StatusBadArgument;
    UpdateBoard32(TestAndCombine::Address, TestAndCombine::VideoCombined, on ? TestAndCombine::VideoCombined : 0);
    return StatusDone;
}

int32_t SetTVP2pMode(int8_t channel, int8_t mode) {
    if (!BoardReady()) return StatusNotInitialised;
    if (!IsFlag(mode)) return StatusBadArgument;
    if (!IsChannel(channel)) return StatusBadArgument;
    const uint32_t tvMode = mode == 1 ? ChannelControl::TvMode : ChannelControl::TvModeNormal;
    UpdateChannelControl(channel, ChannelControl::TvMode, tvMode);
    state.TvModeSave[VideoDspOf(channel)] =
        static_cast<uint8_t>(FieldGet(ChannelControl::TvMode, state.ControlShadow[VideoDspOf(channel)]));
    return StatusDone;
}

int32_t SetRDP2pMode(int8_t channel, int8_t mode) {
    if (!BoardReady()) return StatusNotInitialised;
    if (!IsFlag(mode)) return StatusBadArgument;
    if (!IsChannel(channel)) return StatusBadArgument;
    const int dsp = VideoDspOf(channel);
    uint16_t& shadow = state.ControlShadow[VideoDspOf(channel)];
    shadow = static_cast<uint16_t>(VideoRead32(dsp, ChannelControl::Address));
    shadow = static_cast<uint16_t>(BitsTo(ChannelControl::RdP2p, shadow, mode == 1));
    WriteChannelControl(channel);
    for (uint32_t block : {PpiControl::Address, MiniControl::Address, ArUpperControl::Address,
                           ArLowerControl::Address}) {
        UpdateVideo32(dsp, block, BlockRdP2p, mode == 1 ? BlockRdP2p : 0);
    }
    return StatusDone;
}

}  // namespace op
}  // namespace radovl
