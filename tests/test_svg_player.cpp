// The SVG player against the cairo player: each case drawn by both, the SVG
// rendered by Debian's rsvg-convert with the same fonts (fontconfig's), and
// the two pictures compared with pngcompare at the browser tests' picture
// tolerance (the worst 32 x 32 tile under 1.0, the mean under 2.5). The text
// must stay text: every glyph a <text>, none turned into paths.
#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/svg/svg_player.h"
#include "players/cases.h"
#include "support/replay.h"

namespace fs = std::filesystem;

using lk::testing::output_of;

namespace {

constexpr double kScale = lk::testing::kPlayerScale;
// As tests/web/common.js holds a browser's picture to the desktop's.
constexpr double kTileTolerance = 1.0;
constexpr double kMeanTolerance = 2.5;

const lk::Font kGothic{"ｺﾞｼｯｸ", 16, false, false};
const lk::Font kBoldGothic{"ｺﾞｼｯｸ", 16, true, false};
const lk::Font kSerif{"Times New Roman", 16, false, true};
const lk::Font kEll{"MT Extra", 16, false, false};

struct SvgCase {
    std::string name;
    float width, height;
    std::function<void(lk::Canvas&)> draw;
};

// 2x − ℓ = 1/3 with a stacked fraction, the unknown in the italic serif, a
// bold label and a circled number as the sheets number their problems; over
// the label, signs in the text layer, which neither player shows.
void fraction_and_italics(lk::Canvas& c) {
    c.add(lk::DrawText{8, 4, "①", 2, 2, 0, kBoldGothic});
    c.add(lk::DrawText{48, 20, "2", 2, 2, 0, kGothic});
    c.add(lk::DrawText{64, 20, "x", 2, 2, 0, kSerif});
    c.add(lk::DrawText{86, 20, "−", 2, 2, 0, kGothic});
    c.add(lk::DrawText{118, 20, "l", 2, 2, 5, kEll});
    c.add(lk::DrawText{140, 20, "=", 2, 2, 0, kGothic});
    c.add(lk::DrawText{180, 2, "1", 2, 2, 5, kGothic});
    c.add(lk::DrawLine{172, 37, 208, 37, 5, 3});
    c.add(lk::DrawText{180, 40, "3", 2, 2, 5, kGothic});
    c.add(lk::DrawText{8, 82, "組　番　氏名 & <x>", 1, 1, 3, kBoldGothic});
    c.add(lk::DrawText{8, 72, "-+-+-+", 2, 2, lk::kTextLayerColour, kBoldGothic});
}

// A framed box on a filled ground, rules of several pens, a polyline and a
// framed polygon.
void boxes_and_lines(lk::Canvas& c) {
    c.add(lk::FillBox{4, 4, 156, 92, 10, 11, 1});
    c.add(lk::FillBox{16, 14, 70, 50, 0, 15, 3});
    c.add(lk::DrawLine{84, 20, 148, 20, 1, 1});
    c.add(lk::DrawLine{84, 36, 148, 44, 4, 6});
    c.add(lk::DrawPolyline{{{16, 80}, {40, 60}, {64, 80}, {88, 60}}, 0, 2});
    c.add(lk::FillPolygon{{{104, 86}, {150, 86}, {127, 56}}, 5, 13, 2});
}

// A circle, a disc and arcs, one across the start of the turn.
void circles_and_arcs(lk::Canvas& c) {
    c.add(lk::DrawCircle{30, 30, 20, 1, 2});
    c.add(lk::FillCircle{80, 30, 10, 4, 1});
    c.add(lk::DrawArc{130, 36, 24, 2, 0.55f, 0.95f, 3});
    c.add(lk::DrawArc{60, 70, 16, 5, 0.8f, 0.2f, 2});
}

std::vector<SvgCase> cases() {
    return {{"fraction_and_italics", 240, 112, fraction_and_italics},
            {"boxes_and_lines", 160, 96, boxes_and_lines},
            {"circles_and_arcs", 160, 96, circles_and_arcs}};
}

std::string bin() {
    const char* dir = std::getenv("LESSONKIT_BIN");
    return dir ? dir : "build";
}

class SvgPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("lessonkit-svg-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!std::getenv("LESSONKIT_KEEP_SVG")) fs::remove_all(dir_);
    }

    // The cairo player's picture of a canvas at kScale.
    fs::path cairo_png(const lk::Canvas& canvas, const SvgCase& c) {
        const int w = static_cast<int>(std::ceil(c.width * kScale)), h = static_cast<int>(std::ceil(c.height * kScale));
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        cairo_t* cr = cairo_create(surface);
        lk::render_canvas(cr, canvas, lk::scaled_view(kScale, lk::Palette::original, c.width, c.height));
        cairo_destroy(cr);
        const fs::path out = dir_ / (c.name + "-cairo.png");
        cairo_surface_write_to_png(surface, out.c_str());
        cairo_surface_destroy(surface);
        return out;
    }

