// Fraction texts of generated answers: the reduced value, and the line that
// shows the unreduced fraction, "=" and the reduced value.
#include <cmath>

#include "engine.h"

namespace lk {

void Engine::greatest_common_divisor() {
    float a = gcd_a, b = gcd_b;
    while (b != 0) {
        float next = a - b * std::floor(a / b);
        a = b;
        b = next;
    }
    gcd_g = a;
}

void Engine::fraction_text() {
    const float given_n = fraction_n, given_d = fraction_d;
    if (given_d == 0) {
        fraction_case = 0;
        return;
    }
    const float sign = (given_n * given_d < 0) ? -1.0f : 1.0f;
    float n, d;
    enum { whole = 1, reduced = 2, kept = 3 } kind;
    if (given_d == 1) {
        n = given_n;
        d = 1;
        kind = whole;
    } else {
        gcd_a = std::fabs(given_n);
        gcd_b = std::fabs(given_d);
        greatest_common_divisor();
        n = sign * std::fabs(given_n) / gcd_g;
        d = std::fabs(given_d) / gcd_g;
        if (n == 0 || d == 1) kind = whole;
        else if (d == given_d && sign == 1) kind = kept;
        else kind = reduced;
    }
    fraction_n = n;
    fraction_d = d;
    fraction_case = static_cast<float>(kind);

    const std::string nt_given = number_text(given_n), dt_given = number_text(given_d);
    std::string nt = number_text(std::fabs(n));
    const std::string dt = number_text(d);
    unreduced_text = "ﾀ" + nt_given + "/" + dt_given + "ﾀ";
    const bool negative = sign < 0 && n != 0;
    switch (kind) {
        case whole:
            value_text = negative ? "-" + nt : nt;
            signed_value_text = negative ? "-" + nt : "+" + nt;
            break;
        case reduced:
            value_text = (negative ? "-ﾀ" : "ﾀ") + nt + "/" + dt + "ﾀ";
            signed_value_text = negative ? value_text : "+" + value_text;
            break;
        case kept:
            value_text = unreduced_text;
            signed_value_text = "+" + value_text;
            break;
    }
    if (kind == kept) {
        fraction_line = value_text;
        signed_fraction_line = signed_value_text;
    } else {
        fraction_line = unreduced_text + "=" + value_text;
        signed_fraction_line = (sign > 0 ? "+" : "") + unreduced_text + "=" + signed_value_text;
    }
}

}  // namespace lk
