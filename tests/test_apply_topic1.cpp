// applylesson topic 1: the timetable problem and the solving procedure.
#include <gtest/gtest.h>

#include "support/steps.h"

using namespace lk::testing;

namespace {

TEST(ApplyTopic1, ItemOneAnswersBothWaysInTheirOwnColumns) {
    expect_waits(1, 1, 10);
    Walk w = walk(1, 1, 10);
    ASSERT_EQ(w.waits(), 10);
    // Arithmetic on the left, the equation on the right; each answer comes
    // in a step of its own, under its column's last line, on one row.
    const RichText *left = w.steps[2].find("40/8=5"), *right = w.steps[3].find("x=5");
    const RichText *first = w.steps[7].find("答 5分間"), *second = w.steps[10].find("答 5分間");
    ASSERT_TRUE(left && right && first && second);
    EXPECT_EQ(first->x, w.steps[2].find("10*9=90")->x);
    EXPECT_EQ(second->x, w.steps[3].find("10*9+8x=130")->x);
    EXPECT_GT(second->x, end_of(*first));
    EXPECT_EQ(first->y, second->y);
    EXPECT_GT(first->y, left->y);
    EXPECT_GT(first->y, right->y);
    EXPECT_TRUE(first->colour == 5 && second->colour == 5);
    EXPECT_EQ(w.steps[7].texts.size(), 1u);
    EXPECT_EQ(step_of(w, "交代の時間を求める。"), 9);
}

TEST(ApplyTopic1, BlockStripAndRelabelledGaps) {
    Walk w = walk(1, 1, 10);
    ASSERT_EQ(w.waits(), 10);
    // Nine presentations alternate with eight change-overs, edge to edge, on
    // one row; the change-overs are drawn again with "x" at step 9.
    std::vector<lk::FillBox> strip;
    for (const auto& b : w.steps[1].all<lk::FillBox>())
        if (b.colour == 3 && (b.fill == 13 || b.fill == 15)) strip.push_back(b);
    ASSERT_EQ(strip.size(), 17u);
    for (size_t k = 0; k < strip.size(); ++k) {
        const lk::FillBox &b = strip[k], &like = strip[k % 2];
        EXPECT_EQ(b.fill, k % 2 ? 15 : 13) << k;
        EXPECT_TRUE(b.y1 == strip[0].y1 && b.y2 == strip[0].y2) << k;
        EXPECT_EQ(b.x2 - b.x1, like.x2 - like.x1) << k;  // equal blocks, equal gaps
        if (k) {
            EXPECT_EQ(b.x1, strip[k - 1].x2) << k;
        }
    }
    EXPECT_LT(strip[1].x2 - strip[1].x1, strip[0].x2 - strip[0].x1);
    const auto again = w.steps[8].all<lk::FillBox>();
    ASSERT_EQ(again.size(), 8u);
    int xs = 0;
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_TRUE(again[k].x1 == strip[2 * k + 1].x1 && again[k].y1 == strip[0].y1) << k;
        for (const auto& t : w.steps[8].texts)
            xs += t.text == "x" && t.colour == 5 && t.x > again[k].x1 && t.x < again[k].x2;
    }
    EXPECT_EQ(xs, 8);
    // The arc's label is centred over the whole strip, above it.
    const RichText* label = w.steps[1].find("130分間");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->colour, 3);
    EXPECT_NEAR(middle_of(*label), (strip.front().x1 + strip.back().x2) / 2, 0.5);
    EXPECT_LT(label->y, strip[0].y1);
}

TEST(ApplyTopic1, RemarksStandBesideTheLinesTheyExplain) {
    Walk w = walk(1, 1, 10);
    ASSERT_EQ(w.waits(), 10);
    // The first remark goes on the line it explains, right after it.
    const RichText *line = w.steps[2].find("10*9=90"), *remark = w.steps[4].find("発表の時間の合計を求める。");
    ASSERT_TRUE(line && remark);
    EXPECT_TRUE(remark->y == line->y && remark->colour == 3);
    EXPECT_FLOAT_EQ(remark->x, end_of(*line));
    // The equation's remark is continued on the empty row under the equation.
    const RichText *equation = w.steps[3].find("10*9+8x=130"), *next = w.steps[3].find("8x=130-90");
    const RichText* second = w.steps[8].find("x分間として、方程式をつくる。");
    ASSERT_TRUE(equation && next && second);
    EXPECT_EQ(second->x, equation->x);
    EXPECT_TRUE(second->y > equation->y && second->y < next->y);
}

TEST(ApplyTopic1, ProcedureSplitsTheLineWhereTheValuesGo) {
    expect_waits(1, 2, 9);
    Walk w = walk(1, 2, 9);
    ASSERT_EQ(w.waits(), 9);
    // Each value stands on the row under the sentence, where its words begin.
    const Step& sentence = w.steps[2];
    const std::pair<const char*, const char*> under[] = {
        {"10*9", "の時間の合計)+(交代の"}, {"8x", "時間の合計)=(全"}, {"130", "体の時間)"}};
    for (size_t k = 0; k < 3; ++k) {
        const auto& [value, words] = under[k];
        const RichText *v = w.steps[3 + k].find(value), *t = sentence.find(words);
        ASSERT_TRUE(v && t) << value;
        EXPECT_EQ(v->x, t->x) << value;
        EXPECT_GT(v->y, t->y) << value;
        EXPECT_EQ(v->colour, 3) << value;
    }
    // The pieces of the sentence join on one line.
    const RichText *whole = sentence.find("時間の合計)=(全"), *part = sentence.find("体の時間)");
    EXPECT_TRUE(part->y == whole->y && part->x == end_of(*whole));
    // The answer closes the item under its heading.
    const RichText *heading = w.steps[9].find("<④ 答を書く>"), *answer = w.steps[9].find("答 5分間");
    ASSERT_TRUE(heading && answer);
    EXPECT_TRUE(answer->x > heading->x && answer->y > heading->y && answer->colour == 3);
}

}  // namespace
