#include "boardview/screen_model.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "hw/registers.h"
#include "radovl/sim.h"
#include "boardview/register_names.h"

namespace radovl::tool {
namespace {

constexpr double TurnDegrees = 360.0;
constexpr double Pi = 3.14159265358979323846;

class Board {
public:
    explicit Board(int32_t board) : board_(board) {}
    uint32_t Main(uint32_t address) const { return RadovlSim_PeekMain(board_, address); }
    uint32_t Main(ChannelRegister reg, int channel) const { return Main(reg.For(channel)); }
    uint32_t Video(int channel, uint32_t address) const { return RadovlSim_PeekVideo(board_, VideoDspOf(channel), address); }
    int32_t Decoder(int channel, uint32_t reg) const {
        return RadovlSim_PeekDecoder(board_, static_cast<int32_t>(DecoderAddress.For(channel)), static_cast<int32_t>(reg));
    }

private:
    int32_t board_;
};

int32_t Row(uint32_t word) { return static_cast<int32_t>(FieldGet(Position::Row, word)); }
int32_t Column(uint32_t word) { return static_cast<int32_t>(FieldGet(Position::Column, word)); }

// A rectangle from a start and an end position word holding the first and
// last pixel with the given column offsets.
Rect FromStartEnd(int32_t startCol, int32_t startRow, int32_t endCol, int32_t endRow, int32_t startOffset,
                  int32_t endOffset) {
    Rect r;
    r.x = startCol - startOffset;
    r.y = startRow;
    r.w = (endCol - endOffset) - r.x + 1;
    r.h = endRow - r.y + 1;
    return r;
}

std::array<uint32_t, 256> ReadLut(const Board& b, uint32_t base) {
    std::array<uint32_t, 256> lut{};
    for (uint32_t i = 0; i < lut.size(); ++i) lut[i] = b.Main(base + 4 * i) & Rgb::All;
    return lut;
}

ChannelView ReadChannel(const Board& b, int ch) {
    ChannelView c;
    const uint32_t ppiKey = b.Main(PpiKeyControl::Address, ch);
    const uint32_t tvKey = b.Main(TvKeyControl::Address, ch);
    const uint32_t arKey = b.Main(ArKeyControl::Address, ch);
    c.overlay = (ppiKey & PpiKeyControl::OverlayEnable) != 0;
    c.ppiOutput = (ppiKey & PpiKeyControl::OutputSelect) ? 1 : 0;
    c.tvOutput = (tvKey & TvKeyControl::OutputSelect) ? 1 : 0;
    c.ppiOnTop = (ppiKey & PpiKeyControl::OnTop) != 0;
    c.tvOnTop = (tvKey & TvKeyControl::OnTop) != 0;
    c.arOnTop = (arKey & ArKeyControl::OnTop) != 0;
    c.tvKey = FieldGet(TvKeyControl::ColourKey, tvKey);
    c.arKey = FieldGet(ArKeyControl::ColourKey, arKey);
    c.arColourBits = ArKeyControl::RgbOf(arKey);
    c.channelControl = b.Video(ch, ChannelControl::Address);
    c.tvModeBits = FieldGet(ChannelControl::TvMode, c.channelControl);
    c.tvFrozen = c.tvModeBits == 0;
    const uint32_t flags = b.Video(ch, PpiFlags::Address);
    c.ppiFrozen = (flags & PpiFlags::Frozen) == PpiFlags::Frozen;
    c.ppiScan = (flags & PpiFlags::Scan) != 0;
    c.ppiGate = FieldGet(PpiGate::Gate, b.Video(ch, PpiGate::Address));
    const uint32_t tails = b.Video(ch, PpiTails::Address);
    c.ppiTail = FieldGet(PpiTails::Tail, tails);
    c.ppiLineTail = FieldGet(PpiTails::LineTail, tails);
    c.arGate = FieldGet(ArGate::Gate, b.Video(ch, ArGate::Address));
    c.arDistance = FieldGet(ArDistance::Distance, b.Video(ch, ArDistance::Address));
    c.distanceVariableAddress = b.Video(ch, DistancePointer::Address);
    c.distanceKnown = c.distanceVariableAddress != 0;
    if (c.distanceKnown) c.distance = static_cast<int32_t>(b.Video(ch, c.distanceVariableAddress));
    return c;
}

WindowView NewWindow(WindowKind kind, int ch, int output, bool onTop) {
    WindowView w;
    w.kind = kind;
    w.channel = ch;
    w.output = output;
    w.onTop = onTop;
    return w;
}

WindowView ReadPpi(const Board& b, int ch, const ChannelView& c) {
    WindowView w = NewWindow(WindowKind::Ppi, ch, c.ppiOutput, c.ppiOnTop);
    const uint32_t start = b.Main(PpiStart::Address, ch);
    const uint32_t end = b.Main(PpiEnd::Address, ch);
    w.rect = FromStartEnd(Column(start), Row(start), Column(end), Row(end), PixelOffset::MixerColumn, PixelOffset::MixerColumn);
    PpiView& p = w.ppi;
    const uint32_t centre = b.Video(ch, PpiCentre::Address);
    p.centre = Point{static_cast<double>(Column(centre) - PixelOffset::DspColumn), static_cast<double>(Row(centre))};
    p.range = static_cast<int32_t>(FieldGet(PpiRange::Range, b.Video(ch, PpiRange::Address)));
    p.headingDeg = FieldGet(PpiHeading::Direction, b.Video(ch, PpiHeading::Address)) * TurnDegrees / PpiHeading::UnitsPerTurn;
    p.mode = b.Video(ch, PpiControl::Address) & PpiControl::Mode;
    p.gate = c.ppiGate;
    p.tail = c.ppiTail;
    p.lineTail = c.ppiLineTail;
    p.frozen = c.ppiFrozen;
    p.scan = c.ppiScan;
    const uint32_t scale = b.Video(ch, PpiScale::Address);
    p.step = FieldGet(PpiScale::Step, scale);
    p.distanceScale = FieldGet(PpiScale::DistanceLow, scale) |
                      (FieldGet(PpiGate::DistanceHigh, b.Video(ch, PpiGate::Address)) << 16);
    p.lut = ReadLut(b, PpiColourLut::Address.For(ch));
    p.lineLut = ReadLut(b, PpiLineColourLut::Address.For(ch));
    return w;
}

WindowView ReadMini(const Board& b, int ch, const ChannelView& c) {
    WindowView w = NewWindow(WindowKind::Mini, ch, c.ppiOutput, c.ppiOnTop);
    const uint32_t start = b.Main(MiniStart::Address, ch);
    const uint32_t end = b.Main(MiniEnd::Address, ch);
    w.rect = FromStartEnd(static_cast<int32_t>(FieldGet(MiniStart::Column, start)),
                          static_cast<int32_t>(FieldGet(MiniStart::Row, start)), Column(end), Row(end),
                          PixelOffset::MixerColumn, PixelOffset::MixerColumn);
    // The Mini window shares the PPI's key-control register.
    MiniView& m = w.mini;
    const uint32_t centre = b.Video(ch, MiniCentre::Address);
    m.origin = Point{static_cast<double>(Column(centre) - PixelOffset::DspColumn), static_cast<double>(Row(centre))};
    m.corner = (b.Video(ch, MiniControl::Address) & MiniControl::Mode) == MiniControl::ModeCorner;
    m.zoomStep = FieldGet(MiniScale::Zoom, b.Video(ch, MiniScale::Address));
    m.lut = ReadLut(b, MiniColourLut::Address.For(ch));
    m.ppiRange = static_cast<int32_t>(FieldGet(PpiRange::Range, b.Video(ch, PpiRange::Address)));
    if (m.corner) {
        const uint32_t direction = b.Video(ch, MiniDirection::Address);
        m.directionDeg = FieldGet(MiniDirection::Direction, direction) * TurnDegrees / MiniDirection::UnitsPerTurn;
        m.offset = FieldGet(MiniDirection::Offset, direction);
        // Directions are clockwise from straight up.
        const double theta = m.directionDeg * Pi / 180.0;
        m.aim = Point{m.origin.x + std::sin(theta) * m.offset, m.origin.y - std::cos(theta) * m.offset};
    } else {
        // Centred: the origin is placed so that the window centre is the aim.
        const uint32_t dspStart = b.Video(ch, MiniDspStart::Address);
        const uint32_t size = b.Video(ch, MiniSize::Address);
        const int32_t sx = static_cast<int32_t>(FieldGet(MiniDspStart::Column, dspStart)) - PixelOffset::DspColumn;
        const int32_t sy = static_cast<int32_t>(FieldGet(MiniDspStart::Row, dspStart));
        m.aim = Point{static_cast<double>(sx + static_cast<int32_t>(FieldGet(MiniSize::Width, size)) / 2),
                      static_cast<double>(sy + static_cast<int32_t>(FieldGet(MiniSize::Height, size)) / 2)};
    }
    return w;
}

Rect ArBand(uint32_t start, uint32_t size) {
    Rect r;
    r.x = Column(start) - PixelOffset::ArStartColumn;
    r.y = Row(start) - PixelOffset::ArStartRow;
    r.w = static_cast<int32_t>(FieldGet(ArUpperSize::Width, size));
    r.h = static_cast<int32_t>(FieldGet(ArUpperSize::HalfHeight, size));
    return r;
}

WindowView ReadAr(const Board& b, int ch, const ChannelView& c) {
    // A/R placement drives the PPI's key-control register.
    WindowView w = NewWindow(WindowKind::Ar, ch, c.ppiOutput, c.arOnTop);
    const uint32_t start = b.Main(ArStart::Address, ch);
    const uint32_t end = b.Main(ArEnd::Address, ch);
    const uint32_t size = b.Video(ch, ArUpperSize::Address);
    const int32_t halfHeight = static_cast<int32_t>(FieldGet(ArUpperSize::HalfHeight, size));
    // The start row is one row above the window; a window on the monitor's
    // first row or the one below it both store row 0. Take the row whose
    // height matches the band height, the first row when both do.
    int32_t top = Row(start) - PixelOffset::ArStartRow;
    if (Row(start) == 0) {
        const int32_t heightFromFirstRow = Row(end) + 1;
        top = (heightFromFirstRow / 2 == halfHeight) ? 0 : 1;
    }
    w.rect.x = Column(start) - PixelOffset::ArStartColumn;
    w.rect.y = top;
    w.rect.w = (Column(end) - PixelOffset::ArEndColumn) - w.rect.x + 1;
    w.rect.h = Row(end) - top + 1;
    ArView& a = w.ar;
    a.upper = ArBand(b.Video(ch, ArUpperStart::Address), size);
    a.lower = ArBand(b.Video(ch, ArLowerStart::Address), b.Video(ch, ArLowerSize::Address));
    a.upper.y = top;
    a.lower.y = top + halfHeight;
    a.upperOn = (b.Video(ch, ArUpperControl::Address) & ArBandEnable) != 0;
    a.lowerOn = (b.Video(ch, ArLowerControl::Address) & ArBandEnable) != 0;
    a.colourBits = c.arColourBits;
    a.gate = c.arGate;
    a.distance = c.arDistance;
    return w;
}

// The TV window has no end register: the mixer scales the captured part of
// the frame by TvScale, so the window is (captured columns) * 4096 / hscale
// wide and (captured rows) * 4096 / vscale high, the rows counting four
// lines above the window (TvStart's row is four rows up).
WindowView ReadTv(const Board& b, int ch, const ChannelView& c) {
    WindowView w = NewWindow(WindowKind::Tv, ch, c.tvOutput, c.tvOnTop);
    const uint32_t start = b.Main(TvStart::Address, ch);
    const uint32_t captureStart = b.Main(TvCaptureStart::Address, ch);
    const uint32_t captureEnd = b.Main(TvCaptureEnd::Address, ch);
    const uint32_t scale = b.Main(TvScale::Address, ch);
    TvView& t = w.tv;
    t.captureLeft = Column(captureStart);
    t.captureTop = Row(captureStart);
    t.captureRight = Column(captureEnd);
    t.captureBottom = Row(captureEnd);
    t.hScale = FieldGet(TvScale::Horizontal, scale);
    t.vScale = FieldGet(TvScale::Vertical, scale);
    t.modeBits = c.tvModeBits;
    t.frozen = c.tvFrozen;
    t.brightness = b.Decoder(ch, Decoder::Brightness);
    t.colour = b.Decoder(ch, Decoder::Colour);
    t.contrast = b.Decoder(ch, Decoder::Contrast);
    const int32_t columns = t.captureRight - t.captureLeft;
    const int32_t rows = t.captureBottom - t.captureTop + 1;
    const int32_t shownRows =
        t.vScale == 0 ? 0 : static_cast<int32_t>(static_cast<int64_t>(rows) * TvScale::Unit / t.vScale);
    w.rect.x = Column(start) - PixelOffset::TvColumn;
    w.rect.y = Row(start) == 0 ? 0 : Row(start) - PixelOffset::TvRow;
    w.rect.w = t.hScale == 0 ? 0 : static_cast<int32_t>(static_cast<int64_t>(columns) * TvScale::Unit / t.hScale);
    w.rect.h = std::max(0, shownRows + PixelOffset::TvRow);
    return w;
}

int KindRank(WindowKind kind) {
    switch (kind) {
        case WindowKind::Ppi: return 0;
        case WindowKind::Mini: return 1;
        case WindowKind::Ar: return 2;
        case WindowKind::Tv: return 3;
    }
    return 0;
}

bool PriorityToChannel1(WindowKind kind, const ScreenModel& m) {
    switch (kind) {
        case WindowKind::Ppi:
        case WindowKind::Mini: return m.ppiPriorityCh1;
        case WindowKind::Ar: return m.arPriorityCh1;
        case WindowKind::Tv: return m.tvPriorityCh1;
    }
    return false;
}

const HostView::Monitor* PrimaryMonitor(const HostView& host) {
    for (const HostView::Monitor& m : host.monitors) {
        if (m.left == 0 && m.top == 0) return &m;
    }
    return host.monitors.empty() ? nullptr : &host.monitors.front();
}

const HostView::Monitor* SecondaryMonitor(const HostView& host) {
    const HostView::Monitor* primary = PrimaryMonitor(host);
    for (const HostView::Monitor& m : host.monitors) {
        if (&m != primary && (m.left != 0 || m.top != 0)) return &m;
    }
    return nullptr;
}

std::string MonitorText(const HostView::Monitor& m) {
    return "(" + std::to_string(m.left) + "," + std::to_string(m.top) + ")-(" + std::to_string(m.right) + "," +
           std::to_string(m.bottom) + ")";
}

// Which monitor each output feeds. With DisMode 1 a window on a secondary
// monitor gets select bit 1, with DisMode 0 bit 0; other values leave the
// bits as they were, and the outputs are shown as for DisMode 1.
void AssignOutputs(ScreenModel& model) {
    const HostView& host = model.host;
    const HostView::Monitor* primary = PrimaryMonitor(host);
    const HostView::Monitor* secondary = SecondaryMonitor(host);
    const bool swapped = host.disModeKnown && host.disMode == 0;
    for (int i = 0; i < 2; ++i) {
        OutputView& out = model.outputs[i];
        out.index = i;
        const bool feedsSecondary = (i == 1) != swapped;
        const HostView::Monitor* monitor = feedsSecondary ? secondary : primary;
        out.hasMonitor = monitor != nullptr;
        if (monitor != nullptr) {
            out.monitor = *monitor;
            out.description = std::string(feedsSecondary ? "secondary" : "primary") + " monitor " + MonitorText(*monitor);
        } else {
            if (primary != nullptr) out.monitor = {0, 0, primary->right - primary->left, primary->bottom - primary->top};
            out.description = std::string("no ") + (feedsSecondary ? "secondary" : "primary") + " monitor";
        }
    }
}

}  // namespace

const char* KindName(WindowKind kind) {
    switch (kind) {
        case WindowKind::Ppi: return "PPI";
        case WindowKind::Mini: return "Mini";
        case WindowKind::Ar: return "A/R";
        case WindowKind::Tv: return "TV";
    }
    return "?";
}

void SortByStacking(std::vector<WindowView>& windows, const ScreenModel& model) {
    auto key = [&model](const WindowView& w) {
        const bool channelAbove = PriorityToChannel1(w.kind, model) == (w.channel == 1);
        return std::make_tuple(w.onTop ? 1 : 0, KindRank(w.kind), channelAbove ? 1 : 0);
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&key](const WindowView& a, const WindowView& b) { return key(a) < key(b); });
}

