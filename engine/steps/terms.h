#pragma once
// The step solver's inside: checked rational arithmetic, and an equation as
// the solver works on it, a list of terms on each side. Only the solver's
// own files include this.
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "steps.h"

namespace lk::steps::detail {

// Thrown when a number outgrows 64 bits; the solver refuses the text.
struct Overflow {};
// Thrown by the reader with the message and place of what it refuses.
struct Refused {
    Refusal refusal;
};

inline std::int64_t checked(bool overflowed, std::int64_t r) {
    if (overflowed || r == std::numeric_limits<std::int64_t>::min()) throw Overflow{};
    return r;
}
inline std::int64_t mul(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    const bool overflowed = __builtin_mul_overflow(a, b, &r);
    return checked(overflowed, r);
}
inline std::int64_t add(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    const bool overflowed = __builtin_add_overflow(a, b, &r);
    return checked(overflowed, r);
}
inline Rational add(const Rational& a, const Rational& b) {
    const std::int64_t g = std::gcd(a.d, b.d);
    return Rational(add(mul(a.n, b.d / g), mul(b.n, a.d / g)), mul(a.d, b.d / g));
}
inline Rational neg(const Rational& a) { return Rational(-a.n, a.d); }
inline Rational sub(const Rational& a, const Rational& b) { return add(a, neg(b)); }
inline Rational mul(const Rational& a, const Rational& b) {
    // Cross-reduced first, so that the products stay as small as they can.
    const std::int64_t g1 = std::gcd(a.n, b.d), g2 = std::gcd(b.n, a.d);
    const std::int64_t s1 = g1 == 0 ? 1 : g1, s2 = g2 == 0 ? 1 : g2;
    return Rational(mul(a.n / s1, b.n / s2), mul(a.d / s2, b.d / s1));
}
// The caller makes sure b is not 0.
inline Rational div(const Rational& a, const Rational& b) { return mul(a, Rational(b.d, b.n)); }
inline std::int64_t lcm(std::int64_t a, std::int64_t b) { return mul(a / std::gcd(a, b), b); }

// A term of a side: a coefficient times nothing (a number), x, or a group
// (an expression in parentheses, the terms of `body`).
struct Term {
    enum class Shape { number, x, group };
    Shape shape = Shape::number;
    Rational coef;
    std::vector<Term> body;
    // How the term stands in the line: its sign, and its rich text without
    // the sign.
    bool minus = false;
    std::string text;
    // Written as the solver writes a worked term ("3x", "ﾀ2/3ﾀx", "-4",
    // "0.5x"), or as typed in a form the solver multiplies as it stands
    // ("x/4", "3x/5"): either way it needs no working out.
    bool plain_form = true;
    // Made with a typed decimal, or a typed fraction: a number made with
    // decimals and no fraction is written as a decimal.
    bool decimal = false, fraction = false;
    bool written_as_decimal() const { return decimal && !fraction; }
};

using Terms = std::vector<Term>;

// The number text of a value: "12", "-3", "0.25" for a decimal, "ﾀ2/3ﾀ"
// and "-ﾀ2/3ﾀ" for a fraction.
std::string number_text(const Rational& v, bool decimal);
// A side's rich text: its terms one after another, "+" before every term
// after the first that has no "-".
std::string side_text(const Terms& side);
// A term written as the solver writes it, with a new coefficient.
// (The flags decimal and fraction of `like` carry over.)
Term worked_term(Term::Shape shape, const Rational& coef, const Term& like, Terms body = {});

// The equation as read: the two sides, or a proportion's four terms.
struct Reading {
    std::string given;  // rich text
    bool proportion = false;
    Terms left, right;    // an equation's sides
    Term ratio[4];        // a:b=c:d, each part one term
};

// Reads a text; throws Refused for what it does not take.
Reading read(std::string_view text);

}  // namespace lk::steps::detail
