// solvelesson topic 4: the drills with parentheses, decimals and fractions
// (every drawn line checked with exact arithmetic), the textbook answers and
// example 4.
#include <gtest/gtest.h>

#include <set>

#include "support/equation_check.h"

namespace {

using namespace lk::testing;

const std::vector<std::pair<float, float>> kFiveLines = {
    {100, 90}, {100, 160}, {100, 230}, {100, 300}, {100, 370}};

TEST(SolveTopic4Parentheses, SolvesAndBumpsQUntilCoefficientsDiffer) {
    bool bumped_past_3 = false;
    for (int seed = 1; seed <= 300; ++seed) {
        auto run = run_program_with("solvelesson", "4\\r1\\rxxxx1\\r", seed);
        auto ps = problems(run->rich_texts, kFiveLines);
        ASSERT_EQ(ps.size(), 1u) << seed;
        ASSERT_EQ(ps[0].size(), 5u) << seed;
        expect_solved(ps[0]);
        // a x + p (q x + t) = d
        std::smatch mt;
        const std::string first = ps[0][0].text;
        ASSERT_TRUE(std::regex_match(first, mt,
                                     std::regex("(\\d?)x(-[234])\\((\\d*)x\\+([123])\\)=([1-9])")))
            << first;
        const int a = mt[1].str().empty() ? 1 : std::stoi(mt[1]);
        const int p = std::stoi(mt[2]);
        const int q = mt[3].str().empty() ? 1 : std::stoi(mt[3]);
        auto close = [&](int qq) { return std::abs(a + p * qq) <= 1; };  // |a - m| <= 1
        EXPECT_FALSE(close(q)) << first;
        // q started from 1 to 3 and was raised one at a time past every
        // value that left the coefficients too close.
        for (int below = 3; below < q; ++below) EXPECT_TRUE(close(below)) << first;
        if (q > 3) bumped_past_3 = true;
    }
    EXPECT_TRUE(bumped_past_3);
}

TEST(SolveTopic4Decimals, LeadingZerosAndWholeRightConstant) {
    for (int seed = 1; seed <= 300; ++seed) {
        auto run = run_program_with("solvelesson", "4\\r2\\rxxxx1\\r", seed);
        auto ps = problems(run->rich_texts, kFiveLines);
        ASSERT_EQ(ps.size(), 1u) << seed;
        ASSERT_EQ(ps[0].size(), 5u) << seed;
        expect_solved(ps[0]);
        const std::string first = ps[0][0].text;
        EXPECT_TRUE(std::regex_match(first, std::regex("0\\.[1-9]x\\+0\\.[1-9]=-0\\.[1-9]x\\+[1-9]")))
            << first;
        // Every line after the first has whole numbers only.
        for (size_t k = 1; k < ps[0].size(); ++k)
            EXPECT_EQ(ps[0][k].text.find('.'), std::string::npos) << ps[0][k].text;
        // Line 2 is line 1 multiplied by 10 term by term.
        auto one = Parser(first).equation(), two = Parser(ps[0][1].text).equation();
        for (int side = 0; side < 2; ++side) {
            EXPECT_EQ(one[side].c * Rational(10), two[side].c) << first;
            EXPECT_EQ(one[side].k * Rational(10), two[side].k) << first;
        }
    }
}

TEST(SolveTopic4Fractions, DrillOneDenominatorsAndEarlyAnswer) {
    const std::set<int> list = {1, 2, 3, 5, 7, 11};
    int early = 0, full = 0;
    const std::vector<std::pair<float, float>> at = {{40, 110},  {100, 180}, {100, 250},
                                                     {100, 320}, {100, 390}, {100, 460}};
    // One run of many problems: the list of denominators is whole again
    // for every problem.
    for (int seed = 1; seed <= 3; ++seed) {
        auto run = run_program_with("solvelesson",
                                    "4\\r3\\r" + repeat("xxxxx2\\r", 99) + "xxxxx1\\r", seed);
        auto ps = problems(run->rich_texts, at);
        ASSERT_EQ(ps.size(), 100u);
        for (const auto& p : ps) {
            expect_solved(p);
            std::smatch mt;
            ASSERT_TRUE(std::regex_match(
                p[0].text, mt, std::regex("① ﾀ(\\d+)/(\\d+)ﾀx\\+([123])=ﾀ(\\d+)/(\\d+)ﾀx")))
                << p[0].text;
            const int g = std::stoi(mt[1]), e = std::stoi(mt[2]), h = std::stoi(mt[4]),
                      f = std::stoi(mt[5]);
            EXPECT_EQ(std::set<int>({g, e, h, f}).size(), 4u) << p[0].text;
            for (int v : {g, e, h, f}) EXPECT_TRUE(list.count(v)) << p[0].text;
            EXPECT_TRUE(e == 3 || e == 5 || e == 7) << p[0].text;
            const int u_minus_w = g * f - h * e;
            if (u_minus_w == 1) {
                ++early;
                EXPECT_EQ(p.size(), 5u) << p[0].text;
            } else {
                ++full;
                ASSERT_EQ(p.size(), 6u) << p[0].text;
                EXPECT_EQ(p[4].colour, 0) << p[0].text;
            }
        }
    }
    EXPECT_GT(early, 0);
    EXPECT_GT(full, 0);
}

TEST(SolveTopic4Fractions, DrillTwoAlwaysHasOneSolutionAndSevenLines) {
    const std::vector<std::pair<float, float>> at = {{640, 50},  {700, 120}, {700, 190}, {700, 260},
                                                     {700, 330}, {700, 400}, {700, 470}};
    std::set<std::pair<int, int>> denominators;
    for (int seed = 1; seed <= 6; ++seed) {
        // Drill 1 ends at once; drill 2 runs 100 problems. A problem with
        // n u = m w (no single solution) would fail expect_solved.
        auto run = run_program_with(
            "solvelesson", "4\\r3\\rxxxxx1\\rx" + repeat("xxxxxx2\\r", 99) + "xxxxxx1\\r", seed);
        auto ps = problems(run->rich_texts, at);
        ASSERT_EQ(ps.size(), 100u);
        for (const auto& p : ps) {
            ASSERT_EQ(p.size(), 7u) << p[0].text;
            expect_solved(p);
            std::smatch mt;
            ASSERT_TRUE(std::regex_match(
                p[0].text, mt, std::regex("② ﾀx?\\d*x\\+\\d/(\\d+)ﾀ=ﾀ\\d*x-\\d/(\\d+)ﾀ")))
                << p[0].text;
            const int m = std::stoi(mt[1]), n = std::stoi(mt[2]);
            EXPECT_NE(m, n) << p[0].text;
            EXPECT_TRUE(m == 2 || m == 3 || m == 5 || m == 7) << p[0].text;
            denominators.insert({m, n});
        }
    }
    // The combinations that can give n u = m w are still drawn.
    EXPECT_TRUE(denominators.count({2, 3}));
    EXPECT_TRUE(denominators.count({3, 2}));
}

TEST(SolveTopic4Sheets, Question3LinesAreEquivalentAndAnswered) {
    auto run = run_program_with("solvelesson", "4\\r4\\r" + repeat("x", 21), 1);
    auto sheet_problems = sheet(run->rich_texts);
    const std::map<std::string, std::string> answers = {
        {"(1)", "x=-5"}, {"(2)", "x=-4"}, {"(3)", "x=7"}, {"(4)", "x=11"}};
    ASSERT_EQ(sheet_problems.size(), answers.size());
    for (const auto& [label, lines] : sheet_problems) {
        SCOPED_TRACE(label);
        const Rational x = solution_of(lines.front());
        for (const auto& l : lines) EXPECT_EQ(solution_of(l), x) << l;
        EXPECT_EQ(lines.back(), answers.at(label));
    }
}

TEST(SolveTopic4Sheets, Examples1And2AnswersAreEquivalent) {
    for (const std::string& keys : {"4\\r1\\rxxxx1\\r" + repeat("x", 19),
                                   "4\\r2\\rxxxx1\\r" + repeat("x", 13)}) {
        auto run = run_program_with("solvelesson", keys, 1);
        auto sheet_problems = sheet(run->rich_texts);
        ASSERT_EQ(sheet_problems.size(), keys[3] == '1' ? 4u : 2u);
        for (const auto& [label, lines] : sheet_problems) {
            SCOPED_TRACE(label);
            const Rational x = solution_of(lines.front());
            for (const auto& l : lines) EXPECT_EQ(solution_of(l), x) << l;
            EXPECT_TRUE(solution_of(lines.back()).d == 1);
        }
    }
}

TEST(SolveTopic4Example4, ParameterLinesAgreeOnAndEndAtMinusOneThird) {
    auto run = run_program_with("solvelesson", "4\\r5\\r" + repeat("x", 7), 1);
    // The lines in a, read with a as the unknown.
    std::vector<std::string> in_a;
    for (const auto& t : run->rich_texts)
        if (t.text.find('a') != std::string::npos &&
            std::regex_match(t.text, std::regex("[0-9a*+=ﾀ/ -]+"))) {
            std::string s = t.text;
            std::replace(s.begin(), s.end(), 'a', 'x');
            s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
            in_a.push_back(s);
        }
    ASSERT_EQ(in_a.size(), 4u);
    for (const auto& l : in_a) EXPECT_EQ(solution_of(l), Rational(-1, 3)) << l;
    EXPECT_EQ(run->rich_texts.back().colour, 5);
    // The item erases a narrower canvas than the other items.
    bool erased = false;
    for (const auto& b : run->recorder.boxes())
        erased |= b.x1 == 0 && b.y1 == 0 && b.x2 == 1320 && b.y2 == 1300 && b.fill == 15;
    EXPECT_TRUE(erased);
}

}  // namespace
