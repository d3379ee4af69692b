// applylesson topic 5 (proportions): the step structure of the fixed items,
// the anchors of the ratio picture, and the generated proportion problems,
// whose drawn lines are parsed and checked with exact rational arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <regex>
#include <set>

#include "support/equation_check.h"
#include "support/steps.h"

namespace lk::testing {
namespace {

// The one solution of a drawn line; a proportion a:b=c:d is solved as ad=bc.
Rational root_of(std::string line) {
    line = without_prefix(line);
    const size_t eq = line.find('='), colon = line.find(':');
    if (colon < eq) {
        const size_t second = line.find(':', eq);
        line = "(" + line.substr(0, colon) + ")*(" + line.substr(second + 1) + ")=(" +
               line.substr(colon + 1, eq - colon - 1) + ")*(" + line.substr(eq + 1, second - eq - 1) + ")";
    }
    return solution_of(line);
}

// ---- Runs -----------------------------------------------------------------

std::string keys(int n) { return std::string(static_cast<size_t>(n), 'x'); }

const RichText* find_text(const Run& run, const std::string& text) {
    for (const auto& t : run.rich_texts)
        if (t.text == text) return &t;
    return nullptr;
}

// The keys of item ④ answering the prompts of the first loop with `first`
// and those of the second with `second` (each list ending in "1").
std::string example_keys(const std::vector<std::string>& first, const std::vector<std::string>& second) {
    std::string k;
    for (const auto& a : first) k += keys(4) + a + "\\r";
    k += keys(2);
    for (const auto& a : second) k += keys(6) + a + "\\r";
    return k + keys(2);
}
std::unique_ptr<Run> run_example(const std::vector<std::string>& first,
                                 const std::vector<std::string>& second, std::uint64_t seed) {
    return run_program_with("applylesson", "5\\r4\\r" + example_keys(first, second), seed);
}

// The lines of each generated problem, from its opening ("① " or "② ") to
// its answer, the first "x=" line in colour 5; the others are in ink. The
// working stands in one column right of the opening, evenly spaced down.
std::vector<std::vector<RichText>> generated(const Run& run, const std::string& opening,
                                             size_t lines) {
    std::vector<std::vector<RichText>> out;
    bool open = false;
    for (const auto& t : run.rich_texts) {
        if (t.text.starts_with(opening)) out.emplace_back(), open = true;
        if (!open) continue;
        out.back().push_back(t);
        if (t.colour == 5 && t.text.starts_with("x=")) open = false;
    }
    for (const auto& p : out) {
        EXPECT_EQ(p.size(), lines) << p[0].text;
        if (p.size() < 3) continue;
        EXPECT_GT(p[1].x, p[0].x);
        for (size_t k = 1; k < p.size(); ++k) {
            EXPECT_EQ(p[k].colour, k + 1 == p.size() ? 5 : 0) << p[k].text;
            EXPECT_EQ(p[k].x, p[1].x) << p[k].text;
            EXPECT_EQ(p[k].y - p[k - 1].y, p[1].y - p[0].y) << p[k].text;
        }
        EXPECT_GT(p[1].y, p[0].y);
    }
    return out;
}
using Problem = std::vector<std::string>;
std::vector<Problem> problems(const Run& run, const std::string& opening) {
    std::vector<Problem> out;
    for (const auto& p : generated(run, opening, opening == "① " ? 5 : 7)) {
        out.emplace_back();
        for (const auto& t : p) out.back().push_back(t.text);
    }
    return out;
}

// ---- Fixed items ----------------------------------------------------------

TEST(ApplyTopic5, GoalAndFixedItemsWaitOncePerStep) {
    expect_goal(5, std::vector<std::string>{"1 比例式とその性質を理解しよう。", "2 比例式の性質を使って問題を解こう。"});
    // Item number and the waits between its steps; the last step has none.
    for (const auto& [item, waits] : std::vector<std::pair<int, int>>{{1, 5}, {2, 9}, {3, 5}, {5, 20}, {6, 6}, {7, 5}})
        expect_waits(5, item, waits);
}

TEST(ApplyTopic5, RatioValuesStandUnderTheirRatios) {
    auto run = run_program_with("applylesson", "5\\r1\\r" + keys(5));
    const RichText* ratio1 = find_text(*run, " 2:5   ②");
    const RichText* ratio2 = find_text(*run, " 10:25");
    // The value of ① starts where "①" ended, that of ② where " 2:5   ②"
    // ended, both on one row under the ratios.
    const RichText* value1 = find_text(*run, "=ﾀ2/5ﾀ");
    const RichText* value2 = find_text(*run, "=ﾀ10/25ﾀ");
    ASSERT_TRUE(ratio1 && ratio2 && value1 && value2);
    EXPECT_EQ(value1->x, ratio1->x);
    EXPECT_EQ(value1->colour, 3);
    EXPECT_EQ(value2->x, ratio2->x);
    EXPECT_EQ(value2->y, value1->y);
    EXPECT_GT(value1->y, ratio1->y);
}

TEST(ApplyTopic5, TimesFortyArcsJoinTheRightTerms) {
    auto run = run_program_with("applylesson", "5\\r2\\r" + keys(9));
    const RichText *x1 = find_text(*run, "x:1"), *p20 = find_text(*run, "20="), *p2 = find_text(*run, "2:");
    ASSERT_TRUE(x1 && p20 && p2);
    const RichText* p3 = nullptr;
    for (const auto& t : run->rich_texts)
        if (t.text == "3" && t.y == x1->y) p3 = &t;
    ASSERT_TRUE(p3);
    int labels = 0;
    for (const auto& t : run->rich_texts) labels += t.text == "*40" && t.colour == 3;
    EXPECT_EQ(labels, 2);
    // The dots of the upper arc run between the middles of the first glyphs
    // of "120" and "3", those of the lower arc between those of "x" and "2".
    std::vector<FillCircle> dots;
    for (const auto& d : run->recorder.discs())
        if (d.r == 0.5f && d.colour == 3) dots.push_back(d);
    ASSERT_FALSE(dots.empty());
    const auto [top, bottom] = std::minmax_element(dots.begin(), dots.end(), [](auto& a, auto& b) { return a.cy < b.cy; });
    const float split = (top->cy + bottom->cy) / 2;
    float up_lo = 1e9, up_hi = -1e9, down_lo = 1e9, down_hi = -1e9;
    for (const auto& d : dots) {
        if (d.cy < split) up_lo = std::min(up_lo, d.cx), up_hi = std::max(up_hi, d.cx);
        else down_lo = std::min(down_lo, d.cx), down_hi = std::max(down_hi, d.cx);
    }
    const float half = width_of("1") / 2;
    EXPECT_NEAR(up_lo, p20->x + half, 0.5);
    EXPECT_NEAR(up_hi, p3->x + half, 0.5);
    EXPECT_NEAR(down_lo, x1->x + half, 0.5);
    EXPECT_NEAR(down_hi, p2->x + half, 0.5);
}

// ---- Generated problems ---------------------------------------------------

TEST(ApplyTopic5, TypingOneEndsEachLoopAfterOneProblem) {
    auto run = run_example({"1"}, {"1"}, 5);
    const auto first = generated(*run, "① ", 5), second = generated(*run, "② ", 7);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    // After each loop the item goes on: the property after the first, the
    // remark and the hint after the second.
    auto index = [&](const std::function<bool(const RichText&)>& is) {
        const auto& rt = run->rich_texts;
        return std::find_if(rt.begin(), rt.end(), is) - rt.begin();
    };
    auto same = [](const RichText& a) { return [a](const RichText& t) { return t.text == a.text && t.x == a.x && t.y == a.y; }; };
    auto text = [](const char* w) { return [w](const RichText& t) { return t.text == w; }; };
    const std::vector<long> order{index(same(first[0].back())), index(text("比例式の性質")),
                                  index(same(second[0].front())), index(same(second[0].back())),
                                  index(text("( )があっても比例式の性質が使える。")),
                                  index(text("教科書P108 問2 をしなさい。")), long(run->rich_texts.size()) - 1};
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST(ApplyTopic5, OtherAnswersRepeatAndEraseOnlyTheProblemArea) {
    auto run = run_example({"3", "3/4", "1"}, {"7", "1"}, 11);
    const auto first = generated(*run, "① ", 5), second = generated(*run, "② ", 7);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 2u);
    // New numbers are drawn for every problem.
    EXPECT_TRUE(first[0][0].text != first[1][0].text || first[1][0].text != first[2][0].text);

    // After the item's own clearing (the erase over the title), each erase
    // clears one problem's area: it holds the origin of that loop's opening,
    // never the title, and for the second loop nothing the first loop left.
    // Other erases (the answer field's) lie below every problem.
    auto holds = [](const FillBox& b, const RichText& t) { return covers(b, t.x, t.y); };
    const RichText* title = find_text(*run, "例1 xの値を求めなさい。");
    ASSERT_NE(title, nullptr);
    Walk w = walk(5, 4, example_keys({"3", "3/4", "1"}, {"7", "1"}), 11);
    std::vector<FillBox> boxes;
    for (const auto& s : w.steps)
        for (const auto& x : s.all<FillBox>()) boxes.push_back(x);
    ASSERT_FALSE(boxes.empty());
    auto b = boxes.begin();
    EXPECT_TRUE(holds(*b, *title));
    float bottom = 0;
    for (const auto* loop : {&first, &second})
        for (const auto& p : *loop) bottom = std::max(bottom, p.back().y);
    int clears[2] = {0, 0};
    for (++b; b != boxes.end(); ++b) {
        if (b->fill != 15) continue;
        EXPECT_FALSE(holds(*b, *title));
        const bool one = holds(*b, first[0][0]), two = holds(*b, second[0][0]);
        clears[0] += one, clears[1] += two;
        for (const auto& t : first.back()) EXPECT_FALSE(two && holds(*b, t)) << t.text;
        EXPECT_TRUE(one || two || b->y1 > bottom) << "erase at " << b->x1 << "," << b->y1;
    }
    EXPECT_EQ(clears[0], 3);
    EXPECT_EQ(clears[1], 2);
}

TEST(ApplyTopic5, FirstProblemIsAWholeNumberProportion) {
    std::set<int> bs, as, ks;
    for (std::uint64_t seed = 1; seed <= 150; ++seed) {
        auto run = run_example({"2", "1"}, {"1"}, seed);
        for (const auto& p : problems(*run, "① ")) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(p[0], m, std::regex("① x:(\\d+)=(\\d+):(\\d+)"))) << p[0];
            const int kb = std::stoi(m[1]), a = std::stoi(m[2]), b = std::stoi(m[3]);
            EXPECT_NE(a, b) << p[0];
            EXPECT_NE(b, 1) << p[0];
            EXPECT_TRUE(b >= 2 && b <= 5 && a >= 1 && a <= 5) << p[0];
            ASSERT_EQ(kb % b, 0) << p[0];
            EXPECT_TRUE(kb / b == 2 || kb / b == 3) << p[0];
            bs.insert(b), as.insert(a), ks.insert(kb / b);

            const Rational x = root_of(p[0]);
            EXPECT_EQ(x.d, 1) << p[0];
            for (const auto& line : p) EXPECT_EQ(root_of(line), x) << line << " in " << p[0];
            EXPECT_EQ(p.back(), "x=" + std::to_string(x.n));
        }
    }
    // The draws reach every value they may take.
    EXPECT_EQ(bs, (std::set<int>{2, 3, 4, 5}));
    EXPECT_EQ(as, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ks, (std::set<int>{2, 3}));
}

