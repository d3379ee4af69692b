// Topic 3 (surplus and shortage): the bar diagrams, their value boxes and
// the steps of the three items.
#include <algorithm>

#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/steps.h"

using namespace lk::testing;

namespace {

// The bars, arcs and guide lines of a diagram whose first way ends at `end`.
void expect_diagram(const Step& s, float end) {
    auto bar = [&](float x1, float x2, float y, int colour) {
        for (const auto& l : s.all<lk::DrawLine>())
            if (l.x1 == x1 && l.x2 == x2 && l.y1 == y && l.y2 == y && l.colour == colour &&
                l.pen == 11)
                return true;
        return false;
    };
    EXPECT_TRUE(bar(142, 414, 140, 0));
    EXPECT_TRUE(bar(142, end, 220, 3));
    EXPECT_TRUE(bar(142, 312, 340, 3));
    EXPECT_TRUE(bar(312, 414, 340, 0));
    // The dots of `colour` between y0 and y1 span exactly from x0 to x1.
    auto span = [&](int colour, float y0, float y1, float x0, float x1) {
        float lo = 1e9f, hi = -1e9f;
        for (const auto& c : s.all<lk::FillCircle>())
            if (c.colour == colour && c.cy >= y0 && c.cy <= y1)
                lo = std::min(lo, c.cx), hi = std::max(hi, c.cx);
        EXPECT_NEAR(lo, x0, 0.5);
        EXPECT_NEAR(hi, x1, 3);
        EXPECT_LE(hi, x1 + 0.5);
    };
    span(7, 220, 250, 414, end);  // the shortage
    span(7, 340, 370, 312, 414);  // the surplus
    span(0, 140, 340, 142, 414);  // the guide lines
}

TEST(Topic3, GoalAndWaits) {
    expect_goal(3, "方程式を利用して、過不足に関する問題を解こう。");
    expect_waits(3, 1, 17);
    expect_waits(3, 2, 7);
    expect_waits(3, 3, 8);
}

TEST(Topic3, ExampleValueBoxesAreRedrawnInPlaceWithTheirValues) {
    Walk w = walk(3, 1, 17);
    ASSERT_EQ(w.waits(), 17);
    const Step& first = w.steps[0];
    expect_diagram(first, 482);
    EXPECT_TRUE(first.drew("　折り紙の枚数", 142, 90, 0));
    EXPECT_TRUE(first.drew("たりない枚数", 278, 243, 7));
    // Empty boxes 60 wide for the first way, shortage, second way (48 high
    // the first time) and surplus, each followed 10 later by "枚".
    std::vector<lk::FillBox> boxes;
    for (const auto& b : first.all<lk::FillBox>())
        if (b.fill == 13) boxes.push_back(b);
    ASSERT_EQ(boxes.size(), 4u);
    const float lines[] = {170, 243, 290, 363}, heights[] = {50, 50, 48, 50};
    const float word_colour[] = {0, 7, 0, 7};
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(boxes[k].x2 - boxes[k].x1, 60) << k;
        EXPECT_EQ(boxes[k].y1, lines[k] - (heights[k] == 48 ? 2 : 3)) << k;
        EXPECT_EQ(boxes[k].y2 - boxes[k].y1, heights[k]) << k;
        EXPECT_TRUE(first.drew("枚", boxes[k].x2 + 10, lines[k], word_colour[k])) << k;
    }
    // Steps 2, 3, 5, 6 redraw one box 50 high with its value; "枚" stays.
    const std::tuple<size_t, size_t, const char*> redraws[] = {
        {1, 1, "9"}, {2, 3, "15"}, {4, 0, "4x"}, {5, 2, "3x"}};
    for (const auto& [step, k, value] : redraws) {
        const Step& s = w.steps[step];
        ASSERT_EQ(s.all<lk::FillBox>().size(), 1u) << value;
        const lk::FillBox b = s.all<lk::FillBox>()[0];
        EXPECT_EQ(b.x1, boxes[k].x1);
        EXPECT_EQ(b.y1, lines[k] - 3);
        EXPECT_EQ(b.y2, lines[k] + 47);
        ASSERT_EQ(s.texts.size(), 1u);
        EXPECT_TRUE(s.drew(value, s.texts[0].x, lines[k], 5)) << value;
    }
    // Step 9 draws the second expression and the right column's heading.
    EXPECT_EQ(w.steps[8].find("(3x+15)枚")->y, 570);
    EXPECT_EQ(w.steps[8].find("(3x+15)枚")->x, w.steps[7].find("(4x-9)枚")->x);
    EXPECT_TRUE(w.steps[8].drew("<解答>", 680, 30, 3));
    EXPECT_TRUE(w.steps[10].drew("4x-3x=15+9", 680, 180, 0));
    EXPECT_TRUE(w.steps[11].drew("x=24", 680, 230, 3));
    EXPECT_TRUE(w.steps[13].drew(" 4*24-9", 680, 330, 0));
    EXPECT_TRUE(w.steps[16].drew("　　折り紙の枚数…87枚", 680, 530, 5));
    EXPECT_TRUE(w.steps[17].drew("教科書P104 問2 をやろう。", 680, 580, 3));
}

