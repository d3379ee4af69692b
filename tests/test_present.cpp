// The presentation layer: strings, numbers, the canvas and its players, the
// headless back end and the trace.
#include <cairo.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/numbers.h"
#include "engine/present/strings.h"
#include "engine/present/trace.h"
#include "support/replay.h"

namespace {

TEST(Strings, CodePage932Semantics) {
    EXPECT_EQ(lk::char_length("入力"), 2);
    EXPECT_EQ(lk::byte_length("入力"), 4);
    EXPECT_EQ(lk::byte_length("ﾀﾝ"), 2);  // half-width katakana are single bytes
    EXPECT_EQ(lk::char_mid("　ＸＹ", 2, 1), "Ｘ");
    EXPECT_EQ(lk::char_left("ab入", 5), "ab入");
    EXPECT_EQ(lk::char_right("ab入", 2), "b入");
    EXPECT_EQ(lk::char_mid("abc", 4, 1), "");
    EXPECT_EQ(lk::char_find(1, "ﾀx/2ﾀ", "ﾀ"), 1);
    EXPECT_EQ(lk::char_find(2, "ﾀx/2ﾀ", "ﾀ"), 5);
    EXPECT_EQ(lk::char_find(1, "abc", "z"), 0);
    EXPECT_EQ(lk::byte_left("12/5", 2), "12");
    EXPECT_EQ(lk::byte_right("12/5", 1), "5");
    EXPECT_EQ(lk::byte_mid("12/5", 3, 1), "/");
    EXPECT_EQ(lk::byte_find(1, "a入b", "b"), 4);
    EXPECT_EQ(lk::char_of_code(65), "A");
    EXPECT_EQ(lk::char_of_code(0xC0), "ﾀ");
    EXPECT_TRUE(lk::is_double_byte("×"));
    EXPECT_TRUE(lk::is_double_byte("√"));
    EXPECT_FALSE(lk::is_double_byte("ﾝ"));
    // Cutting a double-byte character in half is an invalid argument.
    EXPECT_THROW(lk::byte_left("入力", 1), lk::RuntimeError);
    EXPECT_THROW(lk::char_mid("abc", 0, 1), lk::RuntimeError);
    // Malformed UTF-8 is kept byte by byte rather than failing.
    EXPECT_EQ(lk::char_length(std::string("\xE3\x81", 2)), 2);
    EXPECT_TRUE(lk::representable_in_cp932("何かキーを押して下さい。Α×√―≦"));
    EXPECT_FALSE(lk::representable_in_cp932("ℓ"));
}

TEST(Numbers, TextAndBack) {
    EXPECT_EQ(lk::number_to_text(5), " 5");
    EXPECT_EQ(lk::number_to_text(-5), "-5");
    EXPECT_EQ(lk::number_to_text(0.5f), " .5");
    EXPECT_EQ(lk::number_to_text(-0.3f), "-.3");
    EXPECT_EQ(lk::number_to_text(0), " 0");
    EXPECT_EQ(lk::number_to_text(1.5f), " 1.5");
    EXPECT_EQ(lk::number_to_text(1800), " 1800");
    EXPECT_FLOAT_EQ(lk::text_to_number("-3"), -3);
    EXPECT_FLOAT_EQ(lk::text_to_number("1.5"), 1.5f);
    EXPECT_FLOAT_EQ(lk::text_to_number(""), 0);
    EXPECT_FLOAT_EQ(lk::text_to_number("8/4"), 8);
    EXPECT_FLOAT_EQ(lk::text_to_number("12/5"), 12);
    EXPECT_FLOAT_EQ(lk::text_to_number("-"), 0);
    EXPECT_FLOAT_EQ(lk::text_to_number(".5"), 0.5f);
    EXPECT_EQ(lk::to_integer(2.5f), 2);
    EXPECT_EQ(lk::to_integer(3.6f), 4);
    EXPECT_EQ(lk::to_integer(NAN), lk::kNoInteger);
    EXPECT_EQ(lk::to_integer(INFINITY), lk::kNoInteger);
    EXPECT_EQ(lk::to_integer(-1e20f), lk::kNoInteger);
}

TEST(Numbers, RandomIsSeededAndInRange) {
    lk::Random a, b;
    a.seed(42);
    b.seed(42);
    for (int i = 0; i < 1000; ++i) {
        float r = a.unit();
        EXPECT_EQ(r, b.unit());
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 1);
    }
}

