// Drawing a problem of a kind, and the walk through every problem a kind can
// make.
#include <cmath>
#include <random>
#include <stdexcept>
#include <unordered_set>

#include "kinds.h"

namespace lk::problems {

namespace {

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

// One try of a kind's generator; the problem carries its kind and variant.
std::optional<Problem> try_generate(const Kind& kind, Script& s, int variant) {
    std::optional<Problem> p = kind.generator(s, variant);
    if (!p) return p;
    if ((p->yes_no() != nullptr) != (kind.answer == AnswerType::yes_no))
        throw std::logic_error("a problem answered otherwise than its kind");
    p->kind = &kind;
    p->variant = variant;
    return p;
}

}  // namespace

const Rational& Problem::number(std::string_view name) const {
    for (const auto& n : numbers)
        if (n.name == name) return n.value;
    throw std::out_of_range("no number " + std::string(name) + " in the problem");
}

std::string identity(const Problem& p) {
    std::string out;
    for (const auto& line : p.shown) {
        std::string text = line.joined();
        const size_t equals = text.find('=');
        if (equals != std::string::npos && text.find('=', equals + 1) == std::string::npos) {
            std::string left = text.substr(0, equals), right = text.substr(equals + 1);
            if (right < left) std::swap(left, right);
            text = left + '=' + right;
        }
        out += '\n' + text;
    }
    return out;
}

Problem generate(const Kind& kind, Script& s, int variant) {
    if (variant < 1 || variant > kind.variants) throw std::out_of_range("no such variant of the problem");
    for (;;)
        if (std::optional<Problem> p = try_generate(kind, s, variant)) return std::move(*p);
}

Enumeration for_each_problem(const Kind& kind, int variant, const std::function<void(const Problem&)>& callback,
                             std::uint64_t limit) {
    Painter painter;
    Engine engine(painter);
    const EngineState fresh = engine.state();
    Script s(engine);

    // The choice (0 .. range - 1) of every draw of the sequence being tried;
    // draws past the end of it choose 0.
    std::vector<int> chosen, ranges;
    std::size_t at = 0;
    s.chooser = [&](float k, float m) -> float {
        if (at == chosen.size()) {
            chosen.push_back(0);
            ranges.push_back(static_cast<int>(k));
        }
        return static_cast<float>(chosen[at++]) + m;
    };
    // Tries the sequence once; afterwards it holds just the draws the
    // generator made.
    auto attempt = [&](Problem& out) {
        at = 0;
        engine.state() = fresh;
        std::optional<Problem> made = try_generate(kind, s, variant);
        chosen.resize(at);
        ranges.resize(at);
        if (made) out = std::move(*made);
        return made.has_value();
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

std::uint64_t count_problems(const Kind& kind, int variant, std::uint64_t at_most) {
    std::unordered_set<std::string> different;
    // Drawn at random first: where a kind makes many problems, enough
    // different ones turn up at once, while the walk, whose last draws vary
    // first, may go through thousands of sequences to reach them.
    {
        Painter painter;
        Engine engine(painter);
        Script s(engine);
        std::mt19937 random(static_cast<std::mt19937::result_type>(variant));
        s.chooser = [&](float k, float m) {
            return std::floor(k * std::generate_canonical<float, 24>(random)) + m;
        };
        constexpr std::uint64_t kDrawsPerProblem = 8;
        for (std::uint64_t n = 0; n < kDrawsPerProblem * at_most && different.size() < at_most; ++n)
            different.insert(identity(generate(kind, s, variant)));
        if (different.size() >= at_most) return at_most;
    }
    // Fewer turned up: the walk finds them all, or stops once it has enough.
    struct Enough {};
    try {
        const Enumeration walk = for_each_problem(kind, variant, [&](const Problem& p) {
            if (different.insert(identity(p)).second && different.size() >= at_most) throw Enough{};
        });
        if (!walk.walked) return at_most;
    } catch (const Enough&) {
        return at_most;
    }
    return different.size();
}

}  // namespace lk::problems
