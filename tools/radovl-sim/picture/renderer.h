// Draws a ScreenModel: one panel per board output, the size of its monitor,
// every shown window in stacking order with the marks its registers give,
// and a legend. The page is drawn once, through a Canvas (canvas.h): FILE.svg
// by the SVG back end on every platform, FILE.png by cairo where the build
// has it.
#pragma once

#include <functional>
#include <string>

#include "boardview/screen_model.h"

namespace radovl::tool {

class Canvas;
class OutputFile;

struct RenderOptions {
    std::string title = "radovl-sim";
    std::string subtitle;  // e.g. the scenario and line
};

// What --render writes, for the help text.
extern const char* const RenderFormatsHelp;

// Whether this build can write a picture to path (by its suffix), and
// the suffixes it writes, for a refusal: "FILE.png or FILE.svg".
bool RenderFormatSupported(const std::string& path);
// Whether this build draws PNG (with cairo); without it, SVG only.
extern const bool WritesPng;
extern const char* const RenderFormatsWritten;

// Writes a PNG, or an SVG when path ends in ".svg". False with a message in
// *error when the file cannot be written; nothing is left behind then.
bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error);
// The SVG document RenderScreen writes to FILE.svg.
std::string RenderSvg(const ScreenModel& model, const RenderOptions& options);

// The PNG back end: draws the page on a width x height picture and writes
// it to file; false with a message in *error (unless the file's own error
// says it).
using PageDrawing = std::function<void(Canvas&)>;
bool WritePng(const PageDrawing& draw, int width, int height, OutputFile& file, std::string* error);

}  // namespace radovl::tool
