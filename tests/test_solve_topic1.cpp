// solvelesson topic 1 (equations and their solutions), checked on what the
// lesson wrote: the worked substitutions, the table of trial values and the
// generated drill are recomputed here with exact rational arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/formula_parse.h"
#include "support/replay.h"

using namespace lk::testing;

namespace {

std::string presses(int n) { return std::string(n, 'a'); }

std::vector<RichText> texts_of(const std::string& keys, std::uint64_t seed = 1) {
    return run_program_with("solvelesson", keys, seed)->rich_texts;
}

// The formula after "左辺=" or "右辺=", or "" when the text is no
// substitution line.
std::string substitution(const std::string& t) {
    const std::string head = t.substr(0, std::string("左辺=").size());
    if (head != "左辺=" && head != "右辺=") return "";
    const std::string body = t.substr(head.size());
    return parts(body).empty() ? "" : body;
}

TEST(SolveTopic1, WorkedSubstitutionsAreTrueAndVerdictsFollowFromThem) {
    struct Case {
        const char* keys;
        std::vector<bool> solutions;
    };
    for (const Case& c : {Case{"1\\r3\\raaaaaa", {false, true, false}},
                          Case{"1\\r5\\raaaaaa", {false, false, true, false}},
                          Case{"1\\r6\\raaaaa", {false, true, true, false}}}) {
        SCOPED_TRACE(c.keys);
        auto rt = texts_of(c.keys);
        std::vector<Rational> sides;
        std::vector<std::string> verdicts;
        for (size_t i = 0; i < rt.size(); ++i) {
            std::string body = substitution(rt[i].text);
            if (!body.empty()) {
                // A chain may go on at the next line, which starts with "=".
                if (i + 1 < rt.size() && rt[i + 1].text[0] == '=') body += rt[i + 1].text;
                auto chain = parts(body);
                ASSERT_FALSE(chain.empty()) << body;
                for (const auto& p : chain) EXPECT_TRUE(p.a == 0 && p.b == chain[0].b) << body;
                sides.push_back(chain.back().b);
            }
            if (rt[i].text.find("だから") != std::string::npos) verdicts.push_back(rt[i].text);
        }
        ASSERT_EQ(sides.size(), 2 * c.solutions.size());
        ASSERT_EQ(verdicts.size(), c.solutions.size());
        for (size_t k = 0; k < c.solutions.size(); ++k) {
            EXPECT_EQ(sides[2 * k] == sides[2 * k + 1], c.solutions[k]);
            EXPECT_EQ(verdicts[k], c.solutions[k] ? "左辺=右辺 だから　解である。"
                                                  : "左辺≠右辺 だから　解ではない。");
        }
    }
}

TEST(SolveTopic1, TrialTableIsFilledInElevenWaitsWithTrueValues) {
    auto rt = texts_of("1\\r2\\r" + presses(16));
    std::vector<Rational> values;
    std::vector<std::string> signs;
    for (const auto& t : rt) {
        auto p = parts(t.text);
        if (t.colour == 3 && p.size() == 2) {
            EXPECT_TRUE(p[0].b == p[1].b) << t.text;
            values.push_back(p[1].b);
        }
        if (t.colour == 5 && (t.text == "<" || t.text == "=" || t.text == ">")) signs.push_back(t.text);
    }
    ASSERT_EQ(values.size(), 5u);
    ASSERT_EQ(signs.size(), 5u);
    for (size_t k = 0; k < 5; ++k) {
        EXPECT_TRUE(values[k] == Rational(10 * (1800 + 100 * static_cast<long long>(k)) + 1000));
        EXPECT_EQ(signs[k], values[k].n < 21000 ? "<" : values[k].n == 21000 ? "=" : ">");
    }
    auto closing = [](const std::vector<RichText>& texts) {
        for (const auto& t : texts)
            if (t.text == "x=2000 のときだけ等式は成り立つ") return true;
        return false;
    };
    EXPECT_TRUE(closing(rt));
    EXPECT_FALSE(closing(texts_of("1\\r2\\r" + presses(15))));
}

// --- The drill ------------------------------------------------------------------

const std::string kOneProblem = "1\\r4\\r" + presses(9);

// The texts of the drill's problems, each from its opening "Q ": the
// question's pieces, then the working lines in the order they are drawn.
struct Problem {
    std::string candidate, equation, left, left_line, left_value, right, right_line, right_value,
        verdict;
};
std::vector<Problem> problems(const std::vector<RichText>& rt) {
    std::vector<Problem> out;
    for (size_t i = 0; i + 4 < rt.size(); ++i) {
        if (!(rt[i].text == "Q " && rt[i].colour == 7)) continue;
        Problem p;
        p.candidate = rt[i + 1].text;
        p.equation = rt[i + 3].text;
        EXPECT_TRUE(rt[i + 1].colour == 3 && rt[i + 3].colour == 3);
        EXPECT_EQ(rt[i + 2].text + rt[i + 4].text, " は、方程式  の解ですか。");
        std::vector<std::string> at;
        for (size_t j = i + 5; j < rt.size() && rt[j].text != "Q "; ++j) at.push_back(rt[j].text);
        EXPECT_GE(at.size(), 9u);  // the last problem is followed by the hint
        at.resize(9);
        EXPECT_EQ(at[0], "x=" + p.candidate + "を左辺に代入して");
        EXPECT_EQ(at[4], "x=" + p.candidate + "を右辺に代入して");
        p.left = at[1], p.left_line = at[2], p.left_value = at[3];
        p.right = at[5], p.right_line = at[6], p.right_value = at[7], p.verdict = at[8];
        out.push_back(p);
    }
    return out;
}

TEST(SolveTopic1, DrillMathematicsOverManySeeds) {
    int problems_seen = 0, solutions = 0, zero_constants = 0, unit_coefficients = 0;
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        auto list = problems(texts_of(kOneProblem + "1\\r", seed));
        ASSERT_EQ(list.size(), 1u) << seed;
        const Problem& p = list[0];
        SCOPED_TRACE(p.equation);
        ++problems_seen;

        // Exactly one solution s, a whole number from -5 to 4; the right
        // side keeps its x and its constant.
        auto sides = parts(p.equation);
        ASSERT_EQ(sides.size(), 2u);
        auto s = solve(p.equation);
        ASSERT_TRUE(s.has_value());
        EXPECT_TRUE(s->d == 1 && s->n >= -5 && s->n <= 4);
        EXPECT_FALSE(sides[1].a == 0 || sides[1].b == 0);
        const long long pc = sides[0].a.n, mc = sides[1].a.n;

        // The candidate is the solution or one away from it.
        const long long v = std::stoll(p.candidate);
        EXPECT_LE(std::llabs(v - s->n), 1);
        solutions += v == s->n;
        const std::string shown = v < 0 ? "(" + p.candidate + ")" : p.candidate;

        // Coefficients ±1: "x" / "-x" in the equation, written out when
        // substituting; a zero constant is written as nothing.
        auto x_text = [](long long c) {
            return c == 1 ? std::string("x") : c == -1 ? std::string("-x") : std::to_string(c) + "x";
        };
        const std::string left_side = p.equation.substr(0, p.equation.find('='));
        const std::string right_side = p.equation.substr(p.equation.find('=') + 1);
        EXPECT_EQ(left_side.rfind(x_text(pc), 0), 0u);
        EXPECT_EQ(right_side.rfind(x_text(mc), 0), 0u);
        unit_coefficients += std::llabs(pc) == 1 || std::llabs(mc) == 1;
        EXPECT_EQ(p.left.rfind("左辺=" + std::to_string(pc) + "*" + shown, 0), 0u) << p.left;
        EXPECT_EQ(p.right.rfind("右辺=" + std::to_string(mc) + "*" + shown, 0), 0u) << p.right;
        if (sides[0].b == 0) {
            ++zero_constants;
            EXPECT_EQ(left_side, x_text(pc));
            EXPECT_EQ(p.left_line, "=" + std::to_string(pc * v) + "=");
        }

        // Every line equals its side at v; the verdict follows.
        const Rational lv = value_at(sides[0], v), rv = value_at(sides[1], v);
        for (const std::string& line : {substitution(p.left), p.left_line, p.left_value}) {
            auto chain = parts(line);
            ASSERT_EQ(chain.size(), 1u) << line;
            EXPECT_TRUE(chain[0].a == 0 && chain[0].b == lv) << line;
        }
        for (const std::string& line : {substitution(p.right), p.right_line, p.right_value}) {
            auto chain = parts(line);
            ASSERT_EQ(chain.size(), 1u) << line;
            EXPECT_TRUE(chain[0].a == 0 && chain[0].b == rv) << line;
        }
        EXPECT_EQ(p.left_line.rfind("=" + std::to_string(pc * v), 0), 0u);
        EXPECT_EQ(p.right_line.rfind("=" + std::to_string(mc * v), 0), 0u);
        EXPECT_EQ(lv == rv, v == s->n);
        EXPECT_EQ(p.verdict,
                  v == s->n ? "左辺=右辺 だから 解である。" : "左辺≠右辺 だから 解ではない。");
    }
    // About half are solutions, and the seeds reach the special cases.
    EXPECT_GT(solutions, problems_seen * 35 / 100);
    EXPECT_LT(solutions, problems_seen * 65 / 100);
    EXPECT_GT(zero_constants, 0);
    EXPECT_GT(unit_coefficients, 0);
}

