// Topic 2 (quantities and prices): both purchase items walked step by step.
#include <gtest/gtest.h>

#include "lessons/apply/topics.h"
#include "support/replay.h"

namespace {

using lk::DrawText;
using lk::FillBox;
using lk::testing::Run;

// What one step of an item drew: the rich texts it asked for and the boxes.
struct Drawn {
    std::vector<lk::testing::RichText> texts;
    std::vector<FillBox> boxes;
};

// An item run with `keys` key presses after choosing it, cut into steps at
// the wait banners; `returned` tells whether the item bar came back.
struct Walk {
    std::vector<Drawn> steps;
    bool returned = false;
    int waits() const { return static_cast<int>(steps.size()) - 1; }
};

Walk walk(int topic, int item, int keys) {
    std::string script = std::to_string(topic) + "\r" + std::to_string(item) + "\r";
    script.append(static_cast<size_t>(keys), 'k');
    Run run(script);
    std::vector<std::pair<size_t, lk::testing::RichText>> rich;
    lk::run_program(lk::applylesson_program(), run.presenter, 1, [&](lk::Engine& e) {
        e.on_rich_text = [&](const std::string& t, float x, float y, float c) {
            rich.push_back({run.recorder.records.size(), {t, x, y, c}});
        };
    });
    Walk w;
    int key_events = 0;
    bool in_wait = false, started = false;
    std::vector<int> step_of(run.recorder.records.size() + 1, -1);
    for (size_t i = 0; i < run.recorder.records.size() && !w.returned; ++i) {
        const auto& r = run.recorder.records[i];
        if (const auto* ev = std::get_if<lk::Event>(&r)) {
            if (std::holds_alternative<lk::KeyEvent>(*ev) && ++key_events == 4) {
                started = true;
                w.steps.emplace_back();
            }
            if (std::holds_alternative<lk::KeyEvent>(*ev)) in_wait = false;
            continue;
        }
        if (!started) continue;
        const auto& op = std::get<lk::DrawOp>(r);
        if (const auto* b = std::get_if<FillBox>(&op)) {
            if (b->x1 == 96 && b->y1 == 657 && b->x2 == 400 && b->y2 == 693 && b->fill == 4) {
                in_wait = true;
                w.steps.emplace_back();
                continue;
            }
            if (b->y1 == 657) continue;  // the banner band erased after the key
        }
        if (const auto* t = std::get_if<DrawText>(&op); t && t->y == 666 && t->colour == 0) {
            w.returned = true;  // the item bar prompt
            break;
        }
        if (in_wait) continue;
        step_of[i] = static_cast<int>(w.steps.size()) - 1;
        if (const auto* b = std::get_if<FillBox>(&op)) w.steps.back().boxes.push_back(*b);
    }
    for (const auto& [index, t] : rich)
        if (index < step_of.size() && step_of[index] >= 0)
            w.steps[static_cast<size_t>(step_of[index])].texts.push_back(t);
    return w;
}

// True if the step drew `text` at (x, y) in `colour`.
bool drew(const Drawn& d, const std::string& text, float x, float y, float colour) {
    for (const auto& t : d.texts)
        if (t.text == text && t.x == x && t.y == y && t.colour == colour) return true;
    return false;
}

// The label drawn inside the cell box (x1, y1)-(x2, y2) with the given
// frame and fill, or "?" if the step drew no such box.
std::string cell_label(const Drawn& d, float x1, float y1, float x2, float y2, int fill,
                       float* colour = nullptr) {
    bool boxed = false;
    for (const auto& b : d.boxes)
        boxed |= b.x1 == x1 && b.y1 == y1 && b.x2 == x2 && b.y2 == y2 && b.colour == 3 &&
                 b.fill == fill;
    if (!boxed) return "?";
    for (const auto& t : d.texts)
        if (t.x >= x1 && t.x < x2 && t.y >= y1 && t.y < y2) {
            if (colour) *colour = t.colour;
            return t.text;
        }
    return "";
}

struct Item {
    int number;
    int waits;
    std::string header[3];
    std::string price[2];
    std::string count_total, count_second, cost_total, cost_first, cost_second;
    std::vector<std::tuple<int, std::string, float, float, float>> lines;  // step, text, x, y, colour
};

const Item kItems[] = {
    {1,
     19,
     {"オレンジ", "りんご", "合計"},
     {"90", "140"},
     "15",
     "15-x",
     "1800",
     "90x",
     "140(15-x)",
     {{0, "教科書P103 例１をやってみよう。", 40, 30, 3},
      {0, "オレンジをx個買うとすると", 40, 80, 0},
      {10, "代金の関係から　", 40, 350, 0},
      {10, "<解答>", 40, 400, 3},
      {11, "オレンジをx個買うとすると", 40, 450, 0},
      {11, "90x+140(15-x)=1800", 40, 500, 0},
      {12, "90x+2100-140x=1800", 40, 550, 0},
      {13, "90x-140x=1800-2100", 40, 600, 0},
      {14, "-50x=-300", 640, 400, 0},
      {15, "x=6", 640, 450, 3},
      {16, "りんごの個数は ", 640, 500, 0},
      {18, "答　オレンジ6個,りんご9個", 640, 550, 5},
      {19, "教科書P103 問1 をやろう。", 640, 600, 3}}},
    {2,
     18,
     {"ケーキ", "プリン", "合計"},
     {"350", "250"},
     "10",
     "10-x",
     "3200",
     "350x",
     "250(10-x)",
     {{0, "教科書P103 問1", 40, 30, 3},
      {0, "ケーキをx個買うとすると", 40, 80, 0},
      {10, "代金の関係から　", 40, 350, 0},
      {10, "<解答>", 40, 400, 3},
      {11, "ケーキをx個買うとすると", 40, 450, 0},
      {11, "350x+250(10-x)=3200", 40, 500, 0},
      {12, "350x+2500-250x=3200", 40, 550, 0},
      {13, "350x-250x=3200-2500", 40, 600, 0},
      {14, "100x=700", 640, 450, 0},
      {15, "x=7", 640, 500, 3},
      {16, "プリンの個数は ", 640, 550, 0},
      {18, "答　ケーキ7個,プリン3個", 640, 600, 5}}},
};

class Topic2Item : public ::testing::TestWithParam<Item> {};

TEST_P(Topic2Item, WaitsOnceAfterEveryStepButTheLast) {
    const Item& it = GetParam();
    Walk w = walk(2, it.number, it.waits);
    EXPECT_EQ(w.waits(), it.waits);
    EXPECT_TRUE(w.returned);
    EXPECT_FALSE(walk(2, it.number, it.waits - 1).returned);
}

TEST_P(Topic2Item, TableIsDrawnEmptyThenFilledOneCellPerKey) {
    const Item& it = GetParam();
    Walk w = walk(2, it.number, it.waits);
    ASSERT_EQ(w.steps.size(), static_cast<size_t>(it.waits + 1));
    const Drawn& table = w.steps[0];
    // Header row, fill 11, columns 266, 152, 266, 152 wide.
    EXPECT_EQ(cell_label(table, 40, 140, 306, 190, 11), "");
    EXPECT_EQ(cell_label(table, 306, 140, 458, 190, 11), it.header[0]);
    EXPECT_EQ(cell_label(table, 458, 140, 724, 190, 11), it.header[1]);
    EXPECT_EQ(cell_label(table, 724, 140, 876, 190, 11), it.header[2]);
    EXPECT_EQ(cell_label(table, 40, 190, 306, 240, 13), "1個の値段(円)");
    EXPECT_EQ(cell_label(table, 40, 240, 306, 290, 13), "個数(個)");
    EXPECT_EQ(cell_label(table, 40, 290, 306, 340, 13), "代金(円)");
    // The price total is struck out from the start; the other totals are
    // a single blank until they are filled.
    EXPECT_EQ(cell_label(table, 724, 190, 876, 240, 15), "／");
    EXPECT_EQ(cell_label(table, 724, 240, 876, 290, 15), " ");
    EXPECT_EQ(cell_label(table, 306, 290, 458, 340, 15), "");

    // The step after the table draws nothing at all.
    EXPECT_TRUE(w.steps[1].texts.empty());
    EXPECT_TRUE(w.steps[1].boxes.empty());

    struct Fill {
        float x1, y1, x2;
        std::string value;
        float colour;
    };
    const Fill fills[] = {
        {306, 190, 458, it.price[0], 0},      {458, 190, 724, it.price[1], 0},
        {306, 240, 458, "x", 0},              {724, 240, 876, it.count_total, 0},
        {458, 240, 724, it.count_second, 5},  {724, 290, 876, it.cost_total, 0},
        {306, 290, 458, it.cost_first, 5},    {458, 290, 724, it.cost_second, 5},
    };
    for (size_t k = 0; k < 8; ++k) {
        const Drawn& step = w.steps[2 + k];
        SCOPED_TRACE("step " + std::to_string(3 + k));
        EXPECT_EQ(step.boxes.size(), 1u);
        float colour = -1;
        EXPECT_EQ(cell_label(step, fills[k].x1, fills[k].y1, fills[k].x2, fills[k].y1 + 50, 15,
                             &colour),
                  fills[k].value);
        EXPECT_EQ(colour, fills[k].colour);
    }
}

TEST_P(Topic2Item, SolutionLinesStandWhereTheyBelong) {
    const Item& it = GetParam();
    Walk w = walk(2, it.number, it.waits);
    ASSERT_EQ(w.steps.size(), static_cast<size_t>(it.waits + 1));
    for (const auto& [step, text, x, y, colour] : it.lines)
        EXPECT_TRUE(drew(w.steps[static_cast<size_t>(step)], text, x, y, colour))
            << "step " << step + 1 << ": " << text;
}

INSTANTIATE_TEST_SUITE_P(Items, Topic2Item, ::testing::ValuesIn(kItems),
                         [](const auto& info) { return "Item" + std::to_string(info.param.number); });

TEST(Topic2, EquationContinuesItsLeadAndSecondCountFollowsItsSentence) {
    Walk w = walk(2, 1, 19);
    ASSERT_EQ(w.steps.size(), 20u);
    // The equation starts where "代金の関係から　" ends, on the same line.
    const auto& step11 = w.steps[10].texts;
    ASSERT_GE(step11.size(), 2u);
    EXPECT_EQ(step11[1].text, "90x+140(15-x)=1800");
    EXPECT_GT(step11[1].x, 40);
    EXPECT_EQ(step11[1].y, 350);
    // "15-6=9" continues "りんごの個数は " after a key press.
    const auto& sentence = w.steps[16].texts;
    const auto& sum = w.steps[17].texts;
    ASSERT_EQ(sum.size(), 1u);
    EXPECT_EQ(sum[0].text, "15-6=9");
    EXPECT_EQ(sum[0].colour, 3);
    EXPECT_EQ(sum[0].y, 500);
    EXPECT_GT(sum[0].x, sentence[0].x + 200);
}

TEST(Topic2, OnlyTheExampleEndsWithTheClosingLine) {
    Walk example = walk(2, 1, 19), exercise = walk(2, 2, 18);
    ASSERT_EQ(example.steps.size(), 20u);
    ASSERT_EQ(exercise.steps.size(), 19u);
    EXPECT_EQ(example.steps.back().texts.size(), 1u);
    EXPECT_EQ(exercise.steps.back().texts.back().text, "答　ケーキ7個,プリン3個");
    for (const auto& s : exercise.steps)
        for (const auto& t : s.texts) EXPECT_EQ(t.text.find("をやろう"), std::string::npos);
}

TEST(Topic2, ItemsEraseTheirOwnWidth) {
    Walk example = walk(2, 1, 0), exercise = walk(2, 2, 0);
    ASSERT_FALSE(example.steps.empty());
    ASSERT_FALSE(exercise.steps.empty());
    const FillBox& a = example.steps[0].boxes.at(0);
    const FillBox& b = exercise.steps[0].boxes.at(0);
    EXPECT_EQ(a.x2 - a.x1, 1760);
    EXPECT_EQ(b.x2 - b.x1, 1320);
    EXPECT_EQ(a.y2 - a.y1, 1300);
}

}  // namespace
