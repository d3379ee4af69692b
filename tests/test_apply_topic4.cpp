// Topic 4 (speed, time and distance): the catch-up animation, the path
// diagrams, the speed tables, the cube chain and the procedure.
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/replay.h"
#include "support/steps.h"

using namespace lk::testing;

namespace {

// The x of the walker's disc of `colour` on the road at y, or -1.
float walker(const Step& s, int colour, float y) {
    for (const auto& c : s.all<lk::FillCircle>())
        if (c.r == 8 && c.colour == colour && c.cy == y) return c.cx;
    return -1;
}

// The number of dots of `colour` on the vertical at x between y0 and y1.
int dots_at(const Step& s, int colour, float x, float y0, float y1) {
    int n = 0;
    for (const auto& c : s.all<lk::FillCircle>())
        n += c.r == 0.5f && c.colour == colour && std::fabs(c.cx - x) < 0.5f && c.cy >= y0 &&
             c.cy <= y1;
    return n;
}

// Where a label's middle stands.
float middle(const lk::testing::RichText* t) {
    lk::testing::Bench bench;
    bench.engine.run_text = t->text;
    bench.engine.measure_rich_text();
    return t->x + bench.engine.measured_width / 2;
}

TEST(Topic4, GoalAndWaits) {
    expect_goal(4, "方程式を利用して、速さ・時間・道のりに関する問題を解こう。");
    const int waits[] = {35, 17, 7, 9, 1};
    for (int item = 1; item <= 5; ++item) expect_waits(4, item, waits[item - 1]);
}

TEST(Topic4, CatchUpIsAnimatedOneMinutePerKeyThenShownAtTheMeeting) {
    Walk w = walk(4, 1, 35);
    ASSERT_EQ(w.waits(), 35);
    // Steps 2 to 18 are the minutes 0 to 16, step 19 the meeting again.
    for (int k = 1; k <= 18; ++k) {
        const int t = k <= 17 ? k - 1 : 14;
        const Step& s = w.steps[static_cast<size_t>(k)];
        const auto boxes = s.all<lk::FillBox>();
        ASSERT_FALSE(boxes.empty());
        EXPECT_TRUE(boxes[0].x1 == 0 && boxes[0].y1 == 90 && boxes[0].fill == 15) << t;
        for (const auto& b : boxes) EXPECT_GE(b.y1, 90) << t;  // the title stays
        EXPECT_TRUE(s.drew("学校", 469, 90, 0) && s.drew("毎分70m", 83, 270, 0)) << t;
        EXPECT_EQ(walker(s, 3, 200), 83 + 25 * t);
        EXPECT_EQ(walker(s, 7, 330), t <= 4 ? 83 : 83 + 35 * (t - 4));
        EXPECT_EQ(s.find("4分") != nullptr, t >= 4) << t;
        EXPECT_EQ(dots_at(s, 0, 433, 200, 330) > 10, t >= 14) << t;
    }
    EXPECT_GT(walker(w.steps[16], 7, 330), walker(w.steps[16], 3, 200));
    EXPECT_NEAR(middle(w.steps[19].find("x分")), 258, 0.5);
    EXPECT_NEAR(middle(w.steps[20].find("x分")), 308, 0.5);
}

// The speed table drawn empty at step `first`, an empty step, then one value
// per key: the two walkers' columns start at x2, x3 and are w2, w3 wide.
void expect_table(const Walk& w, size_t first, float x2, float w2, float x3, float w3,
                  const std::vector<std::string>& values) {
    const Step& table = w.steps[first];
    std::set<std::tuple<float, float, float, int>> cells;  // x, y, width, fill
    for (const auto& b : table.all<lk::FillBox>())
        if (b.colour == 3 && b.y2 - b.y1 == 50) cells.insert({b.x1, b.y1, b.x2 - b.x1, b.fill});
    for (float y : {450, 500, 550, 600}) {
        const int fill = y == 450 ? 11 : 15;
        EXPECT_TRUE(cells.count({40, y, 266, y == 450 ? 11 : 13})) << y;
        EXPECT_TRUE(cells.count({x2, y, w2, fill}) && cells.count({x3, y, w3, fill})) << y;
    }
    EXPECT_EQ(table.find("速さ(m／min)")->y, 503);
    EXPECT_EQ(table.find("道のり(m)")->y, 603);
    EXPECT_EQ(table.texts.size(), 5u);
    EXPECT_TRUE(w.steps[first + 1].ops.empty());
    const float colours[] = {0, 0, 7, 7, 5, 5};
    for (size_t k = 0; k < 6; ++k) {
        const Step& s = w.steps[first + 2 + k];
        ASSERT_EQ(s.all<lk::FillBox>().size(), 1u);
        const lk::FillBox b = s.all<lk::FillBox>()[0];
        EXPECT_EQ(b.x1, k % 2 ? x3 : x2);
        EXPECT_EQ(b.y1, 500 + 50 * static_cast<float>(k / 2));
        ASSERT_EQ(s.texts.size(), 1u + (k == 5));
        EXPECT_EQ(s.texts[0].text, values[k]);
        EXPECT_EQ(s.texts[0].colour, colours[k]);
    }
}

TEST(Topic4, SpeedTablesAndSolutions) {
    Walk brothers = walk(4, 1, 35);
    ASSERT_EQ(brothers.waits(), 35);
    expect_table(brothers, 21, 306, 190, 496, 114, {"50", "70", "4+x", "x", "50(4+x)", "70x"});
    EXPECT_TRUE(brothers.steps[28].drew("<解答>", 680, 30, 3));
    EXPECT_EQ(brothers.steps[29].find("兄が出発してから")->y, 30);
    EXPECT_GT(brothers.steps[29].find("兄が出発してから")->x, 750);
    EXPECT_TRUE(brothers.steps[31].drew("50x-70x=-200", 680, 230, 0));
    EXPECT_TRUE(brothers.steps[33].drew("x=10", 680, 330, 3));
    EXPECT_TRUE(brothers.steps[35].drew("教科書P106 問4 をやろう。", 680, 430, 3));

    Walk sisters = walk(4, 2, 17);
    ASSERT_EQ(sisters.waits(), 17);
    const Step& d = sisters.steps[0];
    EXPECT_TRUE(d.drew("駅", 529, 90, 0) && d.drew("妹", 40, 316, 0));
    EXPECT_TRUE(d.drew("9時10分 ", 40, 270, 7));
    EXPECT_TRUE(walker(d, 3, 200) == 483 && walker(d, 7, 330) == 483);
    EXPECT_GT(dots_at(d, 0, 483, 200, 330), 10);
    EXPECT_TRUE(sisters.steps[1].drew("9時x分", 483, 270, 7));
    EXPECT_NEAR(sisters.steps[3].find("(x-10)分")->y, 350, 0.5);
    expect_table(sisters, 4, 306, 114, 420, 266, {"60", "210", "x", "x-10", "60x", "210(x-10)"});
    EXPECT_TRUE(sisters.steps[11].drew("<解答>", 720, 30, 3));
    EXPECT_TRUE(sisters.steps[14].drew("60x-210x=-2100", 720, 230, 0));
    EXPECT_TRUE(sisters.steps[17].drew("答　9時14分", 720, 380, 5));
}

TEST(Topic4, SecondQuestionDrawsTheArcTwiceWithBothLabelsReadable) {
    Walk w = walk(4, 3, 7);
    ASSERT_EQ(w.waits(), 7);
    const Step& d = w.steps[0];
    EXPECT_EQ(d.find("家"), nullptr);
    EXPECT_TRUE(d.drew("姉", 40, 236, 0) && d.drew("9時14分", 483, 320, 7));
    EXPECT_TRUE(walker(d, 3, 250) == 483 && walker(d, 7, 380) == 483);
    auto dots = [](const Step& s) {
        std::vector<std::pair<float, float>> out;
        for (const auto& c : s.all<lk::FillCircle>())
            if (c.colour == 5) out.emplace_back(c.cx, c.cy);
        return out;
    };
    EXPECT_FALSE(dots(w.steps[1]).empty());
    EXPECT_EQ(dots(w.steps[1]), dots(w.steps[3]));
    EXPECT_NEAR(middle(w.steps[1].find("？")), 283 - 81, 0.5);
    EXPECT_NEAR(middle(w.steps[3].find("840m")), 283, 0.5);
    EXPECT_EQ(w.steps[2].find("840 (m)")->colour, 5);
    EXPECT_NEAR(w.steps[4].find("800m")->y, 160 - 20 - 80 + 14, 0.5);  // above its line
    EXPECT_EQ(w.steps[6].texts.size(), 7u);
    EXPECT_TRUE(w.steps[6].drew("姉が駅に着いてしまうから。", 680, 380, 0));
    EXPECT_TRUE(w.steps[7].drew("教科書P106 問5 をやろう。", 680, 470, 3));
}

TEST(Topic4, CubeChainHasSixSectionsOnTheGridAndAnEllipsis) {
    Walk w = walk(4, 4, 9);
    ASSERT_EQ(w.waits(), 9);
    std::set<float> fronts, backs;
    int edges = 0;
    for (const auto& l : w.steps[0].all<lk::DrawLine>()) {
        EXPECT_NE(l.colour, 14);  // the grid in colour 15 is not drawn
        if (l.pen != 7) continue;
        ++edges;
        for (float x : {l.x1, l.x2}) EXPECT_EQ(std::fmod(x - 40, 35.0f), 0) << x;
        for (float y : {l.y1, l.y2}) EXPECT_EQ(std::fmod(280 - y, 35.0f), 0) << y;
        if (l.x1 == l.x2) (std::max(l.y1, l.y2) == 280 ? fronts : backs).insert(l.x1);
    }
    EXPECT_EQ(edges, 6 * 4 + 5 * 4);
    EXPECT_EQ(fronts, (std::set<float>{40, 145, 250, 355, 460, 565}));
    EXPECT_EQ(backs, (std::set<float>{75, 180, 285, 390, 495, 600}));
    int ellipses = 0;
    for (const auto& g : w.steps[0].all<lk::DrawText>())
        ellipses += g.text == "…" && g.x == 620 && g.y == 160 && g.h == 5 && g.v == 5 &&
                    g.colour == 0;
    EXPECT_EQ(ellipses, 1);
    EXPECT_TRUE(w.steps[0].drew("立方体をx個つなげるとき、(4+8x)本必要", 40, 80, 7));
    EXPECT_TRUE(w.steps[1].drew("4+8x=150", 121, 350, 3));
    EXPECT_EQ(w.steps[3].find("=146")->y, 400);
    EXPECT_TRUE(w.steps[4].drew("x=ﾀ146/8ﾀ", 121, 490, 0));
    EXPECT_GT(w.steps[6].find("=18ﾀ1/4ﾀ")->x, w.steps[5].find("=18ﾀ2/8ﾀ")->x + 50);
    EXPECT_TRUE(w.steps[8].drew("なければならないから", 681, 400, 3));
    EXPECT_TRUE(w.steps[9].drew("答　18個つなげた本棚を", 600, 450, 5));

    Walk procedure = walk(4, 5, 1);
    ASSERT_EQ(procedure.waits(), 1);
    EXPECT_TRUE(procedure.steps[0].drew("<方程式を利用した解き方>", 44, 30, 5));
    EXPECT_TRUE(procedure.steps[1].drew("② 等しくなる数量をxで表し、方程式をつくる。", 44, 150, 3));
    EXPECT_TRUE(procedure.steps[1].drew("④ 方程式の解が問題に適しているか確かめて、答を書く。", 44, 290, 5));
}

}  // namespace
