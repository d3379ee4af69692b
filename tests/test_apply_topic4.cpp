// Topic 4 (speed, time and distance): the catch-up animation, the path
// diagrams, the speed tables, the cube chain and the procedure.
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/replay.h"
#include "support/steps.h"

using namespace lk::testing;

namespace {

// The walker's disc of `colour`, if the step drew one.
std::optional<lk::FillCircle> walker(const Step& s, int colour) {
    for (const auto& c : s.all<lk::FillCircle>())
        if (c.r == 8 && c.colour == colour) return c;
    return std::nullopt;
}

// The dots of `colour`: the number on the vertical at x between y0 and y1,
// and the middle of all of them (an arc's middle).
int dots_at(const Step& s, int colour, float x, float y0, float y1) {
    int n = 0;
    for (const auto& c : s.all<lk::FillCircle>())
        n += c.r == 0.5f && c.colour == colour && std::fabs(c.cx - x) < 0.5f && c.cy >= y0 &&
             c.cy <= y1;
    return n;
}
float dots_middle(const Step& s, int colour) {
    float lo = 1e9f, hi = -1e9f;
    for (const auto& c : s.all<lk::FillCircle>())
        if (c.r == 0.5f && c.colour == colour) lo = std::min(lo, c.cx), hi = std::max(hi, c.cx);
    return (lo + hi) / 2;
}

// Both walkers stand at one x, the meeting point, joined by the dotted guide.
float expect_meeting(const Step& s) {
    const auto upper = walker(s, 3), lower = walker(s, 7);
    EXPECT_TRUE(upper && lower);
    if (!upper || !lower) return -1;
    EXPECT_EQ(upper->cx, lower->cx);
    EXPECT_LT(upper->cy, lower->cy);
    EXPECT_GT(dots_at(s, 0, upper->cx, upper->cy, lower->cy), 10);
    return upper->cx;
}

TEST(Topic4, GoalAndWaits) {
    expect_goal(4, "方程式を利用して、速さ・時間・道のりに関する問題を解こう。");
    const int waits[] = {35, 17, 7, 9, 1};
    for (int item = 1; item <= 5; ++item) expect_waits(4, item, waits[item - 1]);
}

TEST(Topic4, CatchUpIsAnimatedOneMinutePerKeyThenShownAtTheMeeting) {
    Walk w = walk(4, 1, 35);
    ASSERT_EQ(w.waits(), 35);
    // Steps 2 to 18 are the minutes 0 to 16, step 19 the meeting again. Each
    // frame erases below the title and redraws the scene; the younger brother
    // walks 25 units a minute (50 m/min), the elder leaves 4 minutes later
    // and walks 35 (70 m/min).
    const Step& start = w.steps[1];
    ASSERT_TRUE(walker(start, 3) && walker(start, 7));
    const float home = walker(start, 3)->cx;
    const RichText school = *start.find("学校");
    for (int k = 1; k <= 18; ++k) {
        const int t = k <= 17 ? k - 1 : 14;
        const Step& s = w.steps[static_cast<size_t>(k)];
        const auto boxes = s.all<lk::FillBox>();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes[0].x1 == 0 && boxes[0].fill == 15) << t;
        EXPECT_GT(boxes[0].y1, w.steps[0].find("教科書P105 例3をやってみよう。")->y) << t;
        for (const auto& b : boxes) EXPECT_GE(b.y1, boxes[0].y1) << t;
        const RichText* again = s.find("学校");
        EXPECT_TRUE(again && again->x == school.x && again->y == school.y) << t;
        EXPECT_NE(s.find("毎分70m"), nullptr) << t;
        const auto younger = walker(s, 3), elder = walker(s, 7);
        ASSERT_TRUE(younger && elder) << t;
        EXPECT_EQ(younger->cx - home, 25 * t) << t;
        EXPECT_EQ(elder->cx - home, t <= 4 ? 0 : 35 * (t - 4)) << t;
        EXPECT_EQ(s.find("4分") != nullptr, t >= 4) << t;
        EXPECT_EQ(dots_at(s, 0, home + 25 * 14, younger->cy, elder->cy) > 10, t >= 14) << t;
        if (t == 14) expect_meeting(s);
        EXPECT_EQ(elder->cx > younger->cx, t > 14) << t;
    }
    // The arcs of the elder's x minutes and the younger's: from where each
    // was when the elder left to the meeting, labelled in their middles.
    const float meeting = home + 25 * 14;
    EXPECT_NEAR(middle_of(*w.steps[19].find("x分")), (home + meeting) / 2, 0.5);
    EXPECT_NEAR(middle_of(*w.steps[20].find("x分")), (home + 25 * 4 + meeting) / 2, 0.5);
}

