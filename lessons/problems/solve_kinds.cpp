// The generated problems of solvelesson's drills. Each generator draws its
// numbers, keeps them in the number table values_a with their texts in
// value_texts_a (format_number_tables), builds the lines its drill draws and
// works out the answer from the drawn whole numbers.
#include <vector>

#include "kinds.h"
#include "texts.h"

namespace lk::problems::detail {

namespace {

// The decimals kind's numbers are shown in tenths.
constexpr long long kTenths = 10;

// The x-term text of a coefficient with "+" in front when it is positive, for
// a term that follows another term.
std::string signed_x_term(float c, const std::string& c_text) {
    if (c <= 0) return x_term(c, c_text);
    std::string out = "+";
    return out += x_term(c, c_text);
}

// Two coefficients from 1 to 9 whose difference is at least 2 in size, so
// that collecting the x-terms never leaves 0x, x or -x.
void draw_apart(Script& s, float& a, float& c) {
    a = s.draw(9, 1);
    c = s.draw(9, 1);
    if (a - c == 0 || a - c == 1) a = a + 2;
    else if (c - a == 1) c = c + 2;
}

// A decimal number text with the zero the number texts leave out before the
// point: ".3" reads "0.3" and "-.4" reads "-0.4"; other texts are kept.
std::string with_leading_zero(const std::string& t) {
    if (t.starts_with(".")) return "0" + t;
    if (t.starts_with("-.")) return "-0" + t.substr(1);
    return t;
}

// The denominators a fractional problem picks from: picking position i takes
// the i-th entry and closes the gap, so that no denominator repeats within
// one problem. Every problem starts from the whole list.
struct Denominators {
    std::vector<float> left{1, 2, 3, 5, 7, 11};
    float pick(float position) {
        const auto at = left.begin() + (static_cast<int>(position) - 1);
        const float chosen = *at;
        left.erase(at);
        return chosen;
    }
};

}  // namespace

// Is the candidate v a solution of p·x + q = m·x + d? The equation is built
// around its solution s, and v is either s or a value one away from it.
std::optional<Problem> is_solution(Script& s, int) {
    Engine& e = s.e;
    auto& n = e.values_a;
    auto& t = e.value_texts_a;
    enum { S = 1, W, A, C, D, P, M, Q, V, L1, L, R1, R };

    n[S] = s.draw(10, -5);
    n[W] = s.draw(20, 1) <= 10 ? n[S] - 1 : n[S] + 1;
    n[A] = s.draw(9, 2);
    if (s.draw(20, 1) <= 10) n[A] = -n[A];
    n[C] = s.draw(10, 1);
    if (s.draw(20, 1) <= 10) n[C] = -n[C];
    // m = c - a is never 0, so s is the only solution.
    if (n[C] == n[A]) n[C] = n[C] + 1;
    n[D] = s.draw(10, 1);
    if (s.draw(20, 1) <= 10) n[D] = -n[D];
    n[P] = n[C];
    n[M] = n[C] - n[A];
    n[Q] = n[D] - n[A] * n[S];
    const float k = s.draw(2, 0);
    n[V] = k == 1 ? n[S] : n[W];
    n[L1] = n[P] * n[V];
    n[L] = n[L1] + n[Q];
    n[R1] = n[M] * n[V];
    n[R] = n[R1] + n[D];
    e.format_number_tables();

    Problem p;
    // Both sides at v, exactly.
    const long long v = whole(n[V]), a = whole(n[A]), c = whole(n[C]), d = whole(n[D]),
                    sv = whole(n[S]);
    const long long left = c * v + (d - a * sv), right = (c - a) * v + d;
    const bool yes = left == right;
    assert(yes == (k == 1));
    p.answer = YesNo{yes};
    p.numbers = {{"v", v}, {"p", c}, {"q", d - a * sv}, {"m", c - a}, {"d", d}};

    // A zero constant q is written as nothing ("2x=...", "=-6=-6"), so that
    // it never runs into the number before it.
    const std::string q = constant_term(n[Q], t[Q]);
    const std::string dt = signed_text(n[D], t[D]);
    const std::string candidate = n[V] < 0 ? "(" + t[V] + ")" : t[V];
    const std::string equation = x_term(n[P], t[P]) + q + "=" + x_term(n[M], t[M]) + dt;

    p.shown = {Line{{{3, t[V]}, {0, " は、方程式 "}, {3, equation}, {0, " の解ですか。"}}}};
    p.worked = {
        line(3, "x=" + t[V] + "を左辺に代入して"),
        line(0, "左辺=" + t[P] + "*" + candidate + q),
        Line{{{0, "=" + t[L1] + q + "="}, {3, t[L]}}},
        line(3, "x=" + t[V] + "を右辺に代入して"),
        line(0, "右辺=" + t[M] + "*" + candidate + dt),
        Line{{{0, "=" + t[R1] + dt + "="}, {3, t[R]}}},
        line(5, yes ? "左辺=右辺 だから 解である。" : "左辺≠右辺 だから 解ではない。"),
    };
    return p;
}

// One one-step equation of the given type:
// 1 x+a=b, 2 x-a=b, 3 (1/c)x=d, 4 cx=cd.
std::optional<Problem> one_step(Script& s, int type) {
    Engine& e = s.e;
    auto& n = e.values_a;
    auto& t = e.value_texts_a;
    enum { A = 1, B, C, D, DIFFERENCE, SUM, PRODUCT };

    n[A] = s.draw(7, 2);
    n[B] = s.draw(9, 1);
    if (s.draw(2, 0) == 0) n[B] = -n[B];
    n[C] = s.draw(8, 2);
    if (s.draw(2, 0) == 0) n[C] = -n[C];
    n[D] = s.draw(8, 1);
    if (s.draw(2, 0) == 0) n[D] = -n[D];
    n[DIFFERENCE] = n[B] - n[A];
    n[SUM] = n[B] + n[A];
    n[PRODUCT] = n[C] * n[D];
    e.format_number_tables();
    make_fraction(e, 1, n[C]);
    const std::string f = e.value_text;
    const std::string c_factor = n[C] < 0 ? "(" + t[C] + ")" : t[C];

    Problem p;
    const long long a = whole(n[A]), b = whole(n[B]), c = whole(n[C]), d = whole(n[D]);
    std::string line1, line2, line3;
    switch (type) {
        case 1:
            line1 = "x+" + t[A] + "=" + t[B];
            line2 = "x+" + t[A] + "-" + t[A] + "=" + t[B] + "-" + t[A];
            line3 = "x=" + t[DIFFERENCE];
            p.answer = Rational(b - a);
            p.numbers = {{"a", a}, {"b", b}};
            break;
        case 2:
            line1 = "x-" + t[A] + "=" + t[B];
            line2 = "x-" + t[A] + "+" + t[A] + "=" + t[B] + "+" + t[A];
            line3 = "x=" + t[SUM];
            p.answer = Rational(b + a);
            p.numbers = {{"a", a}, {"b", b}};
            break;
        case 3:
            // The "ﾀ" before x has no partner and is dropped when drawn, so
            // the fraction 1/c stands straight before x.
            line1 = f + "ﾀx=" + t[D];
            line2 = f + "ﾀx*" + c_factor + "=" + t[D] + "*" + c_factor;
            line3 = "x=" + t[PRODUCT];
            p.answer = Rational(c * d);
            p.numbers = {{"c", c}, {"d", d}};
            break;
        default:
            line1 = t[C] + "x=" + t[PRODUCT];
            line2 = "ﾀ" + t[C] + "x/" + t[C] + "ﾀ=ﾀ" + t[PRODUCT] + "/" + t[C] + "ﾀ";
            line3 = "x=" + t[D];
            p.answer = Rational(d);
            p.numbers = {{"c", c}, {"cd", c * d}};
            break;
    }
    p.shown = {line(0, line1)};
    p.worked = {line(0, line2), line(5, line3)};
    return p;
}

// x + b = d.
std::optional<Problem> add_constant(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    v[1] = s.draw(9, 1);
    v[2] = s.draw(9, 2);
    if (s.draw(2, 1) == 1) v[1] = -v[1];
    if (s.draw(2, 1) == 1) v[2] = -v[2];
    const float b = v[1], d = v[2];
    v[3] = -b;
    v[4] = d - b;
    e.format_number_tables();
    const std::string bt = signed_text(b, t[1]), dt = t[2], et = signed_text(-b, t[3]), st = t[4];

    Problem p;
    p.answer = Rational(whole(d) - whole(b));
    p.numbers = {{"b", whole(b)}, {"d", whole(d)}};
    p.shown = {line(0, "x" + bt + "=" + dt)};
    p.worked = {line(0, "x=" + dt + et), line(5, "x=" + st)};
    return p;
}

// a x = c x + d with the whole solution k.
std::optional<Problem> collect_x(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    float a, c;
    draw_apart(s, a, c);
    v[1] = a;
    v[2] = c;
    v[3] = -c;
    v[4] = a - c;
    v[5] = s.draw(9, 1);
    v[6] = v[5] * (a - c);
    e.format_number_tables();
    const float d = v[6];
    const std::string xa = x_term(a, t[1]), xc = x_term(c, t[2]), xm = x_term(-c, t[3]),
                      xs = x_term(a - c, t[4]);
    const std::string dt = signed_text(d, t[6]), dt_bare = without_leading_plus(e, dt);
    make_fraction(e, d, a - c);

    Problem p;
    const Rational x(whole(d), whole(a) - whole(c));
    assert(x == Rational(whole(v[5])));
    p.answer = x;
    p.numbers = {{"a", whole(a)}, {"c", whole(c)}, {"d", whole(d)}};
    p.shown = {line(0, xa + "=" + xc + dt)};
    p.worked = {line(0, xa + xm + "=" + dt_bare), line(0, xs + "=" + dt_bare),
                line(5, "x=" + e.fraction_line)};
    return p;
}

// x on both sides: a x + b = c x + d.
std::optional<Problem> both_sides(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    float a, c;
    draw_apart(s, a, c);
    if (s.draw(2, 1) == 1) c = -c;
    v[1] = a;
    v[2] = c;
    v[3] = -c;
    v[4] = a - c;
    v[5] = s.draw(9, 1);
    v[6] = -s.draw(9, 1);
    const float b = v[5], d = v[6];
    v[7] = -b;
    v[8] = d - b;
    e.format_number_tables();
    const std::string xa = x_term(a, t[1]), xc = x_term(c, t[2]), xm = signed_x_term(-c, t[3]),
                      xs = x_term(a - c, t[4]);
    const std::string bt = signed_text(b, t[5]), dt = t[6], mt = t[7],
                      st = without_leading_plus(e, t[8]);
    make_fraction(e, d - b, a - c);

    Problem p;
    p.answer = Rational(whole(d) - whole(b), whole(a) - whole(c));
    p.numbers = {{"a", whole(a)}, {"b", whole(b)}, {"c", whole(c)}, {"d", whole(d)}};
    p.shown = {line(0, xa + bt + "=" + xc + dt)};
    p.worked = {line(0, xa + xm + "=" + dt + mt), line(0, xs + "=" + st),
                line(5, "x=" + e.fraction_line)};
    return p;
}

// a x + p (q x + t) = d, with parentheses to remove.
std::optional<Problem> parentheses(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    const float p = -s.draw(3, 2);
    float q = s.draw(3, 1);
    const float tt = s.draw(3, 1);
    const float a = s.draw(9, 1);
    float m = -p * q, k = p * tt;
    // The x coefficient inside the parentheses grows until collecting the
    // x-terms leaves at least 2x or -2x.
    while (a - m == 0 || a - m == 1 || m - a == 0 || m - a == 1) {
        q = q + 1;
        m = -p * q;
        k = p * tt;
    }
    const float d = s.draw(9, 1);
    v[1] = a;
    v[2] = p;
    v[3] = q;
    v[4] = tt;
    v[5] = d;
    v[6] = -m;
    v[7] = k;
    v[8] = -k;
    v[9] = a - m;
    v[10] = d - k;
    e.format_number_tables();
    const std::string xa = x_term(a, t[1]), xm = x_term(-m, t[6]);
    make_fraction(e, d - k, a - m);

    Problem pr;
    // a x + p q x + p t = d: (a + p q) x = d - p t.
    const long long wa = whole(a), wp = whole(p), wq = whole(q), wt = whole(tt);
    pr.answer = Rational(whole(d) - wp * wt, wa + wp * wq);
    pr.numbers = {{"a", wa}, {"p", wp}, {"q", wq}, {"t", wt}, {"d", whole(d)}};
    pr.shown = {line(0, xa + t[2] + "(" + x_term(q, t[3]) + signed_text(tt, t[4]) + ")=" + t[5])};
    pr.worked = {line(0, xa + xm + signed_text(k, t[7]) + "=" + t[5]),
                 line(0, xa + xm + "=" + t[5] + signed_text(-k, t[8])),
                 line(0, x_term(a - m, t[9]) + "=" + t[10]), line(5, "x=" + e.fraction_line)};
    return pr;
}

// Decimal coefficients, shown in tenths and then multiplied by 10:
// a x + b = c x + d with a, b, c and d in tenths.
std::optional<Problem> decimals(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    float a = s.draw(7, 1), c = s.draw(7, 1);
    if (a - c == 0 || a - c == 1) a = a + 2;
    else if (c - a == 1) c = c + 2;
    c = -c;
    const float b = s.draw(9, 1);
    const float d = 10 * s.draw(9, 1);
    v[1] = a / 10;
    v[2] = b / 10;
    v[3] = c / 10;
    v[4] = d / 10;
    v[5] = a;
    v[6] = b;
    v[7] = c;
    v[8] = d;
    v[9] = -c;
    v[10] = -b;
    v[11] = a - c;
    v[12] = d - b;
    e.format_number_tables();
    const std::string a10 = with_leading_zero(t[1]), b10 = with_leading_zero(t[2]),
                      c10 = with_leading_zero(t[3]);
    make_fraction(e, d - b, a - c);

    Problem p;
    // The tenths a/10, b/10, c/10 and d/10, times 10.
    p.answer = Rational(whole(d) - whole(b), whole(a) - whole(c));
    // As shown: a x + b = c x + d in tenths.
    p.numbers = {{"a", Rational(whole(a), kTenths)},
                 {"b", Rational(whole(b), kTenths)},
                 {"c", Rational(whole(c), kTenths)},
                 {"d", Rational(whole(d), kTenths)}};
    p.shown = {line(0, x_term(v[1], a10) + signed_text(v[2], b10) + "=" + x_term(v[3], c10) +
                           signed_text(v[4], t[4]))};
    p.worked = {
        line(0, x_term(a, t[5]) + signed_text(b, t[6]) + "=" + x_term(c, t[7]) + signed_text(d, t[8])),
        line(0, x_term(a, t[5]) + "+" + x_term(-c, t[9]) + "=" + t[8] + signed_text(-b, t[10])),
        line(0, x_term(a - c, t[11]) + "=" + t[12]),
        line(5, "x=" + e.fraction_line),
    };
    return p;
}

// Fractional coefficients: (g/e) x + s = (h/f) x, cleared by multiplying by
// the product of the denominators.
std::optional<Problem> fractions(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    Denominators list;
    const float de = list.pick(s.draw(3, 3));
    const float df = list.pick(s.draw(2, 3));
    const float g = list.pick(s.draw(3, 1));
    const float h = list.pick(s.draw(2, 1));
    make_fraction(e, g, de);
    const std::string gt = e.value_text;
    make_fraction(e, h, df);
    const std::string ht = e.value_text;
    const float l = de * df, u = g * df, w = h * de;
    const float sv = s.draw(3, 1), k = sv * l;
    v[1] = l;
    v[2] = sv;
    v[3] = u;
    v[4] = k;
    v[5] = w;
    v[6] = -w;
    v[7] = -k;
    v[8] = u - w;
    e.format_number_tables();
    make_fraction(e, -k, u - w);
    const std::string f = e.fraction_line;

    Problem p;
    // (g f - h e) x = -s e f.
    const long long we = whole(de), wf = whole(df), wg = whole(g), wh = whole(h);
    p.answer = Rational(-whole(sv) * we * wf, wg * wf - wh * we);
    p.numbers = {{"g", wg}, {"e", we}, {"s", whole(sv)}, {"h", wh}, {"f", wf}};
    p.shown = {line(0, gt + "x" + signed_text(sv, t[2]) + "=" + ht + "x")};
    p.worked = {
        line(0, t[1] + "*" + gt + "x+" + t[1] + "*" + t[2] + "=" + t[1] + "*" + ht + "x"),
        line(0, x_term(u, t[3]) + signed_text(k, t[4]) + "=" + x_term(w, t[5])),
        line(0, x_term(u, t[3]) + x_term(-w, t[6]) + "=" +
                    without_leading_plus(e, signed_text(-k, t[7]))),
    };
    if (u - w == 1) {
        // x alone is left: this line is the answer.
        p.worked.push_back(line(5, x_term(u - w, t[8]) + "=" + t[7]));
    } else {
        p.worked.push_back(line(0, x_term(u - w, t[8]) + "=" + t[7]));
        p.worked.push_back(line(5, "x=" + f));
    }
    return p;
}

// Fractions on both sides: (u x + v)/m = (w x + z)/n. Numbers for which both
// sides keep the same x coefficient after clearing (n u = m w) give no single
// solution: the generator refuses them, and they are drawn again.
std::optional<Problem> fraction_sides(Script& s, int) {
    Engine& e = s.e;
    auto& v = e.values_a;
    auto& t = e.value_texts_a;
    Denominators list;
    const float m = list.pick(s.draw(4, 2));
    const float n = list.pick(s.draw(3, 2));
    const float u = s.draw(3, 1);
    float vv = s.draw(3, 1);
    if (vv == u) vv = vv + 1;
    const float w = s.draw(3, 1);
    const float z = -s.draw(3, 1);
    if (n * u == m * w) return std::nullopt;
    v[1] = m;
    v[2] = n;
    v[3] = m * n;
    v[4] = u;
    v[5] = vv;
    v[6] = w;
    v[7] = z;
    v[8] = n * u;
    v[9] = n * vv;
    v[10] = m * w;
    v[11] = m * z;
    v[12] = -m * w;
    v[13] = -n * vv;
    v[14] = n * u - m * w;
    v[15] = m * z - n * vv;
    e.format_number_tables();
    const std::string left = x_term(u, t[4]) + signed_text(vv, t[5]);
    const std::string right = x_term(w, t[6]) + t[7];
    make_fraction(e, v[15], v[14]);

    Problem p;
    // n (u x + v) = m (w x + z).
    const long long wm = whole(m), wn = whole(n);
    p.answer = Rational(wm * whole(z) - wn * whole(vv), wn * whole(u) - wm * whole(w));
    p.numbers = {{"u", whole(u)}, {"v", whole(vv)}, {"m", wm}, {"w", whole(w)}, {"z", whole(z)}, {"n", wn}};
    p.shown = {line(0, "ﾀ" + left + "/" + t[1] + "ﾀ=ﾀ" + right + "/" + t[2] + "ﾀ")};
    p.worked = {
        line(0, t[3] + "*ﾀ" + left + "/" + t[1] + "ﾀ=" + t[3] + "*ﾀ" + right + "/" + t[2] + "ﾀ"),
        line(0, t[2] + "(" + left + ")=" + t[1] + "(" + right + ")"),
        line(0, x_term(v[8], t[8]) + signed_text(v[9], t[9]) + "=" + x_term(v[10], t[10]) + t[11]),
        line(0, x_term(v[8], t[8]) + x_term(v[12], t[12]) + "=" + t[11] + signed_text(v[13], t[13])),
        line(0, x_term(v[14], t[14]) + "=" + t[15]),
        line(5, "x=" + e.fraction_line),
    };
    return p;
}

}  // namespace lk::problems::detail
