// The SVG back end: a document written by hand, numbers with two decimals
// printed without the C library's locale or float formatting, so that the
// same page gives the same bytes on every platform.
#pragma once

#include <string>
#include <vector>

#include "picture/canvas.h"

namespace radovl::tool {

class SvgCanvas : public Canvas {
public:
    void Save() override;
    void Restore() override;
    void Transform(double x, double y, double scale) override;
    void Clip(double x, double y, double w, double h) override;
    void FillRect(double x, double y, double w, double h, Colour c, double alpha) override;
    void StrokeRect(double x, double y, double w, double h, const Pen& pen) override;
    void Line(Point a, Point b, const Pen& pen) override;
    void Circle(Point centre, double radius, const Pen& pen) override;
    void FillCircle(Point centre, double radius, Colour c, double alpha) override;
    void Text(double x, double y, const std::string& text, const Font& font, Colour c, double alpha) override;
    double TextWidth(const std::string& text, const Font& font) override;

    // The whole document, the page width x height.
    std::string Document(double width, double height) const;

private:
    std::string body_;
    std::vector<int> groups_;  // groups opened since each Save
    int clips_ = 0;
};

// "12.5", "-3", "0.07": v rounded to that many decimals, trailing zeros
// dropped, written the same way on every platform.
std::string SvgNumber(double v, int decimals = 2);

}  // namespace radovl::tool
