#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace lk {

// " 5", "-5", " .5", "-.3": a leading space for non-negative values and no
// zero before the point.
std::string number_to_text(float value);
// The shortest text that reads back as the same finite single-precision
// value, fixed or scientific, whichever is shorter (fixed on a tie): what
// std::to_chars(float) writes. Standard libraries without it (the browser
// build's) get the same text from printf.
std::string shortest_text(float value);
std::string shortest_text_printf(float value);
// The leading number of a text: "12/5" gives 12, "" gives 0.
float text_to_number(std::string_view text);

// A real used where an integer is needed (a colour, a pen width, a menu
// choice) is rounded to the nearest integer. NaN, infinities and values far
// outside any range give kNoInteger, which selects nothing.
inline constexpr int kNoInteger = std::numeric_limits<int>::min();
int to_integer(float value);

// A small, seedable generator so that a run with a given seed is repeatable.
class Random {
public:
    void seed(std::uint64_t s);
    float unit();  // 0 <= r < 1

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace lk
