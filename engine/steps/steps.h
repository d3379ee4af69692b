#pragma once
// The step solver: a linear equation in x, typed as text, worked line by line
// the way the lessons' drills work their problems, with exact rationals.
//
// It takes what an equation field or an input method gives: whole numbers,
// decimals, fractions a/b, x with a coefficient (3x, -x, (2/3)x, x/4, 3x/5),
// + - * / and × ÷, parentheses nested two deep, a fraction whose numerator
// is an expression ((2x-1)/3), and a proportion a:b=c:d whose terms may hold
// x. Full-width characters are read as their plain forms.
//
// The lines follow the drills, each step only when it is needed:
//   比の性質 (a proportion becomes a product of its outer and inner terms),
//   両辺にLをかける when a fraction has an expression over its denominator
//   (then the brackets are removed), かっこをはずす, 両辺に10をかける for
//   decimals and 両辺にLをかける for fractions (L their least common multiple),
//   移項 (x-terms to the left, numbers to the right, each moved term's sign
//   changed), まとめる to ax=b, and 両辺をaでわる.
// Platform-free: nothing here draws.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/practice/rational.h"

namespace lk::steps {

enum class StepKind {
    proportion,  // a:b=c:d written as the product of outer and inner terms
    multiply,    // both sides multiplied by a number
    calculate,   // the products of the line before worked out
    brackets,    // parentheses removed
    transpose,   // 移項
    collect,     // ax=b
    divide,      // both sides divided by a
    verdict,     // no single solution: said in words
};

enum class Side { left, right };

// A term that 移項 carries to the other side, before and after: its side,
// its place among that side's terms (from 0) and its sign. The texts are
// the term's rich text without its sign.
struct Move {
    std::string text_before, text_after;
    Side from = Side::left;
    int place_before = 0;
    char sign_before = '+';
    Side to = Side::right;
    int place_after = 0;
    char sign_after = '-';
};

// The colours of a line, as the drills draw them (Script::text's numbers).
inline constexpr int kLineColour = 0;
inline constexpr int kAnswerColour = 5;

struct Step {
    StepKind kind = StepKind::calculate;
    // The step's name, as the lesson says it: "移項", "両辺に12をかける".
    std::string name;
    // The line as the formula renderer takes it ("ﾀ2x-1/3ﾀ" is a stacked
    // fraction) and as plain ASCII ("(2x-1)/3").
    std::string rich, plain;
    int colour = kLineColour;
    // The terms a 移項 line moved; empty on every other line.
    std::vector<Move> moves;
};

enum class Outcome { one, every, none };

struct Solution {
    // The equation as read, in rich and plain text.
    std::string given_rich, given_plain;
    std::vector<Step> steps;
    Outcome outcome = Outcome::one;
    // The solution when the outcome is one.
    Rational x;
};

// Why a text was not taken: a message naming the place, and the place (the
// character, from 1; 0 when the message is about the whole text).
struct Refusal {
    std::string message;
    int position = 0;
};

using Result = std::variant<Solution, Refusal>;

// The longest text taken, in characters, and the most digits in a number.
inline constexpr int kMaxCharacters = 80;
inline constexpr int kMaxDigits = 9;
// How deep parentheses may nest.
inline constexpr int kMaxNesting = 2;

// Works an equation. Never throws for any input.
Result solve(std::string_view text);

// A rich text as plain ASCII: a stacked fraction "ﾀn/dﾀ" as n/d, with a
// numerator or denominator that is an expression in parentheses, and the
// whole fraction in parentheses when x or a number follows it ("(2/3)x").
std::string plain_text(std::string_view rich);

}  // namespace lk::steps
