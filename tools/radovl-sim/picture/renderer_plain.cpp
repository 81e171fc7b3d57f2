// RenderScreen where cairo is not available: SVG only.
#include "picture/renderer.h"
#include "text/text.h"

namespace radovl::tool {

const char* const RenderFormatsHelp =
    "draws the board's outputs at the end of the run: FILE.svg (this build has no cairo, so no PNG)";

bool RenderFormatSupported(const std::string& path) {
    return EndsWith(path, ".svg");
}

bool RenderScreen(const ScreenModel& model, const std::string& path, const RenderOptions& options, std::string* error) {
    if (!RenderFormatSupported(path)) {
        if (error != nullptr) *error = "cannot draw " + path + ": this build writes SVG only (FILE.svg), not PNG";
        return false;
    }
    return RenderPlainSvg(model, path, options, error);
}

}  // namespace radovl::tool
