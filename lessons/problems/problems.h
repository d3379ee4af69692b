#pragma once
// Generated problems as data. Each kind of generated problem has one
// generator; the teacher programs' drills draw from it, the practice program
// asks it for problems to answer, and the printed sheets list them. A
// problem holds what it shows, its exact answer, the numbers it shows and its
// worked solution, in the texts and colours the teacher's drill draws them
// with.
//
// A generator draws its numbers with Script::draw, in the order the teacher's
// drill always has (redraws included), and leaves the engine's number and text
// tables as that drill did, so that a drill drawing from it draws exactly
// what it drew before. The exact answer comes from integer arithmetic on the
// drawn whole numbers, never from the tables' single-precision values.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
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

// The yes/no kind's answer: whether the value is a solution.
struct YesNo {
    bool yes = false;
    friend bool operator==(const YesNo&, const YesNo&) = default;
};
// A problem's exact answer: the solution x, or yes/no.
using Answer = std::variant<Rational, YesNo>;

// A number the problem shows, by the name its generator's equation gives it
// ("a" of ax+b=cx+d), exactly as the student reads it.
struct Number {
    std::string name;
    Rational value;
};

struct Kind;

struct Problem {
    const Kind* kind = nullptr;  // set by generate and for_each_problem
    int variant = 1;
    // The problem as the drill states it, without the drill's number mark.
    std::vector<Line> shown;
    // The worked solution, line by line, as the drill draws it after the
    // problem. The last line states the answer (the verdict, for the yes/no
    // kind, whose earlier lines are the checks 左辺=…, 右辺=…).
    std::vector<Line> worked;
    Answer answer;
    // The drawn numbers the problem shows, in the order of its equation.
    std::vector<Number> numbers;

    // The verdict of a yes/no problem; null for a problem answered with x.
    const YesNo* yes_no() const { return std::get_if<YesNo>(&answer); }
    // The solution x (throws std::bad_variant_access for a yes/no problem).
    const Rational& solution() const { return std::get<Rational>(answer); }
    // A drawn number by its name; throws std::out_of_range when there is none.
    const Rational& number(std::string_view name) const;
};

// One try of a generator: the problem, or nothing when it refused what it
// drew (numbers that give no single solution), and is to be called again
// to draw anew.
using Generator = std::optional<Problem> (*)(Script& s, int variant);

// How a kind's problems are answered.
enum class AnswerType { solution, yes_no };

// A kind of generated problem: everything the programs know of it. Adding a
// kind is a row in the table of kinds (kinds.cpp) and its generator.
struct Kind {
    // Stable: the progress record and the printed sheets name the kind's
    // practice set by it.
    std::string_view id;
    Generator generator = nullptr;
    // The forms (1..variants) a practice set takes in turn.
    int variants = 1;
    AnswerType answer = AnswerType::solution;
    // The practice set's name as the menu and the sheets show it (rich text).
    std::string_view name;
    // The sheets' instruction above the problems.
    std::string_view instruction;
};

// The kinds in the practice menu's order.
const std::vector<Kind>& kinds();
// A kind by its ID; throws std::out_of_range when there is none.
const Kind& kind(std::string_view id);

// Draws one problem of a kind (variant 1..kind.variants), drawing again for
// as long as the generator refuses what it drew.
Problem generate(const Kind& kind, Script& s, int variant = 1);

// The problem as an equation, for telling problems apart: what it shows,
// with the two sides of an equation in a fixed order, so that the same
// equation with its sides swapped is the same problem, whichever kind made
// it (x-2=5 is both a one-step problem and a transposition).
std::string identity(const Problem& p);

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
// back once for each different problem. A sequence the generator refuses is
// left out, since the problem it would draw again comes from another
// sequence too.
struct Enumeration {
    // The draw sequences of one problem: the product of its draws' ranges.
    std::uint64_t sequences = 0;
    // The different problems called back.
    std::uint64_t problems = 0;
    // False when there are more sequences than the limit: then nothing was
    // called back and a caller samples with seeds instead.
    bool walked = false;
};
Enumeration for_each_problem(const Kind& kind, int variant, const std::function<void(const Problem&)>& callback,
                             std::uint64_t limit = 1'000'000);

// How many different problems (by identity) a kind makes in one of its
// forms, counted up to `at_most` (which it returns when there are at least
// that many, or too many draws to walk them all).
std::uint64_t count_problems(const Kind& kind, int variant, std::uint64_t at_most);

}  // namespace lk::problems