// Renders one operation on a white 200 x 200 image and reads pixels back.
class Picture {
public:
    Picture() : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 200, 200)) {
        cr_ = cairo_create(surface_);
        cairo_set_source_rgb(cr_, 1, 1, 1);
        cairo_paint(cr_);
    }
    ~Picture() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    void draw(const lk::DrawOp& op) { lk::render_op(cr_, op, lk::Palette::original); }
    uint32_t pixel(int x, int y) {
        cairo_surface_flush(surface_);
        auto* data = cairo_image_surface_get_data(surface_);
        int stride = cairo_image_surface_get_stride(surface_);
        return *reinterpret_cast<uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
    }
    bool inked(int x, int y) { return pixel(x, y) != 0xFFFFFF; }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

TEST(Players, ArcRunsClockwiseFromStartToEnd) {
    Picture right;
    right.draw(lk::DrawArc{100, 100, 50, 0, 0.75f, 0.25f, 3});
    EXPECT_TRUE(right.inked(150, 100));
    EXPECT_FALSE(right.inked(50, 100));
    EXPECT_TRUE(right.inked(100, 50));
    Picture left;
    left.draw(lk::DrawArc{100, 100, 50, 0, 0.25f, 0.75f, 3});
    EXPECT_TRUE(left.inked(50, 100));
    EXPECT_FALSE(left.inked(150, 100));
    Picture full;
    full.draw(lk::DrawArc{100, 100, 50, 0, 0.3f, 0.3f, 3});
    EXPECT_TRUE(full.inked(50, 100));
    EXPECT_TRUE(full.inked(150, 100));
}

TEST(Players, DiscErasedByTheSameDiscInBackground) {
    lk::testing::Bench b;
    b.presenter.painter().set_pen_width(1);
    b.presenter.painter().fill_circle(100, 100, 4, 5);
    b.presenter.painter().fill_circle(100, 100, 4, 15);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1366, 768);
    cairo_t* cr = cairo_create(s);
    lk::render_canvas(cr, b.presenter.canvas(), {});
    cairo_surface_flush(s);
    auto* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 110; ++x)
            ASSERT_EQ(*reinterpret_cast<uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF, 0xFFFFFFu)
                << x << "," << y;
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

TEST(Players, TextKeepsTheBoxColourBetweenGlyphs) {
    Picture p;
    lk::Font font;
    p.draw(lk::FillBox{0, 0, 200, 200, 13, 13, 1});
    p.draw(lk::DrawText{10, 10, "1", 3, 3, 0, font});
    // Beside the digit, inside its cell, the box colour remains; the glyph
    // itself is ink.
    EXPECT_EQ(p.pixel(11, 12), lk::palette_rgb(13));
    bool ink = false;
    for (int x = 10; x < 34; ++x) ink |= p.pixel(x, 40) == lk::palette_rgb(0);
    EXPECT_TRUE(ink);
}

TEST(Canvas, SolidBoxesLetCoveredOperationsGo) {
    lk::testing::Bench b;
    for (int round = 0; round < 1000; ++round) {
        b.presenter.painter().fill_box(0, 0, 1760, 1300, lk::Coords::relative, 15);
        b.engine.text = "ﾀx/120ﾀ=ﾀ2/3ﾀ";
        b.engine.text_x = 40;
        b.engine.text_y = 300;
        b.engine.draw_rich_text();
        // A drill's erase box that keeps the title.
        b.presenter.painter().fill_box(0, 200, 2000, 1800, lk::Coords::relative, 15);
        b.engine.text = "x=5";
        b.engine.text_x = 40;
        b.engine.text_y = 400;
        b.engine.draw_rich_text();
    }
    EXPECT_LT(b.presenter.canvas().ops().size(), 20u);
    // Operations drawn only below the visible area are not kept at all.
    lk::testing::Bench m;
    m.engine.run_text = "12345";
    m.engine.measure_rich_text();
    EXPECT_TRUE(m.presenter.canvas().ops().empty());
}

TEST(Fonts, FacesResolveAndGothicHasTheLayoutAdvances) {
    EXPECT_EQ(lk::resolved_font_family("ｺﾞｼｯｸ"), "BIZ UDGothic");
    EXPECT_EQ(lk::resolved_font_family("ゴシック"), "BIZ UDGothic");
    EXPECT_EQ(lk::resolved_font_family("Times New Roman"), "Liberation Serif");
    EXPECT_FALSE(lk::resolved_font_family("No Such Face At All").empty());
    lk::Font gothic{"ゴシック", 16, false, false};
    EXPECT_DOUBLE_EQ(lk::natural_advance(gothic, "8"), 8);
    EXPECT_DOUBLE_EQ(lk::natural_advance(gothic, "入"), 16);
    EXPECT_DOUBLE_EQ(lk::natural_advance(gothic, "ﾀ"), 8);
    gothic.bold = true;
    EXPECT_NEAR(lk::natural_advance(gothic, "入"), 16, 1.01);
}

