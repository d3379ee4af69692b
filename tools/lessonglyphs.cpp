// lessonglyphs: the characters the programs can draw, per font, for the
// browser build's font subsets. It tours every item of both programs with
// several seeds (every drill showing several problems), types every
// character an answer field takes, adds the on-screen keypad's labels, the
// printed sheets of every practice set (40 problems and their keys, for a
// browser's print view), プリント's prompts and the print view's buttons,
// a teacher's request (今日の問題 done, and every way one is refused), and
// prints what was drawn:
//
//   family<TAB>bold|regular<TAB>italic|upright<TAB>characters
//
// one line per font that was used, the characters as UTF-8 without breaks.
//
//   lessonglyphs [SEEDS [FIRST]]   tours with seeds FIRST .. FIRST + SEEDS - 1
//                                  (8 seeds from 1 unless given)
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "engine/practice/judge.h"
#include "engine/practice/progress.h"
#include "engine/present/faces.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/present/overlay/overlay_shapes.h"
#include "engine/present/presenter.h"
#include "engine/present/strings.h"
#include "engine/shell/tour.h"
#include "engine/steps/steps.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
#include "lessons/practice/request.h"
#include "lessons/practice/sheet.h"
#include "lessons/solve/topics.h"

namespace {

using FontKey = std::tuple<std::string, bool, bool>;

class Collector : public lk::OpSink {
public:
    void on_draw(const lk::DrawOp& op) override {
        const auto* t = std::get_if<lk::DrawText>(&op);
        if (!t) return;
        lk::FaceStyle style = lk::style_for(t->font.face);
        auto& chars = fonts[{style.family, t->font.bold, t->font.italic}];
        for (const auto& c : lk::split_chars(lk::displayed_text(style, t->text))) chars.insert(c);
    }
    void on_event(const lk::Event&) override {}
    std::map<FontKey, std::set<std::string>> fonts;
};

// Every character an answer field takes, typed at the main menu, then the
// field cleared and the program ended. The practice program's answer field
// takes more: its first set's field gets each of them, every kind of verdict
// and a hint, then the record is erased (with its confirmation).
std::string typed_answers(const lk::ProgramDef& program) {
    std::string keys;
    for (char c = '-'; c <= '9'; ++c) keys += c;
    if (program.main) {
        keys = "\b2\r" + keys + "+x= \f\r";
        for (const char* typed : {"-", "3/0", "1.2.3", "6/3", "4/6", "3/-2", "0.50", "-0", "03", "2.33", "9999",
                                  "1/3", "0.333"})
            keys += "\f" + std::string(typed) + "\r";
        keys += "h\x1b" + std::to_string(program.quit_number - 1) + "\r1\r";
        return keys + std::to_string(program.quit_number) + "\r";
    }
    return keys + "\b" + std::to_string(program.quit_number) + "\r";
}

// What the judge and the record can say, whatever problem is waiting: the
// characters of every message, in the font the practice program writes
// its messages with, and of the record's notices (a file's path among
// them, so every printable ASCII character) in the plain text's font.
void add_practice_messages(Collector& collector) {
    const lk::FaceStyle style = lk::style_for("ゴシック");
    std::string all;
    for (const char* typed : {"", "-", "3/0", "1.2.3", "6/3", "4/6", "3/-2", "0.50", "-0", "03", "2.33", "2", "9"})
        for (const lk::Rational answer : {lk::Rational(2), lk::Rational(7, 3), lk::Rational(0)})
            all += lk::practice::judge(typed, answer).message;
    for (const char* request : {"x", "v2", "v1;s", "v1;e=1", "v1;s=a;s=a", "v1;s=,", "v1;s=nothing", "v1;n=0",
                                "v1;s=mixed", "v1;n=1"})
        all += lk::practice::read_request(request).error;
    all += lk::practice::read_request(std::string(lk::practice::kMaxRequestChars + 1, 'v')).error;
    std::string many = "v1;n=1;s=mixed";
    for (std::size_t i = 0; i < lk::practice::kMaxRequestSets; ++i) many += ",mixed";
    all += lk::practice::read_request(many).error;
    all += lk::practice::newer_record_notice(9);
    for (char c = ' '; c < 127; ++c) all += c;
    for (const auto& [font, chars] : collector.fonts) {
        if (std::get<0>(font) != style.family) continue;
        for (const auto& c : lk::split_chars(all)) collector.fonts[font].insert(c);
    }
}

// The keypads' labels, as the overlay draws them at a number prompt and at
// an equation's.
void add_overlay_labels(Collector& collector) {
    for (const lk::FieldSpec& field : {lk::kNumberField, lk::kEquationField}) {
        lk::overlay::Overlay overlay;
        overlay.set_view(lk::kCanvasWidth, lk::kCanvasHeight);
        lk::PromptEvent prompt;
        prompt.kind = lk::PromptKind::next_step;
        prompt.field = lk::Box{1008, 640, 1248, 670};
        prompt.input = field;
        overlay.on_prompt(prompt);
        const lk::overlay::Rect all{0, 0, overlay.view().width, overlay.view().height};
        for (const auto& s : lk::overlay::overlay_shapes(overlay, lk::Palette::original, all)) {
            if (s.kind != lk::overlay::Shape::label) continue;
            auto& chars = collector.fonts[{s.family, s.bold, false}];
            for (const auto& c : lk::split_chars(s.text)) chars.insert(c);
        }
    }
}

// A teacher's request with every set, 今日の問題 answered right to its end
// (each header names the problem's set), then the menu with its entry and
// the word that it is done.
void add_request(Collector& collector) {
    std::string request = "v1;n=" + std::to_string(lk::practice::practice_sets().size()) + ";s=";
    for (const auto& set : lk::practice::practice_sets()) request += set.id + ",";
    request.pop_back();
    const lk::ProgramDef program = lk::practicelesson_program(nullptr, request);
    struct Answerer : lk::OpSink {
        void on_draw(const lk::DrawOp&) override {}
        void on_event(const lk::Event&) override {}
        void on_prompt(const lk::PromptEvent& p) override { prompt = p; }
        lk::PromptEvent prompt;
    } answerer;
    lk::HeadlessPlatform platform;
    platform.set_key_source([&]() -> std::string {
        const lk::PromptEvent& p = answerer.prompt;
        if (p.kind == lk::PromptKind::verdict) return " ";
        if (p.kind == lk::PromptKind::answer)
            return p.field.x2 > p.field.x1 ? "\f" + p.expected + "\r" : p.expected;
        if (p.kind == lk::PromptKind::menu) return std::to_string(program.quit_number) + "\r";
        return {};
    });
    lk::Presenter presenter(platform);
    presenter.add_sink(&answerer);
    presenter.add_sink(&collector);
    lk::finished(lk::run_program(program, presenter, 1));
}

// プリント as the page offers it (the program given a printer): its screen
// and prompts, answered with the largest numbers, the seed left out once.
void add_print_prompts(Collector& collector) {
    const lk::ProgramDef program = lk::practicelesson_program(
        [](const lk::practice::SheetRequest&) { return lk::practice::PrintOutcome{true, "", ""}; });
    const std::string print = "\f" + std::to_string(program.quit_number - 2) + "\r";
    lk::HeadlessPlatform platform(print + "1\r20\r1\r\r" + print + "12\r40\r50\r9999999\r" +
                                  std::to_string(program.quit_number) + "\r");
    lk::Presenter presenter(platform);
    presenter.add_sink(&collector);
    lk::finished(lk::run_program(program, presenter, 1));
}

// The printed sheets: every set, 40 problems (numbered up to ㊵) and their
// keys, from each seed; every circled number a sheet can number with (① to
// ⑳, ㉑ to ㉟, ㊱ to ㊿) in each font that drew one; and the print view's
// buttons, in the bold Gothic of the page.
void add_sheets(Collector& collector, int seeds, int first) {
    lk::practice::SheetWatch watch;
    watch.sink = &collector;
    for (const auto& set : lk::practice::practice_sets()) {
        lk::practice::SheetRequest request;
        request.set = &set;
        request.count = lk::practice::kMaxSheetProblems;
        request.seed = static_cast<std::uint64_t>(first);
        request.sheets = seeds;
        lk::practice::make_sheets(request, watch);
    }
    std::string circled;
    for (int n = 1; n <= 50; ++n) circled += lk::practice::circled_number(n);
    for (auto& [font, chars] : collector.fonts)
        if (chars.count(lk::practice::circled_number(1)))
            for (const auto& c : lk::split_chars(circled)) chars.insert(c);
    auto& buttons = collector.fonts[{lk::style_for("ｺﾞｼｯｸ").family, true, false}];
    for (const auto& c : lk::split_chars("印刷戻る")) buttons.insert(c);
}

}  // namespace

