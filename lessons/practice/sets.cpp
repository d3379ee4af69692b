#include "sets.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>

namespace lk::practice {

namespace {

// First-try solutions in a row that earn the ★. Mastering a yes/no set takes
// six in a row, since guessing passes three in a row one time in eight.
constexpr int kStreakForStar = 3, kYesNoStreakForStar = 6;

}  // namespace

namespace {

std::vector<PracticeSet>& all_sets() {
    static std::vector<PracticeSet> sets = [] {
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

constexpr std::string_view kListPrefix = "list";

}  // namespace

const std::vector<PracticeSet>& practice_sets() { return all_sets(); }

const PracticeSet& add_list_set(const problems::EquationList& list) {
    // FNV-1a of the equations, one after another.
    std::uint32_t hash = 2166136261u;
    for (const auto& equation : list.equations)
        for (const char c : equation + "\n") hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    char id[32];
    std::snprintf(id, sizeof id, "%.*s-%08x", static_cast<int>(kListPrefix.size()), kListPrefix.data(), hash);
    for (const auto& set : all_sets())
        if (set.id == id) return set;
    PracticeSet set{id, list.name.empty() ? std::string(kListSetName) : list.name, "次の方程式を解きなさい。", {},
                    kStreakForStar, list.problems};
    all_sets().push_back(std::move(set));
    return all_sets().back();
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
        if (set.id == key || (key == kListPrefix && !set.list.empty())) return &set;
    return nullptr;
}

std::uint64_t problem_count(const problems::Kind& kind, int variant) {
    static std::map<std::pair<const problems::Kind*, int>, std::uint64_t> counted;
    const auto key = std::make_pair(&kind, variant);
    if (auto found = counted.find(key); found != counted.end()) return found->second;
    return counted[key] = problems::count_problems(kind, variant, kCountedProblems);
}

std::uint64_t problem_count(const PracticeSet& set) {
    if (!set.list.empty()) return std::min<std::uint64_t>(set.list.size(), kCountedProblems);
    std::uint64_t total = 0;
    for (const auto* kind : set.kinds)
        for (int variant = 1; variant <= kind->variants; ++variant) total += problem_count(*kind, variant);
    return std::min(total, kCountedProblems);
}

bool ProblemSource::remembered(const std::string& identity) const {
    return std::any_of(recent_.begin(), recent_.end(), [&](const Given& g) { return g.identity == identity; });
}

bool ProblemSource::used_up(const problems::Kind& kind, int variant) const {
    const auto among = std::count_if(recent_.begin(), recent_.end(),
                                     [&](const Given& g) { return g.kind == &kind && g.variant == variant; });
    return static_cast<std::uint64_t>(among) >= problem_count(kind, variant);
}

void ProblemSource::put_first(const std::vector<const problems::Kind*>& kinds) {
    first_.assign(kinds.begin(), kinds.end());
}

problems::Problem ProblemSource::next(Script& s) {
    // A teacher's list: its equations in order, then again.
    if (!set_->list.empty()) return set_->list[static_cast<size_t>(turn_++) % set_->list.size()];
    if (!first_.empty()) {
        const problems::Kind& kind = *first_.front();
        first_.pop_front();
        return draw(kind, 1, s, memory_ > 0);
    }
    // Every kind once a round, the forms of a kind taking turns from round
    // to round (a set of one kind: its forms in turn).
    const int count = static_cast<int>(set_->kinds.size());
    int max_forms = 1;
    for (const auto* kind : set_->kinds) max_forms = std::max(max_forms, kind->variants);
    // A turn whose kind and form has nothing new left passes to the next;
    // after a whole cycle of such turns, the draw stands as it is.
    for (int passed = 0;; ++passed) {
        const int turn = turn_++;
        const problems::Kind& kind = *set_->kinds[static_cast<size_t>(turn % count)];
        const int variant = (turn / count) % kind.variants + 1;
        const bool remembering = memory_ > 0 && passed < count * max_forms;
        if (remembering && used_up(kind, variant)) continue;
        return draw(kind, variant, s, remembering);
    }
}

problems::Problem ProblemSource::draw(const problems::Kind& kind, int variant, Script& s, bool remembering) {
    problems::Problem p = problems::generate(kind, s, variant);
    std::string identity = problems::identity(p);
    // A generator's draws reach every problem of its kind, some less often
    // than others: enough tries find a new one.
    constexpr int kMostTries = 20000;
    for (int tries = 1; remembering && remembered(identity) && tries < kMostTries; ++tries) {
        p = problems::generate(kind, s, variant);
        identity = problems::identity(p);
    }
    if (memory_ > 0) {
        recent_.push_back({std::move(identity), &kind, variant});
        if (recent_.size() > memory_) recent_.pop_front();
    }
    return p;
}

int set_code(const PracticeSet& set) {
    if (set.kinds.size() != 1) return set.id == "mixed" ? 0 : -1;
    const auto& kinds = problems::kinds();
    for (size_t i = 0; i < kinds.size(); ++i)
        if (&kinds[i] == set.kinds.front()) return static_cast<int>(i) + 1;
    return -1;
}

const PracticeSet* set_of_code(int code) {
    for (const auto& set : practice_sets())
        if (set_code(set) == code) return &set;
    return nullptr;
}

const PracticeSet* set_of_kind(const problems::Kind* kind) {
    for (const auto& set : practice_sets())
        if (set.kinds.size() == 1 && set.kinds[0] == kind) return &set;
    return nullptr;
}

}  // namespace lk::practice
