// A tour of every item of both programs, watching the picture at every step
// and every animation frame for text a class could not read: a glyph partly
// cut by a later erase or fill, a glyph outside the layout area, and two
// texts whose glyphs run into each other. Glyph boxes are the ink the cairo
// player really draws.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/present/headless/headless_platform.h"
#include "engine/present/presenter.h"
#include "engine/shell/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
#include "lessons/solve/topics.h"
#include "support/layout_watch.h"

namespace {

using namespace lk::testing;


// The overlaps that are the lesson's own, and the cases kept on purpose.
// Besides these, the watch itself never counts: a text drawn again over the
// same text (same glyphs in the same places: a redraw, or an erase in the
// background colour), an arc's dots under its own label (the dots are drawn
// first), and a table rule over a label's foot (see the box rule below).
const std::vector<Exemption> kExemptions = {
    {"solvelesson", 3, 1, "overlap", "-4x", "-4x=6",
     "the moving term: it travels one place per step from the upper equation "
     "and comes down onto \"-4x\" of the lower one, which it then covers exactly"},
    {"applylesson", 7, 3, "cut", "-20", "",
     "the last line of (4), \"x=-20\", stands at y 640 in a column of lines 50 "
     "apart: any higher it runs into \"3x=-60\". Only a mistyped choice at the "
     "bar shows the band erased under it (\"x=\" goes whole, \"-20\" keeps its "
     "upper half), and the next choice clears the screen"},
};

struct TourResult {
    std::vector<Finding> findings;
    std::map<const Exemption*, int> used;
    int items = 0, steps = 0, looks = 0;
    int status = -1;
};

const lk::ProgramDef& program_named(const std::string& name) {
    return name == "solvelesson"      ? lk::solvelesson_program()
           : name == "practicelesson" ? lk::practicelesson_program()
                                      : lk::applylesson_program();
}

// `equation`, when given, is typed at an equation field in place of the
// tour's own; `only_topic`, when given, is the one main-menu entry walked.
TourResult tour(const std::string& name, std::uint64_t seed, const std::string& equation = "", int only_topic = 0) {
    const lk::ProgramDef& program = program_named(name);
    lk::HeadlessPlatform platform;
    lk::TourDriver driver(program, 3);
    if (only_topic > 0) driver.only_topic(only_topic);
    LayoutWatch watch(name, &kExemptions);
    bool wrong_choice_made = false;
    platform.set_key_source([&] {
        auto prompt = driver.prompt();
        Place next = watch.place();
        std::string keys;
        if (prompt == lk::TourDriver::Prompt::bar && !wrong_choice_made) {
            // A mistyped choice first: the bar comes back over the picture
            // the item left, with the bottom band erased.
            wrong_choice_made = true;
            keys = "0\r";
        } else {
            wrong_choice_made = false;
            keys = driver.next_keys();
            if (!equation.empty() && prompt == lk::TourDriver::Prompt::answer) keys = "\f" + equation + "\r";
            int number = std::atoi(keys.c_str());
            if (prompt == lk::TourDriver::Prompt::menu) next.topic = number, next.item = 0, next.step = 0;
            else if (prompt == lk::TourDriver::Prompt::bar) next.item = number, next.step = 0;
            else if (prompt == lk::TourDriver::Prompt::step) ++next.step;
        }
        watch.answering(keys, next);
        return keys;
    });
    lk::Presenter presenter(platform);
    presenter.add_sink(&driver);
    presenter.add_sink(&watch);
    TourResult r;
    r.status = lk::finished(lk::run_program(program, presenter, seed, [&](lk::Engine& e) {
        e.on_rich_text = [&](const std::string& text, float, float, float) { watch.rich_text(text); };
    }));
    r.findings = std::move(watch.findings);
    r.used = watch.used;
    r.items = driver.items_run();
    r.steps = driver.steps();
    r.looks = watch.looks;
    return r;
}


void check(const std::string& name) {
    const lk::ProgramDef& program = program_named(name);
    TourResult r = tour(name, 1);
    EXPECT_EQ(r.status, 0);
    // The tour really went everywhere: every item of every topic.
    int items = 0;
    for (const auto& entry : program.menu)
        if (entry.topic >= 0) items += program.topics[static_cast<size_t>(entry.topic)].entries - 1;
    EXPECT_EQ(r.items, items);
    EXPECT_GT(r.steps, 5 * items);
    // An exemption that no longer matches anything is stale.
    for (const auto& e : kExemptions) {
        if (e.program != name) continue;
        EXPECT_GT(r.used[&e], 0) << "unused exemption: topic " << e.topic << " item " << e.item
                                 << " \"" << e.text_a << "\": " << e.reason;
    }
    const std::string& program_name = name;
    std::printf("%s: %d items, %d steps, %d pictures looked at, %zu findings\n", program_name.c_str(),
                r.items, r.steps, r.looks, r.findings.size());
    EXPECT_TRUE(r.findings.empty()) << listing(r.findings);
}

TEST(LayoutTour, ApplylessonTextIsNeverCutNorColliding) { check("applylesson"); }
TEST(LayoutTour, SolvelessonTextIsNeverCutNorColliding) { check("solvelesson"); }

// 方程式を入力 with the longest inputs it takes: each kind of long line
// (brackets two deep, decimals that need 10^6, eight fractions, nine-digit
// numbers) is worked without a cut or a collision, earlier lines moving up
// and long lines set smaller.
TEST(LayoutTour, OwnEquationsOfTheLongestKindsFit) {
    for (const std::string equation : {
             "3(2(x+1)-4(x-2))-5(x-1)/6=7x/4-2(3x-1)+(x-7)/12+100",
             "0.125x-2.375(x-0.5)+1.75=0.625(2x+3.25)-4.5x+0.375(x-1.125)-12.875",
             "(2x-1)/3-(3x+2)/4+(x-5)/6=(5x+7)/8-(x-1)/12+(7x-3)/9-(4x+1)/18+(x+11)/24",
             "123456789x-987654321=876543219x+123456789-(987654321x-123456789)",
             "(3x-2):(4x+5)=7:9",
             "2(x+1)=2x+2",
         }) {
        TourResult r = tour("solvelesson", 1, equation, 6);
        EXPECT_EQ(r.status, 0) << equation;
        EXPECT_EQ(r.items, 1) << equation;
        EXPECT_GT(r.steps, 4) << equation;
        EXPECT_TRUE(r.findings.empty()) << equation << ":\n" << listing(r.findings);
    }
}

// Every practice set: a hint, a wrong answer, the verdicts and the worked
// lines, over several seeds (the worked lines differ in number and height).
TEST(LayoutTour, PracticeTextIsNeverCutNorColliding) {
    for (std::uint64_t seed : {1, 2, 3}) {
        TourResult r = tour("practicelesson", seed);
        EXPECT_EQ(r.status, 0);
        EXPECT_GT(r.looks, 100);
        EXPECT_TRUE(r.findings.empty()) << "seed " << seed << ":\n" << listing(r.findings);
    }
}

}  // namespace
