#pragma once
// The practice sets: one for each kind of generated problem of the two
// teacher programs (a row of problems::kinds(), whose ID and name it takes),
// and まとめ, which takes them all in turn. A set's ID is stable: the
// progress record and the printed sheets name the set by it.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "lessons/problems/equation_list.h"
#include "lessons/problems/problems.h"

namespace lk::practice {

struct PracticeSet {
    std::string id;
    std::string name;         // as the menu and the sheets show it (rich text)
    std::string instruction;  // the sheets' instruction above the problems
    // The kinds of its problems, taken in turn: one, or for まとめ every kind.
    std::vector<const problems::Kind*> kinds;
    int streak_for_star = 3;  // first-try solutions in a row that earn the ★
    // A teacher's own list of equations (and then no kinds): its problems,
    // given in turn.
    std::vector<problems::Problem> list = {};
};

// The sets in menu order: the kinds', まとめ, then any teacher's lists.
const std::vector<PracticeSet>& practice_sets();
// Adds a teacher's list as a set for this run, before the program starts
// (the sets stay where they are afterwards): its ID "list-" and a number of
// its equations, so that the record keeps each list apart; `find_set("list")`
// finds the first. The same list twice is one set.
const PracticeSet& add_list_set(const problems::EquationList& list);
inline constexpr std::string_view kListSetName = "先生の方程式";
// A set by its menu number ("3") or its ID ("solve-x-plus-b"); null if none.
const PracticeSet* find_set(std::string_view number_or_id);

// The stable small number a set travels as: まとめ 0, each kind of problem
// its place in the list of kinds (from 1); -1 for a set that has none (a
// teacher's own list).
int set_code(const PracticeSet& set);
const PracticeSet* set_of_code(int code);
// The set of one kind of problem alone; null for none.
const PracticeSet* set_of_kind(const problems::Kind* kind);

// How many different problems (as equations, problems::identity) a kind
// makes in one of its forms, and a whole set, counted up to kCountedProblems:
// no sheet and no memory of recent problems needs to know more, and the walk
// through a kind's draws stops there (some kinds have millions of them).
inline constexpr std::uint64_t kCountedProblems = 64;
std::uint64_t problem_count(const problems::Kind& kind, int variant);
std::uint64_t problem_count(const PracticeSet& set);

// Draws a set's problems one after another: its kinds in turn, and the
// forms of a kind with several taking turns from round to round. With a
// memory, a problem among the last `memory` it gave is drawn again, and a
// kind and form whose every problem is among them gives up its turn.
class ProblemSource {
public:
    explicit ProblemSource(const PracticeSet& set, std::size_t memory = 0) : set_(&set), memory_(memory) {}
    problems::Problem next(Script& s);
    // The next problems are of these kinds, one each (their first form),
    // before the turns go on: まとめ's sets due for review.
    void put_first(const std::vector<const problems::Kind*>& kinds);
    const PracticeSet& set() const { return *set_; }

private:
    struct Given {
        std::string identity;
        const problems::Kind* kind;
        int variant;
    };
    bool remembered(const std::string& identity) const;
    bool used_up(const problems::Kind& kind, int variant) const;
    problems::Problem draw(const problems::Kind& kind, int variant, Script& s, bool remembering);

    const PracticeSet* set_;
    int turn_ = 0;
    std::size_t memory_ = 0;
    std::deque<Given> recent_;
    std::deque<const problems::Kind*> first_;
};

}  // namespace lk::practice