TEST(SolveTopic1, DrillEndsOnOneAndOtherwiseDrawsANewProblem) {
    // Every problem is drawn over an erase that holds its opening's place.
    auto count = [](const std::string& keys) {
        auto run = run_program_with("solvelesson", keys, 7);
        int erases = 0, openings = 0, hints = 0;
        std::vector<lk::FillBox> since;
        for (const auto& r : run->recorder.records) {
            const auto* op = std::get_if<lk::DrawOp>(&r);
            if (const auto* b = op ? std::get_if<lk::FillBox>(op) : nullptr; b && b->fill == 15)
                since.push_back(*b);
            const auto* t = op ? std::get_if<lk::DrawText>(op) : nullptr;
            if (!t || t->text != "Q" || t->colour != 7) continue;
            ++openings;
            erases += std::any_of(since.begin(), since.end(),
                                  [&](const lk::FillBox& b) { return covers(b, t->x, t->y); });
            since.clear();
        }
        for (const auto& t : run->rich_texts) hints += t.text == "教科書P93 問1 をやろう。" && t.colour == 7;
        EXPECT_EQ(static_cast<int>(problems(run->rich_texts).size()), openings);
        EXPECT_EQ(erases, openings);
        return std::pair{openings, hints};
    };
    EXPECT_EQ(count(kOneProblem + "1\\ra"), std::pair(1, 1));
    EXPECT_EQ(count(kOneProblem + "5\\r" + presses(9) + "\\r" + presses(9) + "1\\ra"), std::pair(3, 1));
    EXPECT_EQ(count(kOneProblem + "2\\r" + presses(9)), std::pair(2, 0));
}

}  // namespace
