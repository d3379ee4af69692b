#pragma once
// Shared pieces of solvelesson's generated drills: the erase of a drill's
// area and the loop that repeats a problem, moving through its types, until 1
// is typed at "次のステップは１を入力。". The problems themselves, their
// numbers and texts, come from lessons/problems.
#include <functional>
#include <string>

#include "engine/shell/script.h"
#include "lessons/problems/problems.h"

namespace lk::solve {

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
inline Task<> typed_drill(Script& s, int types, const std::function<Task<>(int type)>& problem) {
    int type = 1;
    s.e.answer_value = 3;
    while (s.e.answer_value != 1) {
        co_await problem(type);
        co_await s.e.ask_next_step();
        type = type % types + 1;
    }
}

}  // namespace lk::solve
