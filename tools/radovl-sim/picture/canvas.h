// The drawing interface the page is drawn through, with two back ends: cairo
// (PNG) and an SVG writer of our own, which writes the same bytes on every
// platform for the same page. Lengths are in the current coordinates, which
// Transform changes until the matching Restore.
#pragma once

#include <cstdint>
#include <string>

#include "boardview/screen_model.h"

namespace radovl::tool {

struct Colour {
    double r, g, b;  // 0..1
};
Colour FromRgb(uint32_t rgb);  // 0x00RRGGBB

struct Pen {
    Colour colour;
    double alpha = 1;
    double width = 1;
    double dash = 0;  // length of the dashes and of the gaps between them; 0: solid
};

struct Font {
    double size;
    bool bold = false;
    bool mono = false;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void Save() = 0;
    virtual void Restore() = 0;  // undoes the Transform and Clip calls since the matching Save
    virtual void Transform(double x, double y, double scale) = 0;  // moves the origin to (x, y), then scales
    virtual void Clip(double x, double y, double w, double h) = 0;
    virtual void FillRect(double x, double y, double w, double h, Colour c, double alpha = 1) = 0;
    virtual void StrokeRect(double x, double y, double w, double h, const Pen& pen) = 0;
    virtual void Line(Point a, Point b, const Pen& pen) = 0;
    virtual void Circle(Point centre, double radius, const Pen& pen) = 0;
    virtual void FillCircle(Point centre, double radius, Colour c, double alpha = 1) = 0;
    // Text from its baseline's left end.
    virtual void Text(double x, double y, const std::string& text, const Font& font, Colour c, double alpha = 1) = 0;
    virtual double TextWidth(const std::string& text, const Font& font) = 0;
};

// Text width without a font at hand: a little over the widest digits and
// capitals of the sans face (the SVG back end, and label placement).
double TextWidthEstimate(const std::string& text, bool bold, double size);

}  // namespace radovl::tool
