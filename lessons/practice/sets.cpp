#include "sets.h"

#include <charconv>

namespace lk::practice {

namespace {

// First-try solutions in a row that earn the ★. Mastering a yes/no set takes
// six in a row, since guessing passes three in a row one time in eight.
constexpr int kStreakForStar = 3, kYesNoStreakForStar = 6;

}  // namespace

const std::vector<PracticeSet>& practice_sets() {
    static const std::vector<PracticeSet> sets = [] {
        std::vector<PracticeSet> out;
        PracticeSet mixed{"mixed", "まとめ", "次の問題に答えましょう。", {}, kStreakForStar};
        for (const auto& kind : problems::kinds()) {
            const bool yes_no = kind.answer == problems::AnswerType::yes_no;
            out.push_back({std::string(kind.id), std::string(kind.name), std::string(kind.instruction), {&kind},
                           yes_no ? kYesNoStreakForStar : kStreakForStar});
            mixed.kinds.push_back(&kind);
        }
        out.push_back(std::move(mixed));
        return out;
    }();
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
    // Every kind once a round, the forms of a kind taking turns from round
    // to round (a set of one kind: its forms in turn).
    const int turn = turn_++;
    const int count = static_cast<int>(set_.kinds.size());
    const problems::Kind& kind = *set_.kinds[static_cast<size_t>(turn % count)];
    const int round = turn / count;
    return problems::generate(kind, s, round % kind.variants + 1);
}

}  // namespace lk::practice
