// The kinds of generated problems: which generator makes each, and the walk
// through every problem a kind can make.
#include <stdexcept>
#include <unordered_set>

#include "kinds.h"

namespace lk::problems {

namespace {

// How many draws one problem of a kind takes when nothing is drawn again.
int draws_per_problem(Kind kind) {
    switch (kind) {
        case Kind::is_solution: return 9;
        case Kind::one_step: return 7;
        case Kind::add_constant: return 4;
        case Kind::collect_x: return 3;
        case Kind::both_sides: return 5;
        case Kind::parentheses: return 5;
        case Kind::decimals: return 4;
        case Kind::fractions: return 5;
        case Kind::fraction_sides: return 6;
        case Kind::ratio_whole: return 3;
        case Kind::ratio_fraction: return 6;
    }
    throw std::invalid_argument("no such kind of problem");
}

// Everything a problem shows, for telling problems apart.
std::string key(const Problem& p) {
    std::string out = std::to_string(p.variant);
    for (const auto* lines : {&p.shown, &p.worked})
        for (const auto& l : *lines) {
            out += '\n';
            for (const auto& r : l.runs) out += std::to_string(r.colour) + ':' + r.text + '\t';
        }
    return out;
}

// Thrown by the walk's chooser at a draw past a problem's own: the generator
// refused what it drew and draws again.
struct DrawnAgain {};

}  // namespace

int variants(Kind kind) { return kind == Kind::one_step ? 4 : 1; }

Problem generate(Kind kind, Script& s, int variant) {
    if (variant < 1 || variant > variants(kind)) throw std::out_of_range("no such variant of the problem");
    using namespace detail;
    switch (kind) {
        case Kind::is_solution: return is_solution(s);
        case Kind::one_step: return one_step(s, variant);
        case Kind::add_constant: return add_constant(s);
        case Kind::collect_x: return collect_x(s);
        case Kind::both_sides: return both_sides(s);
        case Kind::parentheses: return parentheses(s);
        case Kind::decimals: return decimals(s);
        case Kind::fractions: return fractions(s);
        case Kind::fraction_sides: return fraction_sides(s);
        case Kind::ratio_whole: return ratio_whole(s);
        case Kind::ratio_fraction: return ratio_fraction(s);
    }
    throw std::invalid_argument("no such kind of problem");
}

Enumeration for_each_problem(Kind kind, int variant, const std::function<void(const Problem&)>& callback,
                             std::uint64_t limit) {
    const std::size_t most = static_cast<std::size_t>(draws_per_problem(kind));
    Painter painter;
    Engine engine(painter);
    const EngineState fresh = engine.state();
    Script s(engine);

    // The choice (0 .. range - 1) of every draw of the sequence being tried;
    // draws past the end of it choose 0.
    std::vector<int> chosen, ranges;
    std::size_t at = 0;
    s.chooser = [&](float k, float m) -> float {
        if (at == most) throw DrawnAgain{};
        if (at == chosen.size()) {
            chosen.push_back(0);
            ranges.push_back(static_cast<int>(k));
        }
        return static_cast<float>(chosen[at++]) + m;
    };
    // Tries the sequence; afterwards it holds just the draws the generator made.
    auto attempt = [&](Problem& out) {
        at = 0;
        engine.state() = fresh;
        bool made = true;
        try {
            out = generate(kind, s, variant);
        } catch (const DrawnAgain&) {
            made = false;
        }
        chosen.resize(at);
        ranges.resize(at);
        return made;
    };

    Enumeration result;
    Problem p;
    attempt(p);
    result.sequences = 1;
    for (int r : ranges) result.sequences *= static_cast<std::uint64_t>(r);
    if (result.sequences > limit) return result;
    result.walked = true;

    std::unordered_set<std::string> seen;
    for (;;) {
        if (attempt(p) && seen.insert(key(p)).second) {
            ++result.problems;
            callback(p);
        }
        // The next sequence: the last draw that has a choice left takes it.
        while (!chosen.empty() && chosen.back() + 1 >= ranges.back()) {
            chosen.pop_back();
            ranges.pop_back();
        }
        if (chosen.empty()) break;
        ++chosen.back();
    }
    if (result.problems == 0) throw std::logic_error("a kind of problem made no problem at all");
    return result;
}

}  // namespace lk::problems
