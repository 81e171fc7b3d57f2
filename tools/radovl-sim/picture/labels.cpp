#include "picture/labels.h"

#include "picture/canvas.h"
#include "picture/page_layout.h"
#include "text/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace radovl::tool {

using page::Pi;

double TextWidthEstimate(const std::string& text, bool bold, double size) {
    // Advance of a character in font-size units.
    constexpr double CharWidth = 0.66;
    constexpr double BoldCharWidth = 0.72;
    return static_cast<double>(text.size()) * size * (bold ? BoldCharWidth : CharWidth);
}

int64_t MonitorWidth(const OutputView& o) { return int64_t{o.monitor.right} - o.monitor.left; }
int64_t MonitorHeight(const OutputView& o) { return int64_t{o.monitor.bottom} - o.monitor.top; }

int64_t GridStep(int64_t extent) {
    constexpr int64_t GridLines = 40;
    int64_t step = 128;
    while (extent / step > GridLines) step *= 2;
    return step;
}

double PanelScale(const ScreenModel& model, double maxWidth, double maxHeight) {
    double total = 0;
    double tallest = 0;
    for (const OutputView& o : model.outputs) {
        total += static_cast<double>(MonitorWidth(o));
        tallest = std::max(tallest, static_cast<double>(MonitorHeight(o)));
    }
    return std::min({0.6, maxWidth / std::max(1.0, total), maxHeight / std::max(1.0, tallest)});
}

std::optional<Box> PlaceLabel(const std::string& text, bool bold, double size, Point anchor, const Box& area,
                              const std::vector<Box>& taken) {
    const double w = TextWidthEstimate(text, bold, size);
    const double h = size * LabelLineHeight;
    if (w > area.w || h > area.h) return std::nullopt;
    const double gap = size * 0.4;
    // Round the anchor: beside it above and below, then centred on it.
    const Point candidates[] = {
        {anchor.x + gap, anchor.y - gap - h}, {anchor.x - gap - w, anchor.y - gap - h},
        {anchor.x + gap, anchor.y + gap},     {anchor.x - gap - w, anchor.y + gap},
        {anchor.x - w / 2, anchor.y - gap - h}, {anchor.x - w / 2, anchor.y + gap},
        {anchor.x - w / 2, anchor.y - h / 2},
    };
    for (const Point& c : candidates) {
        const Box box{std::clamp(c.x, area.x, area.x + area.w - w), std::clamp(c.y, area.y, area.y + area.h - h), w, h};
        const bool free = std::none_of(taken.begin(), taken.end(), [&](const Box& t) { return box.Overlaps(t); });
        if (free) return box;
    }
    return std::nullopt;
}

std::vector<Label> PpiLabels(const WindowView& w, double pixel) {
    const PpiView& v = w.ppi;
    const double inset = 3 * pixel;
    const double top = (v.frozen ? BadgeBand : TitleTabHeight) * pixel + inset;
    const Box area{w.rect.x + inset, w.rect.y + top, w.rect.w - 2 * inset, w.rect.h - top - inset};
    const double radius = v.range > 0 ? v.range : std::min(w.rect.w, w.rect.h) / 2.0;
    const double heading = v.headingDeg * Pi / 180.0;
    const Point tip{v.centre.x + radius * std::sin(heading), v.centre.y - radius * std::cos(heading)};
    const Point opposite{v.centre.x - radius * std::sin(heading), v.centre.y + radius * std::cos(heading)};
    bool black = true;
    for (uint32_t c : v.lut) black = black && c == 0;

    struct Wanted {
        std::string text;
        bool bold, dim;
        double size;
        Point anchor;
    };
    std::string heading_text = FixedPoint(v.headingDeg, 1);
    heading_text = "HDG " + std::string(heading_text.size() < 5 ? 5 - heading_text.size() : 0, '0') + heading_text;
    std::vector<Wanted> wanted = {
        {heading_text, true, false, 11 * pixel, tip},
        {"range " + std::to_string(v.range) + " px", false, false, 10.5 * pixel, opposite},
    };
    const Point lowerLeft{w.rect.x + 0.0, w.rect.y + w.rect.h + 0.0};
    if (black) wanted.push_back({"colour table not written: all black", false, true, 11 * pixel, lowerLeft});

    std::vector<Label> labels;
    std::vector<Box> taken;
    for (const Wanted& want : wanted) {
        const std::optional<Box> box = PlaceLabel(want.text, want.bold, want.size, want.anchor, area, taken);
        if (!box) continue;
        taken.push_back(*box);
        labels.push_back({want.text, *box, want.bold, want.dim});
    }
    return labels;
}

}  // namespace radovl::tool
