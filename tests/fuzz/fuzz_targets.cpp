// libFuzzer targets. One source, six targets chosen at compile time:
//   FUZZ_RICH_TEXT   arbitrary bytes as rich text (and as a cell label)
//   FUZZ_PLAIN_TEXT  arbitrary bytes as plain text
//   FUZZ_PARSE       arbitrary bytes as a typed answer and as a number text
//   FUZZ_PROGRAM     a whole program fed the bytes as keys (the first byte
//                    picks the program)
//   FUZZ_PRACTICE    arbitrary bytes as a practice answer, judged against a
//                    few answers, and as a progress file
//   FUZZ_CLASS_RECORD arbitrary bytes as a record shown to the teacher (a
//                    QR code's bytes) and as a hand-in file
//   FUZZ_STEPS       arbitrary bytes as an equation for the step solver
// Every target checks that the pen width is restored and that nothing but a
// delivered run-time error leaves the engine.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>

#include "engine/lesson/engine.h"
#include "engine/practice/class_record.h"
#include "engine/practice/judge.h"
#include "engine/practice/progress.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/present/strings.h"
#include "engine/steps/steps.h"
#include "lessons/apply/topics.h"
#include "lessons/solve/topics.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    presenter.painter().set_pen_width(7);
    try {
#if defined(FUZZ_RICH_TEXT)
        e.text = input;
        e.text_x = 40;
        e.text_y = 300;
        e.draw_rich_text();
        check(presenter.painter().get_pen_width() == 7);
        check(e.text.empty());
        e.run_text = input;
        e.measure_rich_text();
        check(e.run_text == input);
        e.run_text = input;
        e.cell_width = 60;
        e.cell_height = 50;
        e.draw_table_cell();
        e.span_x1 = 100, e.span_y1 = 100, e.span_x2 = 300, e.span_y2 = 100;
        e.span_side = -1, e.span_height = 20, e.arc_step = 8;
        e.span_label = input;
        e.draw_arc_span();
        check(e.span_label.empty());
#elif defined(FUZZ_PLAIN_TEXT)
        e.text = input;
        e.text_x = 16;
        e.text_y = 666;
        e.draw_plain_text();
        check(e.text.empty());
        e.run_text = input;
        e.draw_plain_run();
        e.run_text = input;
        e.strip_markup();
        e.run_text = input;
        e.strip_spaces();
        check(e.run_text.find(' ') == std::string::npos);
#elif defined(FUZZ_PARSE)
        e.answer_text = input;
        e.parse_answer();
        (void)lk::to_integer(e.answer_value);
        (void)lk::text_to_number(input);
        e.answer_x = 1056;
        e.answer_y = 648;
        platform.add_keys(input + "\r\r");
        lk::finished(e.read_answer());
        check(lk::char_length(e.answer_text) < 10);
#elif defined(FUZZ_PROGRAM)
        if (input.empty()) return 0;
        const lk::ProgramDef& program =
            (input[0] & 1) ? lk::solvelesson_program() : lk::applylesson_program();
        lk::HeadlessPlatform keys(input.substr(1));
        lk::Presenter program_presenter(keys);
        bool error_line = false;
        struct Watch : lk::OpSink {
            bool* seen;
            void on_draw(const lk::DrawOp& op) override {
                if (const auto* t = std::get_if<lk::DrawText>(&op); t && t->x == 288 && t->y == 432)
                    *seen = true;
            }
            void on_event(const lk::Event&) override {}
        } watch;
        watch.seen = &error_line;
        program_presenter.add_sink(&watch);
        check(lk::finished(lk::run_program(program, program_presenter, 1)) == 0);
        // No key sequence leads to a run-time error in the lessons.
        check(!error_line);
#elif defined(FUZZ_PRACTICE)
        namespace p = lk::practice;
        const p::Reading reading = p::read_typed(input);
        const bool number = reading.status == p::Reading::Status::number;
        if (number) {
            // Every value read is small, in lowest terms, with a positive
            // denominator.
            check(reading.value.d > 0 && reading.value.d <= 1'000'000'000);
            check(reading.value.n > -1'000'000'000 && reading.value.n < 1'000'000'000);
            check(std::gcd(reading.value.n, reading.value.d) == 1);
            check(!(reading.decimal && reading.fraction));
        }
        for (const lk::Rational& answer : {lk::Rational(0), lk::Rational(3), lk::Rational(-7, 3), lk::Rational(1, 2),
                                           lk::Rational(22, 7), lk::Rational(-123456789, 1000)}) {
            const p::Judgement j = p::judge(input, answer);
            check(!j.message.empty());
            check(number == (j.verdict != p::Verdict::not_a_number));
            check((j.verdict == p::Verdict::correct) == (number && reading.value == answer && reading.simplest));
            check((j.verdict == p::Verdict::not_simplest) == (number && reading.value == answer && !reading.simplest));
            if (j.verdict == p::Verdict::need_fraction) check(reading.decimal && !(reading.value == answer));
        }
        p::Progress progress;
        p::record(progress.sets["fuzz"], {true, true}, 3, "2026-12-08");
        const std::string before = p::to_json(progress);
        std::string error;
        if (p::from_json(input, progress, error)) {
            // What was read is written and read back the same.
            const std::string text = p::to_json(progress);
            p::Progress again;
            check(p::from_json(text, again, error));
            check(p::to_json(again) == text);
        } else {
            check(!error.empty());
            check(p::to_json(progress) == before);
        }
#elif defined(FUZZ_CLASS_RECORD)
        namespace p = lk::practice;
        std::string error;
        const std::vector<std::uint8_t> bytes(data, data + size);
        for (const auto& read : {p::decode_class_record(bytes, error), p::read_class_record_file(input, error)}) {
            if (!read) {
                check(!error.empty());
                continue;
            }
            // What was read is within the form's bounds, and written again
            // it reads back the same.
            check(read->seat >= 0 && read->seat <= p::kMaxSeat && p::valid_class_label(read->label));
            int dropped = 0;
            const auto again = p::encode_class_record(*read, &dropped);
            check(again.size() <= p::kClassRecordMaxBytes);
            if (dropped == 0) check(p::decode_class_record(again, error) == read);
        }
#elif defined(FUZZ_STEPS)
        namespace st = lk::steps;
        // Never throws; a refusal names a place inside the text (or none),
        // a solution ends on its answer, and its given equation, read
        // again, has the same solutions.
        const st::Result result = st::solve(input);
        if (const auto* refusal = std::get_if<st::Refusal>(&result)) {
            check(!refusal->message.empty());
            check(refusal->position >= 0 && refusal->position <= st::kMaxCharacters + 1);
        } else {
            const auto& solution = std::get<st::Solution>(result);
            for (const st::Step& step : solution.steps) {
                check(!step.name.empty() && !step.rich.empty());
                if (step.kind != st::StepKind::verdict)
                    for (char c : step.plain) check(c > ' ' && c < 0x7F);
            }
            check(solution.steps.empty() || solution.steps.back().colour == st::kAnswerColour);
            const st::Result again = st::solve(solution.given_plain);
            if (const auto* s = std::get_if<st::Solution>(&again)) {
                check(s->outcome == solution.outcome);
                check(s->outcome != st::Outcome::one || s->x == solution.x);
            }
        }
#endif
    } catch (const lk::RuntimeError&) {
        // A run-time error is delivered to the error routine, not a crash.
    } catch (const lk::ProgramEnd&) {
        // The keys ran out.
    }
    check(presenter.painter().get_pen_width() == 7);
    return 0;
}
