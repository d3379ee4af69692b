// The table of the kinds of generated problems, one row a kind, in the
// practice menu's order. A row is all the programs know of a kind: the
// teacher programs' drills find their generator here by ID, the practice
// program makes a set of each row, and the sheets print its instruction.
#include <stdexcept>

#include "kinds.h"

namespace lk::problems {

namespace {

using namespace detail;
using enum AnswerType;

constexpr std::string_view kSolveEquation = "次の方程式を解きましょう。";
constexpr std::string_view kSolveProportion = "次の比例式を解きましょう。";

}  // namespace

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> table{
        // id, generator, variants, answer, name, instruction
        {"solve-is-solution", is_solution, 1, yes_no, "方程式の解かどうか",
         "解であるか、解ではないか、正しい方を○で囲みましょう。"},
        {"solve-one-step", one_step, 4, solution, "等式の性質で解く", kSolveEquation},
        {"solve-x-plus-b", add_constant, 1, solution, "移項　x+b=d", kSolveEquation},
        {"solve-ax-cx-d", collect_x, 1, solution, "移項　ax=cx+d", kSolveEquation},
        {"solve-both-sides", both_sides, 1, solution, "移項　ax+b=cx+d", kSolveEquation},
        {"solve-parentheses", parentheses, 1, solution, "かっこのある方程式", kSolveEquation},
        {"solve-decimals", decimals, 1, solution, "小数をふくむ方程式", kSolveEquation},
        {"solve-fraction-coefficients", fractions, 1, solution, "分数をふくむ方程式", kSolveEquation},
        {"solve-fraction-sides", fraction_sides, 1, solution, "分数の式の方程式", kSolveEquation},
        {"apply-ratio-whole", ratio_whole, 1, solution, "比例式（答えが整数）", kSolveProportion},
        {"apply-ratio-fraction", ratio_fraction, 1, solution, "比例式（答えが分数）", kSolveProportion},
    };
    return table;
}

const Kind& kind(std::string_view id) {
    for (const auto& k : kinds())
        if (k.id == id) return k;
    throw std::out_of_range("no kind of problem " + std::string(id));
}

}  // namespace lk::problems
