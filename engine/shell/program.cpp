#include "program.h"

#include <algorithm>
#include <chrono>

namespace lk {

Step goal_screen(float x, std::vector<std::string> lines, float first_y, float pitch) {
    return [x, lines = std::move(lines), first_y, pitch](Script& s) -> Task<> {
        s.text(44, 240, 3, "<めあて>");
        float y = first_y;
        for (const auto& line : lines) {
            s.text(x, y, 0, line);
            y += pitch;
        }
        co_return;
    };
}

void start_up(Engine& e, const ProgramDef& program, std::optional<std::uint64_t> seed) {
    e.presenter().set_error_handler([&e] { error_routine(e); });
    e.presenter().maximize_window();
    e.p.set_font_face("ｺﾞｼｯｸ");
    e.p.set_font_size(16);
    e.p.set_pen_width(3);
    e.p.seed_random(seed ? *seed
                         : static_cast<std::uint64_t>(
                               std::chrono::system_clock::now().time_since_epoch().count()));
    e.text_colour = 4;
    e.answer_x = 1056;
    e.answer_y = 648;
    e.program_title = program.title;
}

namespace {

// Runs one item; a step back at one of its waits restores the state of the
// item's start and replays it, off screen, up to the previous wait.
Task<> run_item(Engine& e, Script& s, const Step& item) {
    const EngineState start_state = e.state();
    const Painter::State start_painter = e.p.save_state();
    const Canvas start_canvas = e.p.canvas();
    e.presenter().item_started();
    e.presenter().begin_item_log();
    for (;;) {
        try {
            co_await item(s);
            break;
        } catch (const StepBack&) {
            std::vector<std::string> keys = e.presenter().keys_before_previous_wait();
            e.state() = start_state;
            e.p.restore_state(start_painter);
            e.p.restore_canvas(start_canvas);
            e.presenter().begin_item_log();
            e.presenter().replay_keys(std::move(keys));
        }
    }
    e.presenter().end_item_log();
    e.presenter().item_ended();
}

}  // namespace

Task<> run_topic(Engine& e, const Topic& topic) {
    Script s(e);
    if (topic.goal) co_await topic.goal(s);
    for (;;) {
        e.text = topic.bar;
        co_await e.ask_bottom();
        float choice = e.answer_value;
        e.answer_value = 10;
        e.erase_bottom_band();
        // A choice that is not a number (a typed 1/0) fails both tests below
        // and shows the bar again.
        if (!(choice >= 1 && choice <= static_cast<float>(topic.entries))) continue;
        int entry = to_integer(choice);
        if (entry == topic.entries) co_return;
        if (entry >= 1 && entry < topic.entries && static_cast<size_t>(entry) <= topic.items.size())
            co_await run_item(e, s, topic.items[static_cast<size_t>(entry - 1)]);
    }
}

Task<> run_main_menu(Engine& e, const ProgramDef& program) {
    for (;;) {
        e.clear_stage();
        e.p.fill_box(0, 0, 1760, 1800, Coords::relative, 15);
        e.p.fill_box(22, 10, 1320, 600, Coords::relative, 15, 10);
        e.text_colour = 15;
        e.text_x = 264;
        e.text_y = 30;
        e.text = "＜" + (program.name.empty() ? program.title : program.name) + "　メニュー＞";
        e.draw_rich_text();
        // Each entry is a choice of the prompt, where its text was drawn.
        e.prompt = {PromptKind::menu};
        int number = 0;
        for (const auto& entry : program.menu) {
            e.text_colour = static_cast<float>(entry.colour);
            e.text_x = entry.x;
            e.text_y = entry.y;
            e.text = entry.label;
            e.p.start_capture();
            e.draw_rich_text();
            PromptChoice choice{++number};
            bool first = true;
            for (const auto& glyph : e.p.take_capture()) {
                Box cell = glyph_cell(glyph);
                Box& a = choice.area;
                a = first ? cell
                          : Box{std::min(a.x1, cell.x1), std::min(a.y1, cell.y1),
                                std::max(a.x2, cell.x2), std::max(a.y2, cell.y2)};
                first = false;
            }
            if (!first) e.prompt.choices.push_back(choice);
        }
        co_await e.ask_menu_number();
        float v = e.answer_value;
        if (v == static_cast<float>(program.quit_number)) e.presenter().end_program();
        if (!(v >= 1 && v <= static_cast<float>(program.quit_number))) continue;
        e.p.fill_box(0, 0, 1760, 1800, Coords::relative, 15);
        int entry = to_integer(v);
        if (entry < 1 || static_cast<size_t>(entry) > program.menu.size()) continue;
        int topic = program.menu[static_cast<size_t>(entry - 1)].topic;
        if (topic < 0 || static_cast<size_t>(topic) >= program.topics.size()) continue;
        co_await run_topic(e, program.topics[static_cast<size_t>(topic)]);
    }
}

void error_routine(Engine& e) {
    std::string code = number_to_text(static_cast<float>(e.presenter().error_code()));
    std::string location = number_to_text(static_cast<float>(e.presenter().error_location()));
    e.p.draw_text(288, 432,
                  code + "," + location + "エラーが発生しました。マウスで×をクリックして下さい。", 1,
                  1, 13);
}

Task<int> run_program(const ProgramDef& program, Presenter& presenter,
                      std::optional<std::uint64_t> seed,
                      const std::function<void(Engine&)>& configure) {
    Engine engine(presenter);
    if (configure) configure(engine);
    try {
        bool failed = false;
        try {
            start_up(engine, program, seed);
            if (program.main)
                co_await program.main(engine);
            else
                co_await run_main_menu(engine, program);
        } catch (const RuntimeError& error) {
            // The error routine draws its message; the picture then stays
            // until the program is ended.
            presenter.deliver_error(error);
            failed = true;
        }
        if (failed) co_await presenter.hold();
    } catch (const ProgramEnd& end) {
        co_return end.status;
    }
    co_return 0;
}

}  // namespace lk
