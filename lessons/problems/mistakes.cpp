// The typical mistakes of each kind, as the wrong answers they give. Each
// kind's slips are written in the letters its generator names its numbers
// with (Problem::numbers), beside the equation they come from.
#include "mistakes.h"

#include <optional>

namespace lk::problems {

namespace {

enum Code : int {
    kSignConstant = 1,     // a number moved across without changing its sign
    kSignX = 2,            // an x-term moved across without changing its sign
    kConstantSide = 3,     // the numbers gathered on the side of x
    kDivideUpsideDown = 4, // b/a for ax=b
    kBracketFirst = 5,     // the factor multiplied into the first term only
    kTenthsXOnly = 6,      // only the x-terms multiplied by 10
    kTenthsNumberOnly = 7, // only the numbers multiplied by 10
    kDenominatorSome = 8,  // only the fractions multiplied by the denominators
    kNumeratorBracket = 9, // (ux+v)/m taken as ux+v/m
    kCrossed = 10,         // the outer and inner products crossed
    kInverse = 11,         // the operation done the same way, not undone
};

using Slips = std::vector<std::pair<int, Rational>>;

// Adds the slip's answer n/d, unless d is 0 (the slip gives no number).
void add(Slips& out, int code, const Rational& n, const Rational& d) {
    if (d == Rational(0)) return;
    out.emplace_back(code, n / d);
}

}  // namespace

const std::vector<Mistake>& mistakes() {
    static const std::vector<Mistake> table{
        {kSignConstant, "移項したとき、数の項の符号を変えましたか。", "移項で数の符号を変えていない"},
        {kSignX, "移項したとき、xの項の符号を変えましたか。", "移項でxの符号を変えていない"},
        {kConstantSide, "xの項は左辺に、数の項は右辺に集めましたか。", "数の項を集める辺がちがう"},
        {kDivideUpsideDown, "両辺をxの係数でわりましたか。分数の上と下が逆になっていませんか。", "わる数とわられる数が逆"},
        {kBracketFirst, "かっこをはずすとき、かっこの中のすべての項にかけましたか。", "かっこの中の一部にしかかけていない"},
        {kTenthsXOnly, "両辺に10をかけるとき、数の項にもかけましたか。", "10を数の項にかけていない"},
        {kTenthsNumberOnly, "両辺に10をかけるとき、xの項にもかけましたか。", "10をxの項にかけていない"},
        {kDenominatorSome, "分母をはらうとき、分数でない項にもかけましたか。", "分母をはらうとき一部の項にしかかけていない"},
        {kNumeratorBracket, "分母をはらうとき、分子の式にかっこをつけましたか。", "分子にかっこをつけていない"},
        {kCrossed, "比の性質は、外側の項の積＝内側の項の積です。かける組を確かめましょう。", "比の積の組がちがう"},
        {kInverse, "両辺に同じ数をかけるのか、同じ数でわるのかを確かめましょう。", "等式の性質の使い方が逆"},
    };
    return table;
}

const Mistake* mistake_of_code(int code) {
    const auto& table = mistakes();
    if (code < 1 || code > static_cast<int>(table.size())) return nullptr;
    return &table[static_cast<size_t>(code - 1)];
}

Slips mistaken_answers(const Problem& p) {
    Slips out;
    if (!p.kind || p.yes_no()) return out;
    const auto n = [&](std::string_view name) { return p.number(name); };
    const std::string_view id = p.kind->id;
    if (id == "solve-one-step") {
        if (p.variant == 1) {  // x+a=b
            add(out, kSignConstant, n("b") + n("a"), 1);
        } else if (p.variant == 2) {  // x-a=b
            add(out, kSignConstant, n("b") - n("a"), 1);
        } else if (p.variant == 3) {  // (1/c)x=d
            add(out, kInverse, n("d"), n("c"));
        } else {  // cx=cd
            add(out, kInverse, n("cd") * n("c"), 1);
            add(out, kDivideUpsideDown, n("c"), n("cd"));
        }
    } else if (id == "solve-x-plus-b") {  // x+b=d
        add(out, kSignConstant, n("d") + n("b"), 1);
    } else if (id == "solve-ax-cx-d") {  // ax=cx+d
        const Rational a = n("a"), c = n("c"), d = n("d");
        add(out, kSignX, d, a + c);
        add(out, kConstantSide, -d, a - c);
        add(out, kDivideUpsideDown, a - c, d);
    } else if (id == "solve-both-sides" || id == "solve-decimals") {  // ax+b=cx+d
        const Rational a = n("a"), b = n("b"), c = n("c"), d = n("d");
        add(out, kSignConstant, d + b, a - c);
        add(out, kSignX, d - b, a + c);
        add(out, kDivideUpsideDown, a - c, d - b);
        if (id == "solve-both-sides") {
            add(out, kConstantSide, b - d, a - c);
        } else {
            // 10ax+b=10cx+d, or ax+10b=cx+10d.
            add(out, kTenthsXOnly, d - b, (a - c) * 10);
            add(out, kTenthsNumberOnly, (d - b) * 10, a - c);
        }
    } else if (id == "solve-parentheses") {  // ax+p(qx+t)=d
        const Rational a = n("a"), p_ = n("p"), q = n("q"), t = n("t"), d = n("d");
        add(out, kBracketFirst, d - t, a + p_ * q);
        add(out, kSignConstant, d + p_ * t, a + p_ * q);
        add(out, kDivideUpsideDown, a + p_ * q, d - p_ * t);
    } else if (id == "solve-fraction-coefficients") {  // (g/e)x+s=(h/f)x, times ef
        const Rational g = n("g"), e = n("e"), s = n("s"), h = n("h"), f = n("f");
        const Rational left = g * f, right = h * e, l = e * f;
        add(out, kDenominatorSome, -s, left - right);
        add(out, kSignConstant, s * l, left - right);
        add(out, kSignX, -s * l, left + right);
        add(out, kDivideUpsideDown, left - right, -s * l);
    } else if (id == "solve-fraction-sides") {  // (ux+v)/m=(wx+z)/n, times mn
        const Rational u = n("u"), v = n("v"), m = n("m"), w = n("w"), z = n("z"), nn = n("n");
        add(out, kBracketFirst, z - v, nn * u - m * w);
        add(out, kNumeratorBracket, m * z - nn * v, m * nn * (u - w));
        add(out, kSignConstant, m * z + nn * v, nn * u - m * w);
        add(out, kSignX, m * z - nn * v, nn * u + m * w);
        add(out, kDivideUpsideDown, nn * u - m * w, m * z - nn * v);
    } else if (id == "apply-ratio-whole") {  // x:kb=a:b, so bx=kb·a
        const Rational kb = n("kb"), a = n("a"), b = n("b");
        add(out, kCrossed, kb * b, a);
        add(out, kDivideUpsideDown, b, kb * a);
    } else if (id == "apply-ratio-fraction") {  // ec:(fx+b)=c:d, so c(fx+b)=ec·d
        const Rational ec = n("ec"), f = n("f"), b = n("b"), c = n("c"), d = n("d");
        add(out, kCrossed, ec * c - d * b, d * f);
        add(out, kBracketFirst, ec * d - b, c * f);
        add(out, kSignConstant, ec * d + c * b, c * f);
        add(out, kDivideUpsideDown, c * f, ec * d - c * b);
    }
    return out;
}

const Mistake* diagnose(const Problem& problem, const Rational& typed) {
    if (problem.yes_no() || typed == problem.solution()) return nullptr;
    std::optional<int> found;
    for (const auto& [code, value] : mistaken_answers(problem)) {
        if (value == problem.solution()) continue;  // this slip does no harm here
        if (!(value == typed)) continue;
        if (found && *found != code) return nullptr;  // two slips give this number
        found = code;
    }
    return found ? mistake_of_code(*found) : nullptr;
}

}  // namespace lk::problems