// The speed table drawn empty at step `first`, an empty step, then one value
// per key: a heading column and the two walkers' columns, four rows.
void expect_table(const Walk& w, size_t first, const std::vector<std::string>& values) {
    const Step& table = w.steps[first];
    const Grid g = grid_of(table);
    ASSERT_EQ(g.xs.size(), 4u);
    ASSERT_EQ(g.ys.size(), 5u);
    EXPECT_EQ(table.all<lk::FillBox>().size(), 12u);
    const char* headings[] = {"", "速さ(m／min)", "時間(分)", "道のり(m)"};
    for (size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(cell(table, g, 0, r, r ? 13 : 11).first, headings[r]) << r;
        for (size_t c = 1; c <= 2; ++c) EXPECT_NE(cell(table, g, c, r, r ? 15 : 11).first, "?");
    }
    EXPECT_EQ(table.texts.size(), 5u);
    EXPECT_TRUE(w.steps[first + 1].ops.empty());
    const float colours[] = {0, 0, 7, 7, 5, 5};
    for (size_t k = 0; k < 6; ++k) {
        const Step& s = w.steps[first + 2 + k];
        ASSERT_EQ(s.all<lk::FillBox>().size(), 1u);
        EXPECT_EQ(cell(s, g, 1 + k % 2, 1 + k / 2, 15), std::make_pair(values[k], colours[k])) << k;
    }
}

TEST(Topic4, SpeedTablesAndSolutions) {
    Walk brothers = walk(4, 1, 35);
    ASSERT_EQ(brothers.waits(), 35);
    expect_table(brothers, 21, {"50", "70", "4+x", "x", "50(4+x)", "70x"});
    const RichText& heading = *brothers.steps[28].find("<解答>");
    EXPECT_TRUE(brothers.steps[29].find("兄が出発してから")->y == heading.y &&
                brothers.steps[29].find("兄が出発してから")->x == end_of(heading));
    expect_lines(brothers, {{28, "<解答>", 3}, {31, "50x-70x=-200", 0}, {33, "x=10", 3},
                            {35, "教科書P106 問4 をやろう。", 3}});
    for (int step : {31, 33, 35}) EXPECT_EQ(brothers.steps[size_t(step)].texts[0].x, heading.x);

    Walk sisters = walk(4, 2, 17);
    ASSERT_EQ(sisters.waits(), 17);
    const Step& d = sisters.steps[0];
    EXPECT_TRUE(d.find("駅") && d.find("9時10分 ")->colour == 7);
    // The younger sister's name stands just above her road, under the other.
    const float meeting = expect_meeting(d);
    EXPECT_TRUE(d.find("妹")->y < walker(d, 7)->cy && d.find("妹")->y > walker(d, 3)->cy);
    EXPECT_TRUE(sisters.steps[1].find("9時x分")->x == meeting);
    EXPECT_GT(sisters.steps[3].find("(x-10)分")->y, walker(d, 7)->cy);
    expect_table(sisters, 4, {"60", "210", "x", "x-10", "60x", "210(x-10)"});
    expect_lines(sisters, {{11, "<解答>", 3}, {14, "60x-210x=-2100", 0}, {17, "答　9時14分", 5}});
}

TEST(Topic4, SecondQuestionDrawsTheArcTwiceWithBothLabelsReadable) {
    Walk w = walk(4, 3, 7);
    ASSERT_EQ(w.waits(), 7);
    const Step& d = w.steps[0];
    EXPECT_EQ(d.find("家"), nullptr);
    EXPECT_NE(d.find("姉"), nullptr);
    EXPECT_EQ(d.find("9時14分")->x, expect_meeting(d));
    auto dots = [](const Step& s) {
        std::vector<std::pair<float, float>> out;
        for (const auto& c : s.all<lk::FillCircle>())
            if (c.colour == 5) out.emplace_back(c.cx, c.cy);
        return out;
    };
    EXPECT_FALSE(dots(w.steps[1]).empty());
    EXPECT_EQ(dots(w.steps[1]), dots(w.steps[3]));
    // "？" is moved left of the arc's middle, so that "840m" can stand there.
    const float arc = dots_middle(w.steps[1], 5);
    EXPECT_LT(end_of(*w.steps[1].find("？")), middle_of(*w.steps[3].find("840m")));
    EXPECT_NEAR(middle_of(*w.steps[3].find("840m")), arc, 0.5);
    EXPECT_EQ(w.steps[2].find("840 (m)")->colour, 5);
    // The road to the station is drawn again with its arc over it, the label
    // between the title and the road.
    const RichText* label = w.steps[4].find("800m");
    ASSERT_NE(label, nullptr);
    EXPECT_GT(label->y, w.steps[0].find("教科書P106 問4(2)")->y);
    for (const auto& l : w.steps[4].all<lk::DrawLine>()) EXPECT_LT(label->y, l.y1);
    EXPECT_EQ(w.steps[6].texts.size(), 7u);
    expect_lines(w, {{5, "<解答>", 3}, {6, "姉が駅に着いてしまうから。", 0},
                     {7, "教科書P106 問5 をやろう。", 3}});
}

