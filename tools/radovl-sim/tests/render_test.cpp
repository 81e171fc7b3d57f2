#include "picture/renderer.h"

#include <cairo.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "picture/labels.h"
#include "test_files.h"
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

// A PPI with a red colour table, 200 px range, heading 0, scanning on or
// off.
void RenderPpi(const std::string& png, bool scan) {
    RadovlSim_PokeMain(0, 0xB0201008, (100u << 16) | 158);
    RadovlSim_PokeMain(0, 0xB020100C, (499u << 16) | 557);
    RadovlSim_PokeVideo(0, 0, 0xB0080118, (300u << 16) | 316);
    RadovlSim_PokeVideo(0, 0, 0xB0080124, 200);
    for (uint32_t i = 0; i < 256; ++i) RadovlSim_PokeMain(0, 0xB0301000 + 4 * i, i << 16);
    RadovlSim_PokeMain(0, 0xB0203000, 0x100);
    RadovlSim_PokeVideo(0, 0, 0xB0080002, scan ? 0x08000000 : 0);  // the scan bit
    std::string error;
    EXPECT_TRUE(RenderScreen(ReadScreen(HostView{}), png, {}, &error)) << error;
}

int DifferingPixels(const std::string& a, const std::string& b) {
    cairo_surface_t* sa = cairo_image_surface_create_from_png(a.c_str());
    cairo_surface_t* sb = cairo_image_surface_create_from_png(b.c_str());
    const int w = cairo_image_surface_get_width(sa), h = cairo_image_surface_get_height(sa);
    EXPECT_EQ(w, cairo_image_surface_get_width(sb));
    EXPECT_EQ(h, cairo_image_surface_get_height(sb));
    int count = 0;
    for (int y = 0; y < h; ++y) {
        const uint32_t* ra = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(sa) + y * cairo_image_surface_get_stride(sa));
        const uint32_t* rb = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(sb) + y * cairo_image_surface_get_stride(sb));
        for (int x = 0; x < w; ++x) count += ra[x] != rb[x] ? 1 : 0;
    }
    cairo_surface_destroy(sa);
    cairo_surface_destroy(sb);
    return count;
}

// The sweep is drawn only while scanning: beyond the legend's "scan on" and
// "scan off", the pictures differ by a sweep's sector.
TEST_F(RenderTest, SweepOnlyWhileScanning) {
    RenderPpi(Dir() + "/still.png", false);
    RenderPpi(Dir() + "/scan.png", true);
    EXPECT_GT(DifferingPixels(Dir() + "/still.png", Dir() + "/scan.png"), 3000);
}

// Builds without cairo draw plain SVG: the window, its heading label, and
// a sweep line only while scanning.
TEST_F(RenderTest, PlainSvgShowsWindowsFromRegisters) {
    std::string svg[2];
    for (const bool scan : {false, true}) {
        RenderPpi(Dir() + "/ppi.png", scan);
        std::string error;
        ASSERT_TRUE(RenderPlainSvg(ReadScreen(HostView{}), Dir() + "/plain.svg", {}, &error)) << error;
        svg[scan] = ReadFile(Dir() + "/plain.svg");
    }
    auto count = [](const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_NE(svg[0].find(">PPI ch1  #1</text>"), std::string::npos) << svg[0];
    EXPECT_NE(svg[0].find(">HDG 000.0</text>"), std::string::npos);
    EXPECT_EQ(count(svg[1], "<line "), count(svg[0], "<line ") + 1);
    EXPECT_EQ(svg[0].rfind("</svg>\n"), svg[0].size() - 7);
}

TEST_F(RenderTest, PpiLabelsStayInsideTheWindowAndApart) {
    struct Size {
        int32_t w, h, range;
    };
    for (const Size size : {Size{860, 860, 430}, Size{400, 300, 150}, Size{200, 120, 300}, Size{1200, 200, 600}}) {
        for (int heading = 0; heading < 360; heading += 5) {
            WindowView w;
            w.rect = Rect{60, 60, size.w, size.h};
            w.ppi.centre = Point{60 + size.w / 2.0, 60 + size.h / 2.0};
            w.ppi.range = size.range;
            w.ppi.headingDeg = heading;
            for (const double pixel : {1.0, 2.5}) {
                const std::vector<Label> labels = PpiLabels(w, pixel);
                const Box window{60, 60 + TitleTabHeight * pixel, static_cast<double>(size.w), size.h - TitleTabHeight * pixel};
                ASSERT_GE(labels.size(), 1u) << size.w << "x" << size.h << " at " << heading;
                EXPECT_EQ(labels[0].text.rfind("HDG ", 0), 0u);
                for (size_t i = 0; i < labels.size(); ++i) {
                    EXPECT_TRUE(labels[i].box.Inside(window)) << labels[i].text << " at " << heading;
                    for (size_t j = i + 1; j < labels.size(); ++j) {
                        EXPECT_FALSE(labels[i].box.Overlaps(labels[j].box))
                            << labels[i].text << " / " << labels[j].text << " at " << heading;
                    }
                }
            }
        }
    }
}

TEST_F(RenderTest, WritesSvgBesidePng) {
    HostView host;
    host.monitors = {{0, 0, 1280, 1024}, {-1280, 0, 0, 1024}};
    std::string error;
    ASSERT_TRUE(RenderScreen(ReadScreen(host), Dir() + "/screen.svg", {}, &error)) << error;
    EXPECT_NE(ReadFile(Dir() + "/screen.svg").find("<svg"), std::string::npos);
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
