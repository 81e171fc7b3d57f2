// The page, drawn once for both back ends: title, one panel per output with
// its monitor grid, each window with the marks its registers give (colour
// tables, range rings and heading, aim, A/R bands and colour, capture box,
// brightness, FROZEN, stacking), and the legend. What the video DSPs draw
// inside the windows (echoes, traces, camera pictures) is not simulated and
// not drawn.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "hw/registers.h"
#include "picture/canvas.h"
#include "picture/labels.h"
#include "picture/page_layout.h"
#include "picture/renderer.h"
#include "picture/svg_canvas.h"
#include "text/output_file.h"
#include "text/text.h"

namespace radovl::tool {

Colour FromRgb(uint32_t rgb) {
    return Colour{FieldGet(Rgb::Red, rgb) / 255.0, FieldGet(Rgb::Green, rgb) / 255.0, FieldGet(Rgb::Blue, rgb) / 255.0};
}

namespace {

using namespace page;

constexpr double MaxPanelsWidth = 1480;
constexpr double MaxPanelHeight = 1100;
constexpr double MinPageWidth = 1200;

constexpr Colour PageBackground{0.071, 0.082, 0.102};
constexpr Colour Desktop{0.11, 0.13, 0.17};
constexpr Colour TextColour{0.88, 0.91, 0.94};
constexpr Colour DimText{0.55, 0.60, 0.67};
constexpr Colour White{1, 1, 1};
constexpr Colour Ink{0.05, 0.06, 0.08};
constexpr Colour ChannelAccent[2] = {{0.31, 0.76, 0.97}, {1.00, 0.72, 0.30}};
constexpr Colour FallbackLine{0.45, 0.50, 0.55};
constexpr Colour Grid{0.35, 0.42, 0.52};
constexpr Colour PanelEdge{0.33, 0.38, 0.46};
constexpr Colour CaptureBox{1.0, 0.85, 0.2};
constexpr int DecoderNeutral = 0x80;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string Tenths(double v) { return FixedPoint(v, 1); }

std::string Scale(uint32_t units) { return SvgNumber(units / double{TvScale::Unit}); }

std::string RectText(const Rect& r) { return Format("(%d,%d) %dx%d", r.x, r.y, r.w, r.h); }

bool LutIsBlack(const std::array<uint32_t, 256>& lut) {
    return std::all_of(lut.begin(), lut.end(), [](uint32_t v) { return v == 0; });
}

bool IsFrozenWindow(const WindowView& w) {
    return (w.kind == WindowKind::Ppi && w.ppi.frozen) || (w.kind == WindowKind::Tv && w.tv.frozen);
}

Colour Accent(int channel) { return ChannelAccent[VideoDspOf(channel)]; }

Point At(double x, double y) { return Point{x, y}; }

// Drawing in a panel's monitor coordinates: Px gives a length in picture
// pixels.
class Painter {
public:
    Painter(Canvas& canvas, double scale) : c(canvas), scale_(scale) {}
    double Px(double pixels) const { return pixels / scale_; }
    Canvas& c;

    void Crosshair(Point p, double size, Colour colour, double width) const {
        const Pen pen{colour, 1, Px(width)};
        c.Line(At(p.x - size, p.y), At(p.x + size, p.y), pen);
        c.Line(At(p.x, p.y - size), At(p.x, p.y + size), pen);
    }

    // A dim note inside a window, in the first free place near anchor.
    void Note(const WindowView& w, const std::string& text, Point anchor, const std::vector<Box>& taken = {}) const {
        const double inset = Px(3);
        const double top = Px(IsFrozenWindow(w) ? BadgeBand : TitleTabHeight) + inset;
        const Box area{w.rect.x + inset, w.rect.y + top, w.rect.w - 2 * inset, w.rect.h - top - inset};
        if (const std::optional<Box> box = PlaceLabel(text, false, Px(10), anchor, area, taken)) {
            Labels({Label{text, *box, false, true}}, DimText);
        }
    }

