// The generated problems as data: for every kind and variant, thousands of
// problems from seeds and, where the draws allow it, every problem the kind
// can make. Each problem's equation is read back from the text it shows, with
// exact arithmetic, and must have exactly the answer the generator gives;
// every worked line must keep that solution and the last one must state it.
// For the yes/no kind the verdict must be what substituting the value gives,
// and the substitutions must add up.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
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

        if (p.kind->id == "solve-is-solution") {
            std::smatch m;
            if (!p.yes_no() || !std::regex_match(shown, m, std::regex("(-?\\d+) は、方程式 (.+) の解ですか。")))
                return "not a yes/no question";
            const Rational v(std::stoll(m[1]));
            const auto sides = Parser(m[2].str()).equation();
            if (sides.size() != 2 || sides[0].c == sides[1].c) return "not an equation with one solution";
            const Rational left = at(sides[0], v), right = at(sides[1], v);
            if (p.yes_no()->yes != (left == right)) return "verdict against the substitution";
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
                p.yes_no()->yes ? "左辺=右辺 だから 解である。" : "左辺≠右辺 だから 解ではない。";
            return last.joined() == verdict ? "" : "verdict text";
        }

        if (p.yes_no()) return "yes/no outside its kind";
        const Rational x = exact(p.solution());
        const bool proportion = p.kind->id.starts_with("apply-ratio-");
        const Rational solution = proportion ? proportion_solution(shown) : solution_of(as_drawn(shown));
        if (!(solution == x)) return "the answer does not solve the equation shown";
        for (const auto& l : p.worked)
            if (!(solution_of(as_drawn(l.joined())) == x)) return "a worked line changes the solution";
        const std::string answer_line = as_drawn(last.joined());
        if (!answer_line.starts_with("x=")) return "last line is not x=";
        const auto sides = Parser(answer_line).equation();
        for (size_t j = 1; j < sides.size(); ++j)
            if (!(sides[j].c == 0) || !(sides[j].k == x)) return "last line states another value";
        const bool whole = p.solution().is_whole();
        const std::string_view id = p.kind->id;
        if ((id == "solve-one-step" || id == "solve-x-plus-b" || id == "apply-ratio-whole") && !whole)
            return "answer not whole";
        if (id == "solve-ax-cx-d" && (!whole || p.solution().n < 1 || p.solution().n > 9))
            return "answer not from 1 to 9";
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
    for (const pr::Kind& kind : pr::kinds()) {
        const std::string k(kind.id);
        for (int variant = 1; variant <= kind.variants; ++variant) {
            SCOPED_TRACE("kind " + k + " variant " + std::to_string(variant));
            std::set<std::string> all;
            std::string first_fault;
            const pr::Enumeration walk = pr::for_each_problem(kind, variant, [&](const pr::Problem& p) {
                std::string f = p.kind != &kind || p.variant != variant ? "another kind" : fault(p);
                if (!f.empty() && first_fault.empty()) first_fault = f + ": " + joined(p.shown) + joined(p.worked);
                all.insert(key(p));
            });
            ASSERT_EQ(first_fault, "");
            std::printf("kind %s variant %d: %llu draw sequences, %s\n", k.c_str(), variant,
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
                    if (p.yes_no()) ++verdicts[p.yes_no()->yes];
                }
            }
        }
    }
    // Both verdicts come up.
    EXPECT_GT(verdicts[0], 1000);
    EXPECT_GT(verdicts[1], 1000);
}


