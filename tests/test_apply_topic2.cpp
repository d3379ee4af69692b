// Topic 2 (quantities and prices): both purchase items walked step by step.
#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/steps.h"

using namespace lk::testing;

namespace {

struct Item {
    int number, waits;
    const char* header[3];
    const char* fills[8];  // the data cells in the order they are filled
    std::vector<Line> lines;  // in reading order
};

const Item kItems[] = {
    {1, 19, {"オレンジ", "りんご", "合計"},
     {"90", "140", "x", "15", "15-x", "1800", "90x", "140(15-x)"},
     {{0, "教科書P103 例１をやってみよう。", 3}, {0, "オレンジをx個買うとすると", 0},
      {10, "代金の関係から　", 0}, {10, "<解答>", 3},
      {11, "オレンジをx個買うとすると", 0}, {11, "90x+140(15-x)=1800", 0},
      {12, "90x+2100-140x=1800", 0}, {13, "90x-140x=1800-2100", 0},
      {14, "-50x=-300", 0}, {15, "x=6", 3},
      {16, "りんごの個数は ", 0}, {18, "答　オレンジ6個,りんご9個", 5},
      {19, "教科書P103 問1 をやろう。", 3}}},
    {2, 18, {"ケーキ", "プリン", "合計"},
     {"350", "250", "x", "10", "10-x", "3200", "350x", "250(10-x)"},
     {{0, "教科書P103 問1", 3}, {0, "ケーキをx個買うとすると", 0},
      {11, "350x+250(10-x)=3200", 0}, {12, "350x+2500-250x=3200", 0},
      {13, "350x-250x=3200-2500", 0}, {14, "100x=700", 0},
      {15, "x=7", 3}, {16, "プリンの個数は ", 0},
      {18, "答　ケーキ7個,プリン3個", 5}}},
};

void PrintTo(const Item& it, std::ostream* os) { *os << "item " << it.number; }

class Topic2Item : public ::testing::TestWithParam<Item> {};

TEST_P(Topic2Item, TableIsFilledOneCellPerKeyAfterAnEmptyStep) {
    const Item& it = GetParam();
    expect_waits(2, it.number, it.waits);
    Walk w = walk(2, it.number, it.waits);
    ASSERT_EQ(w.waits(), it.waits);
    const Step& table = w.steps[0];
    // Four columns by four rows, edge to edge; the heading column is as wide
    // as the widest data column.
    const Grid g = grid_of(table);
    ASSERT_EQ(g.xs.size(), 5u);
    ASSERT_EQ(g.ys.size(), 5u);
    EXPECT_EQ(table.all<lk::FillBox>().size(), 1u + 16u);  // the item's erase and the cells
    for (size_t c = 2; c <= 4; ++c)
        EXPECT_GE(g.xs[1] - g.xs[0], g.xs[c] - g.xs[c - 1]) << c;
    EXPECT_GT(g.ys[0], table.find(it.lines[1].text)->y);  // under the choice of x
    for (size_t c = 1; c <= 3; ++c) EXPECT_EQ(cell(table, g, c, 0, 11).first, it.header[c - 1]);
    EXPECT_EQ(cell(table, g, 0, 0, 11).first, "");
    EXPECT_EQ(cell(table, g, 0, 1, 13).first, "1個の値段(円)");
    EXPECT_EQ(cell(table, g, 0, 2, 13).first, "個数(個)");
    EXPECT_EQ(cell(table, g, 0, 3, 13).first, "代金(円)");
    // The price total is struck out from the start and never filled.
    EXPECT_EQ(cell(table, g, 3, 1, 15).first, "／");
    EXPECT_EQ(cell(table, g, 3, 3, 15).first, " ");
    EXPECT_EQ(cell(table, g, 2, 3, 15).first, "");
    // Two keys pass between the empty table and the first price.
    EXPECT_TRUE(w.steps[1].ops.empty());
    EXPECT_TRUE(w.steps[1].texts.empty());

    const std::tuple<size_t, size_t, float> at[] = {{1, 1, 0}, {2, 1, 0}, {1, 2, 0}, {3, 2, 0},
                                                    {2, 2, 5}, {3, 3, 0}, {1, 3, 5}, {2, 3, 5}};
    for (size_t k = 0; k < 8; ++k) {
        const auto [c, r, colour] = at[k];
        const Step& s = w.steps[2 + k];
        EXPECT_EQ(s.all<lk::FillBox>().size(), 1u);
        EXPECT_EQ(cell(s, g, c, r, 15), std::make_pair(std::string(it.fills[k]), colour)) << k;
    }
    // The worked lines come at their steps in reading order, under the table.
    expect_lines(w, it.lines);
    for (const auto& line : it.lines)
        if (line.step >= 10) {
            EXPECT_GT(w.steps[size_t(line.step)].find(line.text)->y, g.ys.back());
        }
    // The equation continues its lead-in; the second count its sentence.
    ASSERT_GE(w.steps[10].texts.size(), 2u);
    const RichText &lead = w.steps[10].texts[0], &count = w.steps[16].texts.at(0);
    EXPECT_EQ(w.steps[10].texts[1].y, lead.y);
    EXPECT_GE(w.steps[10].texts[1].x, end_of(lead));
    ASSERT_EQ(w.steps[17].texts.size(), 1u);
    const RichText& sum = w.steps[17].texts[0];
    EXPECT_EQ(sum.text, it.number == 1 ? "15-6=9" : "10-7=3");
    EXPECT_EQ(sum.y, count.y);
    EXPECT_GE(sum.x, end_of(count));
}

INSTANTIATE_TEST_SUITE_P(Items, Topic2Item, ::testing::ValuesIn(kItems),
                         [](const auto& info) { return "Item" + std::to_string(info.param.number); });

TEST(Topic2, GoalAndOnlyTheExampleHasAClosingLine) {
    expect_goal(2, "方程式を利用して、個数と代金に関する問題を解こう。");
    Walk exercise = walk(2, 2, 18);
    for (const auto& s : exercise.steps)
        for (const auto& t : s.texts) EXPECT_EQ(t.text.find("をやろう"), std::string::npos);
}

}  // namespace
