#include "picture/svg_canvas.h"

#include <cmath>

#include "text/text.h"

namespace radovl::tool {
namespace {

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

std::string HexColour(Colour c) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "#";
    for (double v : {c.r, c.g, c.b}) {
        const long level = std::lround(std::fmin(1.0, std::fmax(0.0, v)) * 255);
        out += digits[level >> 4];
        out += digits[level & 15];
    }
    return out;
}

std::string Attribute(const char* name, double v) { return std::string(" ") + name + "=\"" + SvgNumber(v) + "\""; }

std::string Opacity(const char* name, double alpha) { return alpha < 1 ? Attribute(name, alpha) : std::string(); }

std::string Stroke(const Pen& pen) {
    std::string s = " fill=\"none\" stroke=\"" + HexColour(pen.colour) + "\"" + Attribute("stroke-width", pen.width) +
                    Opacity("stroke-opacity", pen.alpha);
    if (pen.dash > 0) s += " stroke-dasharray=\"" + SvgNumber(pen.dash) + "\"";
    return s;
}

std::string Fill(Colour c, double alpha) { return " fill=\"" + HexColour(c) + "\"" + Opacity("fill-opacity", alpha); }

}  // namespace

std::string SvgNumber(double v, int decimals) {
    std::string out = FixedPoint(v, decimals);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

void SvgCanvas::Save() { groups_.push_back(0); }

void SvgCanvas::Restore() {
    if (groups_.empty()) return;
    for (int i = 0; i < groups_.back(); ++i) body_ += "</g>\n";
    groups_.pop_back();
}

void SvgCanvas::Transform(double x, double y, double scale) {
    body_ += "<g transform=\"translate(" + SvgNumber(x) + " " + SvgNumber(y) + ") scale(" + SvgNumber(scale, 6) +
             ")\">\n";
    if (!groups_.empty()) ++groups_.back();
}

void SvgCanvas::Clip(double x, double y, double w, double h) {
    const std::string id = "clip" + std::to_string(++clips_);
    body_ += "<clipPath id=\"" + id + "\"><rect" + Attribute("x", x) + Attribute("y", y) + Attribute("width", w) +
             Attribute("height", h) + "/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
    if (!groups_.empty()) ++groups_.back();
}

void SvgCanvas::FillRect(double x, double y, double w, double h, Colour c, double alpha) {
    body_ += "<rect" + Attribute("x", x) + Attribute("y", y) + Attribute("width", w) + Attribute("height", h) +
             Fill(c, alpha) + "/>\n";
}

void SvgCanvas::StrokeRect(double x, double y, double w, double h, const Pen& pen) {
    body_ += "<rect" + Attribute("x", x) + Attribute("y", y) + Attribute("width", w) + Attribute("height", h) +
             Stroke(pen) + "/>\n";
}

void SvgCanvas::Line(Point a, Point b, const Pen& pen) {
    body_ += "<line" + Attribute("x1", a.x) + Attribute("y1", a.y) + Attribute("x2", b.x) + Attribute("y2", b.y) +
             Stroke(pen) + "/>\n";
}

void SvgCanvas::Circle(Point centre, double radius, const Pen& pen) {
    body_ += "<circle" + Attribute("cx", centre.x) + Attribute("cy", centre.y) + Attribute("r", radius) +
             Stroke(pen) + "/>\n";
}

void SvgCanvas::FillCircle(Point centre, double radius, Colour c, double alpha) {
    body_ += "<circle" + Attribute("cx", centre.x) + Attribute("cy", centre.y) + Attribute("r", radius) +
             Fill(c, alpha) + "/>\n";
}

void SvgCanvas::Text(double x, double y, const std::string& text, const Font& font, Colour c, double alpha) {
    body_ += "<text" + Attribute("x", x) + Attribute("y", y) + Attribute("font-size", font.size) +
             (font.bold ? " font-weight=\"bold\"" : "") +
             (font.mono ? " font-family=\"DejaVu Sans Mono, monospace\"" : "") + Fill(c, alpha) + ">" +
             Escape(text) + "</text>\n";
}

double SvgCanvas::TextWidth(const std::string& text, const Font& font) {
    return TextWidthEstimate(text, font.bold, font.size);
}

std::string SvgCanvas::Document(double width, double height) const {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"" +
           Attribute("width", std::ceil(width)) + Attribute("height", std::ceil(height)) +
           " font-family=\"DejaVu Sans, sans-serif\">\n" + body_ + "</svg>\n";
}

}  // namespace radovl::tool
