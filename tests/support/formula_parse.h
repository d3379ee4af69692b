#pragma once
// Reading formula texts as a lesson drew them: exact rational arithmetic and
// a lenient reader for linear formulas in x or y, with the parts of an
// equation or relation, their values and the solution of "A=B".
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace lk::testing {

// Exact rational arithmetic, kept in lowest terms with a positive denominator.
struct Rational {
    long long n = 0, d = 1;
    Rational(long long a = 0, long long b = 1) : n(b < 0 ? -a : a), d(b < 0 ? -b : b) {
        long long g = std::gcd(n < 0 ? -n : n, d);
        if (g > 1) n /= g, d /= g;
    }
    friend Rational operator+(Rational a, Rational b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
    friend Rational operator-(Rational a, Rational b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
    friend Rational operator*(Rational a, Rational b) { return {a.n * b.n, a.d * b.d}; }
    friend Rational operator/(Rational a, Rational b) { return {a.n * b.d, a.d * b.n}; }
    friend bool operator==(Rational a, Rational b) { return a.n == b.n && a.d == b.d; }
};

// A linear expression a·x + b read by Reader.
struct Lin {
    Rational a, b;
};

// A reader for the formula texts: numbers, the unknown (x or y), + - *,
// parentheses and braces, "|num/den|" fractions (parts() turns each "ﾀ" into
// "|"; an unclosed one is dropped, as the renderer drops it) and implicit
// products. `ok` turns false on anything else.
struct Reader {
    std::string s;
    size_t i = 0;
    bool ok = true;
    char peek() const { return i < s.size() ? s[i] : '\0'; }
    Lin bad() { return ok = false, Lin{}; }
    Lin expr() {
        Lin v = term();
        while (ok && (peek() == '+' || peek() == '-')) {
            bool plus = s[i++] == '+';
            Lin t = term();
            v = plus ? Lin{v.a + t.a, v.b + t.b} : Lin{v.a - t.a, v.b - t.b};
        }
        return v;
    }
    Lin term() {
        Lin v = factor();
        while (ok && (peek() == '*' || std::string("xy({|").find(peek()) != std::string::npos) &&
               peek() != '\0') {
            if (peek() == '*') ++i;
            Lin f = factor();
            if (!(v.a == 0) && !(f.a == 0)) return bad();
            v = {v.a * f.b + f.a * v.b, v.b * f.b};
        }
        return v;
    }
    Lin factor() {
        char c = peek();
        if (c == '-') {
            ++i;
            Lin v = factor();
            return {Rational(0) - v.a, Rational(0) - v.b};
        }
        if (c == 'x' || c == 'y') {
            ++i;
            return {1, 0};
        }
        if (c == '(' || c == '{') {
            ++i;
            Lin v = expr();
            if (peek() != (c == '(' ? ')' : '}')) return bad();
            ++i;
            return v;
        }
        if (c == '|') {
            size_t close = s.find('|', i + 1), bar = s.find('/', i + 1);
            if (close == std::string::npos) {  // an unclosed marker is dropped
                ++i;
                return factor();
            }
            if (bar > close) return bad();
            Reader num{s.substr(i + 1, bar - i - 1)}, den{s.substr(bar + 1, close - bar - 1)};
            Lin n = num.all(), d = den.all();
            i = close + 1;
            if (!num.ok || !den.ok || !(d.a == 0) || d.b == 0) return bad();
            return {n.a / d.b, n.b / d.b};
        }
        if (c < '0' || c > '9') return bad();
        long long n = 0;
        while (peek() >= '0' && peek() <= '9') n = n * 10 + (s[i++] - '0');
        return {0, n};
    }
    Lin all() {
        Lin v = expr();
        if (i != s.size()) ok = false;
        return v;
    }
};

// The parts of "A=B=C" (or one "<" / ">" relation), empty parts left out;
// empty when any part is not a formula.
inline std::vector<Lin> parts(const std::string& text, char op = '=') {
    std::string t;
    for (size_t k = 0; k < text.size();)
        if (text.compare(k, 3, "ﾀ") == 0) t += '|', k += 3;
        else if (text[k] == ' ') ++k;
        else t += text[k++];
    std::vector<Lin> out;
    for (size_t from = 0;;) {
        size_t at = t.find(op, from);
        std::string part = t.substr(from, at == std::string::npos ? at : at - from);
        if (!part.empty()) {
            Reader r{part};
            Lin v = r.all();
            if (!r.ok) return {};
            out.push_back(v);
        }
        if (at == std::string::npos) return out;
        from = at + 1;
    }
}

// A plain-text equation as a worksheet writes it: numbers with a point, x,
// + - * /, parentheses, products written side by side and a proportion
// "a:b=c:d", read into the sides of "A=B=C..." (a proportion into its cross
// products). Empty when the text is not one.
// (Reader's text and place, with a grammar of its own.)
struct PlainReader : Reader {
    Lin expr() {
        Lin v{};
        bool first = true;
        while (ok) {
            int sign = 1;
            if (peek() == '+' || peek() == '-') sign = s[i++] == '-' ? -1 : 1;
            else if (!first) break;
            Lin t = term();
            v = {v.a + Rational(sign) * t.a, v.b + Rational(sign) * t.b};
            first = false;
        }
        return v;
    }
    Lin term() {
        Lin v = factor();
        while (ok) {
            const char c = peek();
            if (c == '/') {
                ++i;
                Lin d = factor();
                if (!(d.a == 0) || d.b == 0) return bad();
                v = {v.a / d.b, v.b / d.b};
            } else if (c == '*' || c == 'x' || c == '(') {
                if (c == '*') ++i;
                Lin f = factor();
                if (!(v.a == 0) && !(f.a == 0)) return bad();
                v = {v.a * f.b + f.a * v.b, v.b * f.b};
            } else {
                break;
            }
        }
        return v;
    }
    Lin factor() {
        const char c = peek();
        if (c == '-') {
            ++i;
            Lin v = factor();
            return {Rational(0) - v.a, Rational(0) - v.b};
        }
        if (c == 'x') return ++i, Lin{1, 0};
        if (c == '(') {
            ++i;
            Lin v = expr();
            if (peek() != ')') return bad();
            ++i;
            return v;
        }
        long long n = 0, d = 1;
        bool digits = false, point = false;
        for (; (peek() >= '0' && peek() <= '9') || peek() == '.'; ++i) {
            if (peek() == '.') {
                if (point) return bad();
                point = true;
                continue;
            }
            n = n * 10 + (peek() - '0'), digits = true;
            if (point) d *= 10;
        }
        if (!digits) return bad();
        return {0, Rational(n, d)};
    }
    // One part, between separators.
    static std::optional<Lin> part(const std::string& text) {
        PlainReader r{{text}};
        Lin v = r.expr();
        if (!r.ok || r.i != text.size()) return std::nullopt;
        return v;
    }
};
inline std::vector<Lin> plain_sides(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == '=') pieces.emplace_back();
        else if (c != ' ') pieces.back() += c;
    }
    std::vector<Lin> out;
    if (pieces.size() == 2 && pieces[0].find(':') != std::string::npos) {
        // a:b=c:d: a·d = b·c.
        std::vector<Lin> terms;
        for (const std::string& side : pieces) {
            const size_t colon = side.find(':');
            if (colon == std::string::npos || side.find(':', colon + 1) != std::string::npos) return {};
            for (const std::string& t : {side.substr(0, colon), side.substr(colon + 1)}) {
                auto v = PlainReader::part(t);
                if (!v) return {};
                terms.push_back(*v);
            }
        }
        auto times = [](const Lin& p, const Lin& q) -> std::optional<Lin> {
            if (!(p.a == 0) && !(q.a == 0)) return std::nullopt;
            return Lin{p.a * q.b + q.a * p.b, p.b * q.b};
        };
        auto outer = times(terms[0], terms[3]), inner = times(terms[1], terms[2]);
        if (!outer || !inner) return {};
        return {*outer, *inner};
    }
    for (const std::string& piece : pieces) {
        auto v = PlainReader::part(piece);
        if (!v) return {};
        out.push_back(*v);
    }
    return out;
}

// The value of a·x + b at x.
inline Rational value_at(const Lin& v, Rational x) { return v.a * x + v.b; }

// The only solution of "A=B", or none.
inline std::optional<Rational> solve(const std::string& t) {
    auto p = parts(t);
    if (p.size() != 2 || p[0].a == p[1].a) return std::nullopt;
    return (p[1].b - p[0].b) / (p[0].a - p[1].a);
}

}  // namespace lk::testing
