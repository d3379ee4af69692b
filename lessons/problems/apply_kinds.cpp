// The generated proportions of applylesson. They keep their numbers in the
// remembered-x table (M) with their texts in the cell-label table, and the
// coefficient of x in the remembered-y table (F) with its texts.
#include <vector>

#include "kinds.h"

namespace lk::problems::detail {

// x:kb = a:b with a and b different and b at least 2, so that the answer k·a
// is whole and the ratio a:b is not trivial.
std::optional<Problem> ratio_whole(Script& s, int) {
    Engine& e = s.e;
    auto& M = e.remembered_x;
    auto& Mt = e.cell_labels;

    const float b = s.draw(4, 2);
    std::vector<float> pool{1, 2, 3, 4, 5};
    std::erase(pool, b);
    const float a = pool[static_cast<std::size_t>(s.draw(4, 1)) - 1];
    const float k = s.draw(2, 2);
    M[2] = a;
    M[3] = b;
    M[4] = k * b;
    M[5] = k * a;
    M[7] = k * a * b;
    e.format_number_tables();

    Problem p;
    // x·b = kb·a.
    p.answer = Rational(whole(k) * whole(b) * whole(a), whole(b));
    p.numbers = {{"kb", whole(k) * whole(b)}, {"a", whole(a)}, {"b", whole(b)}};
    p.shown = {line(0, "x:" + Mt[4] + "=" + Mt[2] + ":" + Mt[3])};
    p.worked = {
        line(0, Mt[3] + "*x=" + Mt[4] + "*" + Mt[2]),
        line(0, Mt[3] + "x=" + Mt[7]),
        line(0, "ﾀ" + Mt[3] + "x/" + Mt[3] + "ﾀ=ﾀ" + Mt[7] + "/" + Mt[3] + "ﾀ"),
        line(5, "x=" + Mt[5]),
    };
    return p;
}

// ec:(fx+b) = c:d, with c taken from the front of the pool and d from the
// four places after it (2, 4, 7 or 8).
std::optional<Problem> ratio_fraction(Script& s, int) {
    Engine& e = s.e;
    auto& M = e.remembered_x;
    auto& Mt = e.cell_labels;
    auto& F = e.remembered_y;
    auto& Ft = e.remembered_y_texts;

    std::vector<float> pool{3, 5, 2, 4, 7, 8, 1, 8, 9};
    const auto c_at = static_cast<std::size_t>(s.draw(2, 1)) - 1;
    const float c = pool[c_at];
    pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(c_at));
    const float d = pool[static_cast<std::size_t>(s.draw(4, 2)) - 1];
    const float ec = s.draw(4, 1) * c;
    float b = s.draw(8, 2);
    if (s.draw(2, 0) == 0) b = -b;
    const float f = s.draw(2, 1);
    M[1] = ec;
    M[2] = b;
    M[3] = c;
    M[4] = d;
    M[5] = c * b;
    M[6] = d * ec;
    M[7] = -c * b;
    M[8] = M[6] + M[7];
    F[1] = f;
    F[2] = c * f;
    e.format_number_tables();

    // A coefficient 1 is not written before x, and the constant terms carry
    // their sign so that they can follow a term.
    if (F[1] == 1) Ft[1].clear();
    if (F[1] == -1) Ft[1] = std::string("-");
    for (int i : {2, 5, 7})
        if (M[i] > 0) Mt[i] = "+" + Mt[i];
    e.fraction_n = M[8];
    e.fraction_d = F[2];
    e.fraction_text();

    Problem p;
    // c (f x + b) = ec·d.
    const long long wc = whole(c);
    p.answer = Rational(whole(d) * whole(ec) - wc * whole(b), wc * whole(f));
    p.numbers = {{"ec", whole(ec)}, {"f", whole(f)}, {"b", whole(b)}, {"c", wc}, {"d", whole(d)}};
    const std::string term = "(" + Ft[1] + "x" + Mt[2] + ")";
    p.shown = {line(0, Mt[1] + ":" + term + "=" + Mt[3] + ":" + Mt[4])};
    p.worked = {
        line(0, Mt[3] + term + "=" + Mt[1] + "*" + Mt[4]),
        line(0, Ft[2] + "x" + Mt[5] + "=" + Mt[6]),
        line(0, Ft[2] + "x=" + Mt[6] + Mt[7]),
        line(0, Ft[2] + "x=" + Mt[8]),
        line(0, "ﾀ" + Ft[2] + "x/" + Ft[2] + "ﾀ=ﾀ" + Mt[8] + "/" + Ft[2] + "ﾀ"),
        line(5, "x=" + e.value_text),
    };
    return p;
}

}  // namespace lk::problems::detail
