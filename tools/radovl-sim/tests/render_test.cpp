#include "picture/renderer.h"

#if RADOVL_SIM_HAS_CAIRO
#include <cairo.h>
#endif

#include <filesystem>

#include "picture/labels.h"
#include "picture/svg_canvas.h"
#include "test_files.h"
#include "tool_test.h"

namespace radovl::tool::test {
namespace {

class RenderTest : public ToolTest {};

// A PPI of channel 1 at (100,100) 400x400 with a red colour table, 200 px
// range, heading 0; frozen or not.
void ShowRedPpi(bool frozen) {
    RadovlSim_PokeMain(0, 0xB0201008, (100u << 16) | 158);
    RadovlSim_PokeMain(0, 0xB020100C, (499u << 16) | 557);
    RadovlSim_PokeVideo(0, 0, 0xB0080118, (300u << 16) | 316);
    RadovlSim_PokeVideo(0, 0, 0xB0080124, 200);
    for (uint32_t i = 0; i < 256; ++i) RadovlSim_PokeMain(0, 0xB0301000 + 4 * i, i << 16);
    RadovlSim_PokeMain(0, 0xB0203000, 0x100);
    RadovlSim_PokeVideo(0, 0, 0xB0080002, frozen ? 0x0F000000 : 0);
}

std::string Svg(const std::string& path) {
    std::string error;
    EXPECT_TRUE(RenderScreen(ReadScreen(HostView{}), path, {}, &error)) << error;
    return ReadFile(path);
}

// The page is drawn from the registers: the window's title tab, its heading
// label, its colour table (entries 0x000000 to 0xFF0000 in its key and the
// legend), the display area's entry 48, FROZEN only when frozen.
TEST_F(RenderTest, SvgShowsTheWindowFromItsRegisters) {
    const std::string empty = Svg(Dir() + "/empty.svg");
    EXPECT_EQ(empty.find("fill=\"#FF0000\""), std::string::npos);
    EXPECT_NE(empty.find(">no window shown on this output</text>"), std::string::npos);

    ShowRedPpi(false);
    const std::string ppi = Svg(Dir() + "/ppi.svg");
    EXPECT_NE(ppi.find(">PPI ch1</text>"), std::string::npos) << ppi;
    EXPECT_NE(ppi.find(">#1  400x400 (100,100)</text>"), std::string::npos);
    EXPECT_NE(ppi.find(">HDG 000.0</text>"), std::string::npos);
    EXPECT_NE(ppi.find("<circle cx=\"300\" cy=\"300\" r=\"200\" fill=\"#300000\"/>"), std::string::npos);
    EXPECT_NE(ppi.find("fill=\"#FF0000\""), std::string::npos);
    EXPECT_EQ(ppi.find(">FROZEN</text>"), std::string::npos);
    EXPECT_EQ(ppi.rfind("</svg>\n"), ppi.size() - 7);

    ShowRedPpi(true);
    EXPECT_NE(Svg(Dir() + "/frozen.svg").find(">FROZEN</text>"), std::string::npos);
}

TEST_F(RenderTest, SvgNumbersAreTheSameEverywhere) {
    struct Row {
        double value;
        int decimals;
        const char* text;
    };
    for (const Row& r : {Row{0, 2, "0"}, Row{12.5, 2, "12.5"}, Row{-0.004, 2, "0"}, Row{-3.456, 2, "-3.46"},
                         Row{0.578125, 6, "0.578125"}, Row{0.1 + 0.2, 2, "0.3"}, Row{1e12, 2, "1000000000000"}}) {
        EXPECT_EQ(SvgNumber(r.value, r.decimals), r.text) << r.value;
    }
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

#if RADOVL_SIM_HAS_CAIRO
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
#endif

TEST_F(RenderTest, UnwritablePathIsAnError) {
    HostView host;
    std::string error;
    EXPECT_FALSE(RenderScreen(ReadScreen(host), "/nonexistent/dir/x" RADOVL_SIM_PICTURE, {}, &error));
    EXPECT_NE(error.find("cannot write /nonexistent/dir/x" RADOVL_SIM_PICTURE), std::string::npos) << error;
}

}  // namespace
}  // namespace radovl::tool::test
