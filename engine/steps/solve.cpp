// Working an equation the lessons' way: each step a line, in the drills'
// order and texts, only when it is needed.
#include <cstdlib>

#include "terms.h"

namespace lk::steps {

namespace detail {

namespace {

constexpr std::string_view kFractionMark = "ﾀ";
constexpr std::int64_t kDecimalBase = 10;
// More decimal places than any number read can have.
constexpr int kMaxPlaces = 18;

std::string whole_text(std::int64_t v) { return std::to_string(v); }

bool is_whole(const Rational& v) { return v.d == 1; }

// The coefficient's text before x: "" for 1, "-" for -1.
std::string x_text(const Rational& a, bool decimal = false) {
    if (a == 1) return "x";
    if (a == -1) return "-x";
    return number_text(a, decimal) + "x";
}

// The answer as the drills' fraction texts write b/a: "ﾀ6/3ﾀ=2",
// "ﾀ-10/-2ﾀ=5", "ﾀ-7/3ﾀ=-ﾀ7/3ﾀ", and "ﾀ7/3ﾀ" when it cannot be reduced.
struct Quotient {
    std::string value;  // the reduced value alone
    std::string line;   // the quotient as given, "=", the reduced value
};
Quotient quotient(std::int64_t b, std::int64_t a) {
    const std::string mark(kFractionMark);
    const std::string given = mark + whole_text(b) + "/" + whole_text(a) + mark;
    const Rational r(b, a);
    const bool negative = r.n < 0;
    const std::string magnitude = whole_text(negative ? -r.n : r.n);
    if (r.d == 1) return {(negative ? "-" : "") + magnitude, given + "=" + (negative ? "-" : "") + magnitude};
    if (r.d == a && !negative) return {given, given};
    const std::string value = (negative ? "-" : "") + mark + magnitude + "/" + whole_text(r.d) + mark;
    return {value, given + "=" + value};
}

// The side's terms each multiplied by m, as the line that shows it writes
// them: "12*ﾀ1/3ﾀx+12*2".
std::string times_text(const Terms& side, std::int64_t m) {
    std::string out;
    for (std::size_t k = 0; k < side.size(); ++k)
        out += (side[k].minus ? "-" : k > 0 ? "+" : "") + whole_text(m) + "*" + side[k].text;
    return out;
}

class Worker {
public:
    explicit Worker(Reading r) : reading_(std::move(r)) {
        solution_.given_rich = reading_.given;
        solution_.given_plain = plain_text(reading_.given);
    }

    Solution work() {
        if (reading_.proportion) proportion();
        else left_ = std::move(reading_.left), right_ = std::move(reading_.right);
        clear_fraction_groups();
        remove_brackets();
        clear_fractions();
        transpose();
        collect();
        return std::move(solution_);
    }

private:
    Reading reading_;
    Solution solution_;
    Terms left_, right_;
    // A fraction with an expression over its denominator was cleared: the
    // drills then divide by the coefficient even when it is 1.
    bool cleared_fraction_groups_ = false;

    void emit(StepKind kind, std::string name, std::string rich, int colour = kLineColour,
              std::vector<Move> moves = {}) {
        Step s{kind, std::move(name), std::move(rich), {}, colour, std::move(moves)};
        s.plain = kind == StepKind::verdict ? s.rich : plain_text(s.rich);
        solution_.steps.push_back(std::move(s));
    }
    std::string equation() const { return side_text(left_) + "=" + side_text(right_); }
    bool all(auto&& test) const {
        for (const Terms* side : {&left_, &right_})
            for (const Term& t : *side)
                if (!test(t)) return false;
        return true;
    }

    // a:b=c:d becomes the products of the outer and the inner terms, the one
    // with x on the left, each with its number first.
    void proportion() {
        Term* r = reading_.ratio;
        Term outer = product(r[0], r[3]), inner = product(r[1], r[2]);
        if (outer.shape == Term::Shape::number && inner.shape != Term::Shape::number) std::swap(outer, inner);
        left_ = {std::move(outer)};
        right_ = {std::move(inner)};
        emit(StepKind::proportion, "比の性質", equation());
    }
    static Term product(const Term& a, const Term& b) {
        if (a.shape != Term::Shape::number && b.shape != Term::Shape::number)
            throw Refused{Refusal{"x と x のかけ算（xの2乗）になります。xの1次方程式を入力します。", 0}};
        const bool swap = a.shape != Term::Shape::number;
        const Term& n = swap ? b : a;
        const Term& f = swap ? a : b;
        Term t;
        t.shape = f.shape;
        t.coef = mul(n.coef, f.coef);
        t.body = f.body;
        t.decimal = n.decimal || f.decimal;
        t.fraction = n.fraction || f.fraction;
        t.plain_form = false;
        const std::string second = f.minus ? "(-" + f.text + ")" : f.text;
        const bool juxtaposed = f.shape == Term::Shape::group && second.starts_with("(");
        t.text = (n.minus ? "-" : "") + n.text + (juxtaposed ? "" : "*") + second;
        return t;
    }

