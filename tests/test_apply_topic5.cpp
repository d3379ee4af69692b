// applylesson topic 5 (proportions): the step structure of the fixed items,
// the anchors of the ratio picture, and the generated proportion problems,
// whose drawn lines are parsed and checked with exact rational arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <regex>
#include <set>
#include <stdexcept>
#include <tuple>

#include "support/replay.h"

namespace lk::testing {
namespace {

// ---- Exact arithmetic on the drawn lines ----------------------------------

struct Rational {
    long long n = 0, d = 1;
    Rational(long long num = 0, long long den = 1) : n(num), d(den) {
        if (d == 0) throw std::runtime_error("zero denominator");
        if (d < 0) n = -n, d = -d;
        long long g = std::gcd(n < 0 ? -n : n, d);
        if (g > 1) n /= g, d /= g;
    }
    friend Rational operator+(Rational a, Rational b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
    friend Rational operator-(Rational a, Rational b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
    friend Rational operator*(Rational a, Rational b) { return {a.n * b.n, a.d * b.d}; }
    friend Rational operator/(Rational a, Rational b) { return {a.n * b.d, a.d * b.n}; }
    friend bool operator==(Rational a, Rational b) { return a.n == b.n && a.d == b.d; }
};

// a·x + b
struct Linear {
    Rational a, b;
};
Linear operator+(Linear p, Linear q) { return {p.a + q.a, p.b + q.b}; }
Linear operator-(Linear p, Linear q) { return {p.a - q.a, p.b - q.b}; }
Linear operator*(Linear p, Linear q) {
    if (p.a == 0) return {q.a * p.b, q.b * p.b};
    if (q.a == 0) return {p.a * q.b, p.b * q.b};
    throw std::runtime_error("not linear");
}

// Formula markup: digits, x, + - * ( ) : = and the stacked fraction
// "ﾀnumerator/denominatorﾀ"; a factor next to a factor multiplies.
class Parser {
public:
    explicit Parser(std::string s) : s_(std::move(s)) {}

    // An equation "L=R" or a proportion "A:B=C:D" as the linear form that
    // is zero at its solution.
    Linear equation() {
        Linear left = expr(), right;
        if (eat(":")) {
            Linear b = expr();
            expect("=");
            Linear c = expr();
            expect(":");
            Linear d = expr();
            left = left * d;
            right = b * c;
        } else {
            expect("=");
            right = expr();
        }
        if (pos_ != s_.size()) throw std::runtime_error("trailing text in " + s_);
        return left - right;
    }

private:
    static constexpr const char* kFrac = "ﾀ";

    bool at(const std::string& t) const { return s_.compare(pos_, t.size(), t) == 0; }
    bool eat(const std::string& t) {
        if (!at(t)) return false;
        pos_ += t.size();
        return true;
    }
    void expect(const std::string& t) {
        if (!eat(t)) throw std::runtime_error("expected " + t + " in " + s_);
    }
    Linear expr() {
        Linear v = term();
        for (;;) {
            if (eat("+")) v = v + term();
            else if (eat("-")) v = v - term();
            else return v;
        }
    }
    Linear term() {
        if (eat("-")) return Linear{} - term();
        Linear v = factor();
        for (;;) {
            if (eat("*")) v = v * factor();
            else if (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) ||
                                          at("x") || at("(") || (at(kFrac) && !in_fraction_)))
                v = v * factor();
            else return v;
        }
    }
    Linear factor() {
        if (eat("(")) {
            Linear v = expr();
            expect(")");
            return v;
        }
        if (eat("x")) return {1, 0};
        if (!in_fraction_ && eat(kFrac)) {
            // Fractions do not nest, so the next "ﾀ" closes this one.
            in_fraction_ = true;
            Linear num = expr();
            expect("/");
            Linear den = expr();
            expect(kFrac);
            in_fraction_ = false;
            if (!(den.a == 0) || den.b == 0) throw std::runtime_error("bad denominator");
            return {num.a / den.b, num.b / den.b};
        }
        size_t start = pos_;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        if (start == pos_) throw std::runtime_error("unexpected text in " + s_);
        return {0, std::stoll(s_.substr(start, pos_ - start))};
    }

