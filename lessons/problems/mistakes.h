#pragma once
// Typical mistakes: the wrong answers that a common slip gives, worked out
// exactly from a problem's drawn numbers. A wrong answer that only one slip
// gives, and that is not the answer, names that slip: the student reads
// which step to look at, and the record counts it for the set.
//
// A mistake's code is stable (the class record carries it); the table only
// grows at its end.
#include <string_view>
#include <utility>
#include <vector>

#include "problems.h"

namespace lk::problems {

struct Mistake {
    int code = 0;
    // What the student reads under the verdict: the step to look at.
    std::string_view message;
    // What the teacher reads beside a count of students.
    std::string_view name;
};

// Every typical mistake, by code from 1.
const std::vector<Mistake>& mistakes();
// A mistake by its code; null for a code that is not in the table.
const Mistake* mistake_of_code(int code);

// The wrong answers a problem's typical mistakes give: (code, value), one
// for each mistake that applies to the problem's kind and form and gives a
// number at all (a slip that divides by 0 gives none). A value may equal
// the answer, or another mistake's.
std::vector<std::pair<int, Rational>> mistaken_answers(const Problem& problem);

// The mistake a wrong answer names: the one mistake whose value it is,
// provided no other mistake gives the same number and it is not the right
// answer; null otherwise.
const Mistake* diagnose(const Problem& problem, const Rational& typed);

}  // namespace lk::problems
