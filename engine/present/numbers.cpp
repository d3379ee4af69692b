#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lk {

std::string shortest_text(float value) {
#if defined(__cpp_lib_to_chars)
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
#else
    return shortest_text_printf(value);
#endif
}

std::string shortest_text_printf(float value) {
    std::string sign = std::signbit(value) ? "-" : "";
    value = std::fabs(value);
    if (value == 0) return sign + "0";
    // The fewest significant digits that read back as the same value.
    char buf[64];
    int precision = 1;
    for (; precision < 9; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*e", precision - 1, static_cast<double>(value));
        if (std::strtof(buf, nullptr) == value) break;
    }
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, static_cast<double>(value));
    std::string text(buf);
    size_t e = text.find('e');
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') digits += text[i];
    int exponent = std::atoi(text.c_str() + e + 1);
    int n = static_cast<int>(digits.size());
    // Scientific: d[.ddd]e±XX.
    std::string scientific = digits.substr(0, 1);
    if (n > 1) scientific += "." + digits.substr(1);
    char exp_text[8];
    std::snprintf(exp_text, sizeof exp_text, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    scientific += exp_text;
    // Fixed: the digits with the point moved, padded with zeros.
    std::string fixed;
    if (exponent >= n - 1) {
        // A whole number: as many characters either way, and its own digits
        // are the closest to it.
        std::snprintf(buf, sizeof buf, "%.0f", static_cast<double>(value));
        fixed = buf;
    } else if (exponent >= 0) {
        fixed = digits.substr(0, static_cast<size_t>(exponent + 1)) + "." +
                digits.substr(static_cast<size_t>(exponent + 1));
    } else {
        fixed = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    return sign + (scientific.size() < fixed.size() ? scientific : fixed);
}

std::string number_to_text(float value) {
    if (std::isnan(value)) return " NaN";
    if (std::isinf(value)) return value > 0 ? " Inf" : "-Inf";
    std::string digits = shortest_text(std::fabs(value));
    if (digits.starts_with("0.")) digits.erase(0, 1);
    if (digits == "0") return " 0";
    return (std::signbit(value) && value != 0 ? "-" : " ") + digits;
}

float text_to_number(std::string_view text) {
    size_t i = 0;
    std::string num;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) num += text[i++];
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') num += text[i++], digits = true;
    if (i < text.size() && text[i] == '.') {
        num += text[i++];
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') num += text[i++], digits = true;
    }
    if (!digits) return 0;
    return std::strtof(num.c_str(), nullptr);
}

int to_integer(float value) {
    if (!std::isfinite(value)) return kNoInteger;
    double r = std::nearbyint(static_cast<double>(value));
    if (r > 1e9 || r < -1e9) return kNoInteger;
    return static_cast<int>(r);
}

void Random::seed(std::uint64_t s) { state_ = s * 0x9E3779B97F4A7C15ull + 0xD1B54A32D192ED03ull; }

float Random::unit() {
    // splitmix64, 24 bits for a float in [0, 1).
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<float>(z >> 40) / static_cast<float>(1u << 24);
}

}  // namespace lk
