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

// The value of a·x + b at x.
inline Rational value_at(const Lin& v, Rational x) { return v.a * x + v.b; }

// The only solution of "A=B", or none.
inline std::optional<Rational> solve(const std::string& t) {
    auto p = parts(t);
    if (p.size() != 2 || p[0].a == p[1].a) return std::nullopt;
    return (p[1].b - p[0].b) / (p[0].a - p[1].a);
}

}  // namespace lk::testing
