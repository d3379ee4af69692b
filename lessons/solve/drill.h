#pragma once
// Shared pieces of solvelesson's generated drills: the texts a drill builds
// from its random numbers and the loop that repeats a problem until 1 is typed
// at "次のステップは１を入力。".
//
// A drill draws its numbers with Script::draw (a fresh random number per
// draw), stores them in the engine's number tables (values_a, values_b,
// remembered_x, remembered_y), calls Engine::format_number_tables and then
// builds its lines from the matching text tables (value_texts_a,
// value_texts_b, cell_labels, remembered_y_texts) with the helpers below.
// Every helper here is a pure function of its arguments except where it says
// it uses the engine.
#include <functional>
#include <string>

#include "engine/present/numbers.h"
#include "engine/shell/script.h"

namespace lk::solve {

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

// Erases a drill's area from its top-left corner: 2000 wide and 1800 high
// unless the drill says otherwise.
inline void erase_drill_area(Script& s, float x, float y, float width = 2000,
                             float height = 1800) {
    s.erase(x, y, width, height);
}

// A drill with several problem types: starts with type 1 and, after every
// "次のステップは１を入力。", moves on to the next type (after the last comes
// 1 again). Like Script::drill, at least one problem is drawn and the loop
// ends once 1 is typed. `problem` is called with the current type.
inline void typed_drill(Script& s, int types, const std::function<void(int type)>& problem) {
    int type = 1;
    s.e.answer_value = 3;
    while (s.e.answer_value != 1) {
        problem(type);
        s.e.ask_next_step();
        type = type % types + 1;
    }
}

}  // namespace lk::solve
