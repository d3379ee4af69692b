// The formula text renderer, checked on the recorded operations.
#include <gtest/gtest.h>

#include "support/replay.h"

using lk::DrawLine;
using lk::DrawText;
using lk::testing::Bench;

namespace {

// The texts drawn on the lesson area (measurements draw at y 1800 and below).
std::vector<DrawText> visible_texts(const Bench& b) {
    std::vector<DrawText> out;
    for (const auto& t : b.recorder.texts())
        if (t.y < 1000) out.push_back(t);
    return out;
}
std::vector<DrawLine> visible_lines(const Bench& b) {
    std::vector<DrawLine> out;
    for (const auto& l : b.recorder.lines())
        if (l.y1 < 1000) out.push_back(l);
    return out;
}

void draw(Bench& b, const std::string& text, float x = 100, float y = 300) {
    b.engine.text = text;
    b.engine.text_x = x;
    b.engine.text_y = y;
    b.engine.text_colour = 0;
    b.engine.draw_rich_text();
}

TEST(RichText, FractionEqualsFractionIsLaidOutExactly) {
    Bench b;
    draw(b, "ﾀx/120ﾀ=ﾀ2/3ﾀ", 100, 300);
    auto texts = visible_texts(b);
    auto lines = visible_lines(b);
    ASSERT_EQ(texts.size(), 7u);
    // Denominator first, then numerator.
    EXPECT_EQ(texts[0].text, "1");
    EXPECT_FLOAT_EQ(texts[0].x, 100);
    EXPECT_FLOAT_EQ(texts[0].y, 328);
    EXPECT_EQ(texts[0].h, 4);
    EXPECT_EQ(texts[0].v, 2);
    EXPECT_FLOAT_EQ(texts[1].x, 132);
    EXPECT_FLOAT_EQ(texts[2].x, 164);
    EXPECT_EQ(texts[3].text, "x");
    EXPECT_FLOAT_EQ(texts[3].x, 136);
    EXPECT_FLOAT_EQ(texts[3].y, 274);
    EXPECT_EQ(texts[3].h, 12);
    EXPECT_EQ(texts[3].v, 5);
    EXPECT_EQ(texts[3].font.face, "Times New Roman");
    EXPECT_TRUE(texts[3].font.italic);
    EXPECT_FLOAT_EQ(texts[3].font.size, 8);
    EXPECT_EQ(texts[4].text, "=");
    EXPECT_FLOAT_EQ(texts[4].x, 200);
    EXPECT_FLOAT_EQ(texts[4].font.size, 14);
    EXPECT_EQ(texts[5].text, "3");
    EXPECT_FLOAT_EQ(texts[5].x, 228);
    EXPECT_FLOAT_EQ(texts[5].y, 328);
    EXPECT_EQ(texts[6].text, "2");
    EXPECT_FLOAT_EQ(texts[6].x, 228);
    EXPECT_FLOAT_EQ(texts[6].y, 290);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].x1, 100);
    EXPECT_FLOAT_EQ(lines[0].x2, 196);
    EXPECT_FLOAT_EQ(lines[0].y1, 325);
    EXPECT_EQ(lines[0].pen, 4);
    EXPECT_FLOAT_EQ(lines[1].x1, 228);
    EXPECT_FLOAT_EQ(lines[1].x2, 260);
    EXPECT_FLOAT_EQ(b.engine.text_x, 260);
    EXPECT_TRUE(b.engine.text.empty());
    EXPECT_EQ(b.presenter.painter().get_pen_width(), 3);
    // Once a glyph was drawn the font is the plain Gothic at 16.
    EXPECT_EQ(b.presenter.painter().font().face, "ゴシック");
    EXPECT_FLOAT_EQ(b.presenter.painter().font().size, 16);
    EXPECT_FALSE(b.presenter.painter().font().bold);
    EXPECT_FALSE(b.presenter.painter().font().italic);
}

