// The picture as plain SVG written by hand, for builds without cairo (the
// Windows cross build): the panels, every shown window as its rectangle with
// its title, a PPI's range circle, heading and sweep, a Mini's aim, the A/R
// bands, a TV's capture box, and a legend in text. Nothing is illustrated:
// everything drawn comes from the registers (or, for the monitors, from the
// scenario).
#include <cmath>
#include <cstdio>
#include <sstream>

#include "picture/labels.h"
#include "hw/registers.h"
#include "picture/page_layout.h"
#include "text/output_file.h"
#include "boardview/register_names.h"
#include "picture/renderer.h"
#include "text/text.h"

namespace radovl::tool {
namespace {

using namespace page;

constexpr const char* Accent[2] = {"#4FC2F7", "#FFB84D"};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

class Svg {
public:
    void Text(double x, double y, double size, const std::string& text, const char* fill, bool bold = false) {
        os_ << "<text x=\"" << Num(x) << "\" y=\"" << Num(y) << "\" font-size=\"" << Num(size) << "\" fill=\"" << fill
            << "\"" << (bold ? " font-weight=\"bold\"" : "") << ">" << Escape(text) << "</text>\n";
    }
    void Rect(double x, double y, double w, double h, const char* fill, const char* stroke, double width) {
        os_ << "<rect x=\"" << Num(x) << "\" y=\"" << Num(y) << "\" width=\"" << Num(w) << "\" height=\"" << Num(h)
            << "\" fill=\"" << fill << "\" stroke=\"" << stroke << "\" stroke-width=\"" << Num(width) << "\"/>\n";
    }
    void Line(Point a, Point b, const char* stroke, double width) {
        os_ << "<line x1=\"" << Num(a.x) << "\" y1=\"" << Num(a.y) << "\" x2=\"" << Num(b.x) << "\" y2=\"" << Num(b.y)
            << "\" stroke=\"" << stroke << "\" stroke-width=\"" << Num(width) << "\"/>\n";
    }
    void Circle(Point c, double r, const char* stroke, double width) {
        os_ << "<circle cx=\"" << Num(c.x) << "\" cy=\"" << Num(c.y) << "\" r=\"" << Num(r) << "\" fill=\"none\" stroke=\""
            << stroke << "\" stroke-width=\"" << Num(width) << "\"/>\n";
    }
    void Raw(const std::string& text) { os_ << text; }
    std::string str() const { return os_.str(); }

private:
    std::ostringstream os_;
};

// One window, in picture coordinates: origin (x0, y0) and scale k.
void DrawWindow(Svg& svg, const WindowView& w, size_t index, double x0, double y0, double k) {
    auto at = [&](double x, double y) { return Point{x0 + x * k, y0 + y * k}; };
    const char* accent = Accent[VideoDspOf(w.channel)];
    const Point corner = at(w.rect.x, w.rect.y);
    svg.Raw("<g>\n");
    svg.Rect(corner.x, corner.y, w.rect.w * k, w.rect.h * k, "#0B0E12", accent, 2);
    if (w.kind == WindowKind::Ppi) {
        const PpiView& v = w.ppi;
        const double radius = v.range > 0 ? v.range : std::min(w.rect.w, w.rect.h) / 2.0;
        const Point centre = at(v.centre.x, v.centre.y);
        svg.Circle(centre, radius * k, "#8A96A3", 1.2);
        const double heading = v.headingDeg * Pi / 180.0;
        svg.Line(centre, Point{centre.x + radius * k * std::sin(heading), centre.y - radius * k * std::cos(heading)},
                 "#FFFFFF", 1.6);
        if (v.scan) {
            const double sweep = (v.headingDeg + 62.0) * Pi / 180.0;
            svg.Line(centre, Point{centre.x + radius * k * std::sin(sweep), centre.y - radius * k * std::cos(sweep)},
                     accent, 1);
        }
        for (const Label& l : PpiLabels(w, 1.0 / k)) {
            const Point p = at(l.box.x, l.box.y + l.box.h * LabelBaseline);
            svg.Text(p.x, p.y, l.box.h / LabelLineHeight * k, l.text, l.dim ? "#8C99AB" : "#E0E8F0", l.bold);
        }
    } else if (w.kind == WindowKind::Mini) {
        const Point aim = at(w.mini.aim.x, w.mini.aim.y);
        svg.Line(at(w.mini.origin.x, w.mini.origin.y), aim, "#FFFFFF", 1);
        svg.Circle(aim, 8, accent, 1.5);
    } else if (w.kind == WindowKind::Ar) {
        for (const Rect* band : {&w.ar.upper, &w.ar.lower}) {
            const Point p = at(band->x, band->y);
            svg.Rect(p.x, p.y, band->w * k, band->h * k, "none", "#55606E", 1);
        }
    } else {
        const TvView& t = w.tv;
        svg.Text(corner.x + 6, corner.y + w.rect.h * k - 6, 10,
                 "capture (" + std::to_string(t.captureLeft) + "," + std::to_string(t.captureTop) + ")-(" +
                     std::to_string(t.captureRight) + "," + std::to_string(t.captureBottom) + ")",
                 "#E0E8F0");
    }
    svg.Text(corner.x + 4, corner.y + 13, 11,
             std::string(KindName(w.kind)) + " ch" + std::to_string(w.channel) + "  #" + std::to_string(index + 1) +
                 (w.onTop ? " on top" : ""),
             accent, true);
    svg.Raw("</g>\n");
}

}  // namespace

bool RenderPlainSvg(const ScreenModel& model, const std::string& path, const RenderOptions& options,
                    std::string* error) {
    const double k = PanelScale(model, 1480, 1100);
    double panelX[2];
    double x = Margin;
    double tallest = 0;
    for (int i = 0; i < 2; ++i) {
        panelX[i] = x;
        x += static_cast<double>(MonitorWidth(model.outputs[i])) * k + PanelGap;
        tallest = std::max(tallest, static_cast<double>(MonitorHeight(model.outputs[i])) * k);
    }
    const double width = std::max(x - PanelGap + Margin, 1000.0);
    const double panelY = TitleHeight + PanelHeader;
    double legendY = panelY + tallest + 34;
    const double height = legendY + LegendLine * (6 + static_cast<double>(model.windows.size())) + Margin;

    Svg svg;
    svg.Raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
            Num(width) + "\" height=\"" + Num(height) + "\" font-family=\"sans-serif\">\n");
    svg.Rect(0, 0, width, height, "#12151A", "none", 0);
    svg.Text(Margin, 34, 20, options.title, "#E0E8F0", true);
    svg.Text(Margin, 54, 12.5, options.subtitle, "#8C99AB");
    for (int o = 0; o < 2; ++o) {
        const OutputView& out = model.outputs[o];
        const double w = static_cast<double>(MonitorWidth(out)) * k, h = static_cast<double>(MonitorHeight(out)) * k;
        svg.Text(panelX[o], panelY - 11, 14, std::string("Output ") + static_cast<char>('A' + o) + "  " + out.description,
                 "#E0E8F0", true);
        svg.Rect(panelX[o], panelY, w, h, "#1A1F28", "#545F70", 1);
        svg.Raw("<svg x=\"" + Num(panelX[o]) + "\" y=\"" + Num(panelY) + "\" width=\"" + Num(w) + "\" height=\"" +
                Num(h) + "\" overflow=\"hidden\">\n");
        for (size_t i = 0; i < model.windows.size(); ++i) {
            const WindowView& win = model.windows[i];
            if (win.output == o && win.rect.w > 0 && win.rect.h > 0) DrawWindow(svg, win, i, 0, 0, k);
        }
        svg.Raw("</svg>\n");
    }
    svg.Text(Margin, legendY, 12,
             "Mixer: board " + std::to_string(model.board) + "  DisplayControl " + Hex(model.displayControl) +
                 "  DisMode " + (model.host.disModeKnown ? std::to_string(model.host.disMode) : "unknown") + " (" +
                 model.host.disModeSource + ")",
             "#E0E8F0");
    legendY += LegendLine;
    for (size_t i = 0; i < model.windows.size(); ++i) {
        const WindowView& w = model.windows[i];
        std::string line = "#" + std::to_string(i + 1) + " " + KindName(w.kind) + " ch" + std::to_string(w.channel) +
                           "  (" + std::to_string(w.rect.x) + "," + std::to_string(w.rect.y) + ") " +
                           std::to_string(w.rect.w) + "x" + std::to_string(w.rect.h) + "  output " +
                           static_cast<char>('A' + w.output);
        if (w.kind == WindowKind::Ppi) {
            line += "  range " + std::to_string(w.ppi.range) + "  heading " + Num(w.ppi.headingDeg) + "  scan " +
                    (w.ppi.scan ? "on" : "off");
        }
        svg.Text(Margin, legendY, 12, line, Accent[VideoDspOf(w.channel)]);
        legendY += LegendLine;
    }
    svg.Text(Margin, legendY, 12,
             "Everything drawn comes from the board's registers (monitors from the scenario); this build draws no "
             "radar or camera illustrations.",
             "#8C99AB");
    svg.Raw("</svg>\n");

    OutputFile file;
    if (!file.Open(path) || !file.Write(svg.str()) || !file.Close()) {
        if (error != nullptr) *error = file.error();
        file.Discard();
        return false;
    }
    return true;
}

}  // namespace radovl::tool
