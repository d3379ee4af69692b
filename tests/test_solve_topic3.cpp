// solvelesson topic 3: the moving-term animation, the three transposition
// drills (checked line by line with exact arithmetic) and the answer sheets.
#include <gtest/gtest.h>

#include <set>

#include "support/equation_check.h"
#include "support/steps.h"

namespace {

using namespace lk::testing;

// Keys up to the start of item 1's drills: the item, 5 steps, 9 moves and
// the closing remark of the animation.
const std::string kToDrills = "3\\r1\\r" + repeat("x", 15);

// ---- The moving term ------------------------------------------------------

TEST(SolveTopic3MovingTerm, EveryMoveNeedsOneKey) {
    // With 5 + m keys the animation has drawn exactly m + 1 moves (the last
    // one waiting for its key): count the erasing texts in colour 15.
    for (int m = 0; m <= 8; ++m) {
        auto run = run_program_with("solvelesson", "3\\r1\\r" + repeat("x", 5 + m), 1);
        int erases = 0;
        for (const auto& t : run->rich_texts)
            erases += t.colour == 15 && (t.text == "+4x" || t.text == "-4x");
        EXPECT_EQ(erases, m + 1) << "keys " << 5 + m;
    }
}

TEST(SolveTopic3MovingTerm, PathSignAndFinalPlaces) {
    auto run = run_program_with("solvelesson", "3\\r1\\r" + repeat("x", 15), 1);
    const auto& rt = run->rich_texts;
    // The term's start M follows "6" in the upper equation; T is where "-4x=6"
    // starts in the lower one, after its "5x". The term moves 25 down or 27
    // left a key.
    auto find = [&](const std::string& text, float y = -1) {  // on row y, or anywhere
        for (const auto& t : rt)
            if (t.text == text && (y < 0 || t.y == y)) return t;
        ADD_FAILURE() << "no " << text;
        return RichText{};
    };
    const RichText m = find("+4x"), lower = find("-4x=6"), lower_x = find("5x", lower.y);
    EXPECT_GT(m.x, find("6", m.y).x);
    EXPECT_EQ(lower.x, end_of(lower_x));

    // The drawn (not erasing) texts after the repeated "+4x" at M.
    std::vector<RichText> moves;
    bool started = false;
    int seen_m = 0;
    for (const auto& t : rt) {
        if (t.text == "+4x" && t.x == m.x && t.y == m.y && t.colour == 0 && ++seen_m == 2) {
            started = true;
            continue;
        }
        if (started && t.colour != 15) moves.push_back(t);
    }
    const float mx = m.x, my = m.y;
    const std::vector<std::tuple<std::string, float, float, float>> want = {
        {"+4x", mx, my + 25, 0},       {"+4x", mx, my + 50, 0},       {"+4x", mx - 27, my + 50, 0},
        {"+4x", mx - 54, my + 50, 0},  {"-", mx - 81, my + 50, 3},    {"4x", -1, my + 50, 0},
        {"-4", mx - 108, my + 50, 3},  {"x", -1, my + 50, 0},         {"-4x", mx - 135, my + 50, 3},
        {"-4x", mx - 135, my + 75, 3}, {"-4x", lower.x, lower.y, 3},  {"+4x", mx, my, 3},
        {"符号を変えて、項を他の辺に移すこと", -1, -1, 5},
    };
    ASSERT_GE(moves.size(), want.size());
    for (size_t k = 0; k < want.size(); ++k) {
        auto [text, x, y, colour] = want[k];
        EXPECT_EQ(moves[k].text, text) << k;
        if (x >= 0) {
            EXPECT_FLOAT_EQ(moves[k].x, x) << k;
        }
        if (y >= 0) {
            EXPECT_FLOAT_EQ(moves[k].y, y) << k;
        }
        EXPECT_EQ(moves[k].colour, colour) << k;
    }
}

TEST(SolveTopic3MovingTerm, ErasingRedrawsExactlyThePreviousTerm) {
    // Split the drawn glyphs by key: the glyphs erased (colour 15) at move k
    // must be exactly the glyphs drawn at the step before (the banner aside).
    auto run = run_program_with("solvelesson", "3\\r1\\r" + repeat("x", 15), 1);
    using Glyph = std::tuple<std::string, float, float, int, int>;
    std::vector<std::multiset<Glyph>> drawn(1), erased(1);
    for (const auto& r : run->recorder.records) {
        if (const auto* e = std::get_if<lk::Event>(&r)) {
            if (std::holds_alternative<lk::KeyEvent>(*e)) drawn.emplace_back(), erased.emplace_back();
            continue;
        }
        const auto* t = std::get_if<lk::DrawText>(&std::get<lk::DrawOp>(r));
        if (!t || t->y >= 640) continue;  // the banner and the answer field
        Glyph g{t->text, t->x, t->y, t->h, t->v};
        (t->colour == 15 ? erased : drawn).back().insert(g);
    }
    // The keys "3", "\r", "1", "\r" open the item, so step k of the item is
    // drawn after key 3 + k; step 5 redraws the term and move m follows key
    // 8 + m.
    for (int move = 1; move <= 9; ++move) {
        const int seg = 8 + move;
        ASSERT_LT(seg, static_cast<int>(drawn.size()));
        EXPECT_FALSE(erased[seg].empty()) << "move " << move;
        EXPECT_EQ(erased[seg], drawn[seg - 1]) << "move " << move;
    }
}

// ---- Drills of item 1 -------------------------------------------------------

TEST(SolveTopic3Drills, DrillOneSolvesAndShowsNegativeB) {
    bool negative_b = false;
    for (int seed = 1; seed <= 300; ++seed) {
        auto run = run_program_with("solvelesson", kToDrills + "xx1\\r", seed);
        auto ps = problems(run->rich_texts, {{680, 90}, {740, 140}, {740, 190}});
        ASSERT_EQ(ps.size(), 1u) << seed;
        ASSERT_EQ(ps[0].size(), 3u) << seed;
        expect_solved(ps[0]);
        std::smatch mt;
        const std::string first = ps[0][0].text, second = ps[0][1].text;
        ASSERT_TRUE(std::regex_match(first, mt, std::regex("① x([+-])([1-9])=(-?\\d+)"))) << first;
        const int d = std::stoi(mt[3]);
        EXPECT_TRUE(std::abs(d) >= 2 && std::abs(d) <= 10) << first;
        if (mt[1] == "-") {
            negative_b = true;
            EXPECT_EQ(second, "x=" + mt[3].str() + "+" + mt[2].str()) << first;
        } else {
            EXPECT_EQ(second, "x=" + mt[3].str() + "-" + mt[2].str()) << first;
        }
    }
    EXPECT_TRUE(negative_b);
}

TEST(SolveTopic3Drills, DrillTwoStartsAt250AndHasWholeAnswers) {
    std::set<int> answers;
    for (int seed = 1; seed <= 300; ++seed) {
        auto run = run_program_with("solvelesson", kToDrills + "xx1\\rx" + "xxx1\\r", seed);
        auto ps = problems(run->rich_texts, {{680, 250}, {740, 300}, {740, 350}, {740, 403}});
        ASSERT_EQ(ps.size(), 1u) << seed;
        ASSERT_EQ(ps[0].size(), 4u) << seed;
        expect_solved(ps[0]);
        const auto& p = ps[0];
        // No constant on the left: "② 5x=3x+8", never "+0".
        const auto left = Parser(without_prefix(p[0].text)).equation()[0];
        EXPECT_TRUE(left.k == 0) << p[0].text;
        EXPECT_EQ(p[0].text.find("+0"), std::string::npos) << p[0].text;
        // After collecting, the coefficient is at least 2 in size.
        const auto collected = Parser(p[2].text).equation()[0];
        EXPECT_TRUE(collected.c.n >= 2 || collected.c.n <= -2) << p[2].text;
        const Rational x = solution_of(p[3].text);
        ASSERT_EQ(x.d, 1) << p[3].text;
        EXPECT_TRUE(x.n >= 1 && x.n <= 9) << p[3].text;
        answers.insert(static_cast<int>(x.n));
    }
    EXPECT_EQ(answers.size(), 9u);
}

// ---- Item 3 ----------------------------------------------------------------

TEST(SolveTopic3Example2, SolvesWithUnreducedThenReducedAnswers) {
    bool fraction = false;
    for (int seed = 1; seed <= 300; ++seed) {
        auto run = run_program_with("solvelesson", "3\\r3\\rxxx1\\rxx", seed);
        auto ps = problems(run->rich_texts, {{100, 90}, {100, 160}, {100, 230}, {100, 300}});
        ASSERT_EQ(ps.size(), 1u) << seed;
        ASSERT_EQ(ps[0].size(), 4u) << seed;
        expect_solved(ps[0]);
        const auto& p = ps[0];
        // Line 3 is (a - c)x = d - b; the answer shows (d - b)/(a - c), then
        // the reduced value when anything reduces.
        std::smatch mt;
        ASSERT_TRUE(std::regex_match(p[2].text, mt, std::regex("(-?\\d+)x=(-?\\d+)"))) << p[2].text;
        const int coef = std::stoi(mt[1]), rhs = std::stoi(mt[2]);
        EXPECT_GE(std::abs(coef), 2) << p[2].text;
        const std::string unreduced = "x=ﾀ" + mt[2].str() + "/" + mt[1].str() + "ﾀ";
        // d - b is always negative, so the fraction is never kept as it stands.
        EXPECT_LT(rhs, 0) << p[2].text;
        EXPECT_TRUE(p[3].text.starts_with(unreduced + "=")) << p[3].text;
        EXPECT_EQ(Parser(p[3].text).equation().size(), 3u) << p[3].text;
        if (rhs % coef != 0) fraction = true;
    }
    EXPECT_TRUE(fraction);
}

TEST(SolveTopic3DrillLoop, OneEndsAtOnceOtherAnswersDrawAgain) {
    auto count = [](const std::string& keys) {
        auto run = run_program_with("solvelesson", "3\\r3\\r" + keys + "xx", 7);
        return problems(run->rich_texts, {{100, 90}, {100, 160}, {100, 230}, {100, 300}}).size();
    };
    EXPECT_EQ(count("xxx1\\r"), 1u);
    EXPECT_EQ(count("xxx2\\rxxx1\\r"), 2u);
    EXPECT_EQ(count("xxx\\rxxx0\\rxxx1\\r"), 3u);
}

// ---- Answer sheets ------------------------------------------------------------

void expect_sheet(const std::string& keys, const std::map<std::string, std::string>& answers) {
    auto run = run_program_with("solvelesson", keys, 1);
    auto problems_of_sheet = sheet(run->rich_texts);
    ASSERT_EQ(problems_of_sheet.size(), answers.size());
    for (const auto& [label, lines] : problems_of_sheet) {
        SCOPED_TRACE(label);
        ASSERT_GE(lines.size(), 2u);
        const Rational x = solution_of(lines.front());
        for (const auto& l : lines) EXPECT_EQ(solution_of(l), x) << l;
        EXPECT_TRUE(lines.back().ends_with(answers.at(label))) << lines.back();
    }
    // The sheet ends on the item bar without a banner after its last line.
    EXPECT_EQ(run->rich_texts.back().colour, 5);
}

TEST(SolveTopic3Sheets, Question1LinesAreEquivalentAndAnswered) {
    expect_sheet("3\\r2\\r" + repeat("x", 17), {{"(1)", "x=3"}, {"(2)", "x=-6"}, {"(3)", "=-3"},
                                                {"(4)", "=-5"}, {"(5)", "=ﾀ1/4ﾀ"}, {"(6)", "=-3"}});
}

TEST(SolveTopic3Sheets, Question2LinesAreEquivalentAndAnswered) {
    expect_sheet("3\\r4\\r" + repeat("x", 18), {{"(1)", "=4"}, {"(2)", "=2"}, {"(3)", "=1"},
                                                {"(4)", "=-6"}, {"(5)", "=0"}, {"(6)", "=-2"}});
}

}  // namespace