    std::string s_;
    size_t pos_ = 0;
    bool in_fraction_ = false;
};

// The one solution of a drawn line; fails the test when it has none.
Rational root_of(const std::string& line) {
    Linear f = Parser(line).equation();
    if (f.a == 0) throw std::runtime_error("no unique solution: " + line);
    return Rational{} - f.b / f.a;
}

// ---- Runs -----------------------------------------------------------------

std::string keys(int n) { return std::string(static_cast<size_t>(n), 'x'); }

int wait_banners(const Run& run) {
    int n = 0;
    for (const auto& b : run.recorder.boxes())
        if (b.x1 == 96 && b.y1 == 657 && b.x2 == 400 && b.y2 == 693 && b.colour == 13 && b.fill == 4)
            ++n;
    return n;
}

const RichText* find_text(const Run& run, const std::string& text) {
    for (const auto& t : run.rich_texts)
        if (t.text == text) return &t;
    return nullptr;
}

// Runs item ④ answering the prompts of the first loop with `first` and
// those of the second with `second` (each list ending in "1").
std::unique_ptr<Run> run_example(const std::vector<std::string>& first,
                                 const std::vector<std::string>& second, std::uint64_t seed) {
    std::string k = "5\\r4\\r";
    for (const auto& a : first) k += keys(4) + a + "\\r";
    k += keys(2);
    for (const auto& a : second) k += keys(6) + a + "\\r";
    k += keys(2);
    return run_program_with("applylesson", k, seed);
}

// The lines of each generated problem, in drawing order; each problem's
// lines must stand at exactly these places.
using Problem = std::vector<std::string>;
const std::vector<std::pair<float, float>> kFirstPlaces{
    {40, 110}, {100, 180}, {100, 250}, {100, 320}, {100, 390}};
const std::vector<std::pair<float, float>> kSecondPlaces{
    {640, 50}, {700, 120}, {700, 190}, {700, 260}, {700, 330}, {700, 400}, {700, 470}};

std::vector<Problem> problems(const Run& run, const std::vector<std::pair<float, float>>& places,
                              const std::string& opening) {
    std::vector<Problem> out;
    for (const auto& t : run.rich_texts) {
        const bool first = t.x == places[0].first && t.y == places[0].second &&
                           t.text.rfind(opening, 0) == 0;
        if (first) out.emplace_back();
        if (out.empty() || out.back().size() >= places.size()) continue;
        const auto& [x, y] = places[out.back().size()];
        if (first || (t.x == x && t.y == y)) {
            EXPECT_EQ(t.colour, out.back().size() + 1 == places.size() ? 5 : 0) << t.text;
            out.back().push_back(t.text);
        }
    }
    for (const auto& p : out) EXPECT_EQ(p.size(), places.size());
    return out;
}

// ---- Fixed items ----------------------------------------------------------

TEST(ApplyTopic5, GoalScreenHasBothLines) {
    auto run = run_program_with("applylesson", "5\\r");
    for (const auto& [text, x, y] : std::vector<std::tuple<std::string, float, float>>{
             {"<めあて>", 44, 240},
             {"1 比例式とその性質を理解しよう。", 76, 305},
             {"2 比例式の性質を使って問題を解こう。", 76, 370}}) {
        const RichText* t = find_text(*run, text);
        ASSERT_TRUE(t) << text;
        EXPECT_TRUE(t->x == x && t->y == y) << text;
    }
}

TEST(ApplyTopic5, FixedItemsWaitOncePerStep) {
    // Item number and the waits between its steps; the last step has none.
    const std::vector<std::pair<int, int>> items{{1, 5}, {2, 9}, {3, 5}, {5, 20}, {6, 6}, {7, 5}};
    for (const auto& [item, waits] : items) {
        auto run = run_program_with("applylesson",
                                    "5\\r" + std::to_string(item) + "\\r" + keys(30));
        EXPECT_EQ(wait_banners(*run), waits) << "item " << item;
    }
}

TEST(ApplyTopic5, RatioValuesStandUnderTheirRatios) {
    auto run = run_program_with("applylesson", "5\\r1\\r" + keys(5));
    const RichText* ratio1 = find_text(*run, " 2:5   ②");
    const RichText* ratio2 = find_text(*run, " 10:25");
    ASSERT_TRUE(ratio1 && ratio2);
    // The value of ① starts where "①" ended, that of ② where " 2:5   ②" ended.
    const RichText* value1 = nullptr;
    for (const auto& t : run->rich_texts)
        if (t.text == "=ﾀ2/5ﾀ" && t.y == 260 && !value1) value1 = &t;
    const RichText* value2 = find_text(*run, "=ﾀ10/25ﾀ");
    ASSERT_TRUE(value1 && value2);
    EXPECT_EQ(value1->x, ratio1->x);
    EXPECT_EQ(value1->colour, 3);
    EXPECT_EQ(value2->x, ratio2->x);
    EXPECT_EQ(value2->y, 260);
}

TEST(ApplyTopic5, TimesFortyArcsJoinTheRightTerms) {
    auto run = run_program_with("applylesson", "5\\r2\\r" + keys(9));
    const RichText* x1 = nullptr;
    const RichText *p20 = find_text(*run, "20="), *p2 = find_text(*run, "2:");
    const RichText* p3 = nullptr;
    for (const auto& t : run->rich_texts) {
        if (t.text == "x:1" && t.x == 760) x1 = &t;
        if (t.text == "3" && t.y == 130) p3 = &t;
    }
    ASSERT_TRUE(x1 && p20 && p2 && p3);
    int labels = 0;
    for (const auto& t : run->rich_texts)
        if (t.text == "*40" && t.colour == 3) ++labels;
    EXPECT_EQ(labels, 2);
    // The dots of the upper arc run between the points over "120" and "3",
    // those of the lower arc between the points under "x" and "2".
    float up_lo = 1e9, up_hi = -1e9, down_lo = 1e9, down_hi = -1e9;
    for (const auto& d : run->recorder.discs()) {
        if (d.r != 0.5f || d.colour != 3) continue;
        if (d.cy <= 130.01f) up_lo = std::min(up_lo, d.cx), up_hi = std::max(up_hi, d.cx);
        if (d.cy >= 177.99f) down_lo = std::min(down_lo, d.cx), down_hi = std::max(down_hi, d.cx);
    }
    EXPECT_NEAR(up_lo, p20->x + 14, 0.5);
    EXPECT_NEAR(up_hi, p3->x + 14, 0.5);
    EXPECT_NEAR(down_lo, x1->x + 14, 0.5);
    EXPECT_NEAR(down_hi, p2->x + 14, 0.5);
}

// ---- Generated problems ---------------------------------------------------

TEST(ApplyTopic5, TypingOneEndsEachLoopAfterOneProblem) {
    auto run = run_example({"1"}, {"1"}, 5);
    EXPECT_EQ(problems(*run, kFirstPlaces, "① ").size(), 1u);
    EXPECT_EQ(problems(*run, kSecondPlaces, "② ").size(), 1u);
    // After each loop the item goes on: the property after the first, the
    // remark and the hint after the second.
    std::vector<long> order;
    for (const auto& [text, x, y] : std::vector<std::tuple<std::string, float, float>>{
             {"x=", 100, 390}, {"比例式の性質", 40, 450}, {"② ", 640, 50}, {"x=", 700, 470},
             {"( )があっても比例式の性質が使える。", 640, 530}, {"教科書P108 問2 をしなさい。", 280, 600}}) {
        long at = -1;
        for (size_t i = 0; i < run->rich_texts.size() && at < 0; ++i) {
            const auto& t = run->rich_texts[i];
            if (t.text.rfind(text, 0) == 0 && t.x == x && t.y == y) at = static_cast<long>(i);
        }
        EXPECT_GE(at, 0) << text;
        order.push_back(at);
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
}

TEST(ApplyTopic5, OtherAnswersRepeatAndEraseOnlyTheProblemArea) {
    auto run = run_example({"3", "3/4", "1"}, {"7", "1"}, 11);
    const auto first = problems(*run, kFirstPlaces, "① ");
    const auto second = problems(*run, kSecondPlaces, "② ");
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 2u);
    // New numbers are drawn for every problem.
    EXPECT_TRUE(first[0] != first[1] || first[1] != first[2]);

    // After the item's own clearing, every erase is either a problem's own
    // box (below the title; the right half) or part of the bottom band.
    const auto boxes = run->recorder.boxes();
    auto item_clear = std::find_if(boxes.begin(), boxes.end(), [](const FillBox& b) {
        return b.x1 == 0 && b.y1 == 0 && b.x2 == 1320 && b.y2 == 1300 && b.fill == 15;
    });
    ASSERT_NE(item_clear, boxes.end());
    int below_title = 0, right_half = 0;
    for (auto b = item_clear + 1; b != boxes.end(); ++b) {
        if (b->fill != 15) continue;
        if (b->x1 == 40 && b->y1 == 90 && b->x2 == 2040 && b->y2 == 1890) ++below_title;
        else if (b->x1 == 640 && b->y1 == 30 && b->x2 == 2640 && b->y2 == 1830) ++right_half;
        else EXPECT_GE(b->y1, 639) << "erase at " << b->x1 << "," << b->y1;
    }
    EXPECT_EQ(below_title, 3);
    EXPECT_EQ(right_half, 2);
}

TEST(ApplyTopic5, FirstProblemIsAWholeNumberProportion) {
    std::set<int> bs, as, ks;
    for (std::uint64_t seed = 1; seed <= 150; ++seed) {
        auto run = run_example({"2", "1"}, {"1"}, seed);
        for (const auto& p : problems(*run, kFirstPlaces, "① ")) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(p[0], m, std::regex("① x:(\\d+)=(\\d+):(\\d+)"))) << p[0];
            const int kb = std::stoi(m[1]), a = std::stoi(m[2]), b = std::stoi(m[3]);
            EXPECT_NE(a, b) << p[0];
            EXPECT_NE(b, 1) << p[0];
            EXPECT_TRUE(b >= 2 && b <= 5 && a >= 1 && a <= 5) << p[0];
            ASSERT_EQ(kb % b, 0) << p[0];
            EXPECT_TRUE(kb / b == 2 || kb / b == 3) << p[0];
            bs.insert(b), as.insert(a), ks.insert(kb / b);

            const Rational x = root_of(p[0].substr(std::string("① ").size()));
            EXPECT_EQ(x.d, 1) << p[0];
            for (const auto& line : p) {
                const std::string body =
                    line.rfind("① ", 0) == 0 ? line.substr(std::string("① ").size()) : line;
                EXPECT_EQ(root_of(body), x) << line << " in " << p[0];
            }
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
        for (const auto& p : problems(*run, kSecondPlaces, "② ")) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(p[0], m, opening)) << p[0];
            const int ec = std::stoi(m[1]), c = std::stoi(m[4]), d = std::stoi(m[5]);
            EXPECT_TRUE(c == 3 || c == 5) << p[0];
            EXPECT_TRUE(ec % c == 0 && ec / c >= 1 && ec / c <= 4) << p[0];
            EXPECT_TRUE(d == 2 || d == 4 || d == 7 || d == 8) << p[0];
            EXPECT_TRUE(m[2] == "" || m[2] == "2") << p[0];
            ds.insert(d), fs.insert(m[2] == "" ? 1 : 2);
            (m[3].str()[0] == '-' ? negative_b : positive_b) = true;

            const Rational x = root_of(p[0].substr(std::string("② ").size()));
            for (const auto& line : p) {
                // No coefficient 1 before x and no doubled signs.
                EXPECT_FALSE(std::regex_search(line, std::regex("(^|[^0-9])1x"))) << line;
                EXPECT_EQ(line.find("+-"), std::string::npos) << line;
                EXPECT_EQ(line.find("--"), std::string::npos) << line;
                const std::string body =
                    line.rfind("② ", 0) == 0 ? line.substr(std::string("② ").size()) : line;
                EXPECT_EQ(root_of(body), x) << line << " in " << p[0];
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