TEST(Topic4, CubeChainHasSixSectionsOnTheGridAndAnEllipsis) {
    Walk w = walk(4, 4, 9);
    ASSERT_EQ(w.waits(), 9);
    // Every edge ends on a point of one square lattice; the six fronts stand
    // three lattice units apart, each back one unit right of its front.
    std::vector<lk::DrawLine> edges;
    for (const auto& l : w.steps[0].all<lk::DrawLine>()) {
        EXPECT_NE(l.colour, 14);  // the grid in colour 15 is not drawn
        if (l.pen == 7) edges.push_back(l);
    }
    ASSERT_EQ(edges.size(), 6u * 4 + 5u * 4);
    float left = 1e9f, bottom = -1e9f, top = 1e9f;
    for (const auto& l : edges)
        left = std::min({left, l.x1, l.x2}), bottom = std::max({bottom, l.y1, l.y2}),
        top = std::min({top, l.y1, l.y2});
    const float unit = (bottom - top) / 4;
    std::set<float> fronts, backs;
    for (const auto& l : edges) {
        for (float x : {l.x1, l.x2}) EXPECT_EQ(std::fmod(x - left, unit), 0) << x;
        for (float y : {l.y1, l.y2}) EXPECT_EQ(std::fmod(bottom - y, unit), 0) << y;
        if (l.x1 == l.x2) (std::max(l.y1, l.y2) == bottom ? fronts : backs).insert(l.x1);
    }
    ASSERT_EQ(fronts.size(), 6u);
    ASSERT_EQ(backs.size(), 6u);
    for (auto f = fronts.begin(), b = backs.begin(); f != fronts.end(); ++f, ++b) {
        EXPECT_EQ(*f - left, 3 * unit * static_cast<float>(std::distance(fronts.begin(), f)));
        EXPECT_EQ(*b, *f + unit);
    }
    // The ellipsis: right of and below the last top-back corner, once.
    int ellipses = 0;
    for (const auto& g : w.steps[0].all<lk::DrawText>())
        ellipses += g.text == "…" && g.x > *backs.rbegin() && g.y > top && g.y < bottom &&
                    g.h == 5 && g.v == 5 && g.colour == 0;
    EXPECT_EQ(ellipses, 1);
    EXPECT_EQ(w.steps[0].find("立方体をx個つなげるとき、(4+8x)本必要")->colour, 7);
    // The solution: the equation's lines share one x, the working continues
    // after its line, the reason and the answer stand in the second column.
    const RichText& eq = *w.steps[1].find("4+8x=150");
    EXPECT_EQ(w.steps[2].find("8x=150-4")->x, eq.x);
    EXPECT_EQ(w.steps[3].find("=146")->x, end_of(*w.steps[2].find("8x=150-4")));
    EXPECT_EQ(w.steps[4].find("x=ﾀ146/8ﾀ")->x, eq.x);
    EXPECT_GE(w.steps[6].find("=18ﾀ1/4ﾀ")->x, end_of(*w.steps[5].find("=18ﾀ2/8ﾀ")));
    expect_lines(w, {{1, "4+8x=150", 3}, {7, "(2)", 7}, {8, "なければならないから", 3},
                     {9, "答　18個つなげた本棚を", 5}});
    EXPECT_EQ(w.steps[9].find("答　18個つなげた本棚を")->x, w.steps[7].find("(2)")->x);

    Walk procedure = walk(4, 5, 1);
    ASSERT_EQ(procedure.waits(), 1);
    expect_lines(procedure, {{0, "<方程式を利用した解き方>", 5}, {1, "① 何をxとするか決める。", 3},
                             {1, "② 等しくなる数量をxで表し、方程式をつくる。", 3},
                             {1, "③ 方程式を解く。", 3},
                             {1, "④ 方程式の解が問題に適しているか確かめて、答を書く。", 5}});
    for (const auto& t : procedure.steps[1].texts) EXPECT_EQ(t.x, procedure.steps[0].texts[0].x);
}

}  // namespace
