// Where the picture's labels go inside a window: each near the point it
// names, wholly inside the window, below the window's title tab and clear
// of the labels placed before it. A label that fits nowhere is left out
// rather than drawn over another.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "boardview/screen_model.h"

namespace radovl::tool {

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
    bool Overlaps(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
    bool Inside(const Box& o) const { return x >= o.x && y >= o.y && x + w <= o.x + o.w && y + h <= o.y + o.h; }
};

struct Label {
    std::string text;
    Box box;  // the text's box; its height is the font size times LabelLineHeight
    bool bold = false;
    bool dim = false;  // a note rather than a reading
};

constexpr double LabelLineHeight = 1.25;  // box height per unit of font size
constexpr double LabelBaseline = 0.8;     // the baseline's depth in the box, in box heights

// The first free place for a text of that font size next to anchor, inside
// area and clear of taken; nullopt when there is none.
std::optional<Box> PlaceLabel(const std::string& text, bool bold, double size, Point anchor, const Box& area,
                              const std::vector<Box>& taken);

// A PPI window's labels: the heading at the heading line's tip, the range
// on the opposite side of the circle, and a note when the colour table is
// all black. pixel is the
// length in monitor pixels of one pixel of the picture.
std::vector<Label> PpiLabels(const WindowView& w, double pixel);

// A monitor's size in 64 bits: a monitor may span the whole 32-bit range.
int64_t MonitorWidth(const OutputView& o);
int64_t MonitorHeight(const OutputView& o);

// Grid spacing in monitor pixels: 128 on ordinary monitors, wider on very
// large ones so that a panel never has more than 40 lines a side.
int64_t GridStep(int64_t extent);

// Picture pixels per monitor pixel for the two panels side by side: at
// most 0.6, the panels together at most maxWidth wide and maxHeight tall.
double PanelScale(const ScreenModel& model, double maxWidth, double maxHeight);

// The title tab's height and the band it and the FROZEN badge take, in
// picture pixels.
constexpr double TitleTabHeight = 18;
constexpr double BadgeBand = 40;

}  // namespace radovl::tool
