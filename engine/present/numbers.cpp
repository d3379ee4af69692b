#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace lk {

std::string number_to_text(float value) {
    if (std::isnan(value)) return " NaN";
    if (std::isinf(value)) return value > 0 ? " Inf" : "-Inf";
    char buf[64];
    // The shortest text that reads back as the same single-precision value.
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value));
    std::string digits(buf, res.ptr);
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
