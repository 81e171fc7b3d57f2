// The cairo back end: PNG pictures.
#include <cairo.h>


#include "picture/canvas.h"
#include "picture/page_layout.h"
#include "picture/renderer.h"
#include "text/text.h"
#include "text/output_file.h"

namespace radovl::tool {
namespace {

class CairoCanvas : public Canvas {
public:
    explicit CairoCanvas(cairo_t* cr) : cr_(cr) {}
    void Save() override { cairo_save(cr_); }
    void Restore() override { cairo_restore(cr_); }
    void Transform(double x, double y, double scale) override {
        cairo_translate(cr_, x, y);
        cairo_scale(cr_, scale, scale);
    }
    void Clip(double x, double y, double w, double h) override {
        cairo_new_path(cr_);
        cairo_rectangle(cr_, x, y, w, h);
        cairo_clip(cr_);
    }
    void FillRect(double x, double y, double w, double h, Colour c, double alpha) override {
        cairo_new_path(cr_);
        cairo_rectangle(cr_, x, y, w, h);
        Paint(c, alpha);
        cairo_fill(cr_);
    }
    void StrokeRect(double x, double y, double w, double h, const Pen& pen) override {
        cairo_new_path(cr_);
        cairo_rectangle(cr_, x, y, w, h);
        Stroke(pen);
    }
    void Line(Point a, Point b, const Pen& pen) override {
        cairo_new_path(cr_);
        cairo_move_to(cr_, a.x, a.y);
        cairo_line_to(cr_, b.x, b.y);
        Stroke(pen);
    }
    void Circle(Point centre, double radius, const Pen& pen) override {
        cairo_new_path(cr_);
        cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * page::Pi);
        Stroke(pen);
    }
    void FillCircle(Point centre, double radius, Colour c, double alpha) override {
        cairo_new_path(cr_);
        cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * page::Pi);
        Paint(c, alpha);
        cairo_fill(cr_);
    }
    void Text(double x, double y, const std::string& text, const Font& font, Colour c, double alpha) override {
        Select(font);
        Paint(c, alpha);
        cairo_move_to(cr_, x, y);
        cairo_show_text(cr_, text.c_str());
    }
    double TextWidth(const std::string& text, const Font& font) override {
        Select(font);
        cairo_text_extents_t e;
        cairo_text_extents(cr_, text.c_str(), &e);
        return e.x_advance;
    }

private:
    void Paint(Colour c, double alpha) { cairo_set_source_rgba(cr_, c.r, c.g, c.b, alpha); }
    void Stroke(const Pen& pen) {
        Paint(pen.colour, pen.alpha);
        cairo_set_line_width(cr_, pen.width);
        if (pen.dash > 0) cairo_set_dash(cr_, &pen.dash, 1, 0);
        cairo_stroke(cr_);
        cairo_set_dash(cr_, nullptr, 0, 0);
    }
    void Select(const Font& font) {
        cairo_select_font_face(cr_, font.mono ? "DejaVu Sans Mono" : "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr_, font.size);
    }
    cairo_t* cr_;
};

}  // namespace

const char* const RenderFormatsHelp = "draws the board's outputs at the end of the run: FILE.png, or FILE.svg";

const char* const RenderFormatsWritten = "FILE.png or FILE.svg";

const bool WritesPng = true;

bool WritePng(const PageDrawing& draw, int width, int height, OutputFile& file, std::string* error) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    CairoCanvas canvas(cr);
    draw(canvas);
    cairo_destroy(cr);
    // cairo writes through the file, so that a write error keeps its reason.
    const cairo_write_func_t write = [](void* closure, const unsigned char* data, unsigned int length) {
        OutputFile& f = *static_cast<OutputFile*>(closure);
        return f.Write(std::string(reinterpret_cast<const char*>(data), length)) ? CAIRO_STATUS_SUCCESS
                                                                                  : CAIRO_STATUS_WRITE_ERROR;
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface, write, &file);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS && !file.failed()) *error = std::string("cannot draw ") + file.path() + ": " + cairo_status_to_string(status);
    return status == CAIRO_STATUS_SUCCESS;
}

}  // namespace radovl::tool
