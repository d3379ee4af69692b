#include "sets.h"

#include <charconv>

namespace lk::practice {

using problems::Kind;

const std::vector<PracticeSet>& practice_sets() {
    // Mastering a yes/no set takes six in a row, since guessing passes
    // three in a row one time in eight.
    static const std::vector<PracticeSet> sets{
        {"solve-is-solution", "方程式の解かどうか", Kind::is_solution, false, 6},
        {"solve-one-step", "等式の性質で解く", Kind::one_step},
        {"solve-x-plus-b", "移項　x+b=d", Kind::add_constant},
        {"solve-ax-cx-d", "移項　ax=cx+d", Kind::collect_x},
        {"solve-both-sides", "移項　ax+b=cx+d", Kind::both_sides},
        {"solve-parentheses", "かっこのある方程式", Kind::parentheses},
        {"solve-decimals", "小数をふくむ方程式", Kind::decimals},
        {"solve-fraction-coefficients", "分数をふくむ方程式", Kind::fractions},
        {"solve-fraction-sides", "分数の式の方程式", Kind::fraction_sides},
        {"apply-ratio-whole", "比例式（答えが整数）", Kind::ratio_whole},
        {"apply-ratio-fraction", "比例式（答えが分数）", Kind::ratio_fraction},
        {"mixed", "まとめ", Kind::one_step, true},
    };
    return sets;
}

const PracticeSet* find_set(std::string_view key) {
    const auto& sets = practice_sets();
    int number = 0;
    auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (error == std::errc() && end == key.data() + key.size()) {
        if (number >= 1 && static_cast<size_t>(number) <= sets.size()) return &sets[static_cast<size_t>(number - 1)];
        return nullptr;
    }
    for (const auto& set : sets)
        if (set.id == key) return &set;
    return nullptr;
}

problems::Problem ProblemSource::next(Script& s) {
    const int turn = turn_++;
    if (!set_.mixed) {
        const int forms = problems::variants(set_.kind);
        return problems::generate(set_.kind, s, turn % forms + 1);
    }
    // Every kind once, the forms of a kind taking turns from round to round.
    const int kind = turn % problems::kKindCount + 1;
    const int round = turn / problems::kKindCount;
    const Kind k = static_cast<Kind>(kind);
    return problems::generate(k, s, round % problems::variants(k) + 1);
}

}  // namespace lk::practice