    // rsvg-convert's picture of an SVG document at kScale.
    fs::path svg_png(const std::string& svg, const std::string& name) {
        const fs::path in = dir_ / (name + ".svg"), out = dir_ / (name + "-svg.png");
        std::ofstream(in) << svg;
        const std::string cmd = "rsvg-convert --zoom " + std::to_string(kScale) + " --background-color white -o '" +
                                out.string() + "' '" + in.string() + "' 2>&1";
        const std::string log = output_of(cmd);
        EXPECT_TRUE(fs::exists(out)) << cmd << "\n" << log;
        return out;
    }

    // pngcompare's mean and worst-tile difference of two pictures.
    std::pair<double, double> difference(const fs::path& a, const fs::path& b) {
        std::string size = output_of(bin() + "/pngcompare size '" + a.string() + "'");
        int w = 0, h = 0;
        EXPECT_EQ(std::sscanf(size.c_str(), "%d %d", &w, &h), 2) << size;
        std::string diff = output_of(bin() + "/pngcompare diff '" + b.string() + "' 0 0 " + std::to_string(w) + " " +
                                     std::to_string(h) + " '" + a.string() + "'");
        double mad = 255, tile = 255;
        EXPECT_EQ(std::sscanf(diff.c_str(), "mad %lf tile %lf", &mad, &tile), 2) << diff;
        return {mad, tile};
    }

    fs::path dir_;
};

TEST_F(SvgPlayer, DrawsWhatTheCairoPlayerDraws) {
    for (const auto& c : cases()) {
        lk::Canvas canvas(c.width, c.height);
        c.draw(canvas);
        const auto [mad, tile] = difference(svg_png(lk::svg_document(canvas), c.name), cairo_png(canvas, c));
        EXPECT_LT(tile, kTileTolerance) << c.name << " (mean " << mad << ")";
        EXPECT_LT(mad, kMeanTolerance) << c.name << " (tile " << tile << ")";
        std::printf("%s: tile %.3f, mean %.3f\n", c.name.c_str(), tile, mad);
    }
}

// The tolerance sees a text one unit off its place, and the serif drawn in
// the Gothic.
TEST_F(SvgPlayer, TheToleranceCatchesAShiftAndAWrongFace) {
    const SvgCase c = cases()[0];
    lk::Canvas canvas(c.width, c.height);
    c.draw(canvas);
    const fs::path cairo = cairo_png(canvas, c);
    lk::Canvas shifted(c.width, c.height), wrong_face(c.width, c.height);
    for (auto op : canvas.ops()) {
        if (auto* t = std::get_if<lk::DrawText>(&op)) {
            lk::DrawText moved = *t;
            moved.x += 1;
            shifted.add(moved);
            if (t->font.face == "Times New Roman") t->font.face = "ｺﾞｼｯｸ";
        } else {
            shifted.add(op);
        }
        wrong_face.add(op);
    }
    for (const auto& [name, bad] : {std::pair{"shifted", &shifted}, std::pair{"wrong_face", &wrong_face}}) {
        const auto [mad, tile] = difference(svg_png(lk::svg_document(*bad), name), cairo);
        std::printf("%s: tile %.3f, mean %.3f\n", name, tile, mad);
        EXPECT_GE(tile, kTileTolerance) << name;
    }
}

TEST(SvgDocument, KeepsTextAsTextInThePagesFamilies) {
    lk::Canvas canvas(240, 112);
    fraction_and_italics(canvas);
    const std::string svg = lk::svg_document(canvas);
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"240\" height=\"112\" viewBox=\"0 0 240 112\">", 0), 0u);
    size_t texts = 0;
    for (size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) ++texts;
    EXPECT_EQ(texts, 10u);
    // The text layer: text still, all but transparent, and only it.
    const size_t layer = svg.find(">-+-+-+</text>");
    ASSERT_NE(layer, std::string::npos) << svg;
    EXPECT_NE(svg.rfind(" fill-opacity=\"0.004\"", layer), std::string::npos) << svg;
    EXPECT_EQ(svg.find("fill-opacity"), svg.rfind("fill-opacity")) << svg;
    EXPECT_NE(svg.find(">組　番　氏名 &amp; &lt;x&gt;</text>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("font-family=\"'Lesson Serif','Liberation Serif'\" font-size=\"16\" font-style=\"italic\""),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find(">\u2113</text>"), std::string::npos) << svg;  // the script ell
    // Control characters and malformed bytes cannot break the document.
    lk::Canvas odd(10, 10);
    odd.add(lk::DrawText{0, 0, std::string("a\x01\xff" "b"), 1, 1, 0, kGothic});
    EXPECT_NE(lk::svg_document(odd).find(">a\uFFFD\uFFFDb</text>"), std::string::npos);
}

}  // namespace
