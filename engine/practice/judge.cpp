#include "engine/practice/judge.h"

#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace lk::practice {

namespace {

// A number of a typed answer has at most nine digits in each of its parts
// (whole number, numerator, denominator, digits before and after the point),
// so every value read stays below 10^9 and every product of two of them fits
// in 64 bits.
constexpr int kMaxDigits = 9;
constexpr std::int64_t kMaxMantissa = 1'000'000'000;

using Wide = __int128;

// The length of the character starting at s[0]; a malformed byte is a
// character of its own.
std::size_t char_size(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t len = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 1;
    if (len > s.size()) return 1;
    for (std::size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    return len;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Everything the reader learns about a typed text: the public reading and
// how it was written, which the judge turns into its advice.
struct Scan {
    Reading reading;
    bool too_long = false;
    int places = 0;                    // digits after the point
    bool minus = false;                // a "-" in front of the number
    bool minus_denominator = false;    // a "-" in front of the denominator
    bool leading_zero = false;         // "03", "00.5", "03/4", "3/04"
    bool trailing_zero = false;        // "0.50"
    bool reducible = false;            // numerator and denominator share a factor
    bool whole_fraction = false;       // "6/3", "3/1", "0/5"
};

// Reads a run of digits at `pos`: at most kMaxDigits of them.
bool read_digits(std::string_view s, std::size_t& pos, std::int64_t& value, int& count, bool& too_long) {
    value = 0;
    count = 0;
    while (pos < s.size() && is_digit(s[pos])) {
        if (++count > kMaxDigits) {
            too_long = true;
            return false;
        }
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return true;
}

Scan scan(std::string_view typed) {
    Scan result;
    Reading& r = result.reading;
    const auto malformed = [&]() -> Scan& {
        r = Reading{};
        r.status = Reading::Status::malformed;
        return result;
    };

    // The characters as plain keys, without spaces. A space inside a number
    // ("1 2", "1 .5") would join two numbers into one, so it is not allowed
    // there; anywhere else a space changes nothing.
    std::string s;
    std::size_t chars = 0;
    bool space_before = false;
    for (std::size_t i = 0; i < typed.size();) {
        const std::size_t len = char_size(typed.substr(i));
        if (++chars > kMaxAnswerChars) {
            result.too_long = true;
            return malformed();
        }
        const std::string key = plain_key(typed.substr(i, len));
        i += len;
        if (key == " ") {
            space_before = true;
            continue;
        }
        const bool in_number = key.size() == 1 && (is_digit(key[0]) || key[0] == '.');
        if (space_before && in_number && !s.empty() && (is_digit(s.back()) || s.back() == '.')) return malformed();
        space_before = false;
        s += key;
    }

    std::size_t pos = 0;
    if (s.size() >= 2 && (s[0] == 'x' || s[0] == 'X') && s[1] == '=') pos = 2;
    if (pos == s.size()) {
        r.status = Reading::Status::empty;
        return result;
    }
    bool plus = false;
    if (s[pos] == '+') plus = true, ++pos;
    if (pos < s.size() && s[pos] == '-' && !plus) result.minus = true, ++pos;

    // The number: digits, a decimal ("2.5", ".5") or a fraction "a/b" whose
    // denominator may carry a "-" of its own.
    std::int64_t whole = 0;
    int whole_digits = 0;
    if (!read_digits(s, pos, whole, whole_digits, result.too_long)) return malformed();
    result.leading_zero = whole_digits > 1 && s[pos - whole_digits] == '0';

    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        std::int64_t part = 0;
        int places = 0;
        if (!read_digits(s, pos, part, places, result.too_long)) return malformed();
        if (places == 0 || pos != s.size()) return malformed();  // "3.", "1.2.3", "1.5/2"
        std::int64_t scale = 1;
        for (int i = 0; i < places; ++i) scale *= 10;
        const std::int64_t mantissa = whole * scale + part;
        if (mantissa >= kMaxMantissa) {
            result.too_long = true;
            return malformed();
        }
        result.places = places;
        result.trailing_zero = s[pos - 1] == '0';
        r.status = Reading::Status::number;
        r.decimal = true;
        r.value = Rational(result.minus ? -mantissa : mantissa, scale);
        r.simplest = !result.leading_zero && !result.trailing_zero;
        return result;
    }
    if (whole_digits == 0) return malformed();  // "", "-", "/3", "x", "+-3"

    if (pos < s.size() && s[pos] == '/') {
        ++pos;
        if (pos < s.size() && s[pos] == '-') result.minus_denominator = true, ++pos;
        std::int64_t den = 0;
        int den_digits = 0;
        if (!read_digits(s, pos, den, den_digits, result.too_long)) return malformed();
        if (den_digits == 0 || pos != s.size()) return malformed();  // "3/", "3/.5", "1/2/3"
        if (den == 0) {
            r = Reading{};
            r.status = Reading::Status::zero_denominator;
            return result;
        }
        result.leading_zero = result.leading_zero || (den_digits > 1 && s[pos - den_digits] == '0');
        result.reducible = std::gcd(whole, den) > 1;
        r.status = Reading::Status::number;
        r.fraction = true;
        r.value = Rational(result.minus ? -whole : whole, result.minus_denominator ? -den : den);
        result.whole_fraction = r.value.is_whole();
        r.simplest = !result.leading_zero && !result.minus_denominator && !result.reducible && den != 1;
        return result;
    }
    if (pos != s.size()) return malformed();
    r.status = Reading::Status::number;
    r.value = Rational(result.minus ? -whole : whole);
    r.simplest = !result.leading_zero && !(result.minus && whole == 0);
    return result;
}

// Whether a/b (b not 0) written as a decimal ends.
bool terminates(const Rational& a) {
    std::int64_t d = a.d < 0 ? -a.d : a.d;
    if (d == 0) return false;
    std::int64_t n = a.n < 0 ? -a.n : a.n;
    d /= std::gcd(n, d);
    while (d % 2 == 0) d /= 2;
    while (d % 5 == 0) d /= 5;
    return d == 1;
}

// a.n/a.d - b.n/b.d as a fraction over a.d*b.d (signs of the denominators
// folded into the numerator).
Wide difference_over(const Rational& a, const Rational& b, Wide& over) {
    Wide an = a.n, ad = a.d, bn = b.n, bd = b.d;
    if (ad < 0) an = -an, ad = -ad;
    if (bd < 0) bn = -bn, bd = -bd;
    over = ad * bd;
    return an * bd - bn * ad;
}

std::string not_simplest_advice(const Scan& s) {
    const Reading& r = s.reading;
    const bool both_minus = s.minus && s.minus_denominator;
    if (r.fraction && s.whole_fraction) return "分数ではなく、整数で答えましょう。";
    if (r.fraction && s.reducible) {
        if (both_minus) return "約分して、分子と分母のマイナスは取りましょう。";
        if (s.minus_denominator) return "約分して、マイナスは分数の前に書きましょう。";
        return "約分しましょう。";
    }
    if (r.fraction && both_minus) return "分子と分母の両方にあるマイナスは取りましょう。";
    if (r.fraction && s.minus_denominator) return "マイナスは分母ではなく、分数の前に書きましょう。";
    if (r.decimal && r.value.is_whole()) return "小数ではなく、整数で答えましょう。";
    if (s.trailing_zero) return "小数の終わりの 0 は書きません。";
    if (s.minus && r.value.n == 0) return "0 にマイナスはつけません。";
    return "数の始めの余分な 0 は書きません。";
}

}  // namespace

Reading read_typed(std::string_view typed) { return scan(typed).reading; }

Judgement judge(std::string_view typed, const Rational& answer) {
    const Scan s = scan(typed);
    const Reading& r = s.reading;
    switch (r.status) {
    case Reading::Status::empty: return {Verdict::not_a_number, "数を入力してください"};
    case Reading::Status::zero_denominator: return {Verdict::not_a_number, "0 で割ることはできません"};
    case Reading::Status::malformed:
        return {Verdict::not_a_number, s.too_long ? "数が長すぎます" : "数の形になっていません"};
    case Reading::Status::number: break;
    }
    if (answer.d == 0) return {Verdict::wrong, "ちがいます。"};

    Wide over = 0;
    const Wide diff = difference_over(r.value, answer, over);
    if (diff == 0) {
        if (r.simplest) return {Verdict::correct, "正解です！"};
        return {Verdict::not_simplest, "数は合っています。" + not_simplest_advice(s)};
    }
    // A decimal within one unit of its last place of an answer that has no
    // decimal of its own (2.33 or 2.34 for 7/3) is on the way, not wrong.
    if (r.decimal && !terminates(answer)) {
        Wide unit = 1;
        for (int i = 0; i < s.places; ++i) unit *= 10;
        if ((diff < 0 ? -diff : diff) * unit < over)
            return {Verdict::need_fraction, "小数ではぴったり表せない数です。分数で答えましょう。"};
    }
    return {Verdict::wrong, "ちがいます。もう一度考えてみましょう。"};
}

}  // namespace lk::practice
