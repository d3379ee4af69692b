// applylesson topic 1: the timetable problem and the solving procedure.
#include <gtest/gtest.h>

#include "support/replay.h"

using lk::testing::run_program_with;

namespace {

std::string spaces(int n) { return std::string(static_cast<size_t>(n), ' '); }

const lk::testing::RichText* find(const lk::testing::Run& run, const std::string& text,
                                  size_t nth = 0) {
    for (const auto& t : run.rich_texts)
        if (t.text == text && nth-- == 0) return &t;
    return nullptr;
}

TEST(ApplyTopic1, ItemOneRunsElevenStepsAndEndsAtTheBar) {
    // Ten waits; the eleventh step returns to the bar, which reads "3" and
    // goes back to the menu.
    auto run = run_program_with("applylesson", "1\\r1\\r" + spaces(10) + "3\\r9\\r");
    EXPECT_EQ(run->status, 0);
    ASSERT_NE(find(*run, "答 5分間", 1), nullptr);
    EXPECT_EQ(find(*run, "答 5分間", 0)->x, 40);
    EXPECT_EQ(find(*run, "答 5分間", 0)->y, 530);
    EXPECT_EQ(find(*run, "答 5分間", 1)->x, 720);
    EXPECT_EQ(find(*run, "答 5分間", 1)->colour, 5);
    // One key fewer leaves the last step undrawn.
    auto short_run = run_program_with("applylesson", "1\\r1\\r" + spaces(9));
    EXPECT_EQ(find(*short_run, "答 5分間", 1), nullptr);
    ASSERT_NE(find(*short_run, "交代の時間を求める。"), nullptr);
}

TEST(ApplyTopic1, BlockStripAndRelabelledGaps) {
    auto run = run_program_with("applylesson", "1\\r1\\r" + spaces(10));
    std::vector<lk::FillBox> blocks, gaps;
    for (const auto& b : run->recorder.boxes()) {
        if (b.y1 != 100 || b.y2 != 150 || b.colour != 3) continue;
        if (b.fill == 13) blocks.push_back(b);
        if (b.fill == 15) gaps.push_back(b);
    }
    ASSERT_EQ(blocks.size(), 9u);
    ASSERT_EQ(gaps.size(), 16u);  // eight drawn empty, then eight again with "x"
    for (int k = 0; k < 9; ++k) {
        EXPECT_FLOAT_EQ(blocks[k].x1, 580 + 75 * k);
        EXPECT_FLOAT_EQ(blocks[k].x2 - blocks[k].x1, 45);
    }
    for (int k = 0; k < 8; ++k) {
        EXPECT_FLOAT_EQ(gaps[k].x1, 625 + 75 * k);
        EXPECT_FLOAT_EQ(gaps[k + 8].x1, 625 + 75 * k);
        EXPECT_FLOAT_EQ(gaps[k].x2 - gaps[k].x1, 30);
    }
    EXPECT_FLOAT_EQ(blocks[8].x2, 1225);
    // Exactly eight cell labels "x" in colour 5, all on gaps.
    int xs = 0;
    for (const auto& t : run->rich_texts)
        if (t.text == "x" && t.colour == 5) {
            ++xs;
            bool on_gap = false;
            for (int k = 0; k < 8; ++k) on_gap |= t.x > 625 + 75 * k && t.x < 655 + 75 * k;
            EXPECT_TRUE(on_gap) << t.x;
        }
    EXPECT_EQ(xs, 8);
    // The arc's label spans the whole strip.
    const auto* label = find(*run, "130分間");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->colour, 3);
    float width = 3 * 27 + 2 * 34;  // "130" and "分間"
    EXPECT_NEAR(label->x + width / 2, (580 + 1225) / 2.0, 0.5);
    EXPECT_NEAR(label->y, 0, 0.5);
}

TEST(ApplyTopic1, RemarksStandBesideTheLinesTheyExplain) {
    auto run = run_program_with("applylesson", "1\\r1\\r" + spaces(10));
    // "10*9=90" is 7 glyphs: 1, 0, *, 9 (27 each), = (32), 9, 0.
    const auto* remark = find(*run, "発表の時間の合計を求める。");
    ASSERT_NE(remark, nullptr);
    EXPECT_FLOAT_EQ(remark->x, 40 + 27 * 6 + 32);
    EXPECT_FLOAT_EQ(remark->y, 280);
    EXPECT_EQ(remark->colour, 3);
    const auto* second = find(*run, "x分間として、方程式をつくる。");
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(second->x, 720);
    EXPECT_FLOAT_EQ(second->y, 280);
}

TEST(ApplyTopic1, ProcedureSplitsTheLineWhereTheValuesGo) {
    auto run = run_program_with("applylesson", "1\\r2\\r" + spaces(9));
    const auto* whole = find(*run, "時間の合計)=(全");
    const auto* part = find(*run, "体の時間)");
    const auto* value = find(*run, "130");
    ASSERT_TRUE(whole && part && value);
    EXPECT_FLOAT_EQ(value->x, part->x);  // under "体の時間)", not under "(全"
    EXPECT_FLOAT_EQ(part->x, whole->x + 6 * 34 + 27 + 32 + 27);
    EXPECT_FLOAT_EQ(value->y, 280);
    EXPECT_FLOAT_EQ(find(*run, "8x")->x, find(*run, "時間の合計)=(全")->x);
    EXPECT_FLOAT_EQ(find(*run, "10*9")->x, find(*run, "の時間の合計)+(交代の")->x);
    ASSERT_NE(find(*run, "答 5分間"), nullptr);
    EXPECT_FLOAT_EQ(find(*run, "答 5分間")->x, 564);
    // Nine waits: one key fewer stops before the answer.
    auto short_run = run_program_with("applylesson", "1\\r2\\r" + spaces(8));
    EXPECT_EQ(find(*short_run, "答 5分間"), nullptr);
}

}  // namespace
