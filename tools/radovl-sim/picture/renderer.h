// Draws a ScreenModel with cairo (or, without it, as plain SVG): one panel per board output, the size of
// its monitor, every shown window in stacking order, and a legend.
#pragma once

#include <string>

#include "boardview/screen_model.h"

namespace radovl::tool {

struct RenderOptions {
    std::string title = "radovl-sim";
    std::string subtitle;  // e.g. the scenario and line
};

// What --render writes, for the help text.
extern const char* const RenderFormatsHelp;

// Whether this build can write a picture to path (by its suffix).
bool RenderFormatSupported(const std::string& path);

// Writes a PNG, or an SVG when path ends in ".svg". False with a message in
// *error when the file cannot be written.
bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error);

// The picture as plain SVG without cairo: windows as outlines with their
// titles and register readings, no illustrations. Used by builds that have
// no cairo; false with a message in *error when the file cannot be written.
bool RenderPlainSvg(const ScreenModel& model, const std::string& path, const RenderOptions& options,
                    std::string* error);

}  // namespace radovl::tool
