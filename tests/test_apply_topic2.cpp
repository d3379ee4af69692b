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
    std::vector<std::tuple<int, const char*, float, float, float>> lines;  // step, text, x, y, colour
};

const Item kItems[] = {
    {1, 19, {"オレンジ", "りんご", "合計"},
     {"90", "140", "x", "15", "15-x", "1800", "90x", "140(15-x)"},
     {{0, "教科書P103 例１をやってみよう。", 40, 30, 3}, {0, "オレンジをx個買うとすると", 40, 80, 0},
      {10, "代金の関係から　", 40, 350, 0}, {10, "<解答>", 40, 400, 3},
      {11, "オレンジをx個買うとすると", 40, 450, 0}, {11, "90x+140(15-x)=1800", 40, 500, 0},
      {12, "90x+2100-140x=1800", 40, 550, 0}, {13, "90x-140x=1800-2100", 40, 600, 0},
      {14, "-50x=-300", 640, 400, 0}, {15, "x=6", 640, 450, 3},
      {16, "りんごの個数は ", 640, 500, 0}, {18, "答　オレンジ6個,りんご9個", 640, 550, 5},
      {19, "教科書P103 問1 をやろう。", 640, 600, 3}}},
    {2, 18, {"ケーキ", "プリン", "合計"},
     {"350", "250", "x", "10", "10-x", "3200", "350x", "250(10-x)"},
     {{0, "教科書P103 問1", 40, 30, 3}, {0, "ケーキをx個買うとすると", 40, 80, 0},
      {11, "350x+250(10-x)=3200", 40, 500, 0}, {12, "350x+2500-250x=3200", 40, 550, 0},
      {13, "350x-250x=3200-2500", 40, 600, 0}, {14, "100x=700", 640, 450, 0},
      {15, "x=7", 640, 500, 3}, {16, "プリンの個数は ", 640, 550, 0},
      {18, "答　ケーキ7個,プリン3個", 640, 599, 5}}},
};

// Columns 2, 3, 4 start at 306, 458, 724 and are 152, 266, 152 wide.
const float kX[] = {40, 306, 458, 724, 876};

// The label of the step's cell at column c (1 to 4) and row top y, with its
// colour, or "?" when the step drew no such cell.
std::pair<std::string, float> cell(const Step& s, int c, float y, int fill) {
    bool boxed = false;
    for (const auto& b : s.all<lk::FillBox>())
        boxed |= b.x1 == kX[c - 1] && b.x2 == kX[c] && b.y1 == y && b.y2 == y + 50 &&
                 b.colour == 3 && b.fill == fill;
    if (!boxed) return {"?", -1};
    for (const auto& t : s.texts)
        if (t.x >= kX[c - 1] && t.x < kX[c] && t.y == y + 3) return {t.text, t.colour};
    return {"", -1};
}

void PrintTo(const Item& it, std::ostream* os) { *os << "item " << it.number; }

class Topic2Item : public ::testing::TestWithParam<Item> {};

TEST_P(Topic2Item, TableIsFilledOneCellPerKeyAfterAnEmptyStep) {
    const Item& it = GetParam();
    expect_waits(2, it.number, it.waits);
    Walk w = walk(2, it.number, it.waits);
    ASSERT_EQ(w.waits(), it.waits);
    const Step& table = w.steps[0];
    for (int c = 2; c <= 4; ++c) EXPECT_EQ(cell(table, c, 140, 11).first, it.header[c - 2]);
    EXPECT_EQ(cell(table, 1, 140, 11).first, "");
    EXPECT_EQ(cell(table, 1, 190, 13).first, "1個の値段(円)");
    EXPECT_EQ(cell(table, 1, 240, 13).first, "個数(個)");
    EXPECT_EQ(cell(table, 1, 290, 13).first, "代金(円)");
    // The price total is struck out from the start and never filled.
    EXPECT_EQ(cell(table, 4, 190, 15).first, "／");
    EXPECT_EQ(cell(table, 4, 290, 15).first, " ");
    EXPECT_EQ(cell(table, 3, 290, 15).first, "");
    // Two keys pass between the empty table and the first price.
    EXPECT_TRUE(w.steps[1].ops.empty());
    EXPECT_TRUE(w.steps[1].texts.empty());

    const std::tuple<int, float, float> at[] = {{2, 190, 0}, {3, 190, 0}, {2, 240, 0}, {4, 240, 0},
                                                {3, 240, 5}, {4, 290, 0}, {2, 290, 5}, {3, 290, 5}};
    for (size_t k = 0; k < 8; ++k) {
        const auto [c, y, colour] = at[k];
        const Step& s = w.steps[2 + k];
        EXPECT_EQ(s.all<lk::FillBox>().size(), 1u);
        EXPECT_EQ(cell(s, c, y, 15), std::make_pair(std::string(it.fills[k]), colour)) << k;
    }
    for (const auto& [step, text, x, y, colour] : it.lines)
        EXPECT_TRUE(w.steps[static_cast<size_t>(step)].drew(text, x, y, colour)) << text;
    // The equation continues its lead-in; the second count its sentence.
    EXPECT_EQ(w.steps[10].texts.at(1).y, 350);
    EXPECT_GT(w.steps[10].texts.at(1).x, 300);
    EXPECT_EQ(w.steps[17].texts.at(0).y, w.steps[16].texts.at(0).y);
    EXPECT_GT(w.steps[17].texts.at(0).x, 840);
    EXPECT_EQ(w.steps[17].texts.at(0).text, it.number == 1 ? "15-6=9" : "10-7=3");
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