TEST(Topic3, ExerciseAnswerWritesTheValuesAsText) {
    Walk w = walk(3, 2, 7);
    ASSERT_EQ(w.waits(), 7);
    const Step& d = w.steps[0];
    expect_diagram(d, 482);
    for (const auto& b : d.all<lk::FillBox>()) EXPECT_NE(b.fill, 13);
    for (const auto& [word, value] : {std::pair{"折り紙の枚数", "x枚"}, {"たりない枚数", "9枚"},
                                      {"余る枚数", "15枚"}}) {
        EXPECT_EQ(d.find(value)->y, d.find(word)->y);
        EXPECT_GT(d.find(value)->x, d.find(word)->x + 100);
        EXPECT_EQ(d.find(value)->colour, 3);
    }
    EXPECT_TRUE(d.drew("ﾀx+9/4ﾀ=ﾀx-15/3ﾀ", 120, 440, 0));
    EXPECT_TRUE(w.steps[1].drew("(1) x+9", 652, 30, 3));
    EXPECT_TRUE(w.steps[3].drew("x-15", 760, 180, 3));
    EXPECT_TRUE(w.steps[4].drew("1人に3枚ずつ配るときに", 760, 230, 5));
    EXPECT_EQ(w.steps[6].find("子どもの人数")->y, 350);
    EXPECT_GT(w.steps[6].find("子どもの人数")->x, 700);
    EXPECT_TRUE(w.steps[7].drew("教科書P104 問3 をやろう。", 760, 430, 3));
}

TEST(Topic3, CarnationsOverrunTo550AndTheAnswerStartsAt560) {
    Walk w = walk(3, 3, 8);
    ASSERT_EQ(w.waits(), 8);
    expect_diagram(w.steps[0], 550);
    EXPECT_TRUE(w.steps[0].drew("150円たりない", 278, 243, 7));
    EXPECT_TRUE(w.steps[0].drew("80円余る", 346, 363, 7));
    // The prices stand after the two words "代金".
    const auto* five = w.steps[1].find("5x円");
    const auto* four = w.steps[1].find("4x円");
    EXPECT_TRUE(five->y == 170 && four->y == 290 && five->colour == 3);
    EXPECT_EQ(five->x, four->x);
    EXPECT_GT(five->x, 200);
    EXPECT_EQ(w.steps[4].find("(4x+80)円")->y, 590);
    EXPECT_TRUE(w.steps[6].drew("x=230", 680, 280, 3));
    EXPECT_TRUE(w.steps[7].drew(" 4*230+80", 680, 380, 0));
    EXPECT_TRUE(w.steps[7].drew("=1000", 680, 480, 3));
    EXPECT_TRUE(w.steps[8].drew("答　カーネーション1本の値段…230円,", 560, 530, 5));
    EXPECT_TRUE(w.steps[8].drew("　　持っていたお金…1000円", 560, 580, 5));
}

}  // namespace