    // A fraction with an expression over its denominator, (2x-1)/3: both
    // sides are multiplied by the least common multiple first, then the
    // brackets are removed.
    void clear_fraction_groups() {
        bool any = false;
        for (const Terms* side : {&left_, &right_})
            for (const Term& t : *side)
                any = any || (t.shape == Term::Shape::group && !is_whole(t.coef) && !t.written_as_decimal());
        if (!any) return;
        multiply_by(denominators(), true);
        cleared_fraction_groups_ = true;
    }

    std::int64_t denominators() const {
        std::int64_t m = 1;
        for (const Terms* side : {&left_, &right_})
            for (const Term& t : *side) m = lcm(m, t.coef.d);
        return m;
    }

    // Both sides times m: the line of the products, then the line of their
    // values (the calculation; a group keeps its brackets).
    void multiply_by(std::int64_t m, bool show_products) {
        const std::string name = "両辺に" + whole_text(m) + "をかける";
        if (show_products) emit(StepKind::multiply, name, times_text(left_, m) + "=" + times_text(right_, m));
        for (Terms* side : {&left_, &right_})
            for (Term& t : *side) {
                Term scaled = worked_term(t.shape, mul(t.coef, m), t, std::move(t.body));
                scaled.decimal = scaled.fraction = false;
                t = std::move(scaled);
            }
        if (show_products) emit(StepKind::calculate, "計算する", equation());
        else emit(StepKind::multiply, name, equation());
    }

    // Parentheses removed, and every term not yet in its worked form worked
    // out, in one line.
    void remove_brackets() {
        if (all([](const Term& t) { return t.shape != Term::Shape::group && t.plain_form; })) return;
        const bool groups = !all([](const Term& t) { return t.shape != Term::Shape::group; });
        for (Terms* side : {&left_, &right_}) {
            Terms flat;
            for (const Term& t : *side) flatten(t, Rational(1), false, false, flat);
            *side = std::move(flat);
        }
        emit(groups ? StepKind::brackets : StepKind::calculate, groups ? "かっこをはずす" : "計算する", equation());
    }
    static void flatten(const Term& t, const Rational& factor, bool decimal, bool fraction, Terms& out) {
        const Rational coef = mul(factor, t.coef);
        Term like;
        like.decimal = decimal || t.decimal;
        like.fraction = fraction || t.fraction;
        if (t.shape != Term::Shape::group) {
            out.push_back(worked_term(t.shape, coef, like));
            return;
        }
        for (const Term& inner : t.body) flatten(inner, coef, like.decimal, like.fraction, out);
    }

    // Decimals: both sides times 10 (or 100, ...), in one line. Fractions:
    // both sides times the least common multiple of the denominators, the
    // products shown first.
    void clear_fractions() {
        if (all([](const Term& t) { return is_whole(t.coef); })) return;
        if (all([](const Term& t) { return is_whole(t.coef) || t.written_as_decimal(); })) {
            std::int64_t m = 1;
            for (int places = 0; !all([&](const Term& t) { return m % t.coef.d == 0; }); ++places) {
                if (places == kMaxPlaces) throw Overflow{};
                m = mul(m, kDecimalBase);
            }
            multiply_by(m, false);
            return;
        }
        multiply_by(denominators(), true);
    }

    // 移項: the x-terms to the left, the numbers to the right, each moved
    // term with its sign changed.
    void transpose() {
        bool needed = false;
        for (const Term& t : left_) needed = needed || t.shape == Term::Shape::number;
        for (const Term& t : right_) needed = needed || t.shape != Term::Shape::number;
        if (!needed) return;
        Terms left, right;
        std::vector<Move> moves;
        auto keep = [](const Term& t, Terms& to) { to.push_back(t); };
        auto move = [&](const Term& t, Side from, int place, Terms& to, Side to_side) {
            // The sign changes, even on a 0.
            Term moved = t;
            moved.coef = neg(t.coef);
            moved.minus = !t.minus;
            moves.push_back(Move{t.text, moved.text, from, place, t.minus ? '-' : '+', to_side,
                                 static_cast<int>(to.size()), moved.minus ? '-' : '+'});
            to.push_back(std::move(moved));
        };
        for (const Term& t : left_)
            if (t.shape != Term::Shape::number) keep(t, left);
        for (int k = 0; k < static_cast<int>(right_.size()); ++k)
            if (right_[k].shape != Term::Shape::number) move(right_[k], Side::right, k, left, Side::left);
        for (const Term& t : right_)
            if (t.shape == Term::Shape::number) keep(t, right);
        for (int k = 0; k < static_cast<int>(left_.size()); ++k)
            if (left_[k].shape == Term::Shape::number) move(left_[k], Side::left, k, right, Side::right);
        left_ = std::move(left);
        right_ = std::move(right);
        emit(StepKind::transpose, "移項", equation(), kLineColour, std::move(moves));
    }

