#pragma once
// The practice sets: one for each kind of generated problem of the two
// teacher programs, and まとめ, which takes them all in turn. A set's ID is
// stable: the progress record and the printed sheets name the set by it.
#include <string>
#include <string_view>
#include <vector>

#include "lessons/problems/problems.h"

namespace lk::practice {

struct PracticeSet {
    std::string id;
    std::string name;           // as the menu and the sheets show it (rich text)
    problems::Kind kind;        // the kind of its problems; ignored by まとめ
    bool mixed = false;         // まとめ: every kind in turn
    int streak_for_star = 3;    // first-try solutions in a row that earn the ★
};

// The sets in menu order; まとめ is last.
const std::vector<PracticeSet>& practice_sets();
// A set by its menu number ("3") or its ID ("solve-x-plus-b"); null if none.
const PracticeSet* find_set(std::string_view number_or_id);

// Draws a set's problems one after another: the kinds with several forms
// take them in turn, and まとめ takes every kind in turn.
class ProblemSource {
public:
    explicit ProblemSource(const PracticeSet& set) : set_(set) {}
    problems::Problem next(Script& s);

private:
    const PracticeSet& set_;
    int turn_ = 0;
};

}  // namespace lk::practice
