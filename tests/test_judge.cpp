// The judge of typed answers: what a typed text reads as, the verdict on it,
// and for a range of answers every way of writing them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <string_view>
#include <string>
#include <vector>

#include "engine/practice/judge.h"
#include "engine/present/strings.h"

namespace {

using lk::Rational;
using lk::practice::judge;
using lk::practice::read_typed;
using lk::practice::Reading;
using lk::practice::Verdict;
using Status = Reading::Status;

const char* verdict_name(Verdict v) {
    switch (v) {
    case Verdict::correct: return "correct";
    case Verdict::not_simplest: return "not_simplest";
    case Verdict::need_fraction: return "need_fraction";
    case Verdict::not_a_number: return "not_a_number";
    case Verdict::wrong: return "wrong";
    }
    return "?";
}

TEST(Judge, ReadsTypedText) {
    struct Number {
        const char* typed;
        Rational value;
        bool simplest, decimal, fraction;
    };
    const Number numbers[] = {
        // plain forms, with the prefixes and spaces that change nothing
        {"3", 3, true, false, false},
        {"-3", -3, true, false, false},
        {"+3", 3, true, false, false},
        {"x=3", 3, true, false, false},
        {"X=-3", -3, true, false, false},
        {" x = + 7 / 3 ", {7, 3}, true, false, true},
        {"- 7/ 3", {-7, 3}, true, false, true},
        {"0", 0, true, false, false},
        {"0.5", {1, 2}, true, true, false},
        {".5", {1, 2}, true, true, false},
        {"-.5", {-1, 2}, true, true, false},
        {"123456789", 123456789, true, false, false},
        {"0.123456789", {123456789, 1000000000}, true, true, false},
        // what an IME commits
        {"ｘ＝－３／４", {-3, 4}, true, false, true},
        {"ー２", -2, true, false, false},
        {"ｰ2", -2, true, false, false},
        {"−2", -2, true, false, false},
        {"‐2", -2, true, false, false},
        {"＋１．２５", {5, 4}, true, true, false},
        {"Ｘ＝　１２", 12, true, false, false},
        // equal values that are not written in simplest form
        {"0.50", {1, 2}, false, true, false},
        {"3.0", 3, false, true, false},
        {"-0", 0, false, false, false},
        {"03", 3, false, false, false},
        {"00.5", {1, 2}, false, true, false},
        {"6/3", 2, false, false, true},
        {"4/6", {2, 3}, false, false, true},
        {"3/-2", {-3, 2}, false, false, true},
        {"-3/-2", {3, 2}, false, false, true},
        {"3/1", 3, false, false, true},
        {"0/5", 0, false, false, true},
        {"03/4", {3, 4}, false, false, true},
    };
    for (const auto& c : numbers) {
        SCOPED_TRACE(c.typed);
        const Reading r = read_typed(c.typed);
        ASSERT_EQ(r.status, Status::number);
        EXPECT_EQ(r.value, c.value) << r.value.text();
        EXPECT_EQ(r.simplest, c.simplest);
        EXPECT_EQ(r.decimal, c.decimal);
        EXPECT_EQ(r.fraction, c.fraction);
    }

    struct Other {
        const char* typed;
        Status status;
    };
    const Other others[] = {
        {"", Status::empty},
        {"   ", Status::empty},
        {"　", Status::empty},
        {"x=", Status::empty},
        {"-", Status::malformed},
        {"+", Status::malformed},
        {".", Status::malformed},
        {"3/", Status::malformed},
        {"/3", Status::malformed},
        {"1.2.3", Status::malformed},
        {"--3", Status::malformed},
        {"+-3", Status::malformed},
        {"-+3", Status::malformed},
        {"3.", Status::malformed},
        {"1.5/2", Status::malformed},
        {"3/.5", Status::malformed},
        {"3/+2", Status::malformed},
        {"1/2/3", Status::malformed},
        {"1 2", Status::malformed},  // a space would join two numbers
        {"1. 5", Status::malformed},
        {"abc", Status::malformed},
        {"3x", Status::malformed},
        {"x3", Status::malformed},
        {"3=x", Status::malformed},
        {"\xE3\x81", Status::malformed},  // a cut character
        {"1234567890", Status::malformed},  // more digits than a number may hold
        {"2.3333333333", Status::malformed},
        {"123456789.5", Status::malformed},
        {"1                         ", Status::malformed},  // longer than kMaxAnswerChars
        {"3/0", Status::zero_denominator},
        {"-3/-00", Status::zero_denominator},
        {"0/0", Status::zero_denominator},
    };
    for (const auto& c : others) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(read_typed(c.typed).status, c.status);
    }
    EXPECT_EQ(read_typed(std::string(100000, '9')).status, Status::malformed);
}