TEST(ApplyTopic5, SecondProblemLinesAreEquivalentAndTheAnswerSolvesIt) {
    std::set<int> ds, fs;
    bool negative_b = false, positive_b = false, fraction = false, negative = false;
    const std::regex opening("② (\\d+):\\((\\d*)x([+-]\\d+)\\)=(\\d+):(\\d+)");
    const std::regex answer("x=(-?)(\\d+|ﾀ(\\d+)/(\\d+)ﾀ)");
    for (std::uint64_t seed = 1; seed <= 150; ++seed) {
        auto run = run_example({"1"}, {"2", "1"}, seed);
        for (const auto& p : problems(*run, "② ")) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(p[0], m, opening)) << p[0];
            const int ec = std::stoi(m[1]), c = std::stoi(m[4]), d = std::stoi(m[5]);
            EXPECT_TRUE(c == 3 || c == 5) << p[0];
            EXPECT_TRUE(ec % c == 0 && ec / c >= 1 && ec / c <= 4) << p[0];
            EXPECT_TRUE(d == 2 || d == 4 || d == 7 || d == 8) << p[0];
            EXPECT_TRUE(m[2] == "" || m[2] == "2") << p[0];
            ds.insert(d), fs.insert(m[2] == "" ? 1 : 2);
            (m[3].str()[0] == '-' ? negative_b : positive_b) = true;

            const Rational x = root_of(p[0]);
            for (const auto& line : p) {
                // No coefficient 1 before x and no doubled signs.
                EXPECT_FALSE(std::regex_search(line, std::regex("(^|[^0-9])1x"))) << line;
                EXPECT_EQ(line.find("+-"), std::string::npos) << line;
                EXPECT_EQ(line.find("--"), std::string::npos) << line;
                EXPECT_EQ(root_of(line), x) << line << " in " << p[0];
            }
            // The answer is written in lowest terms.
            ASSERT_TRUE(std::regex_match(p.back(), m, answer)) << p.back();
            if (m[3].matched) {
                fraction = true;
                EXPECT_EQ(std::gcd(std::stoll(m[3]), std::stoll(m[4])), 1) << p.back();
                EXPECT_GT(std::stoll(m[4]), 1) << p.back();
            }
            if (m[1] == "-") negative = true;
        }
    }
    EXPECT_EQ(ds, (std::set<int>{2, 4, 7, 8}));
    EXPECT_EQ(fs, (std::set<int>{1, 2}));
    EXPECT_TRUE(negative_b && positive_b);
    EXPECT_TRUE(fraction && negative);
}

}  // namespace
}  // namespace lk::testing
