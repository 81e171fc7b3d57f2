#include "renderer.h"

#include <cairo.h>

#include <filesystem>
#include <fstream>

#include "tool_test.h"

namespace radovl::tool::test {
namespace {

class RenderTest : public ToolTest {};

// Pixels that are clearly red, as a PPI with a red colour table paints.
int RedPixels(const std::string& png) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
    EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int count = 0;
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t r = (row[x] >> 16) & 0xFF, g = (row[x] >> 8) & 0xFF, b = row[x] & 0xFF;
            if (r > 180 && g < 60 && b < 60) ++count;
        }
    }
    cairo_surface_destroy(s);
    return count;
}

TEST_F(RenderTest, PaintsAShownPpiThroughItsColourTable) {
    HostView host;
    std::string error;
    ASSERT_TRUE(RenderScreen(ReadScreen(host), Dir() + "/empty.png", {}, &error)) << error;
    EXPECT_EQ(RedPixels(Dir() + "/empty.png"), 0);

    RadovlSim_PokeMain(0, 0xB0201008, (100u << 16) | 158);
    RadovlSim_PokeMain(0, 0xB020100C, (499u << 16) | 557);
    RadovlSim_PokeVideo(0, 0, 0xB0080118, (300u << 16) | 316);
    RadovlSim_PokeVideo(0, 0, 0xB0080124, 200);
    for (uint32_t i = 0; i < 256; ++i) RadovlSim_PokeMain(0, 0xB0301000 + 4 * i, i << 16);
    RadovlSim_PokeMain(0, 0xB0203000, 0x100);
    ASSERT_TRUE(RenderScreen(ReadScreen(host), Dir() + "/ppi.png", {}, &error)) << error;
    EXPECT_GT(RedPixels(Dir() + "/ppi.png"), 1000);
}

TEST_F(RenderTest, WritesSvgBesidePng) {
    HostView host;
    host.monitors = {{0, 0, 1280, 1024}, {-1280, 0, 0, 1024}};
    std::string error;
    ASSERT_TRUE(RenderScreen(ReadScreen(host), Dir() + "/screen.svg", {}, &error)) << error;
    std::ifstream in(Dir() + "/screen.svg");
    std::string head(64, '\0');
    in.read(&head[0], 64);
    EXPECT_NE(head.find("<svg"), std::string::npos);
}

TEST_F(RenderTest, PictureSizeFollowsTheMonitors) {
    HostView host;
    host.monitors = {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}};
    std::string error;
    ASSERT_TRUE(RenderScreen(ReadScreen(host), Dir() + "/wide.png", {}, &error)) << error;
    cairo_surface_t* s = cairo_image_surface_create_from_png((Dir() + "/wide.png").c_str());
    const double aspect = static_cast<double>(cairo_image_surface_get_width(s)) / cairo_image_surface_get_height(s);
    cairo_surface_destroy(s);
    EXPECT_GT(aspect, 1.4);  // two 16:9 panels side by side, legend below
}

TEST_F(RenderTest, UnwritablePathIsAnError) {
    HostView host;
    std::string error;
    EXPECT_FALSE(RenderScreen(ReadScreen(host), "/nonexistent/dir/x.png", {}, &error));
    EXPECT_NE(error.find("cannot write /nonexistent/dir/x.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace radovl::tool::test
