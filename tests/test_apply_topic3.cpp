// Topic 3 (surplus and shortage): the bar diagrams, their value boxes and
// the steps of the three items.
#include <algorithm>

#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/steps.h"

using namespace lk::testing;

namespace {

// The thick bars of a diagram on their three rows: the total in ink, the
// first way, and the second way stopping short with the rest of the total in
// ink. All start at one left end; the first way runs past the total (the
// shortage arc spans the overrun), the second stops short (the surplus arc
// spans the rest); dotted guide lines drop from both ends of the total. The
// shortage and surplus labels stand under their arcs' rows.
void expect_diagram(const Step& s, const std::string& shortage, const std::string& surplus) {
    std::vector<lk::DrawLine> bars;
    for (const auto& l : s.all<lk::DrawLine>())
        if (l.pen == 11) bars.push_back(l);
    ASSERT_EQ(bars.size(), 4u);
    const lk::DrawLine &total = bars[0], &first = bars[1], &second = bars[2], &rest = bars[3];
    for (const auto& b : bars) EXPECT_EQ(b.y1, b.y2);
    EXPECT_TRUE(total.colour == 0 && first.colour == 3 && second.colour == 3 && rest.colour == 0);
    EXPECT_TRUE(total.y1 < first.y1 && first.y1 < second.y1 && second.y1 == rest.y1);
    const float left = total.x1, right = total.x2;
    EXPECT_TRUE(first.x1 == left && second.x1 == left);
    EXPECT_GT(first.x2, right);
    EXPECT_TRUE(second.x2 < right && rest.x1 == second.x2 && rest.x2 == right);
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
    span(7, first.y1, second.y1 - 1, right, first.x2);  // the shortage
    span(7, second.y1, 1e9f, second.x2, right);         // the surplus
    span(0, total.y1, second.y1, left, right);          // the guide lines
    const RichText *short_label = s.find(shortage), *surplus_label = s.find(surplus);
    ASSERT_TRUE(short_label && surplus_label);
    EXPECT_TRUE(short_label->colour == 7 && surplus_label->colour == 7);
    EXPECT_TRUE(short_label->y > first.y1 && short_label->y < second.y1);
    EXPECT_GT(surplus_label->y, second.y1);
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
    expect_diagram(first, "たりない枚数", "余る枚数");
    EXPECT_EQ(first.find("　折り紙の枚数")->colour, 0);
    // An empty box, as high as its row, after each of the first way's word,
    // the shortage, the second way's word and the surplus, each followed on
    // its row by "枚" in the colour of the word before the box.
    std::vector<lk::FillBox> boxes;
    for (const auto& b : first.all<lk::FillBox>())
        if (b.fill == 13) boxes.push_back(b);
    ASSERT_EQ(boxes.size(), 4u);
    std::vector<RichText> words, units;
    for (const auto& t : first.texts) {
        if (t.text == "配る枚数" || t.text == "たりない枚数" || t.text == "余る枚数") words.push_back(t);
        if (t.text == "枚") units.push_back(t);
    }
    ASSERT_TRUE(words.size() == 4u && units.size() == 4u);
    for (size_t k = 0; k < 4; ++k) {
        const lk::FillBox& b = boxes[k];
        EXPECT_EQ(b.x2 - b.x1, boxes[0].x2 - boxes[0].x1) << k;
        for (const RichText* t : {&words[k], &units[k]})
            EXPECT_TRUE(t->y > b.y1 && t->y < b.y2) << k << " " << t->text;
        EXPECT_GT(b.x1, end_of(words[k])) << k;
        EXPECT_GT(units[k].x, b.x2) << k;
        EXPECT_LT(units[k].x, b.x2 + width_of("枚")) << k;
        EXPECT_EQ(units[k].colour, words[k].colour) << k;
    }
    // Steps 2, 3, 5, 6 redraw one box with its value over the empty one.
    const std::tuple<size_t, size_t, const char*> redraws[] = {
        {1, 1, "9"}, {2, 3, "15"}, {4, 0, "4x"}, {5, 2, "3x"}};
    for (const auto& [step, k, value] : redraws) {
        const Step& s = w.steps[step];
        ASSERT_EQ(s.all<lk::FillBox>().size(), 1u) << value;
        const lk::FillBox b = s.all<lk::FillBox>()[0];
        EXPECT_TRUE(b.x1 == boxes[k].x1 && b.x2 == boxes[k].x2) << value;
        EXPECT_TRUE(b.y1 <= boxes[k].y1 && b.y2 >= boxes[k].y2) << value;
        ASSERT_EQ(s.texts.size(), 1u);
        EXPECT_EQ(s.texts[0].text, value);
        EXPECT_EQ(s.texts[0].colour, 5);
        EXPECT_TRUE(s.texts[0].x >= b.x1 && end_of(s.texts[0]) <= b.x2) << value;
        EXPECT_TRUE(s.texts[0].y > b.y1 && s.texts[0].y < b.y2) << value;
    }
    // The second expression goes under the first; then the right column.
    EXPECT_EQ(w.steps[8].find("(3x+15)枚")->x, w.steps[7].find("(4x-9)枚")->x);
    EXPECT_GT(w.steps[8].find("(3x+15)枚")->y, w.steps[7].find("(4x-9)枚")->y);
    expect_lines(w, {{8, "<解答>", 3}, {10, "4x-3x=15+9", 0}, {11, "x=24", 3}, {13, " 4*24-9", 0},
                     {16, "　　折り紙の枚数…87枚", 5}, {17, "教科書P104 問2 をやろう。", 3}});
    for (int step : {10, 11, 13, 16, 17})
        EXPECT_EQ(w.steps[size_t(step)].texts.back().x, w.steps[8].find("<解答>")->x) << step;
}

TEST(Topic3, ExerciseAnswerWritesTheValuesAsText) {
    Walk w = walk(3, 2, 7);
    ASSERT_EQ(w.waits(), 7);
    const Step& d = w.steps[0];
    expect_diagram(d, "たりない枚数", "余る枚数");
    for (const auto& b : d.all<lk::FillBox>()) EXPECT_NE(b.fill, 13);
    for (const auto& [word, value] : {std::pair{"折り紙の枚数", "x枚"}, {"たりない枚数", "9枚"},
                                      {"余る枚数", "15枚"}}) {
        EXPECT_EQ(d.find(value)->y, d.find(word)->y);
        EXPECT_EQ(d.find(value)->x, end_of(*d.find(word)));
        EXPECT_EQ(d.find(value)->colour, 3);
    }
    float bottom = 0;
    for (const auto& l : d.all<lk::DrawLine>())
        if (l.pen == 11) bottom = std::max(bottom, l.y1);
    EXPECT_GT(d.find("ﾀx+9/4ﾀ=ﾀx-15/3ﾀ")->y, bottom);
    expect_lines(w, {{0, "ﾀx+9/4ﾀ=ﾀx-15/3ﾀ", 0}, {1, "(1) x+9", 3}, {3, "x-15", 3},
                     {4, "1人に3枚ずつ配るときに", 5}, {5, "(2) ", 3}, {6, "子どもの人数", 5},
                     {7, "教科書P104 問3 をやろう。", 3}});
    EXPECT_EQ(w.steps[6].find("子どもの人数")->y, w.steps[5].find("(2) ")->y);
    EXPECT_EQ(w.steps[6].find("子どもの人数")->x, end_of(*w.steps[5].find("(2) ")));
}

TEST(Topic3, CarnationsAnswerStartsLeftOfItsColumn) {
    Walk w = walk(3, 3, 8);
    ASSERT_EQ(w.waits(), 8);
    expect_diagram(w.steps[0], "150円たりない", "80円余る");
    // The prices stand right after the two words "代金".
    std::vector<RichText> words;
    for (const auto& t : w.steps[0].texts)
        if (t.text == "代金") words.push_back(t);
    ASSERT_EQ(words.size(), 2u);
    const char* prices[] = {"5x円", "4x円"};
    for (size_t k = 0; k < 2; ++k) {
        const RichText* p = w.steps[1].find(prices[k]);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->y == words[k].y && p->x == end_of(words[k]) && p->colour == 3) << k;
    }
    EXPECT_EQ(w.steps[4].find("(4x+80)円")->x, w.steps[3].find("(5x-150)円")->x);
    expect_lines(w, {{3, "(5x-150)円", 3}, {4, "(4x+80)円", 3}, {4, "<解答>", 3},
                     {6, "x=230", 3}, {7, " 4*230+80", 0}, {7, "=1000", 3},
                     {8, "答　カーネーション1本の値段…230円,", 5}, {8, "　　持っていたお金…1000円", 5}});
    const float column = w.steps[4].find("<解答>")->x;
    EXPECT_EQ(w.steps[7].find("=1000")->x, column);
    EXPECT_LT(w.steps[8].find("答　カーネーション1本の値段…230円,")->x, column);
    EXPECT_EQ(w.steps[8].find("　　持っていたお金…1000円")->x,
              w.steps[8].find("答　カーネーション1本の値段…230円,")->x);
}

}  // namespace
