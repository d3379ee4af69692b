#pragma once
// Reading back the equations a solvelesson screen drew: a strict parser for
// the formula texts of the drills and answer sheets (numbers, decimals, x,
// products, parentheses and stacked fractions) over the Rational of
// formula_parse.h, and the grouping of drawn lines into problems.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/formula_parse.h"
#include "support/replay.h"

namespace lk::testing {

// A linear expression c·x + k parsed from a rich text.
struct Linear {
    Rational c, k;
};

class Parser {
public:
    explicit Parser(std::string t) : s(std::move(t)) {}
    // The sides of an equation (or of a chain a=b=c).
    std::vector<Linear> equation() {
        std::vector<Linear> sides{expr()};
        while (eat("=")) sides.push_back(expr());
        if (i != s.size()) fail("trailing text");
        return sides;
    }

private:
    std::string s;
    size_t i = 0;
    bool in_fraction = false;  // fractions do not nest: inside one, "ﾀ" closes it
    static constexpr const char* kFrac = "ﾀ";

    [[noreturn]] void fail(const std::string& why) {
        throw std::runtime_error(why + " at " + std::to_string(i) + " in " + s);
    }
    bool at(const std::string& t) const { return s.compare(i, t.size(), t) == 0; }
    bool eat(const std::string& t) {
        if (!at(t)) return false;
        i += t.size();
        return true;
    }
    bool starts_factor() const {
        return i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == 'x' ||
                                s[i] == '(' || (!in_fraction && at(kFrac)));
    }
    Linear expr() {
        Linear sum;
        bool first = true;
        while (true) {
            int sign = 1;
            if (eat("+")) sign = 1;
            else if (eat("-")) sign = -1;
            else if (!first) break;
            Linear t = term();
            sum.c = sum.c + Rational(sign) * t.c;
            sum.k = sum.k + Rational(sign) * t.k;
            first = false;
        }
        return sum;
    }
    Linear term() {
        Linear p = factor();
        while (eat("*") || starts_factor()) {
            Linear q = factor();
            if (!(p.c == 0) && !(q.c == 0)) fail("x times x");
            p = {p.c * q.k + q.c * p.k, p.k * q.k};
        }
        return p;
    }
    Linear factor() {
        if (eat("-")) {
            Linear f = factor();
            return {Rational(0) - f.c, Rational(0) - f.k};
        }
        if (eat("x")) return {1, 0};
        if (eat("(")) {
            Linear e = expr();
            if (!eat(")")) fail("missing )");
            return e;
        }
        if (!in_fraction && eat(kFrac)) {
            in_fraction = true;
            Linear num = expr();
            if (!eat("/")) fail("missing /");
            Linear den = expr();
            if (!eat(kFrac)) fail("missing fraction end");
            in_fraction = false;
            if (!(den.c == 0) || den.k == 0) fail("bad denominator");
            return {num.c / den.k, num.k / den.k};
        }
        long long whole = 0, scale = 1;
        bool digits = false, point = false;
        while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) {
            if (s[i] == '.') {
                if (point || !digits) fail("bad decimal");
                point = true;
            } else {
                whole = whole * 10 + (s[i] - '0');
                if (point) scale *= 10;
                digits = true;
            }
            ++i;
        }
        if (!digits) fail("expected a factor");
        return {0, Rational(whole, scale)};
    }
};

// The solution of a one-line equation (the first two sides); the further
// sides of a chain must be numbers equal to the second.
inline Rational solution_of(const std::string& line) {
    auto sides = Parser(line).equation();
    if (sides.size() < 2) throw std::runtime_error("no equation: " + line);
    for (size_t j = 2; j < sides.size(); ++j) {
        if (!(sides[j].c == 0) || !(sides[j].k == sides[1].k) || !(sides[1].c == 0))
            throw std::runtime_error("broken chain: " + line);
    }
    Rational c = sides[0].c - sides[1].c, k = sides[1].k - sides[0].k;
    if (c == 0) throw std::runtime_error("no single solution: " + line);
    return k / c;
}

// The text as the renderer draws it: a fraction mark without a partner is
// dropped ("ﾀ1/3ﾀﾀx=5" draws as "ﾀ1/3ﾀx=5").
inline std::string as_drawn(const std::string& text) {
    const std::string mark = "ﾀ";
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, mark.size(), mark) != 0) {
            out += text[i++];
            continue;
        }
        const size_t close = text.find(mark, i + mark.size());
        if (close == std::string::npos) {
            i += mark.size();
            continue;
        }
        out += text.substr(i, close + mark.size() - i);
        i = close + mark.size();
    }
    return out;
}