TEST(RichText, WholeNumbersBeforeFractionsAndCentredDenominators) {
    Bench b;
    draw(b, "x=ﾀ146/8ﾀ", 0, 300);
    auto texts = visible_texts(b);
    // "x" (27) and "=" (32) then a bar of three fraction digits (96).
    EXPECT_FLOAT_EQ(b.engine.text_x, 27 + 32 + 96);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[2].text, "8");
    EXPECT_FLOAT_EQ(texts[2].x, 59 + 32);

    Bench m;
    draw(m, "=18ﾀ1/4ﾀ", 0, 300);
    auto mixed = visible_texts(m);
    EXPECT_EQ(mixed[1].text, "1");
    EXPECT_EQ(mixed[1].h, 3);
    EXPECT_FLOAT_EQ(mixed[1].x, 32);
    EXPECT_FLOAT_EQ(mixed[2].x, 59);
    EXPECT_FLOAT_EQ(m.engine.text_x, 32 + 27 + 27 + 32);
}

TEST(RichText, StateOutlivesACall) {
    Bench b;
    draw(b, "2^", 0, 300);
    EXPECT_FLOAT_EQ(b.engine.superscript_pending, 1);
    draw(b, "3", 27, 300);
    auto texts = visible_texts(b);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].h, 3);
    EXPECT_EQ(texts[1].v, 2);  // drawn as a superscript
    EXPECT_FLOAT_EQ(b.engine.text_x, 27 + 24);
    EXPECT_FLOAT_EQ(b.engine.superscript_pending, 0);
}

TEST(RichText, UnclosedFractionIsDroppedAndSlashIsDivision) {
    Bench b;
    draw(b, "ﾀ1/2", 0, 300);
    auto texts = visible_texts(b);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "1");
    EXPECT_EQ(texts[1].text, "÷");
    EXPECT_FLOAT_EQ(texts[1].x, 27 - 4);
    EXPECT_EQ(texts[1].h, 2);
    EXPECT_EQ(texts[2].text, "2");
    EXPECT_FLOAT_EQ(b.engine.text_x, 81);
}

TEST(RichText, TallRadicalOverlineFollowsUntilClosed) {
    Bench b;
    draw(b, "#ﾀ1/2ﾀ+1ﾝ", 0, 300);
    // The fraction starts after the radical sign (32) and is 32 wide.
    bool fraction_overline = false, extended = false;
    for (const auto& l : visible_lines(b)) {
        if (l.y1 == 286 && l.x1 == 32 && l.x2 == 64) fraction_overline = true;
        if (l.y1 == 286 && l.x2 == 64 + 27 + 27) extended = true;
    }
    EXPECT_TRUE(fraction_overline);
    EXPECT_TRUE(extended);
    EXPECT_FLOAT_EQ(b.engine.radical_mode, 0);
    size_t before = visible_lines(b).size();
    draw(b, "5", b.engine.text_x, 300);
    EXPECT_EQ(visible_lines(b).size(), before);
}

TEST(RichText, SignsAreStrokesTwoUnitsApart) {
    Bench b;
    draw(b, "-+", 0, 300);
    auto lines = visible_lines(b);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_FLOAT_EQ(lines[0].y1, 320);
    EXPECT_EQ(lines[0].pen, 5);
    EXPECT_FLOAT_EQ(lines[1].y1, 322);
    EXPECT_FLOAT_EQ(lines[2].x1, 27 + 13);
    EXPECT_EQ(b.presenter.painter().get_pen_width(), 3);
}

TEST(RichText, SpacesAdvanceAndMeasuringEmptyIsZero) {
    Bench b;
    draw(b, "1 2", 0, 300);
    EXPECT_FLOAT_EQ(b.engine.text_x, 81);
    b.engine.run_text = "";
    b.engine.measure_rich_text();
    EXPECT_FLOAT_EQ(b.engine.measured_width, 0);
    b.engine.run_text = "10*9";
    b.engine.text_x = 5;
    b.engine.measure_rich_text();
    EXPECT_FLOAT_EQ(b.engine.measured_width, 27 * 4);
    EXPECT_FLOAT_EQ(b.engine.text_x, 5);
    EXPECT_EQ(b.engine.run_text, "10*9");
    // Inside a fraction the same text is wider.
    b.engine.in_fraction = 1;
    b.engine.measure_rich_text();
    EXPECT_FLOAT_EQ(b.engine.measured_width, 32 * 3 + 38);
}

