#pragma once
// Exact rational numbers for answers and verdicts: a numerator and a positive
// denominator in lowest terms. Every value a problem or a typed answer can
// hold is small; the reader of typed answers refuses texts too long to fit.
#include <cstdint>
#include <numeric>
#include <string>

namespace lk {

struct Rational {
    std::int64_t n = 0;
    std::int64_t d = 1;

    constexpr Rational() = default;
    constexpr Rational(std::int64_t whole) : n(whole), d(1) {}
    constexpr Rational(std::int64_t num, std::int64_t den) : n(num), d(den) { normalise(); }

    constexpr void normalise() {
        if (d < 0) n = -n, d = -d;
        const std::int64_t g = std::gcd(n, d);
        if (g > 1) n /= g, d /= g;
    }
    constexpr bool is_whole() const { return d == 1; }

    friend constexpr bool operator==(const Rational& a, const Rational& b) { return a.n == b.n && a.d == b.d; }
    friend constexpr Rational operator+(const Rational& a, const Rational& b) { return {a.n * b.d + b.n * a.d, a.d * b.d}; }
    friend constexpr Rational operator-(const Rational& a, const Rational& b) { return {a.n * b.d - b.n * a.d, a.d * b.d}; }
    friend constexpr Rational operator*(const Rational& a, const Rational& b) { return {a.n * b.n, a.d * b.d}; }
    // The caller makes sure b is not 0.
    friend constexpr Rational operator/(const Rational& a, const Rational& b) { return {a.n * b.d, a.d * b.n}; }
    constexpr Rational operator-() const { return {-n, d}; }
    friend constexpr bool operator<(const Rational& a, const Rational& b) { return a.n * b.d < b.n * a.d; }

    // "3", "-3", "7/3", "-7/3": plain text, for traces, files and tests.
    std::string text() const { return d == 1 ? std::to_string(n) : std::to_string(n) + "/" + std::to_string(d); }
};

}  // namespace lk
