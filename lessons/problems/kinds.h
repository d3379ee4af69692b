#pragma once
// The generators of the problem kinds, one function each, and what the
// library knows about them. Only the library's own files include this.
#include <cassert>
#include <cmath>

#include "problems.h"

namespace lk::problems::detail {

// A drawn number (or a sum or product of them) as the whole number it is.
inline long long whole(float value) {
    assert(value == std::floor(value) && std::fabs(value) < (1 << 24));
    return static_cast<long long>(value);
}

// A line of one colour.
inline Line line(int colour, std::string text) { return Line{{Run{colour, std::move(text)}}}; }

// solvelesson's drills.
Problem is_solution(Script& s);
Problem one_step(Script& s, int type);
Problem add_constant(Script& s);
Problem collect_x(Script& s);
Problem both_sides(Script& s);
Problem parentheses(Script& s);
Problem decimals(Script& s);
Problem fractions(Script& s);
Problem fraction_sides(Script& s);
// applylesson's proportions.
Problem ratio_whole(Script& s);
Problem ratio_fraction(Script& s);

}  // namespace lk::problems::detail
