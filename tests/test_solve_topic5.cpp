// solvelesson topic 5: the three answer sheets of page 100, each drawn in one
// go under its two heading cells.
#include <gtest/gtest.h>

#include "support/equation_check.h"

namespace {

using namespace lk::testing;

TEST(SolveTopic5Sheets, HeadingCellsAndNoWaits) {
    for (const std::string item : {"1", "2", "3"}) {
        SCOPED_TRACE(item);
        // The topic and the item are the only keys: the sheet needs no other.
        auto run = run_program_with("solvelesson", "5\\r" + item + "\\r", 1);
        EXPECT_EQ(run->recorder.keys(), 4);
        EXPECT_EQ(run->recorder.all_text().find("何かキーを押して下さい。"), std::string::npos);
        // The title in colour 0 in a shaded cell, the item's number in colour
        // 13 in a filled cell right of it on the same top, over a cleared page.
        const RichText *title = nullptr, *number = nullptr;
        for (const auto& t : run->rich_texts) {
            if (t.text == "P100(基本の問題)" && t.colour == 0) title = &t;
            if (t.text == item && t.colour == 13) number = &t;
        }
        ASSERT_TRUE(title && number);
        const auto boxes = run->recorder.boxes();
        auto cell_of = [&](const RichText& t, int frame, int fill) -> const lk::FillBox* {
            for (const auto& b : boxes)
                if (b.colour == frame && b.fill == fill && covers(b, t.x, t.y))
                    return &b;
            return nullptr;
        };
        const lk::FillBox *title_cell = cell_of(*title, 3, 13), *number_cell = cell_of(*number, 4, 3);
        ASSERT_TRUE(title_cell && number_cell);
        EXPECT_TRUE(number_cell->y1 == title_cell->y1 && number_cell->x1 > title_cell->x2);
        EXPECT_NE(cell_of(*title, 15, 15), nullptr);
    }
}

TEST(SolveTopic5Sheets, Problem1SubstitutesSix) {
    auto run = run_program_with("solvelesson", "5\\r1\\r", 1);
    // Each "左辺=..." and "右辺=..." chain holds with x = 6 and gives the
    // value the verdict compares.
    std::vector<Rational> values;
    for (const auto& t : run->rich_texts) {
        for (const char* side : {"左辺=", "右辺="}) {
            if (!t.text.starts_with(side) || t.text.find("だから") != std::string::npos) continue;
            auto parts = Parser(t.text.substr(std::string(side).size())).equation();
            for (const auto& p : parts) EXPECT_EQ(p.k, parts.back().k) << t.text;
            values.push_back(parts.back().k);
        }
    }
    ASSERT_EQ(values.size(), 6u);
    EXPECT_FALSE(values[0] == values[1]);  // ア
    EXPECT_EQ(values[2], values[3]);       // イ
    EXPECT_FALSE(values[4] == values[5]);  // ウ
}

TEST(SolveTopic5Sheets, Problems2And3LinesAreEquivalentAndAnswered) {
    const std::map<std::string, std::map<std::string, Rational>> answers = {
        {"2", {{"(1)", -4}, {"(2)", 5}, {"(3)", 6}, {"(4)", -6}}},
        {"3", {{"(1)", 5}, {"(2)", -7}, {"(3)", 3}, {"(4)", -1}, {"(5)", 4}, {"(6)", Rational(-1, 2)}}},
    };
    for (const auto& [item, expected] : answers) {
        SCOPED_TRACE(item);
        auto run = run_program_with("solvelesson", "5\\r" + item + "\\r", 1);
        auto sheet_problems = sheet(run->rich_texts);
        ASSERT_EQ(sheet_problems.size(), expected.size());
        for (const auto& [label, lines] : sheet_problems) {
            SCOPED_TRACE(label);
            ASSERT_GE(lines.size(), 3u);
            for (const auto& l : lines) EXPECT_EQ(solution_of(l), expected.at(label)) << l;
            EXPECT_TRUE(lines.back().starts_with("x=")) << lines.back();
        }
    }
}

}  // namespace