TEST(Headless, KeyScriptAndPollConsumption) {
    EXPECT_EQ(lk::decode_key_script("1\\r\\b\\f\\\\x\n"), std::string("1\r\b\f\\x\r"));
    lk::HeadlessPlatform platform(lk::decode_key_script("ab"));
    lk::Presenter presenter(platform);
    EXPECT_EQ(lk::finished(presenter.poll_key()), "a");
    EXPECT_EQ(lk::finished(presenter.poll_key()), "b");
    EXPECT_THROW(lk::finished(presenter.poll_key()), lk::ProgramEnd);
    lk::finished(presenter.delay(30));
    EXPECT_EQ(platform.clock(), 30u);
}

TEST(Trace, ExactLineFormat) {
    lk::Font f{"ゴシック", 16, true, false};
    EXPECT_EQ(lk::trace_line(lk::DrawOp{lk::DrawText{40, 280, "1", 3, 3, 0, f}}),
              "{\"op\":\"draw_text\",\"x\":40,\"y\":280,\"text\":\"1\",\"h\":3,\"v\":3,"
              "\"colour\":0,\"face\":\"ゴシック\",\"size\":16,\"bold\":true,\"italic\":false}");
    EXPECT_EQ(lk::trace_line(lk::DrawOp{lk::DrawLine{1, 2.5f, 3, 4, 0, 5}}),
              "{\"op\":\"draw_line\",\"x1\":1,\"y1\":2.5,\"x2\":3,\"y2\":4,\"colour\":0,\"pen\":5}");
    EXPECT_EQ(lk::trace_line(lk::DrawOp{lk::FillCircle{1, 2, 0.5f, 3, 5}}),
              "{\"op\":\"fill_circle\",\"cx\":1,\"cy\":2,\"r\":0.5,\"colour\":3,\"pen\":5}");
    EXPECT_EQ(lk::trace_line(lk::DrawOp{lk::DrawPolyline{{{1, 2}, {3, 4}}, 0, 3}}),
              "{\"op\":\"draw_polyline\",\"points\":[[1,2],[3,4]],\"colour\":0,\"pen\":3}");
    EXPECT_EQ(lk::trace_line(lk::Event{lk::KeyEvent{"\r"}}), "{\"op\":\"key\",\"key\":\"\\r\"}");
    EXPECT_EQ(lk::trace_line(lk::Event{lk::SetFontBold{true}}),
              "{\"op\":\"set_font_bold\",\"on\":true}");
    // A relative line is written with absolute end points.
    std::ostringstream out;
    lk::TraceWriter writer(out);
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    presenter.add_sink(&writer);
    presenter.painter().set_pen_width(2);
    presenter.painter().draw_line(10, 20, 5, 5, lk::Coords::relative, 1);
    presenter.painter().fill_box(0, 0, 10, 10, lk::Coords::relative, 3, 13);
    EXPECT_EQ(out.str(),
              "{\"op\":\"set_pen_width\",\"width\":2}\n"
              "{\"op\":\"draw_line\",\"x1\":10,\"y1\":20,\"x2\":15,\"y2\":25,\"colour\":1,\"pen\":2}\n"
              "{\"op\":\"fill_box\",\"x1\":0,\"y1\":0,\"x2\":10,\"y2\":10,\"colour\":3,\"fill\":13,\"pen\":2}\n");
}

TEST(Presenter, InvalidColoursAndPensNeverFail) {
    lk::testing::Bench b;
    b.presenter.painter().set_pen_width(lk::kNoInteger);
    EXPECT_GE(b.presenter.painter().get_pen_width(), 0);
    b.presenter.painter().draw_line(0, 0, 1, 1, lk::Coords::absolute, lk::kNoInteger);
    EXPECT_EQ(b.recorder.lines().back().colour, 15);
}

}  // namespace

TEST(Numbers, PrintfShortestTextIsTheStandardLibrarysShortestText) {
    // The browser build writes numbers through printf; its traces must read
    // as the desktop's, which come from std::to_chars.
    std::mt19937 rng(5);
    std::vector<float> values = {0.0f, -0.0f, 1.0f, 0.1f, 1e-5f, 123456789.0f, 1e21f, 3.4e38f,
                                 1e-45f, 0.3f, 2.5e-7f, 100000.0f, 1234567.0f};
    for (int i = 0; i < 20000; ++i) {
        std::uint32_t bits = rng();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
        values.push_back(static_cast<float>(static_cast<int>(rng() % 200001) - 100000) / 64.0f);
    }
    for (float f : values) {
        char buf[64];
        auto r = std::to_chars(buf, buf + sizeof buf, f);
        ASSERT_EQ(lk::shortest_text_printf(f), std::string(buf, r.ptr)) << f;
    }
}