    void Labels(const std::vector<Label>& labels, Colour ink) const {
        for (const Label& l : labels) {
            c.Text(l.box.x, l.box.y + l.box.h * LabelBaseline, l.text, Font{l.box.h / LabelLineHeight, l.bold},
                   l.dim ? DimText : ink);
        }
    }

private:
    double scale_;
};

Point LowerLeft(const Rect& r) { return At(r.x, static_cast<double>(r.y) + r.h); }

// A colour table as a ramp from entry 0 to entry 255, framed.
void DrawRamp(Canvas& c, double x, double y, double w, double h, const std::array<uint32_t, 256>& lut, double line) {
    constexpr int Steps = 64;
    for (int i = 0; i < Steps; ++i) {
        c.FillRect(x + w * i / Steps, y, w / Steps + line / 2, h, FromRgb(lut[static_cast<size_t>(i * 256 / Steps)]));
    }
    c.FillRect(x + w - w / Steps, y, w / Steps, h, FromRgb(lut[255]));
    c.StrokeRect(x, y, w, h, Pen{DimText, 1, line});
}

// A window's colour table along its lower right edge, when there is room.
void DrawColourKey(const Painter& p, const WindowView& w, const std::array<uint32_t, 256>& lut) {
    const double keyW = std::min(w.rect.w / 3.0, p.Px(120)), keyH = p.Px(8);
    if (keyW < p.Px(40) || w.rect.h < p.Px(60)) return;
    DrawRamp(p.c, w.rect.x + w.rect.w - keyW - p.Px(6), w.rect.y + w.rect.h - keyH - p.Px(6), keyW, keyH, lut, p.Px(1));
}

void DrawPpi(const Painter& p, const WindowView& w) {
    const PpiView& v = w.ppi;
    // The colour table: the window's background is entry 0, the display
    // area a low entry (the echoes' colours are in the legend's ramp); the
    // rings and heading the line table's top entry.
    p.c.FillRect(w.rect.x, w.rect.y, w.rect.w, w.rect.h, FromRgb(v.lut[0]));
    const double radius = v.range > 0 ? v.range : std::min(w.rect.w, w.rect.h) / 2.0;
    p.c.FillCircle(v.centre, radius, FromRgb(v.lut[48]));
    const Colour line = v.lineLut[255] != 0 ? FromRgb(v.lineLut[255]) : FallbackLine;
    for (int i = 1; i <= 4; ++i) {
        p.c.Circle(v.centre, radius * i / 4.0, Pen{line, i == 4 ? 0.95 : 0.45, p.Px(i == 4 ? 1.8 : 0.9), i == 4 ? 0 : p.Px(3)});
    }
    const double heading = v.headingDeg * Pi / 180.0;
    p.c.Line(v.centre, At(v.centre.x + radius * std::sin(heading), v.centre.y - radius * std::cos(heading)),
             Pen{line, 1, p.Px(2.2)});
    p.Crosshair(v.centre, p.Px(9), White, 1.6);
    p.c.FillCircle(v.centre, p.Px(3), White);
    p.Labels(PpiLabels(w, p.Px(1)), line);
    DrawColourKey(p, w, v.lut);
}

void DrawMini(const Painter& p, const WindowView& w) {
    const MiniView& m = w.mini;
    p.c.FillRect(w.rect.x, w.rect.y, w.rect.w, w.rect.h, FromRgb(m.lut[4]));
    const double magnification = m.zoomStep > 0 ? 16.0 / m.zoomStep : 1.0;
    const double radius = (m.ppiRange > 0 ? m.ppiRange : 150.0) * magnification;
    const Colour bright = LutIsBlack(m.lut) ? FallbackLine : FromRgb(m.lut[255]);
    for (int i = 1; i <= 8; ++i) p.c.Circle(m.origin, radius * i / 4.0, Pen{bright, 0.25, p.Px(0.8)});
    p.c.Line(m.origin, m.aim, Pen{White, 0.8, p.Px(1.4), p.Px(5)});
    p.c.FillCircle(m.origin, p.Px(4), White);
    p.c.Circle(m.aim, p.Px(10), Pen{Accent(w.channel), 1, p.Px(2)});
    p.Crosshair(m.aim, p.Px(15), Accent(w.channel), 1.6);
    p.c.Text(m.aim.x + p.Px(12), m.aim.y - p.Px(12), "aim", Font{p.Px(10.5), true}, Accent(w.channel));
    const Box aimLabel{m.aim.x - p.Px(16), m.aim.y - p.Px(26), p.Px(52), p.Px(42)};
    if (LutIsBlack(m.lut)) p.Note(w, "colour table not written", LowerLeft(w.rect), {aimLabel});
    DrawColourKey(p, w, m.lut);
}

void DrawArBand(const Painter& p, const Rect& band, bool on, Colour colour, const char* name) {
    p.c.FillRect(band.x, band.y, band.w, band.h, colour, on ? 0.22 : 0.04);
    p.c.Text(band.x + p.Px(6), band.y + band.h - p.Px(5), std::string(name) + (on ? " band" : " band off"), Font{p.Px(10)},
             TextColour, 0.8);
}

void DrawAr(const Painter& p, const WindowView& w) {
    const ArView& a = w.ar;
    const Colour colour = a.colourBits != 0 ? FromRgb(a.colourBits) : FallbackLine;
    p.c.FillRect(w.rect.x, w.rect.y, w.rect.w, w.rect.h, Colour{0.02, 0.02, 0.03});
    DrawArBand(p, a.upper, a.upperOn, colour, "upper");
    DrawArBand(p, a.lower, a.lowerOn, colour, "lower");
    p.c.Line(At(a.lower.x, a.lower.y), At(a.lower.x + a.lower.w, a.lower.y), Pen{TextColour, 0.35, p.Px(1)});
}

void DrawTv(const Painter& p, const WindowView& w, double outputScale) {
    const TvView& t = w.tv;
    // The decoder's brightness as the window's grey (neutral 0x80: mid grey).
    const int brightness = t.brightness < 0 ? DecoderNeutral : t.brightness;
    const double grey = std::clamp(brightness / 255.0, 0.0, 1.0) * 0.5;
    p.c.FillRect(w.rect.x, w.rect.y, w.rect.w, w.rect.h, Colour{grey, grey, grey});
    // The whole camera frame with the capture rectangle, when the window is
    // large enough to hold it.
    const double thumbW = p.Px(120);
    const double thumbH = thumbW * TvFrame::Height / TvFrame::Width;
    if (w.rect.w * outputScale > 260 && w.rect.h * outputScale > 170) {
        const double tx = w.rect.x + w.rect.w - thumbW - p.Px(8);
        const double ty = w.rect.y + w.rect.h - thumbH - p.Px(8);
        p.c.FillRect(tx, ty, thumbW, thumbH, Ink, 0.6);
        p.c.StrokeRect(tx, ty, thumbW, thumbH, Pen{White, 0.7, p.Px(1)});
        const double kx = thumbW / TvFrame::Width, ky = thumbH / TvFrame::Height;
        const double columns = std::max(1, t.captureRight - t.captureLeft);
        const double rows = std::max(1, t.captureBottom - t.captureTop + 1);
        p.c.StrokeRect(tx + t.captureLeft * kx, ty + (t.captureTop - 1) * ky, columns * kx, rows * ky,
                       Pen{CaptureBox, 1, p.Px(1.5)});
        const std::string label = "camera frame, capture boxed";
        const Font font{p.Px(9.5)};
        p.c.Text(tx + thumbW - p.c.TextWidth(label, font), ty - p.Px(4), label, font, White, 0.9);
    }
    p.c.Text(w.rect.x + p.Px(8), w.rect.y + p.Px(TitleTabHeight + 14),
             Format("brightness %d  contrast %d  colour %d", t.brightness, t.contrast, t.colour), Font{p.Px(10.5)},
             White, 0.92);
    if (t.brightness == 0 && t.contrast == 0) {
        p.Note(w, "decoder brightness and contrast are 0: black picture", LowerLeft(w.rect));
    }
    p.c.Text(w.rect.x + p.Px(8), w.rect.y + w.rect.h - p.Px(8),
             Format("capture (%d,%d)-(%d,%d)  scale ", t.captureLeft, t.captureTop, t.captureRight, t.captureBottom) +
                 Scale(t.hScale) + " x " + Scale(t.vScale),
             Font{p.Px(10.5)}, White, 0.92);
}

void DrawFrame(const Painter& p, const WindowView& w, size_t stackIndex) {
    const Colour accent = Accent(w.channel);
    p.c.StrokeRect(w.rect.x, w.rect.y, w.rect.w, w.rect.h, Pen{accent, 1, p.Px(2)});
    // Title tab inside the top-left corner.
    const std::string title = std::string(KindName(w.kind)) + " ch" + std::to_string(w.channel);
    const std::string place = "#" + std::to_string(stackIndex + 1) + (w.onTop ? " on top" : "");
    std::string detail = place + Format("  %dx%d (%d,%d)", w.rect.w, w.rect.h, w.rect.x, w.rect.y);
    const Font titleFont{p.Px(11.5), true}, detailFont{p.Px(10.5)};
    const double titleWidth = p.c.TextWidth(title, titleFont);
    // A narrow window keeps only its stacking place in the tab.
    if (titleWidth + p.c.TextWidth(detail, detailFont) + p.Px(20) > w.rect.w) detail = place;
    const double tabW = std::min<double>(w.rect.w, titleWidth + p.c.TextWidth(detail, detailFont) + p.Px(20));
    p.c.FillRect(w.rect.x, w.rect.y, tabW, p.Px(TitleTabHeight), accent, 0.92);
    p.c.Text(w.rect.x + p.Px(5), w.rect.y + p.Px(13.5), title, titleFont, Ink);
    p.c.Text(w.rect.x + p.Px(13) + titleWidth, w.rect.y + p.Px(13.5), detail, detailFont, Ink);
    if (IsFrozenWindow(w)) {
        const Font badge{p.Px(11), true};
        const double bw = p.c.TextWidth("FROZEN", badge) + p.Px(10);
        const double bx = w.rect.x + w.rect.w - p.Px(4) - bw, by = w.rect.y + p.Px(22);
        p.c.FillRect(bx, by, bw, p.Px(17), Colour{0.75, 0.9, 1.0}, 0.92);
        p.c.Text(bx + p.Px(5), by + p.Px(12.5), "FROZEN", badge, Colour{0.05, 0.1, 0.2});
    }
}

void DrawWindow(const Painter& p, const WindowView& w, size_t stackIndex, double scale) {
    if (w.rect.w <= 0 || w.rect.h <= 0) return;
    p.c.Save();
    p.c.Clip(w.rect.x, w.rect.y, w.rect.w, w.rect.h);
    switch (w.kind) {
        case WindowKind::Ppi: DrawPpi(p, w); break;
        case WindowKind::Mini: DrawMini(p, w); break;
        case WindowKind::Ar: DrawAr(p, w); break;
        case WindowKind::Tv: DrawTv(p, w, scale); break;
    }
    DrawFrame(p, w, stackIndex);
    p.c.Restore();
}

struct Layout {
    double scale = 0.5;
    double panelX[2] = {0, 0};
    double panelY = 0;
    double panelW[2] = {0, 0};
    double panelH[2] = {0, 0};
    double legendY = 0;
    double width = 0;
    double height = 0;
};

void DrawPanel(Canvas& c, const ScreenModel& model, int output, const Layout& layout) {
    const OutputView& out = model.outputs[output];
    const double x = layout.panelX[output], y = layout.panelY;
    const double w = layout.panelW[output], h = layout.panelH[output];
    const std::string name = std::string("Output ") + static_cast<char>('A' + output);
    c.Text(x, y - 11, name, Font{14, true}, TextColour);
    c.Text(x + c.TextWidth(name, Font{14, true}) + 10, y - 11,
           "select bit " + std::to_string(output) + "  ·  " + out.description + "  ·  " +
               std::to_string(MonitorWidth(out)) + "x" + std::to_string(MonitorHeight(out)),
           Font{12}, DimText);
    c.Save();
    c.Clip(x, y, w, h);
    c.FillRect(x, y, w, h, Desktop);
    c.Transform(x, y, layout.scale);
    const Painter p(c, layout.scale);
    // Grid every 128 monitor pixels (more on huge monitors), every other
    // line labelled along the top and left.
    const int64_t width = MonitorWidth(out), height = MonitorHeight(out);
    const int64_t stepX = GridStep(width), stepY = GridStep(height);
    const Pen grid{Grid, 0.22, p.Px(1)};
    for (int64_t gx = stepX; gx < width; gx += stepX) {
        c.Line(At(static_cast<double>(gx), 0), At(static_cast<double>(gx), static_cast<double>(height)), grid);
    }
    for (int64_t gy = stepY; gy < height; gy += stepY) {
        c.Line(At(0, static_cast<double>(gy)), At(static_cast<double>(width), static_cast<double>(gy)), grid);
    }
    const Font gridFont{p.Px(9), false, true};
    for (int64_t gx = 2 * stepX; gx < width; gx += 2 * stepX) {
        c.Text(static_cast<double>(gx) + p.Px(3), p.Px(11), std::to_string(gx), gridFont, Grid, 0.9);
    }
    for (int64_t gy = 2 * stepY; gy < height; gy += 2 * stepY) {
        c.Text(p.Px(3), static_cast<double>(gy) - p.Px(3), std::to_string(gy), gridFont, Grid, 0.9);
    }
    if (!out.hasMonitor) {
        c.Text(p.Px(20), height / 2.0, "no monitor on this output in the scenario", Font{p.Px(16)}, DimText);
    }
    bool any = false;
    for (size_t index = 0; index < model.windows.size(); ++index) {
        if (model.windows[index].output != output) continue;
        DrawWindow(p, model.windows[index], index, layout.scale);
        any = true;
    }
    if (!any && out.hasMonitor) c.Text(p.Px(20), height / 2.0, "no window shown on this output", Font{p.Px(14)}, DimText);
    c.Restore();
    c.StrokeRect(x - 0.5, y - 0.5, w + 1, h + 1, Pen{PanelEdge});
}

// ---------------------------------------------------------------------------
// Legend: text runs with colour swatches and colour-table ramps. Without a
// canvas it only counts the lines.
class LegendWriter {
public:
    LegendWriter(Canvas* c, double x, double y) : c_(c), x0_(x), x_(x), y_(y) {}
    void Text(const std::string& text, Colour colour = TextColour, bool bold = false) {
        if (c_ == nullptr) return;
        c_->Text(x_, y_, text, Font{12, bold}, colour);
        x_ += c_->TextWidth(text, Font{12, bold});
    }
    void Dim(const std::string& text) { Text(text, DimText); }
    void Swatch(uint32_t rgb) {
        if (c_ == nullptr) return;
        c_->FillRect(x_ + 1, y_ - 10, 14, 12, FromRgb(rgb));
        c_->StrokeRect(x_ + 1, y_ - 10, 14, 12, Pen{DimText});
        x_ += 19;
    }
    void Ramp(const std::array<uint32_t, 256>& lut) {
        if (c_ == nullptr) return;
        DrawRamp(*c_, x_ + 1, y_ - 10, 96, 12, lut, 1);
        x_ += 102;
    }
    void NewLine(double indent = 0) {
        x_ = x0_ + indent;
        y_ += LegendLine;
    }
    double y() const { return y_; }

private:
    Canvas* c_;
    double x0_, x_, y_;
};

const WindowView* FindWindow(const ScreenModel& model, WindowKind kind, int channel) {
    for (const WindowView& w : model.windows) {
        if (w.kind == kind && w.channel == channel) return &w;
    }
    return nullptr;
}

const char* OnOff(bool on) { return on ? "on" : "off"; }
const char* YesNo(bool on) { return on ? "yes" : "no"; }
char OutputLetter(int bit) { return static_cast<char>('A' + bit); }

const char* PpiModeText(uint32_t mode) {
    switch (mode) {
        case PpiControl::ModeCentred: return "centred";
        case PpiControl::ModeCornerHeight: return "corner (range from height)";
        case PpiControl::ModeCornerWidth: return "corner (range from width)";
        default: return "no centre or range";
    }
}

std::string ArColourName(uint32_t rgb) {
    std::string s;
    if (rgb & Rgb::Red) s += "red ";
    if (rgb & Rgb::Green) s += "green ";
    if (rgb & Rgb::Blue) s += "blue ";
    if (s.empty()) return "none";
    s.pop_back();
    return s;
}

void WriteChannelLegend(LegendWriter& L, const ScreenModel& model, int ch) {
    const ChannelView& c = model.channels[VideoDspOf(ch)];
    L.Text("Channel " + std::to_string(ch), Accent(ch), true);
    L.Dim("   ChannelControl " + Hex(c.channelControl & 0xFFFF, 4) + "   TV mode bits " +
          std::to_string((c.tvModeBits >> 1) & 1) + std::to_string(c.tvModeBits & 1));
    L.NewLine();
    L.Dim("Overlay ");
    L.Text(OnOff(c.overlay));
    L.Dim("    Output select  PPI/Mini/A/R ");
    L.Text(std::string("-> ") + OutputLetter(c.ppiOutput));
    L.Dim("   TV ");
    L.Text(std::string("-> ") + OutputLetter(c.tvOutput));
    L.NewLine();
    L.Dim("Colour keys  TV ");
    L.Swatch(c.tvKey);
    L.Text(RgbText(c.tvKey));
    L.Dim("   A/R ");
    L.Swatch(c.arKey);
    L.Text(RgbText(c.arKey));
    L.Dim("   On top  ");
    L.Text(Format("PPI %s  TV %s  A/R %s", OnOff(c.ppiOnTop), OnOff(c.tvOnTop), OnOff(c.arOnTop)));
    L.NewLine();
    L.Dim("Distance ");
    if (c.distanceKnown) {
        L.Text(std::to_string(c.distance));
        L.Dim(" (variable at " + Hex(c.distanceVariableAddress) + " via DistancePointer)");
    } else {
        L.Text("unknown");
        L.Dim(" (DistancePointer is 0: no display program loaded)");
    }
    L.NewLine();

    const WindowView* ppi = FindWindow(model, WindowKind::Ppi, ch);
    L.Text("PPI ", TextColour, true);
    if (ppi != nullptr) {
        const PpiView& v = ppi->ppi;
        L.Text(RectText(ppi->rect) + "  " + PpiModeText(v.mode));
        L.Dim("  centre (" + SvgNumber(std::round(v.centre.x)) + "," + SvgNumber(std::round(v.centre.y)) + ")  range ");
        L.Text(std::to_string(v.range));
        L.Dim("  heading ");
        L.Text(Tenths(v.headingDeg));
        L.NewLine(16);
        L.Dim("colours ");
        L.Ramp(v.lut);
        L.Dim(" line ");
        L.Swatch(v.lineLut[255]);
        L.Dim(Format("step %u  distance scale %u", v.step, v.distanceScale));
    } else {
        L.Dim("hidden");
    }
    L.NewLine(16);
    L.Dim("frozen ");
    L.Text(YesNo(c.ppiFrozen));
    L.Dim("  scan ");
    L.Text(OnOff(c.ppiScan));
    L.Dim("  gate ");
    L.Text(std::to_string(c.ppiGate));
    L.Dim("  tails ");
    L.Text(Format("%u / line %u", c.ppiTail, c.ppiLineTail));
    L.NewLine();

    const WindowView* mini = FindWindow(model, WindowKind::Mini, ch);
    L.Text("Mini ", TextColour, true);
    if (mini != nullptr) {
        const MiniView& m = mini->mini;
        L.Text(RectText(mini->rect) + (m.corner ? "  corner" : "  centred"));
        L.Dim(Format("  zoom step %u", m.zoomStep));
        L.Dim("  aim (" + SvgNumber(std::round(m.aim.x)) + "," + SvgNumber(std::round(m.aim.y)) + ")");
        if (m.corner) L.Dim("  dir " + Tenths(m.directionDeg) + Format("  offset %u", m.offset));
        L.Dim("  ");
        L.Ramp(m.lut);
    } else {
        L.Dim("hidden");
    }
    L.NewLine();

    const WindowView* ar = FindWindow(model, WindowKind::Ar, ch);
    L.Text("A/R ", TextColour, true);
    if (ar != nullptr) L.Text(RectText(ar->rect));
    else L.Dim("hidden");
    L.Dim("  colour ");
    if (c.arColourBits != 0) L.Swatch(c.arColourBits);
    L.Text(ArColourName(c.arColourBits));
    if (ar != nullptr) L.Dim(Format("  bands %s/%s", OnOff(ar->ar.upperOn), OnOff(ar->ar.lowerOn)));
    L.Dim("  gate ");
    L.Text(std::to_string(c.arGate));
    L.Dim("  distance ");
    L.Text(std::to_string(c.arDistance));
    L.NewLine();

    const WindowView* tv = FindWindow(model, WindowKind::Tv, ch);
    L.Text("TV ", TextColour, true);
    if (tv != nullptr) {
        const TvView& t = tv->tv;
        L.Text(RectText(tv->rect));
        L.Dim(Format("  capture (%d,%d)-(%d,%d)  scale ", t.captureLeft, t.captureTop, t.captureRight,
                     t.captureBottom) +
              Scale(t.hScale) + " x " + Scale(t.vScale));
        L.NewLine(16);
        L.Dim(Format("brightness %d  colour %d  contrast %d  ", t.brightness, t.colour, t.contrast));
    } else {
        L.Dim("hidden  ");
    }
    L.Dim("frozen ");
    L.Text(YesNo(c.tvFrozen));
    L.NewLine();
}

void WriteMixerLegend(LegendWriter& L, const ScreenModel& model) {
    L.Text("Mixer", TextColour, true);
    L.Dim(Format("   board %d   DisplayControl ", model.board) + Hex(model.displayControl) + "   screen property ");
    L.Text(std::to_string(model.screenProperty));
    L.Dim("   video combined ");
    L.Text(OnOff(model.videoCombined));
    L.Dim("   priority  ");
    L.Text(Format("PPI ch%d  TV ch%d  A/R ch%d", model.ppiPriorityCh1 ? 1 : 2, model.tvPriorityCh1 ? 1 : 2,
                  model.arPriorityCh1 ? 1 : 2));
    L.NewLine();
    L.Dim("DisMode ");
    L.Text(model.host.disModeKnown ? std::to_string(model.host.disMode) : std::string("unknown"));
    L.Dim("  (not a register: " + model.host.disModeSource + ")");
    L.NewLine();
    L.Dim("Stacking, bottom to top: ");
    if (model.windows.empty()) L.Text("no window shown");
    for (size_t i = 0; i < model.windows.size(); ++i) {
        const WindowView& w = model.windows[i];
        L.Text(std::string(i == 0 ? "" : "  <  ") + "#" + std::to_string(i + 1) + " " + KindName(w.kind) + " ch" +
                   std::to_string(w.channel) + (w.onTop ? " (on top)" : ""),
               Accent(w.channel));
    }
    L.NewLine();
    L.Dim("Windows on top lie above the rest; then PPI < Mini < A/R < TV; between channels the kind's priority bit decides.");
    L.NewLine();
    L.Text("Everything drawn comes from the registers ", TextColour, true);
    L.Dim("(the monitors from the scenario). What the video DSPs draw inside the windows (echoes, traces, camera");
    L.NewLine();
    L.Dim("pictures) is not simulated and not drawn: a window shows its colour table, rings, heading, aim, bands and capture box.");
    L.NewLine();
}

Layout ComputeLayout(const ScreenModel& model) {
    Layout l;
    double tallest = 0;
    for (const OutputView& o : model.outputs) tallest = std::max(tallest, static_cast<double>(MonitorHeight(o)));
    l.scale = PanelScale(model, MaxPanelsWidth, MaxPanelHeight);
    double x = Margin;
    l.panelY = TitleHeight + PanelHeader;
    for (int i = 0; i < 2; ++i) {
        l.panelX[i] = x;
        l.panelW[i] = static_cast<double>(MonitorWidth(model.outputs[i])) * l.scale;
        l.panelH[i] = static_cast<double>(MonitorHeight(model.outputs[i])) * l.scale;
        x += l.panelW[i] + PanelGap;
    }
    l.width = std::ceil(std::max(x - PanelGap + Margin, MinPageWidth));
    l.legendY = l.panelY + tallest * l.scale + 34;
    LegendWriter mixer(nullptr, 0, 0), channel(nullptr, 0, 0);
    WriteMixerLegend(mixer, model);
    WriteChannelLegend(channel, model, 1);
    l.height = std::ceil(l.legendY + mixer.y() + channel.y() + 2 * LegendLine + Margin);
    return l;
}

void DrawPage(Canvas& c, const ScreenModel& model, const Layout& layout, const RenderOptions& options) {
    c.FillRect(0, 0, layout.width, layout.height, PageBackground);
    c.Text(Margin, 34, options.title, Font{20, true}, TextColour);
    c.Text(Margin, 54, options.subtitle, Font{12.5}, DimText);
    for (int output = 0; output < 2; ++output) DrawPanel(c, model, output, layout);
    // Legend: the mixer across the width, then one column per channel.
    c.Line(At(Margin, layout.legendY - 16), At(layout.width - Margin, layout.legendY - 16),
           Pen{Colour{0.25, 0.29, 0.35}});
    LegendWriter mixer(&c, Margin, layout.legendY);
    WriteMixerLegend(mixer, model);
    const double columnY = mixer.y() + LegendLine * 0.6;
    LegendWriter left(&c, Margin, columnY);
    WriteChannelLegend(left, model, 1);
    LegendWriter right(&c, layout.width / 2 + 10, columnY);
    WriteChannelLegend(right, model, 2);
}

}  // namespace

namespace {

// A device or pipe (/dev/stdout) takes a picture whatever its name: PNG
// where cairo is built, SVG elsewhere.
bool IsDeviceOrPipe(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    return std::filesystem::is_character_file(status) || std::filesystem::is_fifo(status);
}

}  // namespace

bool RenderFormatSupported(const std::string& path) {
    return EndsWith(path, ".svg") || (WritesPng && EndsWith(path, ".png")) || IsDeviceOrPipe(path);
}

std::string RenderSvg(const ScreenModel& model, const RenderOptions& options) {
    const Layout layout = ComputeLayout(model);
    SvgCanvas svg;
    DrawPage(svg, model, layout, options);
    return svg.Document(layout.width, layout.height);
}

bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error) {
    if (!RenderFormatSupported(path)) {
        *error = "cannot draw " + path + ": radovl-sim draws " + RenderFormatsWritten;
        return false;
    }
    std::string message;
    const Layout layout = ComputeLayout(model);
    OutputFile file;
    if (!file.Open(path)) {
        *error = file.error();
        return false;
    }
    bool drawn = true;
    if (EndsWith(path, ".svg") || !WritesPng) {
        file.Write(RenderSvg(model, options));
    } else {
        drawn = WritePng([&](Canvas& c) { DrawPage(c, model, layout, options); }, static_cast<int>(layout.width),
                         static_cast<int>(layout.height), file, &message);
    }
    const bool closed = file.Close();
    if (!drawn || !closed) {
        *error = file.failed() ? file.error() : message;
        // A picture cut short is no picture.
        file.Discard();
        return false;
    }
    return true;
}

}  // namespace radovl::tool
