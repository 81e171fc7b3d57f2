// Draws a ScreenModel with cairo: one panel per board output, the size of
// its monitor, every shown window in stacking order, and a legend.
#pragma once

#include <string>

#include "screen_model.h"

namespace radovl::tool {

struct RenderOptions {
    std::string title = "radovl-sim";
    std::string subtitle;  // e.g. the scenario and line
};

// What --render writes, for the help text.
extern const char* const RenderFormatsHelp;

// Writes a PNG, or an SVG when path ends in ".svg". False with a message in
// *error when the file cannot be written.
bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error);

}  // namespace radovl::tool
