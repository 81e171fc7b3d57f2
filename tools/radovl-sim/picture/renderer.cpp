#include "picture/renderer.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

#include "hw/registers.h"
#include "picture/labels.h"
#include "picture/page_layout.h"
#include "text/output_file.h"
#include "boardview/register_names.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

using namespace page;

constexpr int FrameWidth = TvFrame::Width;  // the decoder's camera frame
constexpr int FrameHeight = TvFrame::Height;
constexpr int DecoderNeutral = 0x80;

constexpr double MaxPanelsWidth = 1480;
constexpr double MaxPanelHeight = 1100;
constexpr const char* Sans = "DejaVu Sans";
constexpr const char* Mono = "DejaVu Sans Mono";

struct Colour {
    double r, g, b;
};

constexpr Colour PageBackground{0.071, 0.082, 0.102};
constexpr Colour TextColour{0.88, 0.91, 0.94};
constexpr Colour DimText{0.55, 0.60, 0.67};
constexpr Colour ChannelAccent[2] = {{0.31, 0.76, 0.97}, {1.00, 0.72, 0.30}};
constexpr Colour FallbackLine{0.45, 0.50, 0.55};

Colour FromRgb(uint32_t rgb) {
    return Colour{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

void SetColour(cairo_t* cr, Colour c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void Font(cairo_t* cr, const char* family, double size, bool bold = false) {
    cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

void DrawText(cairo_t* cr, double x, double y, const std::string& text) {
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string RectText(const Rect& r) { return Format("(%d,%d) %dx%d", r.x, r.y, r.w, r.h); }

bool LutIsBlack(const std::array<uint32_t, 256>& lut) {
    return std::all_of(lut.begin(), lut.end(), [](uint32_t v) { return v == 0; });
}

// The line colour of a PPI: the top of its line colour table, or a neutral
// grey when the table was never written (so the rings still show).
Colour LineColour(const std::array<uint32_t, 256>& lineLut) {
    return lineLut[255] != 0 ? FromRgb(lineLut[255]) : FallbackLine;
}

// ---------------------------------------------------------------------------
// The radar picture: a fixed pattern of sea clutter, coast and targets per
// channel, coloured through the window's colour table. It stands for what
// the video DSP draws; only its colours, centre, range and heading come
// from the board.

// A smooth closed outline in polar form around a point: radius r(t) =
// base * (1 + sum of a few sines with random phases).
struct Blob {
    Point centre;   // in fractions of the display range, relative to the origin
    double radius;  // fraction of the display range
    double phase[3];
};

struct RadarScene {
    double coastBearing;  // radians, clockwise from up
    double coastPhase[3];
    std::vector<Blob> islands;
    std::vector<Point> targets;  // fractions of the range, relative to the origin
    std::vector<double> targetCourse;
    std::vector<Point> speckle;
};

RadarScene MakeScene(int channel) {
    std::mt19937 rng(static_cast<uint32_t>(0x5EED + 97 * channel));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    RadarScene s;
    s.coastBearing = channel == 1 ? 0.75 : 3.9;
    for (double& p : s.coastPhase) p = unit(rng) * 2 * Pi;
    for (int i = 0; i < 4; ++i) {
        const double b = unit(rng) * 2 * Pi, r = 0.35 + unit(rng) * 0.45;
        Blob blob{{r * std::sin(b), -r * std::cos(b)}, 0.025 + unit(rng) * 0.04, {unit(rng) * 6, unit(rng) * 6, unit(rng) * 6}};
        s.islands.push_back(blob);
    }
    for (int i = 0; i < 11; ++i) {
        const double b = unit(rng) * 2 * Pi, r = 0.2 + unit(rng) * 0.72;
        s.targets.push_back({r * std::sin(b), -r * std::cos(b)});
        s.targetCourse.push_back(unit(rng) * 2 * Pi);
    }
    for (int i = 0; i < 160; ++i) {
        const double b = unit(rng) * 2 * Pi, r = std::pow(unit(rng), 2.2) * 0.3;
        s.speckle.push_back({r * std::sin(b), -r * std::cos(b)});
    }
    return s;
}

void BlobPath(cairo_t* cr, Point c, double radius, const double* phase) {
    constexpr int Steps = 72;
    for (int i = 0; i <= Steps; ++i) {
        const double t = 2 * Pi * i / Steps;
        const double r = radius * (1 + 0.22 * std::sin(3 * t + phase[0]) + 0.12 * std::sin(5 * t + phase[1]) +
                                   0.07 * std::sin(9 * t + phase[2]));
        const double x = c.x + r * std::cos(t), y = c.y + r * std::sin(t);
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

// Land beyond a coastline over a sector: the shore gives the strongest
// returns, the land behind it weaker ones.
void CoastPath(cairo_t* cr, Point o, double radius, const RadarScene& s) {
    constexpr int Steps = 90;
    constexpr double Sector = 1.5;
    for (int i = 0; i <= Steps; ++i) {
        const double b = s.coastBearing - Sector / 2 + Sector * i / Steps;
        const double u = static_cast<double>(i) / Steps;
        const double r = radius * (0.62 + 0.06 * std::sin(5 * u * Pi + s.coastPhase[0]) +
                                   0.025 * std::sin(11 * u * Pi + s.coastPhase[1]) + 0.25 * std::pow(2 * u - 1, 2));
        const double x = o.x + r * std::sin(b), y = o.y - r * std::cos(b);
        if (i == 0) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
    }
    cairo_arc_negative(cr, o.x, o.y, radius * 1.6, s.coastBearing + Sector / 2 - Pi / 2,
                       s.coastBearing - Sector / 2 - Pi / 2);
    cairo_close_path(cr);
}

void DrawEchoes(cairo_t* cr, Point o, double radius, const std::array<uint32_t, 256>& lut, int channel,
                double lineWidth, uint32_t tail) {
    const RadarScene s = MakeScene(channel);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, o.x, o.y, radius, 0, 2 * Pi);
    cairo_clip(cr);
    // Sea clutter round the origin.
    cairo_pattern_t* clutter = cairo_pattern_create_radial(o.x, o.y, 0, o.x, o.y, radius * 0.3);
    const Colour c0 = FromRgb(lut[150]);
    cairo_pattern_add_color_stop_rgba(clutter, 0, c0.r, c0.g, c0.b, 0.75);
    cairo_pattern_add_color_stop_rgba(clutter, 1, c0.r, c0.g, c0.b, 0);
    cairo_set_source(cr, clutter);
    cairo_paint(cr);
    cairo_pattern_destroy(clutter);
    for (const Point& p : s.speckle) {
        cairo_new_path(cr);
        cairo_arc(cr, o.x + p.x * radius, o.y + p.y * radius, lineWidth * 1.2, 0, 2 * Pi);
        SetColour(cr, FromRgb(lut[190]), 0.8);
        cairo_fill(cr);
    }
    // Coast and islands: filled land, bright shore.
    CoastPath(cr, o, radius, s);
    SetColour(cr, FromRgb(lut[105]));
    cairo_fill_preserve(cr);
    SetColour(cr, FromRgb(lut[235]));
    cairo_set_line_width(cr, lineWidth * 3);
    cairo_stroke(cr);
    for (const Blob& b : s.islands) {
        BlobPath(cr, Point{o.x + b.centre.x * radius, o.y + b.centre.y * radius}, b.radius * radius, b.phase);
        SetColour(cr, FromRgb(lut[140]));
        cairo_fill_preserve(cr);
        SetColour(cr, FromRgb(lut[245]));
        cairo_set_line_width(cr, lineWidth * 2);
        cairo_stroke(cr);
    }
    // Targets, with a trail as long as the tail setting asks (capped).
    const double trail = std::min<double>(tail, 40) * lineWidth * 1.5;
    for (size_t i = 0; i < s.targets.size(); ++i) {
        const Point t{o.x + s.targets[i].x * radius, o.y + s.targets[i].y * radius};
        const double course = s.targetCourse[i];
        for (int k = 8; k >= 1 && trail > 0; --k) {
            const double d = trail * k / 8;
            cairo_new_path(cr);
            cairo_arc(cr, t.x - d * std::sin(course), t.y + d * std::cos(course), lineWidth * 2.2, 0, 2 * Pi);
            SetColour(cr, FromRgb(lut[static_cast<size_t>(250 - 20 * k)]), 0.7);
            cairo_fill(cr);
        }
        cairo_new_path(cr);
        cairo_arc(cr, t.x, t.y, lineWidth * 3.5, 0, 2 * Pi);
        SetColour(cr, FromRgb(lut[255]));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawSweep(cairo_t* cr, Point centre, double radius, double sweep, const std::array<uint32_t, 256>& lut) {
    constexpr int Steps = 48;
    constexpr double Trail = Pi / 2;
    for (int i = 0; i < Steps; ++i) {
        const double f = 1.0 - static_cast<double>(i) / Steps;
        const double a1 = sweep - Pi / 2 - Trail * i / Steps;
        const double a0 = a1 - Trail / Steps;
        cairo_new_path(cr);
        cairo_move_to(cr, centre.x, centre.y);
        cairo_arc(cr, centre.x, centre.y, radius, a0, a1);
        cairo_close_path(cr);
        SetColour(cr, FromRgb(lut[static_cast<size_t>(60 + 195 * f)]), 0.35 * f * f);
        cairo_fill(cr);
    }
    cairo_move_to(cr, centre.x, centre.y);
    cairo_line_to(cr, centre.x + radius * std::sin(sweep), centre.y - radius * std::cos(sweep));
    SetColour(cr, FromRgb(lut[255]), 0.9);
    cairo_stroke(cr);
}

class Painter {
public:
    Painter(cairo_t* cr, double scale) : cr_(cr), scale_(scale) {}
    // Lengths in output pixels, in the panel's monitor coordinates.
    double Px(double pixels) const { return pixels / scale_; }
    cairo_t* cr() const { return cr_; }

    void Clip(const Rect& r) const {
        cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
        cairo_clip(cr_);
    }

    void Badge(double x, double y, const std::string& text, Colour fill, Colour ink) const {
        Font(cr_, Sans, Px(11), true);
        const double w = TextWidth(cr_, text) + Px(10);
        cairo_rectangle(cr_, x - w, y, w, Px(17));
        SetColour(cr_, fill, 0.92);
        cairo_fill(cr_);
        SetColour(cr_, ink);
        DrawText(cr_, x - w + Px(5), y + Px(12.5), text);
    }

    void Crosshair(Point p, double size, Colour c, double width) const {
        cairo_set_line_width(cr_, Px(width));
        SetColour(cr_, c);
        cairo_move_to(cr_, p.x - size, p.y);
        cairo_line_to(cr_, p.x + size, p.y);
        cairo_move_to(cr_, p.x, p.y - size);
        cairo_line_to(cr_, p.x, p.y + size);
        cairo_stroke(cr_);
    }

private:
    cairo_t* cr_;
    double scale_;
};

bool IsFrozenWindow(const WindowView& w) {
    return (w.kind == WindowKind::Ppi && w.ppi.frozen) || (w.kind == WindowKind::Tv && w.tv.frozen);
}

void DrawLabels(const Painter& p, const std::vector<Label>& labels, Colour ink) {
    cairo_t* cr = p.cr();
    for (const Label& label : labels) {
        Font(cr, Sans, label.box.h / LabelLineHeight, label.bold);
        SetColour(cr, label.dim ? DimText : ink);
        DrawText(cr, label.box.x, label.box.y + label.box.h * LabelBaseline, label.text);
    }
}

// A dim note inside a window, in the first free place near anchor.
void DrawNote(const Painter& p, const WindowView& w, const std::string& text, Point anchor,
              const std::vector<Box>& taken = {}) {
    const double inset = p.Px(3);
    const double top = p.Px(IsFrozenWindow(w) ? BadgeBand : TitleTabHeight) + inset;
    const Box area{w.rect.x + inset, w.rect.y + top, w.rect.w - 2 * inset, w.rect.h - top - inset};
    if (const std::optional<Box> box = PlaceLabel(text, false, p.Px(10), anchor, area, taken)) {
        DrawLabels(p, {Label{text, *box, false, true}}, DimText);
    }
}

void DrawPpi(const Painter& p, const WindowView& w) {
    cairo_t* cr = p.cr();
    const PpiView& v = w.ppi;
    cairo_save(cr);
    p.Clip(w.rect);
    SetColour(cr, FromRgb(v.lut[0]));
    cairo_paint(cr);
    const double radius = v.range > 0 ? v.range : std::min(w.rect.w, w.rect.h) / 2.0;
    const Colour line = LineColour(v.lineLut);
    // Background glow of the display area, then echoes and the sweep.
    cairo_pattern_t* glow = cairo_pattern_create_radial(v.centre.x, v.centre.y, 0, v.centre.x, v.centre.y, radius);
    const Colour mid = FromRgb(v.lut[28]);
    cairo_pattern_add_color_stop_rgb(glow, 0, mid.r, mid.g, mid.b);
    const Colour low = FromRgb(v.lut[8]);
    cairo_pattern_add_color_stop_rgb(glow, 1, low.r, low.g, low.b);
    cairo_arc(cr, v.centre.x, v.centre.y, radius, 0, 2 * Pi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    DrawEchoes(cr, v.centre, radius, v.lut, w.channel, p.Px(1), v.tail);
    // The sweep turns only while scanning is on; where it stands is not a
    // register, so it is drawn a fixed way past the heading.
    if (v.scan) {
        const double sweep = (v.headingDeg + 62.0) * Pi / 180.0;
        cairo_set_line_width(cr, p.Px(1.6));
        DrawSweep(cr, v.centre, radius, sweep, v.lut);
    }
    // Range rings: quarters dotted, the range circle solid.
    for (int i = 1; i <= 4; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, v.centre.x, v.centre.y, radius * i / 4.0, 0, 2 * Pi);
        SetColour(cr, line, i == 4 ? 0.95 : 0.45);
        cairo_set_line_width(cr, p.Px(i == 4 ? 1.8 : 0.9));
        if (i != 4) {
            const double dash[] = {p.Px(3), p.Px(4)};
            cairo_set_dash(cr, dash, 2, 0);
        }
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    // Heading line from the sweep centre to the range circle.
    const double heading = v.headingDeg * Pi / 180.0;
    const Point tip{v.centre.x + radius * std::sin(heading), v.centre.y - radius * std::cos(heading)};
    cairo_set_line_width(cr, p.Px(2.2));
    SetColour(cr, line);
    cairo_move_to(cr, v.centre.x, v.centre.y);
    cairo_line_to(cr, tip.x, tip.y);
    cairo_stroke(cr);
    p.Crosshair(v.centre, p.Px(9), Colour{1, 1, 1}, 1.6);
    cairo_arc(cr, v.centre.x, v.centre.y, p.Px(3), 0, 2 * Pi);
    SetColour(cr, Colour{1, 1, 1});
    cairo_fill(cr);
    DrawLabels(p, PpiLabels(w, p.Px(1)), line);
    cairo_restore(cr);
}

void DrawMini(const Painter& p, const WindowView& w) {
    cairo_t* cr = p.cr();
    const MiniView& m = w.mini;
    cairo_save(cr);
    p.Clip(w.rect);
    SetColour(cr, FromRgb(m.lut[4]));
    cairo_paint(cr);
    // The same radar picture as the PPI, magnified by the zoom.
    const double magnification = m.zoomStep > 0 ? 16.0 / m.zoomStep : 1.0;
    const double ppiRadius = m.ppiRange > 0 ? m.ppiRange : 150.0;
    const double radius = ppiRadius * magnification;
    DrawEchoes(cr, m.origin, radius, m.lut, w.channel, p.Px(1) * std::min(magnification, 1.5), 0);
    const Colour bright = LutIsBlack(m.lut) ? FallbackLine : FromRgb(m.lut[255]);
    for (int i = 1; i <= 8; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, m.origin.x, m.origin.y, radius * i / 4.0, 0, 2 * Pi);
        SetColour(cr, bright, 0.25);
        cairo_set_line_width(cr, p.Px(0.8));
        cairo_stroke(cr);
    }
    // Origin, the line to the aim point, the aim point.
    cairo_set_line_width(cr, p.Px(1.4));
    const double dash[] = {p.Px(5), p.Px(4)};
    cairo_set_dash(cr, dash, 2, 0);
    SetColour(cr, Colour{1, 1, 1}, 0.8);
    cairo_move_to(cr, m.origin.x, m.origin.y);
    cairo_line_to(cr, m.aim.x, m.aim.y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_arc(cr, m.origin.x, m.origin.y, p.Px(4), 0, 2 * Pi);
    SetColour(cr, Colour{1, 1, 1});
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, m.aim.x, m.aim.y, p.Px(10), 0, 2 * Pi);
    SetColour(cr, ChannelAccent[VideoDspOf(w.channel)]);
    cairo_set_line_width(cr, p.Px(2));
    cairo_stroke(cr);
    p.Crosshair(m.aim, p.Px(15), ChannelAccent[VideoDspOf(w.channel)], 1.6);
    Font(cr, Sans, p.Px(10.5), true);
    SetColour(cr, ChannelAccent[VideoDspOf(w.channel)]);
    DrawText(cr, m.aim.x + p.Px(12), m.aim.y - p.Px(12), "aim");
    const Box aimLabel{m.aim.x - p.Px(16), m.aim.y - p.Px(26), p.Px(52), p.Px(42)};
    const Point lowerLeft{static_cast<double>(w.rect.x), static_cast<double>(w.rect.y) + w.rect.h};
    const Point lowerRight{static_cast<double>(w.rect.x) + w.rect.w, static_cast<double>(w.rect.y) + w.rect.h};
    if (LutIsBlack(m.lut)) DrawNote(p, w, "colour table not written", lowerLeft, {aimLabel});
    DrawNote(p, w, "echoes: illustration", lowerRight, {aimLabel});
    cairo_restore(cr);
}

double ScopeTrace(double x, int band, int channel) {
    // Returns over range: a decaying noise floor and a few echoes.
    const double seed = channel * 7.3 + band * 3.1;
    double v = 0.55 * std::exp(-x * 3.2) + 0.06 * (1 + std::sin(x * 173 + seed) * std::sin(x * 61 + seed * 2));
    const double peaks[][2] = {{0.27, 0.55}, {0.46, 0.35}, {0.63, 0.8}, {0.81, 0.25}};
    for (const auto& pk : peaks) {
        const double centre = band == 0 ? pk[0] : 0.15 + (pk[0] - 0.15) * 1.9;
        v += pk[1] * std::exp(-std::pow((x - centre) / 0.012, 2));
    }
    return std::min(v, 1.0);
}

void DrawArBand(const Painter& p, const Rect& band, bool on, Colour colour, bool hasColour, int index, int channel) {
    cairo_t* cr = p.cr();
    cairo_save(cr);
    p.Clip(band);
    cairo_set_source_rgb(cr, 0.02 + colour.r * 0.05, 0.03 + colour.g * 0.05, 0.03 + colour.b * 0.05);
    cairo_paint(cr);
    // Graticule.
    SetColour(cr, colour, 0.18);
    cairo_set_line_width(cr, p.Px(0.8));
    for (int i = 1; i < 10; ++i) {
        const double x = band.x + band.w * i / 10.0;
        cairo_move_to(cr, x, band.y);
        cairo_line_to(cr, x, band.y + band.h);
    }
    for (int i = 1; i < 4; ++i) {
        const double y = band.y + band.h * i / 4.0;
        cairo_move_to(cr, band.x, y);
        cairo_line_to(cr, band.x + band.w, y);
    }
    cairo_stroke(cr);
    const double base = band.y + band.h - p.Px(6);
    const double height = band.h - p.Px(14);
    if (on) {
        cairo_set_line_width(cr, p.Px(1.5));
        SetColour(cr, hasColour ? colour : FallbackLine);
        const int steps = std::max(2, static_cast<int>(band.w));
        for (int i = 0; i <= steps; ++i) {
            const double f = static_cast<double>(i) / steps;
            const double y = base - ScopeTrace(f, index, channel) * height;
            if (i == 0) cairo_move_to(cr, band.x + f * band.w, y);
            else cairo_line_to(cr, band.x + f * band.w, y);
        }
        cairo_stroke(cr);
    } else {
        SetColour(cr, DimText, 0.5);
        for (double x = band.x - band.h; x < band.x + band.w; x += p.Px(12)) {
            cairo_move_to(cr, x, band.y + band.h);
            cairo_line_to(cr, x + band.h, band.y);
        }
        cairo_stroke(cr);
    }
    Font(cr, Sans, p.Px(10));
    SetColour(cr, TextColour, 0.8);
    DrawText(cr, band.x + band.w - p.Px(78), band.y + p.Px(13),
             std::string(index == 0 ? "upper" : "lower") + (on ? " band" : " band off"));
    cairo_restore(cr);
}

void DrawAr(const Painter& p, const WindowView& w) {
    const ArView& a = w.ar;
    const bool hasColour = a.colourBits != 0;
    const Colour colour = hasColour ? FromRgb(a.colourBits) : FallbackLine;
    cairo_t* cr = p.cr();
    cairo_save(cr);
    p.Clip(w.rect);
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.03);
    cairo_paint(cr);
    cairo_restore(cr);
    DrawArBand(p, a.upper, a.upperOn, colour, hasColour, 0, w.channel);
    DrawArBand(p, a.lower, a.lowerOn, colour, hasColour, 1, w.channel);
    DrawNote(p, w, "traces: illustration", Point{static_cast<double>(w.rect.x), static_cast<double>(w.rect.y) + w.rect.h});
    // The seam between the bands.
    cairo_set_line_width(cr, p.Px(1));
    SetColour(cr, TextColour, 0.35);
    cairo_move_to(cr, a.lower.x, a.lower.y);
    cairo_line_to(cr, a.lower.x + a.lower.w, a.lower.y);
    cairo_stroke(cr);
}

// The camera picture: sky, sea, a coast and a ship, with the decoder's
// brightness, contrast and colour applied to its pixels.
cairo_surface_t* MakeCameraFrame(const TvView& tv) {
    cairo_surface_t* frame = cairo_image_surface_create(CAIRO_FORMAT_RGB24, FrameWidth, FrameHeight);
    cairo_t* cr = cairo_create(frame);
    const double horizon = FrameHeight * 0.52;
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, horizon);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.36, 0.56, 0.82);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.80, 0.87, 0.93);
    cairo_rectangle(cr, 0, 0, FrameWidth, horizon);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    cairo_pattern_t* sea = cairo_pattern_create_linear(0, horizon, 0, FrameHeight);
    cairo_pattern_add_color_stop_rgb(sea, 0, 0.16, 0.34, 0.48);
    cairo_pattern_add_color_stop_rgb(sea, 1, 0.04, 0.12, 0.22);
    cairo_rectangle(cr, 0, horizon, FrameWidth, FrameHeight - horizon);
    cairo_set_source(cr, sea);
    cairo_fill(cr);
    cairo_pattern_destroy(sea);
    // Coast hills on the left.
    cairo_move_to(cr, 0, horizon);
    cairo_curve_to(cr, 80, horizon - 70, 170, horizon - 40, 240, horizon - 18);
    cairo_curve_to(cr, 280, horizon - 8, 300, horizon - 4, 330, horizon);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.30, 0.40, 0.33);
    cairo_fill(cr);
    // Wave lines.
    cairo_set_line_width(cr, 1.2);
    for (int i = 0; i < 22; ++i) {
        const double y = horizon + 8 + i * i * 0.55;
        cairo_set_source_rgba(cr, 0.75, 0.85, 0.92, 0.10 + i * 0.006);
        for (double x = (i * 37) % 90; x < FrameWidth; x += 90) {
            cairo_move_to(cr, x, y);
            cairo_curve_to(cr, x + 10, y - 2, x + 20, y - 2, x + 30, y);
        }
        cairo_stroke(cr);
    }
    // A ship on the horizon.
    const double sx = 430, sy = horizon + 6;
    cairo_move_to(cr, sx - 80, sy - 16);
    cairo_line_to(cr, sx + 95, sy - 16);
    cairo_line_to(cr, sx + 75, sy + 4);
    cairo_line_to(cr, sx - 68, sy + 4);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.16, 0.18, 0.22);
    cairo_fill(cr);
    cairo_rectangle(cr, sx - 40, sy - 38, 70, 22);
    cairo_rectangle(cr, sx - 22, sy - 54, 30, 16);
    cairo_set_source_rgb(cr, 0.86, 0.87, 0.88);
    cairo_fill(cr);
    cairo_rectangle(cr, sx - 4, sy - 74, 4, 20);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
    cairo_fill(cr);
    cairo_destroy(cr);

    // Picture controls: 0x80 is neutral for all three.
    const int brightness = tv.brightness < 0 ? DecoderNeutral : tv.brightness;
    const int contrast = tv.contrast < 0 ? DecoderNeutral : tv.contrast;
    const int colour = tv.colour < 0 ? DecoderNeutral : tv.colour;
    if (brightness != DecoderNeutral || contrast != DecoderNeutral || colour != DecoderNeutral) {
        cairo_surface_flush(frame);
        unsigned char* data = cairo_image_surface_get_data(frame);
        const int stride = cairo_image_surface_get_stride(frame);
        for (int y = 0; y < FrameHeight; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < FrameWidth; ++x) {
                double c[3] = {static_cast<double>((row[x] >> 16) & 0xFF), static_cast<double>((row[x] >> 8) & 0xFF),
                               static_cast<double>(row[x] & 0xFF)};
                const double grey = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
                uint32_t out = 0;
                for (double& v : c) {
                    v = grey + (v - grey) * colour / DecoderNeutral;
                    v = (v - 128) * contrast / DecoderNeutral + 128 + (brightness - DecoderNeutral);
                    out = (out << 8) | static_cast<uint32_t>(std::clamp(v, 0.0, 255.0));
                }
                row[x] = out;
            }
        }
        cairo_surface_mark_dirty(frame);
    }
    return frame;
}

void DrawTv(const Painter& p, const WindowView& w, double outputScale) {
    cairo_t* cr = p.cr();
    const TvView& t = w.tv;
    cairo_surface_t* frame = MakeCameraFrame(t);
    const double columns = std::max(1, t.captureRight - t.captureLeft);
    const double rows = std::max(1, t.captureBottom - t.captureTop + 1);
    cairo_save(cr);
    p.Clip(w.rect);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    // The captured part of the frame, scaled into the window.
    cairo_save(cr);
    cairo_translate(cr, w.rect.x, w.rect.y);
    cairo_scale(cr, w.rect.w / columns, w.rect.h / rows);
    cairo_translate(cr, -t.captureLeft, -(t.captureTop - 1));
    cairo_set_source_surface(cr, frame, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    // A thumbnail of the whole frame with the capture rectangle, when the
    // window is large enough to hold it.
    const double thumbW = p.Px(120);
    const double thumbH = thumbW * FrameHeight / FrameWidth;
    if (w.rect.w * outputScale > 260 && w.rect.h * outputScale > 170) {
        const double tx = w.rect.x + w.rect.w - thumbW - p.Px(8);
        const double ty = w.rect.y + w.rect.h - thumbH - p.Px(8);
        cairo_save(cr);
        cairo_translate(cr, tx, ty);
        cairo_scale(cr, thumbW / FrameWidth, thumbH / FrameHeight);
        cairo_set_source_surface(cr, frame, 0, 0);
        cairo_paint_with_alpha(cr, 0.85);
        cairo_restore(cr);
        cairo_rectangle(cr, tx, ty, thumbW, thumbH);
        SetColour(cr, Colour{1, 1, 1}, 0.7);
        cairo_set_line_width(cr, p.Px(1));
        cairo_stroke(cr);
        const double kx = thumbW / FrameWidth, ky = thumbH / FrameHeight;
        cairo_rectangle(cr, tx + t.captureLeft * kx, ty + (t.captureTop - 1) * ky, columns * kx, rows * ky);
        SetColour(cr, Colour{1.0, 0.85, 0.2});
        cairo_set_line_width(cr, p.Px(1.5));
        cairo_stroke(cr);
        Font(cr, Sans, p.Px(9.5));
        const std::string label = "whole frame, capture boxed";
        // Over the thumbnail's right edge, which lies inside the window.
        const double labelW = TextWidth(cr, label) + p.Px(6);
        const double lx = tx + thumbW - labelW;
        cairo_rectangle(cr, lx, ty - p.Px(14), labelW, p.Px(14));
        cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
        cairo_fill(cr);
        SetColour(cr, Colour{1, 1, 1}, 0.9);
        DrawText(cr, lx + p.Px(3), ty - p.Px(4), label);
    }
    std::vector<Box> notes;
    if (t.brightness == 0 && t.contrast == 0) {
        Font(cr, Sans, p.Px(11));
        SetColour(cr, DimText);
        const std::string dark = "decoder brightness and contrast are 0: black picture";
        DrawText(cr, w.rect.x + p.Px(8), w.rect.y + p.Px(36), dark);
        notes.push_back(Box{w.rect.x + p.Px(8), w.rect.y + p.Px(24), TextWidth(cr, dark), p.Px(16)});
    }
    DrawNote(p, w, "camera picture: illustration",
             Point{static_cast<double>(w.rect.x) + w.rect.w, static_cast<double>(w.rect.y)}, notes);
    Font(cr, Sans, p.Px(10.5));
    SetColour(cr, Colour{1, 1, 1}, 0.92);
    DrawText(cr, w.rect.x + p.Px(8), w.rect.y + w.rect.h - p.Px(8),
             Format("capture (%d,%d)-(%d,%d)  scale %.2f x %.2f", t.captureLeft, t.captureTop, t.captureRight,
                    t.captureBottom, t.hScale / double{TvScale::Unit}, t.vScale / double{TvScale::Unit}));
    cairo_restore(cr);
    cairo_surface_destroy(frame);
}

void DrawFrame(const Painter& p, const WindowView& w, size_t stackIndex) {
    cairo_t* cr = p.cr();
    const Colour accent = ChannelAccent[VideoDspOf(w.channel)];
    cairo_set_line_width(cr, p.Px(2));
    SetColour(cr, accent);
    cairo_rectangle(cr, w.rect.x, w.rect.y, w.rect.w, w.rect.h);
    cairo_stroke(cr);
    // Title tab inside the top-left corner.
    const std::string title = Format("%s ch%d", KindName(w.kind), w.channel);
    std::string detail = Format("#%zu%s  %dx%d (%d,%d)", stackIndex + 1, w.onTop ? " on top" : "", w.rect.w,
                                w.rect.h, w.rect.x, w.rect.y);
    Font(cr, Sans, p.Px(11.5), true);
    const double titleWidth = TextWidth(cr, title);
    Font(cr, Sans, p.Px(10.5));
    // A narrow window keeps only its stacking place in the tab.
    if (titleWidth + TextWidth(cr, detail) + p.Px(20) > w.rect.w) {
        detail = Format("#%zu%s", stackIndex + 1, w.onTop ? " on top" : "");
    }
    const double detailWidth = TextWidth(cr, detail);
    const double tabW = std::min<double>(w.rect.w, titleWidth + detailWidth + p.Px(20));
    cairo_save(cr);
    p.Clip(w.rect);
    cairo_rectangle(cr, w.rect.x, w.rect.y, tabW, p.Px(18));
    SetColour(cr, accent, 0.92);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.05, 0.06, 0.08);
    Font(cr, Sans, p.Px(11.5), true);
    DrawText(cr, w.rect.x + p.Px(5), w.rect.y + p.Px(13.5), title);
    Font(cr, Sans, p.Px(10.5));
    DrawText(cr, w.rect.x + p.Px(13) + titleWidth, w.rect.y + p.Px(13.5), detail);
    if (IsFrozenWindow(w)) p.Badge(w.rect.x + w.rect.w - p.Px(4), w.rect.y + p.Px(22), "FROZEN", Colour{0.75, 0.9, 1.0}, Colour{0.05, 0.1, 0.2});
    cairo_restore(cr);
}

void DrawWindow(const Painter& p, const WindowView& w, size_t stackIndex, double scale) {
    if (w.rect.w <= 0 || w.rect.h <= 0) return;
    switch (w.kind) {
        case WindowKind::Ppi: DrawPpi(p, w); break;
        case WindowKind::Mini: DrawMini(p, w); break;
        case WindowKind::Ar: DrawAr(p, w); break;
        case WindowKind::Tv: DrawTv(p, w, scale); break;
    }
    DrawFrame(p, w, stackIndex);
}

struct Layout {
    double scale = 0.5;
    double panelX[2] = {0, 0};
    double panelY = 0;
    double panelW[2] = {0, 0};
    double panelH[2] = {0, 0};
    double legendY = 0;
    double legendHeight = 0;
    double width = 0;
    double height = 0;
};



void DrawPanel(cairo_t* cr, const ScreenModel& model, int output, const Layout& layout) {
    const OutputView& out = model.outputs[output];
    const double x = layout.panelX[output];
    const double y = layout.panelY;
    const double w = layout.panelW[output];
    const double h = layout.panelH[output];
    // Header.
    Font(cr, Sans, 14, true);
    SetColour(cr, TextColour);
    const std::string name = Format("Output %c", 'A' + output);
    DrawText(cr, x, y - 11, name);
    const double nameWidth = TextWidth(cr, name);
    Font(cr, Sans, 12);
    SetColour(cr, DimText);
    DrawText(cr, x + nameWidth + 10, y - 11,
             Format("select bit %d  ·  %s  ·  %lldx%lld", output, out.description.c_str(),
                    static_cast<long long>(MonitorWidth(out)), static_cast<long long>(MonitorHeight(out))));
    // Desktop.
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_pattern_t* desk = cairo_pattern_create_linear(x, y, x, y + h);
    cairo_pattern_add_color_stop_rgb(desk, 0, 0.13, 0.16, 0.21);
    cairo_pattern_add_color_stop_rgb(desk, 1, 0.08, 0.10, 0.14);
    cairo_set_source(cr, desk);
    cairo_paint(cr);
    cairo_pattern_destroy(desk);
    cairo_translate(cr, x, y);
    cairo_scale(cr, layout.scale, layout.scale);
    const Painter painter(cr, layout.scale);
    // Grid every 128 monitor pixels (more on huge monitors), every other
    // line labelled along the top and left.
    const int64_t width = MonitorWidth(out), height = MonitorHeight(out);
    const int64_t stepX = GridStep(width), stepY = GridStep(height);
    cairo_set_line_width(cr, painter.Px(1));
    SetColour(cr, Colour{0.35, 0.42, 0.52}, 0.22);
    for (int64_t gx = stepX; gx < width; gx += stepX) {
        cairo_move_to(cr, static_cast<double>(gx), 0);
        cairo_line_to(cr, static_cast<double>(gx), static_cast<double>(height));
    }
    for (int64_t gy = stepY; gy < height; gy += stepY) {
        cairo_move_to(cr, 0, static_cast<double>(gy));
        cairo_line_to(cr, static_cast<double>(width), static_cast<double>(gy));
    }
    cairo_stroke(cr);
    Font(cr, Mono, painter.Px(9));
    SetColour(cr, Colour{0.55, 0.62, 0.72}, 0.6);
    for (int64_t gx = 2 * stepX; gx < width; gx += 2 * stepX) {
        DrawText(cr, static_cast<double>(gx) + painter.Px(3), painter.Px(11), std::to_string(gx));
    }
    for (int64_t gy = 2 * stepY; gy < height; gy += 2 * stepY) {
        DrawText(cr, painter.Px(3), static_cast<double>(gy) - painter.Px(3), std::to_string(gy));
    }
    if (!out.hasMonitor) {
        Font(cr, Sans, painter.Px(16));
        SetColour(cr, DimText);
        DrawText(cr, painter.Px(20), height / 2.0, "no monitor on this output in the scenario");
    }
    size_t index = 0;
    bool any = false;
    for (const WindowView& win : model.windows) {
        if (win.output == output) {
            DrawWindow(painter, win, index, layout.scale);
            any = true;
        }
        ++index;
    }
    if (!any && out.hasMonitor) {
        Font(cr, Sans, painter.Px(14));
        SetColour(cr, DimText);
        DrawText(cr, painter.Px(20), height / 2.0, "no window shown on this output");
    }
    cairo_restore(cr);
    cairo_rectangle(cr, x - 0.5, y - 0.5, w + 1, h + 1);
    SetColour(cr, Colour{0.33, 0.38, 0.46});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// ---------------------------------------------------------------------------
// Legend: text runs with colour swatches and colour-table ramps.

class LegendWriter {
public:
    LegendWriter(cairo_t* cr, double x, double y) : cr_(cr), x0_(x), x_(x), y_(y) {}
    void Text(const std::string& text, Colour c = TextColour, bool bold = false) {
        if (cr_ != nullptr) {
            Font(cr_, Sans, 12, bold);
            SetColour(cr_, c);
            DrawText(cr_, x_, y_, text);
        }
        x_ += Width(text, bold);
    }
    void Dim(const std::string& text) { Text(text, DimText); }
    void Swatch(uint32_t rgb) {
        if (cr_ != nullptr) {
            cairo_rectangle(cr_, x_ + 1, y_ - 10, 14, 12);
            SetColour(cr_, FromRgb(rgb));
            cairo_fill_preserve(cr_);
            SetColour(cr_, DimText);
            cairo_set_line_width(cr_, 1);
            cairo_stroke(cr_);
        }
        x_ += 19;
    }
    void Ramp(const std::array<uint32_t, 256>& lut) {
        if (cr_ != nullptr) {
            for (int i = 0; i < 256; i += 2) {
                cairo_rectangle(cr_, x_ + 1 + i * 0.375, y_ - 10, 0.8, 12);
                SetColour(cr_, FromRgb(lut[static_cast<size_t>(i)]));
                cairo_fill(cr_);
            }
            cairo_rectangle(cr_, x_ + 1, y_ - 10, 96, 12);
            SetColour(cr_, DimText);
            cairo_set_line_width(cr_, 1);
            cairo_stroke(cr_);
        }
        x_ += 102;
    }
    void NewLine(double indent = 0) {
        x_ = x0_ + indent;
        y_ += LegendLine;
    }
    double y() const { return y_; }

private:
    double Width(const std::string& text, bool bold) {
        if (cr_ != nullptr) return TextWidth(cr_, text);
        // Measuring pass: a scratch context gives the same metrics.
        static cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        cairo_t* m = cairo_create(scratch);
        Font(m, Sans, 12, bold);
        const double w = TextWidth(m, text);
        cairo_destroy(m);
        return w;
    }
    cairo_t* cr_;
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
    L.Text(Format("Channel %d", ch), ChannelAccent[VideoDspOf(ch)], true);
    L.Dim(Format("   ChannelControl %s   TV mode bits %u%u", Hex(c.channelControl & 0xFFFF, 4).c_str(),
                 (c.tvModeBits >> 1) & 1, c.tvModeBits & 1));
    L.NewLine();
    L.Dim("Overlay ");
    L.Text(OnOff(c.overlay));
    L.Dim("    Output select  PPI/Mini/A/R ");
    L.Text(Format("-> %c", OutputLetter(c.ppiOutput)));
    L.Dim("   TV ");
    L.Text(Format("-> %c", OutputLetter(c.tvOutput)));
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
        L.Dim(Format(" (variable at %s via DistancePointer)", Hex(c.distanceVariableAddress).c_str()));
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
        L.Dim(Format("  centre (%.0f,%.0f)  range ", v.centre.x, v.centre.y));
        L.Text(std::to_string(v.range));
        L.Dim("  heading ");
        L.Text(Format("%.1f", v.headingDeg));
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
        L.Dim(Format("  aim (%.0f,%.0f)", m.aim.x, m.aim.y));
        if (m.corner) L.Dim(Format("  dir %.1f  offset %u", m.directionDeg, m.offset));
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
        L.Dim(Format("  capture (%d,%d)-(%d,%d)  scale %.3f x %.3f", t.captureLeft, t.captureTop, t.captureRight,
                     t.captureBottom, t.hScale / double{TvScale::Unit}, t.vScale / double{TvScale::Unit}));
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
    L.Dim(Format("   board %d   DisplayControl %s   screen property ", model.board, Hex(model.displayControl).c_str()));
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
    size_t i = 0;
    for (const WindowView& w : model.windows) {
        L.Text(Format("%s#%zu %s ch%d%s", i == 0 ? "" : "  <  ", i + 1, KindName(w.kind), w.channel,
                      w.onTop ? " (on top)" : ""),
               ChannelAccent[VideoDspOf(w.channel)]);
        ++i;
    }
    L.NewLine();
    L.Dim("Windows on top lie above the rest; then PPI < Mini < A/R < TV; between channels the kind's priority bit decides.");
    L.NewLine();
    L.Text("From the registers: ", TextColour, true);
    L.Dim("window places and sizes, colour tables, centres, ranges, headings, rings, scan, capture boxes, keys, stacking.");
    L.NewLine();
    L.Text("Illustration, not from the board: ", TextColour, true);
    L.Dim("radar echoes, coast and targets, the sweep's angle, A/R traces, camera pictures.");
    L.NewLine();
}

double LegendHeight(const ScreenModel& model) {
    LegendWriter mixer(nullptr, 0, 0);
    WriteMixerLegend(mixer, model);
    LegendWriter channel(nullptr, 0, 0);
    WriteChannelLegend(channel, model, 1);
    LegendWriter channel2(nullptr, 0, 0);
    WriteChannelLegend(channel2, model, 2);
    return mixer.y() + std::max(channel.y(), channel2.y()) + 2 * LegendLine;
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
    l.width = std::max(x - PanelGap + Margin, 1200.0);
    l.legendY = l.panelY + tallest * l.scale + 34;
    l.legendHeight = LegendHeight(model);
    l.height = l.legendY + l.legendHeight + Margin;
    return l;
}

void DrawAll(cairo_t* cr, const ScreenModel& model, const Layout& layout, const RenderOptions& options) {
    SetColour(cr, PageBackground);
    cairo_paint(cr);
    Font(cr, Sans, 20, true);
    SetColour(cr, TextColour);
    DrawText(cr, Margin, 34, options.title);
    Font(cr, Sans, 12.5);
    SetColour(cr, DimText);
    DrawText(cr, Margin, 54, options.subtitle);
    for (int output = 0; output < 2; ++output) DrawPanel(cr, model, output, layout);
    // Legend: the mixer across the width, then one column per channel.
    cairo_move_to(cr, Margin, layout.legendY - 16);
    cairo_line_to(cr, layout.width - Margin, layout.legendY - 16);
    SetColour(cr, Colour{0.25, 0.29, 0.35});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    LegendWriter mixer(cr, Margin, layout.legendY);
    WriteMixerLegend(mixer, model);
    const double columnY = mixer.y() + LegendLine * 0.6;
    LegendWriter left(cr, Margin, columnY);
    WriteChannelLegend(left, model, 1);
    LegendWriter right(cr, layout.width / 2 + 10, columnY);
    WriteChannelLegend(right, model, 2);
}

}  // namespace

const char* const RenderFormatsHelp = "draws the board's outputs at the end of the run: FILE.png, or FILE.svg";

bool RenderFormatSupported(const std::string&) { return true; }

bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error) {
    const Layout layout = ComputeLayout(model);
    const int width = static_cast<int>(std::ceil(layout.width));
    const int height = static_cast<int>(std::ceil(layout.height));
    const bool svg = EndsWith(path, ".svg");
    OutputFile file;
    if (!file.Open(path)) {
        if (error != nullptr) *error = file.error();
        return false;
    }
    // cairo writes through the file, so that a write error keeps its reason.
    const cairo_write_func_t write = [](void* closure, const unsigned char* data, unsigned int length) {
        OutputFile& f = *static_cast<OutputFile*>(closure);
        return f.Write(std::string(reinterpret_cast<const char*>(data), length)) ? CAIRO_STATUS_SUCCESS
                                                                                  : CAIRO_STATUS_WRITE_ERROR;
    };
    cairo_surface_t* surface = svg ? cairo_svg_surface_create_for_stream(write, &file, width, height)
                                   : cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    DrawAll(cr, model, layout, options);
    cairo_destroy(cr);
    cairo_status_t status = CAIRO_STATUS_SUCCESS;
    if (svg) {
        cairo_surface_finish(surface);
        status = cairo_surface_status(surface);
    } else {
        status = cairo_surface_write_to_png_stream(surface, write, &file);
    }
    cairo_surface_destroy(surface);
    const bool closed = file.Close();
    if (status != CAIRO_STATUS_SUCCESS || !closed) {
        if (error != nullptr) {
            *error = file.failed() ? file.error()
                                   : std::string("cannot draw ") + path + ": " + cairo_status_to_string(status);
        }
        // A picture cut short is no picture.
        file.Discard();
        return false;
    }
    return true;
}

}  // namespace radovl::tool