TEST(RichText, FullWidthAndItalicLetterAdvances) {
    Bench b;
    draw(b, "交代xa.5", 0, 300);
    auto texts = visible_texts(b);
    EXPECT_EQ(texts[0].h, 2);
    EXPECT_FLOAT_EQ(texts[1].x, 34);
    EXPECT_FLOAT_EQ(texts[2].x, 68 + 4);
    EXPECT_FLOAT_EQ(texts[2].y, 300 - 22);
    EXPECT_EQ(texts[2].h, 10);
    EXPECT_EQ(texts[2].v, 7);
    EXPECT_FLOAT_EQ(texts[4].x, 68 + 54 - 3);  // the point stands 3 left
    EXPECT_FLOAT_EQ(texts[4].y, 314);
    EXPECT_FLOAT_EQ(b.engine.text_x, 68 + 54 + 8 + 27);
}

TEST(RichText, BodyWithoutSlashIsTheDenominator) {
    Bench b;
    draw(b, "ﾀ12ﾀ", 0, 300);
    auto texts = visible_texts(b);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_FLOAT_EQ(texts[0].y, 328);
    EXPECT_FLOAT_EQ(b.engine.text_x, 64);
}

TEST(PlainText, FullWidthTablesAsStored) {
    Bench b;
    auto convert = [&](const std::string& c) {
        b.engine.plain_char = c;
        b.engine.to_fullwidth_char();
        return b.engine.plain_char;
    };
    EXPECT_EQ(convert("A"), "Α");  // Greek capital alpha
    EXPECT_EQ(convert("x"), "χ");
    EXPECT_EQ(convert("z"), "z");
    EXPECT_EQ(convert(" "), "　");
    EXPECT_EQ(convert("ﾀ"), "―");
    EXPECT_EQ(convert("?"), "∽");
    EXPECT_EQ(convert("!"), "√");
    EXPECT_EQ(convert("$"), "≡");
    EXPECT_EQ(convert("@"), "±");
    EXPECT_EQ(convert("&"), "π");
    EXPECT_EQ(convert("'"), "∠");
    EXPECT_EQ(convert("["), "≦");
    EXPECT_EQ(convert("]"), "≧");
    EXPECT_EQ(convert("%"), "°");
    EXPECT_EQ(convert("~"), "△");
    EXPECT_EQ(convert("7"), "７");
    EXPECT_EQ(convert("Q"), "Ｑ");
    EXPECT_EQ(convert("w"), "ｗ");
    EXPECT_EQ(convert("入"), "入");
}

TEST(PlainText, PointTakesNoWidthAndSpacesTakeNoRoom) {
    Bench b;
    b.engine.text = "1.5 z";
    b.engine.text_x = 100;
    b.engine.text_y = 200;
    b.engine.draw_plain_text();
    auto texts = visible_texts(b);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "１");
    EXPECT_EQ(texts[1].text, "．");
    EXPECT_FLOAT_EQ(texts[1].x, 112);
    EXPECT_FLOAT_EQ(texts[2].x, 116);
    EXPECT_EQ(texts[3].text, "z");
    EXPECT_FLOAT_EQ(texts[3].y, 196);  // a half-width character stands 4 higher
    EXPECT_FLOAT_EQ(b.engine.text_x, 148);
    EXPECT_TRUE(b.presenter.painter().font().bold);
}

TEST(TextRoutines, StripSpacesMarkupAndLeadingPlus) {
    Bench b;
    b.engine.run_text = " 1 2　3 ";
    b.engine.strip_spaces();
    EXPECT_EQ(b.engine.run_text, "12　3");
    b.engine.run_text = "ﾀ2^/3ﾝﾀ=";
    b.engine.strip_markup();
    EXPECT_EQ(b.engine.run_text, "2/3");
    b.engine.run_text = "+3x";
    b.engine.strip_leading_plus();
    EXPECT_EQ(b.engine.run_text, "3x");
    b.engine.strip_leading_plus();
    EXPECT_EQ(b.engine.run_text, "3x");
}

}  // namespace