// 方程式を入力: equations of every form, each worked to its end (the step
// names and the lines), and the messages of refused ones.
void add_own_equations(Collector& collector) {
    for (const char* equation : {"4x-(x-3)=12", "(2x-1)/3=(x+2)/4", "x:6=2:3", "0.25x-1.5=0.1(x+3)", "2(x+1)=2x+2",
                                 "x+1=x+2", "(2/3)x+1=x/4-3x/5", "1.25x=0.5", "3=x", "-x=5"}) {
        lk::HeadlessPlatform platform("6\r1\r" + std::string(equation) + "\r" + std::string(200, ' '));
        lk::Presenter presenter(platform);
        presenter.add_sink(&collector);
        lk::finished(lk::run_program(lk::solvelesson_program(), presenter, 1));
    }
    const lk::FaceStyle style = lk::style_for("ゴシック");
    std::string all;
    for (const std::string refused : std::vector<std::string>{"", "x", "x=1=2", "xx=1", "x2=1", "1/x=2", "y=1", "(x=1", "x)=1",
                                      "1234567890x=1", "1=2", "x/0=1", "((((x))))=1", "x:1:2=3", "x==1", "+=x",
                                      "2.5.1x=1", "x(x+1)=1", "x*x=1", "ｘ＝１あ",
                                      std::string(lk::steps::kMaxCharacters + 1, '1')}) {
        const auto result = lk::steps::solve(refused);
        if (const auto* no = std::get_if<lk::steps::Refusal>(&result)) all += no->message;
    }
    for (const auto& [font, chars] : collector.fonts) {
        if (std::get<0>(font) != style.family) continue;
        for (const auto& c : lk::split_chars(all)) collector.fonts[font].insert(c);
    }
}