TEST(Judge, Verdicts) {
    struct Case {
        const char* typed;
        Rational answer;
        Verdict verdict;
        const char* says;  // a part of the message
    };
    const Rational seven_thirds{7, 3};
    const Case cases[] = {
        {"7/3", seven_thirds, Verdict::correct, "正解"},
        {"x = ７／３", seven_thirds, Verdict::correct, "正解"},
        {"0.25", {1, 4}, Verdict::correct, "正解"},
        {"14/6", seven_thirds, Verdict::not_simplest, "約分"},
        {"14/-6", seven_thirds * Rational(-1), Verdict::not_simplest, "約分"},
        {"6/3", 2, Verdict::not_simplest, "整数で答えましょう"},
        {"2.0", 2, Verdict::not_simplest, "整数で答えましょう"},
        {"3/-2", {-3, 2}, Verdict::not_simplest, "分数の前"},
        {"-3/-2", {3, 2}, Verdict::not_simplest, "分子と分母"},
        {"0.50", {1, 2}, Verdict::not_simplest, "終わりの 0"},
        {"-0", 0, Verdict::not_simplest, "0 にマイナス"},
        {"03", 3, Verdict::not_simplest, "始めの余分な 0"},
        {"2.33", seven_thirds, Verdict::need_fraction, "分数で"},
        {"2.3", seven_thirds, Verdict::need_fraction, "分数で"},
        {"2.333", seven_thirds, Verdict::need_fraction, "分数で"},
        {"2.34", seven_thirds, Verdict::need_fraction, "分数で"},
        {"-0.67", {-2, 3}, Verdict::need_fraction, "分数で"},
        {"2.35", seven_thirds, Verdict::wrong, "ちがいます"},    // more than 0.01 away
        {"2.330", seven_thirds, Verdict::wrong, "ちがいます"},   // more than 0.001 away
        {"0.2", {1, 4}, Verdict::wrong, "ちがいます"},          // 1/4 has a decimal of its own
        {"2", seven_thirds, Verdict::wrong, "ちがいます"},
        {"-7/3", seven_thirds, Verdict::wrong, "ちがいます"},
        {"5", 3, Verdict::wrong, "ちがいます"},
        {"", 3, Verdict::not_a_number, "数を入力してください"},
        {"abc", 3, Verdict::not_a_number, "数の形になっていません"},
        {"3/0", 3, Verdict::not_a_number, "0 で割ることはできません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " for " + c.answer.text());
        const auto j = judge(c.typed, c.answer);
        EXPECT_STREQ(verdict_name(j.verdict), verdict_name(c.verdict)) << j.message;
        EXPECT_NE(j.message.find(c.says), std::string::npos) << j.message;
        EXPECT_EQ(j.counts(), c.verdict == Verdict::correct || c.verdict == Verdict::wrong);
        // The programs draw their texts in code page 932's characters.
        EXPECT_TRUE(lk::representable_in_cp932(j.message)) << j.message;
    }
    EXPECT_EQ(judge("3/0", 1).message, "0 で割ることはできません");
}

// ---- Every way of writing an answer ----

std::string full_width(const std::string& plain) {
    std::string out;
    for (const char c : plain) {
        if (c >= '0' && c <= '9') out += std::string_view("０１２３４５６７８９").substr(3 * (c - '0'), 3);
        else if (c == '-') out += "－";
        else if (c == 'x') out += "ｘ";
        else if (c == '=') out += "＝";
        else if (c == '/') out += "／";
        else if (c == '.') out += "．";
        else out += c;
    }
    return out;
}

bool terminates(Rational a) {
    std::int64_t d = a.d;
    while (d % 2 == 0) d /= 2;
    while (d % 5 == 0) d /= 5;
    return d == 1;
}

// n/d (d > 0) as a decimal with `places` digits after the point, rounded to
// the nearest.
std::string decimal(Rational a, int places) {
    std::int64_t scale = 1;
    for (int i = 0; i < places; ++i) scale *= 10;
    const std::int64_t scaled = (std::llabs(a.n) * scale * 2 + a.d) / (2 * a.d);
    std::string digits = std::to_string(scaled);
    if (static_cast<int>(digits.size()) <= places) digits = std::string(places + 1 - digits.size(), '0') + digits;
    const std::size_t point = digits.size() - places;
    std::string out = a.n < 0 ? "-" : "";
    out.append(digits, 0, point).append(".").append(digits, point);
    return out;
}

// The exact decimal of a terminating a.
std::string exact_decimal(Rational a) {
    for (int places = 1;; ++places) {
        std::int64_t scale = 1;
        for (int i = 0; i < places; ++i) scale *= 10;
        if (scale % a.d == 0) return decimal(a, places);
    }
}

TEST(Judge, EveryFormOfAnAnswer) {
    std::vector<Rational> answers;
    for (int n = -12; n <= 12; ++n) answers.emplace_back(n);
    for (int d = 2; d <= 20; ++d)
        for (int n = -2 * d; n <= 2 * d; ++n)
            if (std::gcd(n, d) == 1) answers.emplace_back(n, d);

    int checked = 0;
    for (const Rational& a : answers) {
        SCOPED_TRACE("answer " + a.text());
        const std::string t = a.text();
        const std::string sign = a.n < 0 ? "-" : "";
        const std::string magnitude = (a.n < 0 ? -a : a).text();

        std::vector<std::string> right = {t, "x=" + t, "X = " + t, full_width("x=" + t), " " + t + " "};
        if (a.n >= 0) right.push_back("+" + t);
        if (!a.is_whole()) right.push_back(sign + std::to_string(std::llabs(a.n)) + " / " + std::to_string(a.d));
        if (!a.is_whole() && terminates(a)) {
            const std::string dec = exact_decimal(a);
            right.push_back(dec);
            right.push_back(full_width(dec));
            if (std::llabs(a.n) < a.d) right.push_back(sign + dec.substr(sign.size() + 1));  // ".5", "-.5"
        }
        for (const auto& typed : right) {
            SCOPED_TRACE(typed);
            EXPECT_EQ(judge(typed, a).verdict, Verdict::correct) << judge(typed, a).message;
            ++checked;
        }

        // Equal, but still to be simplified: never wrong, never correct.
        std::vector<std::string> unreduced = {
            std::to_string(-a.n) + "/-" + std::to_string(a.d),
            sign + "0" + magnitude,
        };
        for (int k = 2; k <= 4; ++k) unreduced.push_back(std::to_string(k * a.n) + "/" + std::to_string(k * a.d));
        if (a.is_whole()) unreduced.push_back(t + "/1");
        if (terminates(a)) unreduced.push_back((a.is_whole() ? t + "." : exact_decimal(a)) + "0");
        for (const auto& typed : unreduced) {
            SCOPED_TRACE(typed);
            EXPECT_EQ(judge(typed, a).verdict, Verdict::not_simplest) << judge(typed, a).message;
            ++checked;
        }

        // Other numbers are never taken for the answer.
        std::vector<Rational> others = {a + Rational(1)};
        if (a.n != 0) others.push_back(-a);
        if (a.n != 0 && !(Rational(1) / a == a)) others.push_back(Rational(1) / a);
        for (const Rational& other : others) {
            std::vector<std::string> forms = {other.text()};
            forms.push_back(terminates(other) ? exact_decimal(other) : decimal(other, 3));
            for (const auto& typed : forms) {
                SCOPED_TRACE(typed);
                const Verdict v = judge(typed, a).verdict;
                EXPECT_TRUE(v == Verdict::wrong || v == Verdict::need_fraction) << verdict_name(v);
                ++checked;
            }
        }

        // A decimal that rounds an answer without one of its own asks for
        // the fraction, at any number of places.
        if (!terminates(a))
            for (int places = 1; places <= 5; ++places) {
                SCOPED_TRACE(decimal(a, places));
                EXPECT_EQ(judge(decimal(a, places), a).verdict, Verdict::need_fraction);
                ++checked;
            }
    }
    EXPECT_GT(checked, 5000);
}

}  // namespace
