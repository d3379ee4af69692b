#pragma once
// A teacher's own list of equations as problems: a UTF-8 text, one equation a
// line, the first line "# name" when it names the list. Each equation is
// worked by the step solver; its worked lines are the hints, its exact
// solution the answer. A line the solver refuses, or whose equation has no
// single solution, is named by its number and the list is not taken.
#include <string>
#include <string_view>
#include <vector>

#include "engine/steps/steps.h"
#include "problems.h"

namespace lk::problems {

// What a list may hold: enough for a term's homework, small enough for an
// address or a QR code to carry it.
inline constexpr std::size_t kMaxListEquations = 50;
inline constexpr std::size_t kMaxListBytes = 8192;
inline constexpr std::size_t kMaxListNameChars = 20;

struct EquationList {
    std::string name;  // "" when the text names none
    std::vector<std::string> equations;  // as typed
    std::vector<Problem> problems;       // one each, in order
};

struct ListReading {
    bool ok = false;
    EquationList list;
    std::string error;  // Japanese, naming the line: "3行目：…"
};

// `unit` names a line in a message: "3行目：…".
ListReading read_equation_list(std::string_view text, std::string_view unit = "行目");

// A solved equation as a problem: shown as given, worked line by line as the
// solver works it (the answer after a second "=" in the answer's colour).
Problem problem_of(const steps::Solution& solution);

}  // namespace lk::problems