    // ax=b, then x alone: by dividing both sides by a, or in words when a is 0.
    void collect() {
        Rational a, b;
        for (const Term& t : left_) a = add(a, t.coef);
        for (const Term& t : right_) b = add(b, t.coef);
        if (left_.size() != 1 || right_.size() != 1) emit(StepKind::collect, "まとめる", x_text(a) + "=" + whole_text(b.n));
        if (a == 0) {
            solution_.outcome = b == 0 ? Outcome::every : Outcome::none;
            emit(StepKind::verdict, "答え", b == 0 ? "すべての数が解" : "解はない", kAnswerColour);
            return;
        }
        solution_.x = div(b, a);
        if (a == 1 && !cleared_fraction_groups_) {
            if (!solution_.steps.empty()) solution_.steps.back().colour = kAnswerColour;
            return;
        }
        const std::string name = "両辺を" + whole_text(a.n) + "でわる";
        const Quotient q = quotient(b.n, a.n);
        if (reading_.proportion) {
            const std::string mark(kFractionMark), at = whole_text(a.n);
            emit(StepKind::divide, name, mark + x_text(a) + "/" + at + mark + "=" + mark + whole_text(b.n) + "/" + at + mark);
            emit(StepKind::calculate, "計算する", "x=" + q.value, kAnswerColour);
        } else {
            emit(StepKind::divide, name, "x=" + q.line, kAnswerColour);
        }
    }
};

}  // namespace

std::string number_text(const Rational& v, bool decimal) {
    if (v.d == 1) return whole_text(v.n);
    const std::string sign = v.n < 0 ? "-" : "";
    const std::int64_t magnitude = v.n < 0 ? -v.n : v.n;
    if (decimal) {
        std::int64_t scale = 1;
        int places = 0;
        while (scale % v.d != 0 && places < kMaxPlaces) scale = mul(scale, kDecimalBase), ++places;
        if (scale % v.d == 0) {
            std::string digits = whole_text(mul(magnitude, scale / v.d));
            if (static_cast<int>(digits.size()) <= places) digits.insert(0, places + 1 - digits.size(), '0');
            digits.insert(digits.size() - places, ".");
            return sign + digits;
        }
    }
    const std::string mark(kFractionMark);
    return sign + mark + whole_text(magnitude) + "/" + whole_text(v.d) + mark;
}

std::string side_text(const Terms& side) {
    if (side.empty()) return "0";
    std::string out;
    for (std::size_t k = 0; k < side.size(); ++k) out += (side[k].minus ? "-" : k > 0 ? "+" : "") + side[k].text;
    return out;
}

Term worked_term(Term::Shape shape, const Rational& coef, const Term& like, Terms body) {
    Term t;
    t.shape = shape;
    t.coef = coef;
    t.decimal = like.decimal;
    t.fraction = like.fraction;
    t.minus = coef.n < 0;
    const Rational magnitude = t.minus ? neg(coef) : coef;
    const bool decimal = t.written_as_decimal();
    switch (shape) {
        case Term::Shape::number: t.text = number_text(magnitude, decimal); break;
        case Term::Shape::x: t.text = magnitude == 0 ? "0x" : x_text(magnitude, decimal); break;
        case Term::Shape::group:
            t.text = (magnitude == 1 ? "" : number_text(magnitude, decimal)) + "(" + side_text(body) + ")";
            t.body = std::move(body);
            break;
    }
    return t;
}

}  // namespace detail

Result solve(std::string_view text) {
    try {
        return detail::Worker(detail::read(text)).work();
    } catch (const detail::Refused& r) {
        return r.refusal;
    } catch (const detail::Overflow&) {
        return Refusal{"計算の途中で数が大きくなりすぎます。もっと小さい数の式を入力します。", 0};
    }
}

std::string plain_text(std::string_view rich) {
    const std::string_view mark = detail::kFractionMark;
    auto compound = [](std::string_view part) {
        return part.find_first_of("+-*/(", 1) != std::string_view::npos;
    };
    auto wrapped = [&](std::string_view part) {
        return compound(part) ? "(" + std::string(part) + ")" : std::string(part);
    };
    std::string out;
    for (std::size_t i = 0; i < rich.size();) {
        if (rich.substr(i, mark.size()) != mark) {
            out += rich[i++];
            continue;
        }
        const std::size_t close = rich.find(mark, i + mark.size());
        if (close == std::string_view::npos) {  // a mark without a partner is not drawn
            i += mark.size();
            continue;
        }
        const std::string_view inside = rich.substr(i + mark.size(), close - i - mark.size());
        const std::size_t bar = inside.find('/');
        std::string fraction = bar == std::string_view::npos
                                   ? std::string(inside)
                                   : wrapped(inside.substr(0, bar)) + "/" + wrapped(inside.substr(bar + 1));
        i = close + mark.size();
        const char next = i < rich.size() ? rich[i] : '\0';
        const char before = out.empty() ? '\0' : out.back();
        auto joins = [](char c) { return c == 'x' || c == '(' || c == ')' || c == '.' || (c >= '0' && c <= '9'); };
        if (joins(next) || (before != '(' && joins(before))) fraction = "(" + fraction + ")";
        out += fraction;
    }
    return out;
}

}  // namespace lk::steps
