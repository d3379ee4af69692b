// The generated problems as data: for every kind and variant, thousands of
// problems from seeds and, where the draws allow it, every problem the kind
// can make. Each problem's equation is read back from the text it shows, with
// exact arithmetic, and must have exactly the answer the generator gives;
// every worked line must keep that solution and the last one must state it.
// For the yes/no kind the verdict must be what substituting the value gives,
// and the substitutions must add up.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <tuple>

#include "engine/present/headless/headless_platform.h"
#include "lessons/problems/problems.h"
#include "support/equation_check.h"

namespace {

using namespace lk::testing;
namespace pr = lk::problems;

Rational exact(const lk::Rational& r) { return Rational(r.n, r.d); }

std::string joined(const std::vector<pr::Line>& lines) {
    std::string out;
    for (const auto& l : lines) out += l.joined() + " | ";
    return out;
}

// The first thing wrong with a problem, or "".
std::string fault(const pr::Problem& p) {
    try {
        if (p.shown.size() != 1 || p.worked.empty()) return "lines missing";
        const std::string shown = p.shown[0].joined();
        const pr::Line& last = p.worked.back();
        if (last.runs.size() != 1 || last.runs[0].colour != 5) return "last line not one run in colour 5";

        if (p.kind == pr::Kind::is_solution) {
            std::smatch m;
            if (!p.yes_no || !std::regex_match(shown, m, std::regex("(-?\\d+) は、方程式 (.+) の解ですか。")))
                return "not a yes/no question";
            const Rational v(std::stoll(m[1]));
            const auto sides = Parser(m[2].str()).equation();
            if (sides.size() != 2 || sides[0].c == sides[1].c) return "not an equation with one solution";
            const Rational left = at(sides[0], v), right = at(sides[1], v);
            if (p.is_solution != (left == right)) return "verdict against the substitution";
            if (p.worked.size() != 7) return "not seven worked lines";
            // 左辺=p*(v)+q=pv+q=L and 右辺 likewise, over two lines each.
            for (auto [first, side, value] : {std::tuple{1, std::string("左辺="), left},
                                              std::tuple{4, std::string("右辺="), right}}) {
                const std::string chain = p.worked[first].joined() + p.worked[first + 1].joined();
                if (!chain.starts_with(side)) return "no " + side;
                const auto parts = Parser(chain.substr(side.size())).equation();
                if (parts.size() < 3) return "short substitution";
                for (const auto& part : parts)
                    if (!(part.c == 0) || !(part.k == value)) return "substitution wrong: " + chain;
            }
            const std::string verdict =
                p.is_solution ? "左辺=右辺 だから 解である。" : "左辺≠右辺 だから 解ではない。";
            return last.joined() == verdict ? "" : "verdict text";
        }

        if (p.yes_no) return "yes/no outside its kind";
        const Rational x = exact(p.answer);
        const bool proportion = p.kind == pr::Kind::ratio_whole || p.kind == pr::Kind::ratio_fraction;
        const Rational solution = proportion ? proportion_solution(shown) : solution_of(as_drawn(shown));
        if (!(solution == x)) return "the answer does not solve the equation shown";
        for (const auto& l : p.worked)
            if (!(solution_of(as_drawn(l.joined())) == x)) return "a worked line changes the solution";
        const std::string answer_line = as_drawn(last.joined());
        if (!answer_line.starts_with("x=")) return "last line is not x=";
        const auto sides = Parser(answer_line).equation();
        for (size_t j = 1; j < sides.size(); ++j)
            if (!(sides[j].c == 0) || !(sides[j].k == x)) return "last line states another value";
        const bool whole = p.answer.is_whole();
        switch (p.kind) {
            case pr::Kind::one_step:
            case pr::Kind::add_constant:
            case pr::Kind::ratio_whole:
                if (!whole) return "answer not whole";
                break;
            case pr::Kind::collect_x:
                if (!whole || p.answer.n < 1 || p.answer.n > 9) return "answer not from 1 to 9";
                break;
            default:
                break;
        }
        return "";
    } catch (const std::exception& e) {
        return e.what();
    }
}

// Everything a problem shows, to find it again.
std::string key(const pr::Problem& p) {
    std::string out = std::to_string(p.variant) + " " + joined(p.shown) + joined(p.worked);
    for (const auto* lines : {&p.shown, &p.worked})
        for (const auto& l : *lines)
            for (const auto& r : l.runs) out += std::to_string(r.colour);
    return out;
}

TEST(Problems, EveryKindSolvesWhatItShowsFromSeedsAndOverEveryDraw) {
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine engine(presenter);
    lk::Script s(engine);
    int verdicts[2] = {0, 0};
    for (int k = 1; k <= pr::kKindCount; ++k) {
        const auto kind = static_cast<pr::Kind>(k);
        for (int variant = 1; variant <= pr::variants(kind); ++variant) {
            SCOPED_TRACE("kind " + std::to_string(k) + " variant " + std::to_string(variant));
            std::set<std::string> all;
            std::string first_fault;
            const pr::Enumeration walk = pr::for_each_problem(kind, variant, [&](const pr::Problem& p) {
                std::string f = p.kind != kind || p.variant != variant ? "another kind" : fault(p);
                if (!f.empty() && first_fault.empty()) first_fault = f + ": " + joined(p.shown) + joined(p.worked);
                all.insert(key(p));
            });
            ASSERT_EQ(first_fault, "");
            std::printf("kind %d variant %d: %llu draw sequences, %s\n", k, variant,
                        static_cast<unsigned long long>(walk.sequences),
                        walk.walked ? (std::to_string(walk.problems) + " problems").c_str()
                                    : "too many to walk");
            if (walk.walked) {
                ASSERT_EQ(all.size(), walk.problems);
            }

            // Two problems one after the other from each seed, as a drill
            // draws them; each must be one the walk found.
            for (std::uint64_t seed = 1; seed <= 2000; ++seed) {
                presenter.painter().seed_random(seed);
                for (int n = 0; n < 2; ++n) {
                    const pr::Problem p = pr::generate(kind, s, variant);
                    const std::string f = fault(p);
                    ASSERT_EQ(f, "") << "seed " << seed << ": " << joined(p.shown) << joined(p.worked);
                    if (walk.walked) {
                        ASSERT_TRUE(all.count(key(p))) << "not walked: " << joined(p.shown);
                    }
                    if (p.yes_no) ++verdicts[p.is_solution];
                }
            }
        }
    }
    // Both verdicts come up.
    EXPECT_GT(verdicts[0], 1000);
    EXPECT_GT(verdicts[1], 1000);
}

}  // namespace
