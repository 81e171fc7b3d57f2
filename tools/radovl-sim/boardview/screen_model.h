// What the board's two outputs show, decoded from the simulated board's
// registers alone (RadovlSim_Peek*): every shown window of both channels,
// its monitor-relative rectangle, its output and its place in the mixer's
// stacking order, and the settings the legend lists.
//
// Two things are not board registers and come from the scenario instead:
// the monitors (host configuration) and DisMode (a library setting).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace radovl::tool {

struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

struct Point {
    double x = 0;
    double y = 0;
};

// Host side as the scenario set it.
struct HostView {
    struct Monitor {
        int32_t left, top, right, bottom;
    };
    std::vector<Monitor> monitors{{0, 0, 1280, 1024}};
    int32_t board = 0;          // the board start-up chose
    int32_t disMode = 1;        // DisMode as far as the scenario shows it
    bool disModeKnown = true;
    std::string disModeSource = "value at load";
};

enum class WindowKind { Ppi, Mini, Ar, Tv };
const char* KindName(WindowKind kind);

struct PpiView {
    Point centre;                 // sweep centre, monitor-relative
    int32_t range = 0;            // pixels
    double headingDeg = 0;
    uint32_t mode = 0;            // PpiControl bits 4-5
    uint32_t gate = 0;
    uint32_t tail = 0;
    uint32_t lineTail = 0;
    bool frozen = false;
    bool scan = false;
    uint32_t step = 0;
    uint32_t distanceScale = 0;   // PpiScale bits 16-31 with PpiGate bits 28-31 above
    std::array<uint32_t, 256> lut{};
    std::array<uint32_t, 256> lineLut{};
};

struct MiniView {
    Point origin;                 // radar origin (distance zero), monitor-relative
    Point aim;                    // the point the window is aimed at
    bool corner = false;          // corner mode (else centred)
    uint32_t zoomStep = 0;        // MiniScale bits 0-7: 16 / scale
    uint32_t offset = 0;          // corner mode: offset in pixels
    double directionDeg = 0;      // corner mode
    int32_t ppiRange = 0;         // the channel's PPI range, which the zoom magnifies
    std::array<uint32_t, 256> lut{};
};

struct ArView {
    Rect upper;
    Rect lower;
    bool upperOn = false;
    bool lowerOn = false;
    uint32_t colourBits = 0;      // ArKeyControl bits 24-26 as 0x00RRGGBB primaries
    uint32_t gate = 0;
    uint32_t distance = 0;
};

struct TvView {
    int32_t captureLeft = 0, captureTop = 0, captureRight = 0, captureBottom = 0;  // frame columns and rows
    uint32_t hScale = 0, vScale = 0;  // frame pixels per window pixel, 1/4096
    uint32_t modeBits = 0;
    bool frozen = false;
    int32_t brightness = -1, colour = -1, contrast = -1;  // decoder registers, -1 unknown
};

struct WindowView {
    WindowKind kind = WindowKind::Ppi;
    int channel = 1;
    Rect rect;                    // monitor-relative
    int output = 0;               // 0 or 1: the output-select bit
    bool onTop = false;
    PpiView ppi;
    MiniView mini;
    ArView ar;
    TvView tv;
};

struct ChannelView {
    bool overlay = false;
    int ppiOutput = 0;            // PpiKeyControl bit 28 (PPI, Mini, A/R)
    int tvOutput = 0;             // TvKeyControl bit 28
    uint32_t tvKey = 0;
    uint32_t arKey = 0;
    uint32_t arColourBits = 0;
    bool ppiOnTop = false;
    bool tvOnTop = false;
    bool arOnTop = false;
    uint32_t tvModeBits = 0;
    bool ppiFrozen = false;
    bool tvFrozen = false;
    bool ppiScan = false;
    uint32_t ppiGate = 0;
    uint32_t ppiTail = 0;
    uint32_t ppiLineTail = 0;
    uint32_t arGate = 0;
    uint32_t arDistance = 0;
    bool distanceKnown = false;
    uint32_t distanceVariableAddress = 0;
    int32_t distance = 0;         // the video DSP program's distance variable
    uint32_t channelControl = 0;
};

struct OutputView {
    int index = 0;                // output-select bit value
    bool hasMonitor = false;
    HostView::Monitor monitor{0, 0, 1280, 1024};
    std::string description;
};

struct ScreenModel {
    int32_t board = 0;
    uint32_t displayControl = 0;
    uint32_t screenProperty = 0;
    bool videoCombined = false;
    bool ppiPriorityCh1 = false, tvPriorityCh1 = false, arPriorityCh1 = false;
    std::array<ChannelView, 2> channels;
    std::vector<WindowView> windows;  // shown windows, bottom of the stack first
    std::array<OutputView, 2> outputs;
    HostView host;
};

ScreenModel ReadScreen(const HostView& host);

// The stacking rule of the mixer, bottom first: windows whose kind is put on
// top (the on-top bit of the channel's key-control register) lie above the
// others; then PPI, Mini, A/R, TV from the bottom; between the two channels'
// windows of one kind, the kind's priority bit in DisplayControl decides
// (set: channel 1 above).
void SortByStacking(std::vector<WindowView>& windows, const ScreenModel& model);

}  // namespace radovl::tool