int main(int argc, char** argv) {
    int seeds = argc > 1 ? std::atoi(argv[1]) : 8;
    int first = argc > 2 ? std::atoi(argv[2]) : 1;
    Collector collector;
    for (const lk::ProgramDef* program :
         {&lk::applylesson_program(), &lk::solvelesson_program(), &lk::practicelesson_program()}) {
        for (int seed = first; seed < first + seeds; ++seed) {
            lk::TourDriver tour(*program, 4);
            lk::HeadlessPlatform platform;
            platform.set_key_source([&tour] { return tour.next_keys(); });
            lk::Presenter presenter(platform);
            presenter.add_sink(&tour);
            presenter.add_sink(&collector);
            lk::finished(lk::run_program(*program, presenter, static_cast<std::uint64_t>(seed)));
        }
        lk::HeadlessPlatform platform(typed_answers(*program));
        lk::Presenter presenter(platform);
        presenter.add_sink(&collector);
        lk::finished(lk::run_program(*program, presenter, 1));
    }
    add_overlay_labels(collector);
    add_print_prompts(collector);
    add_request(collector);
    add_sheets(collector, seeds, first);
    add_practice_messages(collector);
    add_own_equations(collector);
    for (const auto& [font, chars] : collector.fonts) {
        std::string all;
        for (const auto& c : chars) all += c;
        std::printf("%s\t%s\t%s\t%s\n", std::get<0>(font).c_str(),
                    std::get<1>(font) ? "bold" : "regular", std::get<2>(font) ? "italic" : "upright",
                    all.c_str());
    }
    return 0;
}