inline Rational at(const Linear& l, const Rational& x) { return l.c * x + l.k; }
inline Linear expression(const std::string& text) {
    auto sides = Parser(as_drawn(text)).equation();
    if (sides.size() != 1) throw std::runtime_error("not one expression: " + text);
    return sides[0];
}
inline std::vector<std::string> split(const std::string& text, char by) {
    std::vector<std::string> out(1);
    for (char c : text)
        if (c == by) out.emplace_back();
        else out.back() += c;
    return out;
}

// The solution of the proportion "a:b=c:d" (a·d = b·c), which must be linear
// in x with one solution, no term of it 0 there.
inline Rational proportion_solution(const std::string& text) {
    const auto sides = split(text, '=');
    if (sides.size() != 2) throw std::runtime_error("not a proportion: " + text);
    const auto left = split(sides[0], ':'), right = split(sides[1], ':');
    if (left.size() != 2 || right.size() != 2) throw std::runtime_error("not a proportion: " + text);
    const Linear a = expression(left[0]), b = expression(left[1]), c = expression(right[0]),
                 d = expression(right[1]);
    auto times = [&](const Linear& u, const Linear& v) {
        if (!(u.c == 0) && !(v.c == 0)) throw std::runtime_error("x times x: " + text);
        return Linear{u.c * v.k + v.c * u.k, u.k * v.k};
    };
    const Linear ad = times(a, d), bc = times(b, c);
    if (ad.c == bc.c) throw std::runtime_error("no single solution: " + text);
    const Rational x = (bc.k - ad.k) / (ad.c - bc.c);
    for (const Linear& term : {a, b, c, d})
        if (at(term, x) == 0) throw std::runtime_error("a term is 0 at the solution: " + text);
    return x;
}

inline std::string without_prefix(std::string t) {
    for (const char* p : {"① ", "② "})
        if (t.starts_with(p)) t.erase(0, std::string(p).size());
    return t;
}

// Every line of one generated problem has the problem's solution, and the last
// line, in colour 5, states it as "x=" followed by numbers.
inline void expect_solved(const std::vector<RichText>& lines) {
    ASSERT_GE(lines.size(), 2u);
    const Rational x = solution_of(without_prefix(lines.front().text));
    for (const auto& l : lines) EXPECT_EQ(solution_of(without_prefix(l.text)), x) << l.text;
    const auto& last = lines.back();
    EXPECT_EQ(last.colour, 5) << last.text;
    ASSERT_TRUE(last.text.starts_with("x=")) << last.text;
    auto sides = Parser(last.text).equation();
    for (size_t j = 1; j < sides.size(); ++j) {
        EXPECT_TRUE(sides[j].c == 0) << last.text;
        EXPECT_EQ(sides[j].k, x) << last.text;
    }
}

// The generated problems of one drill: the rich texts at the drill's line
// positions, split where the first line's position comes again.
inline std::vector<std::vector<RichText>> problems(const std::vector<RichText>& texts,
                                            const std::vector<std::pair<float, float>>& at) {
    std::vector<std::vector<RichText>> out;
    for (const auto& t : texts) {
        auto it = std::find(at.begin(), at.end(), std::make_pair(t.x, t.y));
        if (it == at.end()) continue;
        if (it == at.begin()) out.emplace_back();
        if (!out.empty()) out.back().push_back(t);
    }
    return out;
}

inline std::string repeat(const std::string& keys, int n) {
    std::string out;
    for (int k = 0; k < n; ++k) out += keys;
    return out;
}

// The lines of each numbered problem of a sheet, with a line ending in "="
// continued by the next text.
inline std::map<std::string, std::vector<std::string>> sheet(const std::vector<RichText>& texts) {
    std::map<std::string, std::vector<std::string>> out;
    std::string current;
    for (const auto& t : texts) {
        if (t.y >= 640) continue;
        if (std::regex_match(t.text, std::regex("\\(\\d\\)"))) {
            current = t.text;
            continue;
        }
        if (current.empty() || t.colour == 3) continue;
        // A remark after the equation (" x=-4 等式の性質2") is left out.
        std::string text = t.text.substr(t.text.find_first_not_of(' '));
        text = text.substr(0, text.find(' '));
        auto& lines = out[current];
        if (!lines.empty() && lines.back().ends_with("=")) lines.back() += text;
        else lines.push_back(text);
    }
    return out;
}

}  // namespace lk::testing