// The numbers a problem exposes by name are the ones it shows: the problem's
// text, read back piece by piece (the two sides, or the proportion's four
// terms), is what the kind's equation gives with them, and the kind's
// textbook formula gives the exact answer from them. Every exposed number is
// used, and a name the problem lacks is refused.
TEST(Problems, DrawnNumbersAreTheShownOnesAndGiveTheAnswer) {
    struct Expected {
        std::vector<Linear> pieces;  // sides, or a:b=c:d's terms
        Rational x;                  // the answer, or for the yes/no kind 1 (yes) or 0
    };
    using Number = std::function<Rational(const char*)>;
    const Rational zero(0), one(1);
    auto line = [](Rational c, Rational k) { return Linear{c, k}; };
    // a x + b = c x + d, with whole numbers or with tenths.
    auto both_sides = [&](const Number& n, int) {
        return Expected{{line(n("a"), n("b")), line(n("c"), n("d"))}, (n("d") - n("b")) / (n("a") - n("c"))};
    };
    const std::map<std::string, std::function<Expected(const Number&, int)>> formulas{
        {"solve-is-solution", [&](const Number& n, int) {
             const Rational v = n("v"), p = n("p"), q = n("q"), m = n("m"), d = n("d");
             return Expected{{line(p, q), line(m, d)}, Rational(p * v + q == m * v + d ? 1 : 0)};
         }},
        {"solve-one-step", [&](const Number& n, int variant) {
             if (variant == 1) return Expected{{line(one, n("a")), line(zero, n("b"))}, n("b") - n("a")};
             if (variant == 2) return Expected{{line(one, zero - n("a")), line(zero, n("b"))}, n("b") + n("a")};
             if (variant == 3) return Expected{{line(one / n("c"), zero), line(zero, n("d"))}, n("c") * n("d")};
             return Expected{{line(n("c"), zero), line(zero, n("cd"))}, n("cd") / n("c")};
         }},
        {"solve-x-plus-b", [&](const Number& n, int) {
             return Expected{{line(one, n("b")), line(zero, n("d"))}, n("d") - n("b")};
         }},
        {"solve-ax-cx-d", [&](const Number& n, int) {
             return Expected{{line(n("a"), zero), line(n("c"), n("d"))}, n("d") / (n("a") - n("c"))};
         }},
        {"solve-both-sides", both_sides},
        {"solve-decimals", both_sides},
        {"solve-parentheses", [&](const Number& n, int) {
             const Rational a = n("a"), p = n("p"), q = n("q"), t = n("t"), d = n("d");
             return Expected{{line(a + p * q, p * t), line(zero, d)}, (d - p * t) / (a + p * q)};
         }},
        {"solve-fraction-coefficients", [&](const Number& n, int) {
             const Rational ge = n("g") / n("e"), hf = n("h") / n("f"), s = n("s");
             return Expected{{line(ge, s), line(hf, zero)}, (zero - s) / (ge - hf)};
         }},
        {"solve-fraction-sides", [&](const Number& n, int) {
             const Rational u = n("u"), v = n("v"), m = n("m"), w = n("w"), z = n("z"), nn = n("n");
             return Expected{{line(u / m, v / m), line(w / nn, z / nn)}, (m * z - nn * v) / (nn * u - m * w)};
         }},
        {"apply-ratio-whole", [&](const Number& n, int) {
             return Expected{{line(one, zero), line(zero, n("kb")), line(zero, n("a")), line(zero, n("b"))},
                             n("kb") * n("a") / n("b")};
         }},
        {"apply-ratio-fraction", [&](const Number& n, int) {
             const Rational ec = n("ec"), f = n("f"), b = n("b"), c = n("c"), d = n("d");
             return Expected{{line(zero, ec), line(f, b), line(zero, c), line(zero, d)}, (ec * d / c - b) / f};
         }},
    };
    lk::testing::Bench b;
    lk::Script s(b.engine);
    for (const pr::Kind& kind : pr::kinds()) {
        const auto formula = formulas.find(std::string(kind.id));
        ASSERT_NE(formula, formulas.end()) << kind.id << " has no formula here";
        for (int variant = 1; variant <= kind.variants; ++variant) {
            b.presenter.painter().seed_random(5);
            for (int i = 0; i < 500; ++i) {
                const pr::Problem p = pr::generate(kind, s, variant);
                const std::string shown = p.shown[0].joined();
                SCOPED_TRACE(std::string(kind.id) + ": " + shown);
                std::set<std::string> used;
                const Expected want = formula->second(
                    [&](const char* name) {
                        used.insert(name);
                        return exact(p.number(name));
                    },
                    variant);
                std::set<std::string> listed;
                for (const auto& n : p.numbers) listed.insert(n.name);
                ASSERT_EQ(used, listed);
                ASSERT_THROW(p.number("none"), std::out_of_range);

                std::vector<Linear> pieces;
                std::smatch m;
                if (std::regex_match(shown, m, std::regex("(-?\\d+) は、方程式 (.+) の解ですか。"))) {
                    pieces = Parser(m[2].str()).equation();
                    ASSERT_TRUE(exact(p.number("v")) == Rational(std::stoll(m[1])));
                } else if (shown.find(':') != std::string::npos) {
                    const auto sides = split(shown, '=');
                    ASSERT_EQ(sides.size(), 2u);
                    for (const auto& side : sides)
                        for (const auto& term : split(side, ':')) pieces.push_back(expression(term));
                } else {
                    pieces = Parser(as_drawn(shown)).equation();
                }
                ASSERT_EQ(pieces.size(), want.pieces.size());
                for (size_t j = 0; j < pieces.size(); ++j) {
                    ASSERT_TRUE(pieces[j].c == want.pieces[j].c && pieces[j].k == want.pieces[j].k)
                        << "piece " << j << " is not the numbers' " << want.pieces[j].c.n << "/"
                        << want.pieces[j].c.d << " x + " << want.pieces[j].k.n << "/" << want.pieces[j].k.d;
                }
                const Rational x = p.yes_no() ? Rational(p.yes_no()->yes ? 1 : 0) : exact(p.solution());
                ASSERT_TRUE(want.x == x) << "the numbers give " << want.x.n << "/" << want.x.d;
            }
        }
    }
}

}  // namespace
