// Builds without cairo (the Windows cross build) write SVG only.
#include "picture/renderer.h"
#include "text/output_file.h"

namespace radovl::tool {

const char* const RenderFormatsHelp =
    "draws the board's outputs at the end of the run: FILE.svg (this build has no cairo, so no PNG)";

const char* const RenderFormatsWritten = "FILE.svg only (this build has no cairo, so no PNG)";

const bool WritesPng = false;

bool WritePng(const PageDrawing&, int, int, OutputFile& file, std::string* error) {
    *error = "cannot draw " + file.path() + ": this build writes SVG only (FILE.svg), not PNG";
    return false;
}

}  // namespace radovl::tool
