#pragma once
// The generators of the problem kinds, one function each, and what the
// library knows about them. Only the library's own files include this.
//
// A generator takes the variant its row allows (the kinds with one form
// leave it unnamed) and returns the problem with its answer and the numbers
// it shows (Problem::numbers, named as the generator's comment names them);
// generate fills in the kind and the variant. A generator that refuses what
// it drew returns nothing before it changes the engine's tables, and is
// called again.
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
std::optional<Problem> is_solution(Script& s, int);
std::optional<Problem> one_step(Script& s, int type);
std::optional<Problem> add_constant(Script& s, int);
std::optional<Problem> collect_x(Script& s, int);
std::optional<Problem> both_sides(Script& s, int);
std::optional<Problem> parentheses(Script& s, int);
std::optional<Problem> decimals(Script& s, int);
std::optional<Problem> fractions(Script& s, int);
std::optional<Problem> fraction_sides(Script& s, int);
// applylesson's proportions.
std::optional<Problem> ratio_whole(Script& s, int);
std::optional<Problem> ratio_fraction(Script& s, int);

}  // namespace lk::problems::detail
