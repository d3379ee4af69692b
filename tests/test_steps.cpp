// The step solver: the drills' own worked lines for every problem they make,
// an exact check of every line of random equations with the tests' own
// readers, the refusals, and solvelesson --steps from the outside.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "engine/steps/steps.h"
#include "lessons/problems/problems.h"
#include "support/equation_check.h"
#include "support/formula_parse.h"
#include "support/random_equations.h"
#include "support/replay.h"

namespace {

namespace pr = lk::problems;
namespace st = lk::steps;
using lk::testing::Lin;
using TestRational = lk::testing::Rational;

// The drills' kinds worked with x (the yes/no kind and the one-step kind,
// which work by the properties of equality, are not the solver's).
constexpr std::size_t kFirstSolvedKind = 2;
// Problems drawn at random of a kind whose draws are too many to walk.
constexpr int kSampled = 20000;

const st::Solution& solved(const st::Result& r, const std::string& text) {
    if (const auto* refusal = std::get_if<st::Refusal>(&r))
        ADD_FAILURE() << text << " refused: " << refusal->message;
    static const st::Solution none;
    const auto* s = std::get_if<st::Solution>(&r);
    return s ? *s : none;
}

// One drill problem: the solver, given the problem as plain text, draws the
// drill's worked lines, colours included, and reaches the drill's answer.
void same_as_drill(const pr::Problem& p, int& checked) {
    ASSERT_EQ(p.shown.size(), 1u);
    const std::string input = st::plain_text(p.shown[0].joined());
    const st::Result result = st::solve(input);
    const st::Solution& s = solved(result, input);
    std::string want, got;
    for (const auto& line : p.worked) {
        EXPECT_EQ(line.runs.size(), 1u);
        want += std::to_string(line.runs[0].colour) + " " + line.joined() + "\n";
    }
    for (const auto& step : s.steps) got += std::to_string(step.colour) + " " + step.rich + "\n";
    ASSERT_EQ(got, want) << input;
    EXPECT_EQ(s.given_rich, p.shown[0].joined());
    ASSERT_EQ(s.outcome, st::Outcome::one);
    EXPECT_EQ(s.x, p.solution()) << input;
    ++checked;
}

// Every problem of each drill that the solver generalises, line for line:
// a walk through every problem where the draws are few enough, and a sample
// where they are not.
TEST(StepSolver, DrawsTheDrillsWorkedLinesForEveryProblem) {
    const auto& kinds = pr::kinds();
    ASSERT_GT(kinds.size(), kFirstSolvedKind);
    for (std::size_t k = kFirstSolvedKind; k < kinds.size(); ++k) {
        const pr::Kind& kind = kinds[k];
        ASSERT_EQ(kind.answer, pr::AnswerType::solution);
        for (int v = 1; v <= kind.variants; ++v) {
            int checked = 0;
            const auto walk = pr::for_each_problem(kind, v, [&](const pr::Problem& p) { same_as_drill(p, checked); });
            if (!walk.walked) {
                lk::testing::Bench b;
                lk::Script s(b.engine);
                b.presenter.painter().seed_random(7);
                for (int i = 0; i < kSampled; ++i) same_as_drill(pr::generate(kind, s, v), checked);
            }
            EXPECT_GT(checked, 0) << kind.id;
            std::printf("%s/%d: %d problems, %s\n", std::string(kind.id).c_str(), v, checked,
                        walk.walked ? "every one" : "sampled");
            if (HasFatalFailure()) return;
        }
    }
}

// The single solution of "A=B" read by the tests' reader, or none.
std::optional<TestRational> single(const std::vector<Lin>& sides) {
    if (sides.size() < 2 || sides[0].a == sides[1].a) return std::nullopt;
    return (sides[1].b - sides[0].b) / (sides[0].a - sides[1].a);
}

// Every line of a solution holds the input's solutions, read back by two
// readers the solver does not use: the plain line by the worksheet reader,
// the rich line by the drills' checker.
void check_lines(const lk::testing::TypedEquation& e, const st::Solution& s) {
    const auto input = lk::testing::plain_sides(e.ascii);
    ASSERT_EQ(input.size(), 2u) << e.ascii;
    const auto given = lk::testing::plain_sides(s.given_plain);
    ASSERT_EQ(given.size(), 2u) << e.ascii << " given as " << s.given_plain;
    const auto x = single(input);
    const Lin difference{input[0].a - input[1].a, input[0].b - input[1].b};
    const st::Outcome expected = x ? st::Outcome::one
                                   : difference.b == 0 ? st::Outcome::every
                                                       : st::Outcome::none;
    ASSERT_EQ(s.outcome, expected) << e.ascii;
    if (x) {
        ASSERT_EQ(TestRational(s.x.n, s.x.d), *x) << e.ascii;
        EXPECT_EQ(single(given), x) << e.ascii;
    }
    ASSERT_FALSE(s.steps.empty() && !(x && s.given_plain.starts_with("x="))) << e.ascii;
    for (const st::Step& step : s.steps) {
        if (step.kind == st::StepKind::verdict) {
            EXPECT_EQ(step.rich, expected == st::Outcome::every ? "すべての数が解" : "解はない");
            continue;
        }
        const auto sides = lk::testing::plain_sides(step.plain);
        ASSERT_GE(sides.size(), 2u) << e.ascii << ": " << step.plain;
        const auto rich = lk::testing::Parser(step.rich).equation();
        ASSERT_EQ(rich.size(), sides.size()) << step.rich;
        for (std::size_t k = 0; k < sides.size(); ++k)
            ASSERT_TRUE(rich[k].c == sides[k].a && rich[k].k == sides[k].b) << step.rich << " / " << step.plain;
        if (x) {
            ASSERT_EQ(single(sides), x) << e.ascii << ": " << step.plain;
            // An answer chain "x=9/3=3": every further side is the number.
            for (std::size_t k = 2; k < sides.size(); ++k)
                ASSERT_TRUE(sides[k].a == 0 && sides[k].b == *x) << step.plain;
        } else {
            ASSERT_TRUE(sides[0].a == sides[1].a && ((sides[0].b == sides[1].b) == (expected == st::Outcome::every)))
                << e.ascii << ": " << step.plain;
        }
        for (const st::Move& m : step.moves) {
            EXPECT_NE(m.from, m.to);
            EXPECT_NE(m.sign_before, m.sign_after);
        }
        EXPECT_EQ(step.moves.empty(), step.kind != st::StepKind::transpose);
    }
    if (!s.steps.empty()) {
        const st::Step& last = s.steps.back();
        EXPECT_EQ(last.colour, st::kAnswerColour) << e.ascii;
        if (x) EXPECT_TRUE(last.plain.starts_with("x=")) << e.ascii << ": " << last.plain;
    }
}

// Random equations of every accepted form: a few thousand in every run,
// LESSONKIT_STEPS_RANDOM of them (100,000 under the long label) on request.
TEST(StepSolver, EveryLineOfRandomEquationsHasTheInputsSolution) {
    const char* asked = std::getenv("LESSONKIT_STEPS_RANDOM");
    const int count = asked ? std::atoi(asked) : 3000;
    lk::testing::RandomEquations equations(11);
    int solved_count = 0, refused = 0;
    for (int i = 0; i < count; ++i) {
        const auto e = equations.next();
        const st::Result r = st::solve(e.typed);
        if (const auto* refusal = std::get_if<st::Refusal>(&r)) {
            // Only a number too large for 64 bits, or a proportion's term
            // that is 0 ((7x-7x)), may stop the solver here.
            const bool zero_term = refusal->message.ends_with("比の項に0は使えません。");
            ASSERT_TRUE(refusal->message.starts_with("計算の途中で") || zero_term)
                << e.typed << ": " << refusal->message;
            if (zero_term) {
                const auto sides = lk::testing::plain_sides(e.ascii);
                ASSERT_EQ(sides.size(), 2u) << e.ascii;
                ASSERT_TRUE((sides[0].a == 0 && sides[0].b == 0) ||
                            (sides[1].a == 0 && sides[1].b == 0))
                    << e.ascii;
            }
            ++refused;
            continue;
        }
        check_lines(e, std::get<st::Solution>(r));
        if (HasFatalFailure()) return;
        ++solved_count;
    }
    EXPECT_LT(refused, count / 100);
    EXPECT_GT(solved_count, 0);
}

// Every refusal, with its message and place.
TEST(StepSolver, RefusesWithAMessageNamingThePlace) {
    struct Case {
        std::string text;
        int position;
        std::string message;
    };
    const Case cases[] = {
        {"x²=4", 2, "2文字目の「²」: 2乗は使えません。xの1次方程式を入力します。"},
        {"x*x=4", 3, "3文字目: x と x のかけ算（xの2乗）は使えません。"},
        {"2x(x+1)=3", 3, "3文字目: x と x のかけ算（xの2乗）は使えません。"},
        {"x:2=3:x", 0, "x と x のかけ算（xの2乗）になります。xの1次方程式を入力します。"},
        {"3/x=1", 3, "3文字目: 分母に x があります。"},
        {"1/(x+1)=2", 3, "3文字目: 分母に x があります。"},
        {"x=1=2", 4, "4文字目の「=」: 「=」は1つだけです。"},
        {"2x+1", 0, "「=」がありません。方程式には「=」が1つ必要です。"},
        {"2+1=3", 0, "x がありません。x をふくむ方程式を入力します。"},
        {"x=2y", 4, "4文字目の「y」: 使える文字は x だけです。"},
        {"2(x+1=3", 2, "2文字目の「(」が閉じていません。"},
        {"2x+1)=3", 5, "5文字目の「)」に対応する「(」がありません。"},
        {"x=1234567890", 3, "3文字目の数が長すぎます。数は9けたまでです。"},
        {"x=" + std::string(79, '1'), 81, "81文字目から先は入りません。式は80文字までです。"},
        {"2(3(4(x+1)))=5", 6, "6文字目の「(」: かっこは2重までです。"},
        {"x/0=1", 3, "3文字目: 0 でわることはできません。"},
        {"x+=1", 3, "3文字目の「=」の前に数か x が必要です。"},
        {"x=2+", 0, "式が途中で終わっています。最後に数か x が必要です。"},
        {"x:2=3", 2, "2文字目の「:」: 比例式は a:b=c:d の形に書きます。"},
        {"x:0=1:2", 3, "3文字目からの項が0です。比の項に0は使えません。"},
        {"x=#", 3, "3文字目の「#」は式に使えません。"},
        {"x=999999999*999999999*999999999", 0, "計算の途中で数が大きくなりすぎます。もっと小さい数の式を入力します。"},
        {"ｘ＝２ｙ", 4, "4文字目の「ｙ」: 使える文字は x だけです。"},
    };
    for (const Case& c : cases) {
        const st::Result r = st::solve(c.text);
        const auto* refusal = std::get_if<st::Refusal>(&r);
        ASSERT_NE(refusal, nullptr) << c.text;
        EXPECT_EQ(refusal->message, c.message) << c.text;
        EXPECT_EQ(refusal->position, c.position) << c.text;
    }
    // The longest text taken is taken.
    EXPECT_TRUE(std::holds_alternative<st::Solution>(st::solve("x=" + std::string(9, '1') + std::string(69, ' '))));
}

// What a command printed and its status.
struct Output {
    int status;
    std::string out, err;
};
Output run(const std::string& args) {
    const char* dir = std::getenv("LESSONKIT_BIN");
    const std::string bin = dir ? dir : "build";
    const std::string err_file = testing::TempDir() + "steps-err-" + std::to_string(::getpid());
    // No display: the program must not need one.
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY " + bin + "/solvelesson " + args + " 2>" + err_file;
    Output r{};
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    r.status = WEXITSTATUS(pclose(p));
    FILE* e = std::fopen(err_file.c_str(), "r");
    for (std::size_t n; e && (n = fread(buf, 1, sizeof buf, e)) > 0;) r.err.append(buf, n);
    if (e) std::fclose(e);
    std::remove(err_file.c_str());
    return r;
}

TEST(StepSolver, SolvelessonPrintsTheStepsOrTheRefusal) {
    const struct {
        std::string equation;
        Output want;
    } cases[] = {
        {"4x-(x-3)=12",
         {0,
          "かっこをはずす\t4x-x+3=12\n"
          "移項\t4x-x=12-3\n"
          "まとめる\t3x=9\n"
          "両辺を3でわる\tx=9/3=3\n",
          ""}},
        {"(2x-1)/3=(x+2)/4",
         {0,
          "両辺に12をかける\t12*(2x-1)/3=12*(x+2)/4\n"
          "計算する\t4(2x-1)=3(x+2)\n"
          "かっこをはずす\t8x-4=3x+6\n"
          "移項\t8x-3x=6+4\n"
          "まとめる\t5x=10\n"
          "両辺を5でわる\tx=10/5=2\n",
          ""}},
        {"x+1=x+2", {0, "移項\tx-x=2-1\nまとめる\t0x=1\n答え\t解はない\n", ""}},
        {"x=2y", {2, "", "4文字目の「y」: 使える文字は x だけです。\n"}},
    };
    for (const auto& c : cases) {
        const Output got = run("--steps '" + c.equation + "'");
        EXPECT_EQ(got.status, c.want.status) << c.equation;
        EXPECT_EQ(got.out, c.want.out) << c.equation;
        EXPECT_EQ(got.err, c.want.err) << c.equation;
    }
}

}  // namespace
