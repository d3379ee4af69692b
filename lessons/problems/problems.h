#pragma once
// Generated problems as data. Each kind of generated problem has one
// generator; the teacher programs' drills draw from it, the practice program
// asks it for problems to answer, and the printed sheets list them. A
// problem holds what it shows, its exact answer and its worked solution, in
// the texts and colours the teacher's drill draws them with.
//
// A generator draws its numbers with Script::draw, in the order the teacher's
// drill always has (redraws included), and leaves the engine's number and text
// tables as that drill did, so that a drill drawing from it draws exactly
// what it drew before. The exact answer comes from integer arithmetic on the
// drawn whole numbers, never from the tables' single-precision values.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/practice/rational.h"
#include "engine/shell/script.h"

namespace lk::problems {

// A piece of a line in one colour (the colour numbers of Script::text); the
// text is rich text, as Script::text takes it ("ﾀ3/4ﾀ" is a stacked fraction).
struct Run {
    int colour = 0;
    std::string text;
};
struct Line {
    std::vector<Run> runs;
    // The runs' texts one after another.
    std::string joined() const {
        std::string out;
        for (const auto& r : runs) out += r.text;
        return out;
    }
};

enum class Kind {
    is_solution = 1,      // is v a solution of px+q=mx+d?
    one_step = 2,         // x+a=b, x-a=b, (1/c)x=d, cx=cd (the variant says which)
    add_constant = 3,     // x+b=d
    collect_x = 4,        // ax=cx+d
    both_sides = 5,       // ax+b=cx+d
    parentheses = 6,      // ax+p(qx+t)=d
    decimals = 7,         // coefficients in tenths
    fractions = 8,        // (g/e)x+s=(h/f)x
    fraction_sides = 9,   // (ux+v)/m=(wx+z)/n
    ratio_whole = 10,     // x:kb=a:b
    ratio_fraction = 11,  // ec:(fx+b)=c:d
};
constexpr int kKindCount = 11;
// How many variants a kind has (kind 2 has four, taken in turn; the others one).
int variants(Kind kind);

struct Problem {
    Kind kind = Kind::one_step;
    int variant = 1;
    // The problem as the drill states it, without the drill's number mark.
    std::vector<Line> shown;
    // The worked solution, line by line, as the drill draws it after the
    // problem. The last line states the answer (the verdict, for the yes/no
    // kind, whose earlier lines are the checks 左辺=…, 右辺=…).
    std::vector<Line> worked;
    // The yes/no kind: whether the value is a solution.
    bool yes_no = false;
    bool is_solution = false;
    // Every other kind: the solution x.
    Rational answer;
};

// Draws one problem of a kind (variant 1..variants(kind)).
Problem generate(Kind kind, Script& s, int variant = 1);

// Draws a line at (x, y) as a drill does: the first run with Script::text,
// after `mark` (the drill's number mark, "① "), every further run with
// Script::more.
inline void draw_line(Script& s, float x, float y, const Line& line, const std::string& mark = "") {
    for (std::size_t i = 0; i < line.runs.size(); ++i) {
        if (i == 0) s.text(x, y, static_cast<float>(line.runs[0].colour), mark + line.runs[0].text);
        else s.more(static_cast<float>(line.runs[i].colour), line.runs[i].text);
    }
}
// Draws a line where the last text ended, every run with Script::more.
inline void more_line(Script& s, const Line& line) {
    for (const auto& r : line.runs) s.more(static_cast<float>(r.colour), r.text);
}

// Every problem a kind can make: the walk tries every sequence of draws the
// generator can make (each draw chosen in turn, on a fresh engine) and calls
// back once for each different problem. A sequence that would draw a problem
// again (the redraw of one that was refused) is left out, since the problem
// drawn at last comes from a shorter sequence too.
struct Enumeration {
    // The draw sequences of one problem: the product of its draws' ranges.
    std::uint64_t sequences = 0;
    // The different problems called back.
    std::uint64_t problems = 0;
    // False when there are more sequences than the limit: then nothing was
    // called back and a caller samples with seeds instead.
    bool walked = false;
};
Enumeration for_each_problem(Kind kind, int variant, const std::function<void(const Problem&)>& callback,
                             std::uint64_t limit = 1'000'000);

}  // namespace lk::problems
