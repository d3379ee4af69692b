#pragma once
// Run-time errors and the end of a run, as exceptions caught by the program
// shell: a run-time error never returns to the statement that failed.
#include <string>

namespace lk {

inline constexpr int kErrInvalidArgument = 5;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrSubscript = 9;
inline constexpr int kErrDivisionByZero = 11;

struct RuntimeError {
    explicit RuntimeError(int c, int loc = 0) : code(c), location(loc) {}
    int code;
    int location;
};

// Thrown at a wait banner when the user asks to go back one step; the shell
// replays the item from its start with one key fewer.
struct StepBack {};

// Thrown when the run ends: the quit number, the window's close box, or the
// end of a headless key script.
struct ProgramEnd {
    int status = 0;
};

}  // namespace lk