ScreenModel ReadScreen(const HostView& host) {
    ScreenModel model;
    model.host = host;
    model.board = host.board;
    const Board b(host.board);
    model.displayControl = b.Main(DisplayControl::Address);
    const uint32_t dc = model.displayControl;
    model.screenProperty = FieldGet(DisplayControl::ScreenProperty, dc);
    model.videoCombined = (b.Main(TestAndCombine::Address) & TestAndCombine::VideoCombined) != 0;
    model.ppiPriorityCh1 = (dc & DisplayControl::PpiPriority) != 0;
    model.tvPriorityCh1 = (dc & DisplayControl::TvPriority) != 0;
    model.arPriorityCh1 = (dc & DisplayControl::ArPriority) != 0;
    for (int ch = 1; ch <= 2; ++ch) {
        const ChannelView& c = model.channels[VideoDspOf(ch)] = ReadChannel(b, ch);
        if (dc & DisplayControl::PpiShown.For(ch)) model.windows.push_back(ReadPpi(b, ch, c));
        if (b.Main(MiniStart::Address, ch) & MiniStart::Shown) model.windows.push_back(ReadMini(b, ch, c));
        if (dc & DisplayControl::ArShown.For(ch)) model.windows.push_back(ReadAr(b, ch, c));
        if (dc & DisplayControl::TvShown.For(ch)) model.windows.push_back(ReadTv(b, ch, c));
    }
    SortByStacking(model.windows, model);
    AssignOutputs(model);
    return model;
}

}  // namespace radovl::tool
