// Table cells, value boxes, grids, arc spans and fraction texts.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "support/replay.h"

using lk::testing::Bench;

namespace {

std::vector<lk::DrawText> visible_texts(const Bench& b) {
    std::vector<lk::DrawText> out;
    for (const auto& t : b.recorder.texts())
        if (t.y < 1000) out.push_back(t);
    return out;
}

float label_top(float height, const std::string& label) {
    Bench b;
    b.engine.text_x = 100;
    b.engine.text_y = 200;
    b.engine.cell_width = 200;
    b.engine.cell_height = height;
    b.engine.frame_colour = 3;
    b.engine.fill_colour = 15;
    b.engine.run_text = label;
    b.engine.draw_table_cell();
    EXPECT_FLOAT_EQ(b.engine.text_x, 300);
    EXPECT_FLOAT_EQ(b.engine.text_y, 200);
    // The top of a plain label is its glyphs' y; a fraction's is the line it
    // is drawn on (its bar lies 25 below).
    for (const auto& l : b.recorder.lines())
        if (l.y1 < 1000) return l.y1 - 25;
    return visible_texts(b).front().y;
}

TEST(TableCell, LabelTopsRoundDown) {
    EXPECT_FLOAT_EQ(label_top(50, "x"), 203 - 22);  // an italic x stands 22 above its line
    EXPECT_FLOAT_EQ(label_top(50, "5"), 203);
    EXPECT_FLOAT_EQ(label_top(50, "ﾀ1/2ﾀ"), 200);
    EXPECT_FLOAT_EQ(label_top(80, "5"), 218);
    EXPECT_FLOAT_EQ(label_top(80, "ﾀ1/2ﾀ"), 215);
    EXPECT_FLOAT_EQ(label_top(49, "5"), 202);
}

TEST(TableCell, CentredOrFromTheLeftEdgeWhenTooWide) {
    Bench b;
    b.engine.text_x = 100;
    b.engine.text_y = 200;
    b.engine.cell_width = 60;
    b.engine.cell_height = 50;
    b.engine.run_text = "12";
    b.engine.draw_table_cell();
    EXPECT_FLOAT_EQ(visible_texts(b)[0].x, 100 + 3);
    b.recorder.clear();
    b.engine.text_x = 100;
    b.engine.run_text = "12345";
    b.engine.draw_table_cell();
    EXPECT_FLOAT_EQ(visible_texts(b)[0].x, 100);
    auto box = b.recorder.boxes().back();
    EXPECT_FLOAT_EQ(box.x2, 160);  // the box is not widened
}

TEST(ValueBox, SpansAroundTheLine) {
    Bench b;
    b.engine.text_x = 400;
    b.engine.text_y = 300;
    b.engine.cell_width = 60;
    b.engine.cell_height = 50;
    b.engine.frame_colour = 3;
    b.engine.fill_colour = 13;
    b.engine.run_text = "7";
    b.engine.draw_value_box();
    auto box = b.recorder.boxes().back();
    EXPECT_FLOAT_EQ(box.y1, 297);
    EXPECT_FLOAT_EQ(box.y2, 347);
    EXPECT_EQ(box.fill, 13);
    EXPECT_FLOAT_EQ(visible_texts(b)[0].y, 300);
    EXPECT_FLOAT_EQ(b.engine.text_x, 460);
}

TEST(Grid, HeavyLinesEveryFifthFromTheBottomAndNothingInBackground) {
    Bench b;
    b.engine.grid_x = 100;
    b.engine.grid_y = 100;
    b.engine.grid_unit = 10;
    b.engine.grid_columns = 12;
    b.engine.cell_height = 8;
    b.engine.frame_colour = 1;
    b.presenter.painter().set_pen_width(7);
    b.engine.draw_grid();
    auto lines = b.recorder.lines();
    ASSERT_EQ(lines.size(), 13u + 9u);
    std::vector<float> heavy_x, heavy_y;
    for (const auto& l : lines) {
        if (l.pen == 3) {
            EXPECT_EQ(l.colour, 14);
            (l.x1 == l.x2 ? heavy_x : heavy_y).push_back(l.x1 == l.x2 ? l.x1 : l.y1);
        } else {
            EXPECT_EQ(l.pen, 1);
            EXPECT_EQ(l.colour, 1);
        }
    }
    EXPECT_EQ(heavy_x, (std::vector<float>{100, 150, 200}));
    EXPECT_EQ(heavy_y, (std::vector<float>{180, 130}));
    EXPECT_EQ(b.presenter.painter().get_pen_width(), 7);
    EXPECT_FLOAT_EQ(b.engine.fill_colour, 14);

    Bench none;
    none.engine.frame_colour = 15;
    none.engine.fill_colour = 3;
    none.engine.grid_columns = 4;
    none.engine.cell_height = 4;
    none.engine.draw_grid();
    EXPECT_TRUE(none.recorder.lines().empty());
    EXPECT_FLOAT_EQ(none.engine.fill_colour, 3);
}

struct SpanResult {
    std::vector<lk::FillCircle> dots;
    std::vector<lk::DrawText> label;
    float label_width;
};

SpanResult span(float side, float height, const std::string& label = "130分間") {
    Bench b;
    b.engine.span_x1 = 100;
    b.engine.span_y1 = 300;
    b.engine.span_x2 = 300;
    b.engine.span_y2 = 300;
    b.engine.span_side = side;
    b.engine.span_height = height;
    b.engine.arc_step = 8;
    b.engine.frame_colour = 3;
    b.engine.span_label = label;
    b.engine.text_colour = 3;
    b.engine.draw_arc_span();
    EXPECT_TRUE(b.engine.span_label.empty());
    EXPECT_FLOAT_EQ(b.engine.label_dx, 0);
    b.engine.run_text = label;
    b.engine.measure_rich_text();
    return {b.recorder.discs(), visible_texts(b), b.engine.measured_width};
}

TEST(ArcSpan, AboveTheSegment) {
    auto r = span(-1, 20);
    ASSERT_EQ(r.dots.size(), 23u);
    EXPECT_NEAR(r.dots.front().cx, 300, 0.01);
    EXPECT_NEAR(r.dots.front().cy, 300, 0.01);
    EXPECT_NEAR(r.dots[11].cx, 200 + 100 * std::cos(88 * 3.1416 / 180), 0.05);
    EXPECT_NEAR(r.dots[11].cy, 280, 0.05);
    EXPECT_NEAR(r.dots.back().cx, 100.2, 0.1);
    EXPECT_NEAR(r.dots.back().cy, 298.6, 0.1);
    EXPECT_FLOAT_EQ(r.dots.front().r, 0.5f);
    ASSERT_FALSE(r.label.empty());
    EXPECT_NEAR(r.label.front().y, 200, 0.01);
    EXPECT_NEAR(r.label.front().x, 200 - r.label_width / 2, 0.01);
}

TEST(ArcSpan, BelowAndStraightAndSmallHeights) {
    auto below = span(1, 20);
    EXPECT_NEAR(below.dots.front().cx, 100, 0.01);
    EXPECT_NEAR(below.label.front().y, 320, 0.01);
    EXPECT_NEAR(below.label.front().x, 200 - below.label_width / 2, 0.01);
    auto flat = span(-1, 0);
    for (const auto& d : flat.dots) EXPECT_NEAR(d.cy, 300, 0.01);
    EXPECT_NEAR(flat.label.front().y, 220, 0.01);
    auto sixteenths = span(-1, 1.25f);
    EXPECT_NEAR(sixteenths.dots[11].cy, 280, 0.05);
    auto negative = span(-1, -20);
    EXPECT_NEAR(negative.dots[11].cy, 280, 0.05);
    auto unlabelled = span(-1, 20, "");
    EXPECT_TRUE(unlabelled.label.empty());
}

TEST(ArcSpan, SlantedSpanKeepsItsEnds) {
    Bench b;
    b.engine.span_x1 = 100;
    b.engine.span_y1 = 100;
    b.engine.span_x2 = 100;
    b.engine.span_y2 = 300;
    b.engine.span_side = 1;
    b.engine.span_height = 20;
    b.engine.arc_step = 10;
    b.engine.draw_arc_span();
    auto dots = b.recorder.discs();
    EXPECT_NEAR(dots.front().cx, 100, 0.05);
    EXPECT_NEAR(dots.front().cy, 100, 0.05);
    EXPECT_NEAR(dots.back().cx, 100, 0.05);
    EXPECT_NEAR(dots.back().cy, 300, 0.05);
}

struct Fraction {
    std::string value, signed_value, line, signed_line;
    float kind, n, d;
};

Fraction fraction(float n, float d) {
    Bench b;
    b.engine.fraction_n = n;
    b.engine.fraction_d = d;
    b.engine.fraction_text();
    return {b.engine.value_text, b.engine.signed_value_text, b.engine.fraction_line,
            b.engine.signed_fraction_line, b.engine.fraction_case, b.engine.fraction_n,
            b.engine.fraction_d};
}

TEST(FractionText, ListedCases) {
    auto f = fraction(8, 2);
    EXPECT_EQ(f.line, "ﾀ8/2ﾀ=4");
    EXPECT_FLOAT_EQ(f.kind, 1);
    f = fraction(-6, 4);
    EXPECT_EQ(f.line, "ﾀ-6/4ﾀ=-ﾀ3/2ﾀ");
    EXPECT_EQ(f.signed_line, "ﾀ-6/4ﾀ=-ﾀ3/2ﾀ");
    EXPECT_FLOAT_EQ(f.kind, 2);
    EXPECT_FLOAT_EQ(f.n, -3);
    EXPECT_FLOAT_EQ(f.d, 2);
    f = fraction(2, 3);
    EXPECT_EQ(f.line, "ﾀ2/3ﾀ");
    EXPECT_EQ(f.signed_value, "+ﾀ2/3ﾀ");
    EXPECT_FLOAT_EQ(f.kind, 3);
    f = fraction(0, 7);
    EXPECT_EQ(f.value, "0");
    EXPECT_EQ(f.line, "ﾀ0/7ﾀ=0");
    f = fraction(3, -4);
    EXPECT_EQ(f.value, "-ﾀ3/4ﾀ");
    EXPECT_EQ(f.line, "ﾀ3/-4ﾀ=-ﾀ3/4ﾀ");
    EXPECT_FLOAT_EQ(f.kind, 2);
    f = fraction(6, 3);
    EXPECT_EQ(f.value, "2");
    EXPECT_EQ(f.signed_value, "+2");
    EXPECT_EQ(f.line, "ﾀ6/3ﾀ=2");
    EXPECT_EQ(f.signed_line, "+ﾀ6/3ﾀ=+2");
    f = fraction(-1, 1);
    EXPECT_EQ(f.value, "-1");
    EXPECT_EQ(f.line, "ﾀ-1/1ﾀ=-1");
}

TEST(FractionText, ZeroDenominatorKeepsThePreviousTexts) {
    Bench b;
    b.engine.fraction_n = 6;
    b.engine.fraction_d = 4;
    b.engine.fraction_text();
    b.engine.fraction_n = 5;
    b.engine.fraction_d = 0;
    b.engine.fraction_text();
    EXPECT_FLOAT_EQ(b.engine.fraction_case, 0);
    EXPECT_EQ(b.engine.value_text, "ﾀ3/2ﾀ");
}

// Reads a value text back: "-ﾀ3/2ﾀ", "4", "ﾀ2/3ﾀ".
std::pair<long, long> parse_value(std::string v) {
    long sign = 1;
    if (v.starts_with("-")) sign = -1, v.erase(0, 1);
    if (v.starts_with("ﾀ")) {
        std::string body = v.substr(3, v.size() - 6);
        auto slash = body.find('/');
        return {sign * std::stol(body.substr(0, slash)), std::stol(body.substr(slash + 1))};
    }
    return {sign * std::stol(v), 1};
}

TEST(FractionText, EveryValueReadsBackAsTheReducedFraction) {
    for (int n = -60; n <= 60; ++n) {
        for (int d = -12; d <= 12; ++d) {
            if (d == 0) continue;
            auto f = fraction(static_cast<float>(n), static_cast<float>(d));
            auto [pn, pd] = parse_value(f.value);
            ASSERT_GT(pd, 0) << n << "/" << d;
            EXPECT_EQ(static_cast<long>(n) * pd, pn * d) << n << "/" << d << " gave " << f.value;
            EXPECT_EQ(std::gcd(pn, pd), pn == 0 ? pd : 1) << f.value;
            EXPECT_EQ(f.signed_value.front() == '+', pn >= 0) << f.signed_value;
        }
    }
}

}  // namespace
