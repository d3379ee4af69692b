#pragma once
// The practice sets: one for each kind of generated problem of the two
// teacher programs (a row of problems::kinds(), whose ID and name it takes),
// and まとめ, which takes them all in turn. A set's ID is stable: the
// progress record and the printed sheets name the set by it.
#include <string>
#include <string_view>
#include <vector>

#include "lessons/problems/problems.h"

namespace lk::practice {

struct PracticeSet {
    std::string id;
    std::string name;         // as the menu and the sheets show it (rich text)
    std::string instruction;  // the sheets' instruction above the problems
    // The kinds of its problems, taken in turn: one, or for まとめ every kind.
    std::vector<const problems::Kind*> kinds;
    int streak_for_star = 3;  // first-try solutions in a row that earn the ★
};

// The sets in menu order; まとめ is last.
const std::vector<PracticeSet>& practice_sets();
// A set by its menu number ("3") or its ID ("solve-x-plus-b"); null if none.
const PracticeSet* find_set(std::string_view number_or_id);

// Draws a set's problems one after another: its kinds in turn, and the
// forms of a kind with several taking turns from round to round.
class ProblemSource {
public:
    explicit ProblemSource(const PracticeSet& set) : set_(set) {}
    problems::Problem next(Script& s);

private:
    const PracticeSet& set_;
    int turn_ = 0;
};

}  // namespace lk::practice
