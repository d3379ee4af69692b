#pragma once
// The texts generated problems are built of, from their numbers and the
// engine's text tables. Every helper here is a pure function of its arguments
// except where it says it uses the engine.
#include <string>

#include "engine/lesson/engine.h"
#include "engine/present/numbers.h"

namespace lk::problems {

// The number text of a value, exactly as format_number_tables writes it:
// no blanks, a leading "-" for negatives, no sign for positives, and no digit
// before the point for values strictly between -1 and 1 (".3", "-.3").
inline std::string number_text(float value) {
    std::string text = number_to_text(value);
    std::erase(text, ' ');
    return text;
}

// The x-term text of coefficient c, given the number text of c (as the text
// tables hold it): "" for 0, "x" for 1, "-x" for -1, else the number text
// followed by "x" ("3x", "-2x", ".5x").
inline std::string x_term(float c, const std::string& c_text) {
    if (c == 0) return "";
    if (c == 1) return "x";
    if (c == -1) return "-x";
    return c_text + "x";
}
inline std::string x_term(float c) { return x_term(c, number_text(c)); }

// The signed text of a value, given its number text: "+" in front when the
// value is positive ("+3", "-3", "0").
inline std::string signed_text(float value, const std::string& value_text) {
    return value > 0 ? "+" + value_text : value_text;
}
inline std::string signed_text(float value) { return signed_text(value, number_text(value)); }

// A signed constant term to glue after an x-term or another term: the signed
// text, except that a zero constant is written as nothing, so that "2x" with
// a constant 0 reads "2x" and never "2x0".
inline std::string constant_term(float value, const std::string& value_text) {
    return value == 0 ? "" : signed_text(value, value_text);
}
inline std::string constant_term(float value) { return constant_term(value, number_text(value)); }

// A text without its leading "+", through the engine's strip_leading_plus
// (uses and leaves the engine's run_text).
inline std::string without_leading_plus(Engine& e, const std::string& t) {
    e.run_text = t;
    e.strip_leading_plus();
    return e.run_text;
}

// Runs the engine's fraction_text for numerator n over denominator d; the
// results are left in the engine (value_text, signed_value_text,
// fraction_line, signed_fraction_line, unreduced_text, and the reduced
// fraction_n and fraction_d).
inline void make_fraction(Engine& e, float n, float d) {
    e.fraction_n = n;
    e.fraction_d = d;
    e.fraction_text();
}

}  // namespace lk::problems
