// The wait banner, the typed-answer field and the prompts built on it.
#include <algorithm>

#include "../present/keys.h"
#include "../present/strings.h"
#include "engine.h"

namespace lk {

Task<> Engine::wait_any_key() {
    // The banner is part of the prompt: announced before it is drawn, and
    // answered once it is erased again.
    presenter().announce({PromptKind::step});
    saved_colour = text_colour;
    saved_pen_width = pen();
    set_pen(3);
    p.fill_box(96, 657, 400, 693, Coords::absolute, 13, 4);
    text_colour = 9;
    text_x = 128;
    text_y = 666;
    text = "何かキーを押して下さい。";
    draw_plain_text();
    for (;;) {
        last_key = co_await presenter().poll_key();
        if (last_key.empty()) continue;
        if (last_key == kKeyStepBack) {
            // Back one step: the shell replays the item up to its previous
            // wait. Outside an item there is nothing to go back to.
            if (presenter().logging_item()) throw StepBack{};
            continue;
        }
        presenter().mark_wait_answered();
        break;
    }
    p.fill_box(0, 657, 400, 693, Coords::absolute, 15, 15);
    text_colour = saved_colour;
    set_pen(saved_pen_width);
    presenter().announce({});
}

Task<> Engine::read_answer() {
    input_x = answer_x;
    input_y = answer_y;
    answer_text.clear();
    text_colour = 0;
    text_x = answer_x - 48;
    text_y = answer_y;
    text = "入力";
    draw_plain_text();
    prompt.field = Box{answer_x - 48, answer_y - 8, answer_x + 192, answer_y + 22};
    prompt.input = kNumberField;
    presenter().announce(prompt);
    AnswerField field(prompt.input);
    for (;;) {
        p.fill_circle(input_x + 8, input_y + 8, 4, 5);
        // What a Japanese input method commits ("２", "ー", "／") counts as
        // the plain key.
        last_key = plain_key(co_await presenter().poll_key());
        if (last_key.empty()) {
            p.fill_circle(input_x + 8, input_y + 8, 4, 15);
            continue;
        }
        const FieldChange change = field.key(last_key);
        if (change == FieldChange::cleared) {
            // Backspace clears the whole field; so does any key once ten
            // characters stand in it (that key itself is not taken).
            p.fill_box(answer_x, answer_y - 8, 192, 30, Coords::relative, 15, 15);
            answer_text.clear();
            input_x = answer_x;
            input_y = answer_y;
            last_key.clear();
            continue;
        }
        if (change == FieldChange::submitted) {
            p.fill_circle(input_x + 8, input_y + 8, 4, 15);
            break;
        }
        if (change == FieldChange::taken) {
            p.fill_circle(input_x + 8, input_y + 8, 4, 15);
            text_colour = 5;
            run_text = last_key;
            text_x = input_x;
            text_y = input_y;
            draw_plain_run();
            input_x = plain_end_x;
            answer_text = field.text();
        }
    }
    // From the top of the field's own ink, so that a line written just above
    // the field keeps its foot.
    p.fill_box(answer_x - 48, answer_y, 240, 22, Coords::relative, 15, 15);
    prompt = {};
    presenter().announce(prompt);
}

void Engine::parse_answer() {
    int slash = char_find(1, answer_text, "/");
    if (slash == 0) {
        answer_value = text_to_number(answer_text);
        return;
    }
    // A zero or missing denominator gives an infinity or NaN, which selects
    // nothing anywhere a choice is read.
    float numerator = text_to_number(char_left(answer_text, slash - 1));
    float denominator = text_to_number(char_right(answer_text, char_length(answer_text) - slash));
    answer_value = numerator / denominator;
}

Task<> Engine::ask_inline() {
    text_colour = 5;
    text_x = answer_x - 16 * (static_cast<float>(char_length(text)) + 5);
    text_y = answer_y;
    draw_plain_text();
    co_await read_answer();
    parse_answer();
}

Task<> Engine::ask_menu_number() {
    text_colour = 0;
    text_x = answer_x - 240;
    text_y = answer_y;
    text = "番号を入力して下さい。";
    draw_plain_text();
    text.clear();
    co_await ask_inline();
    erase_inline_answer();
}

void Engine::erase_inline_answer() {
    p.fill_box(answer_x - 640, answer_y - 8, 1056, 50, Coords::relative, 15, 15);
}

namespace {

bool is_circled_number(const std::string& c, int& number) {
    // ① U+2460 to ⑳ U+2473: E2 91 A0 to E2 91 B3.
    if (c.size() != 3 || static_cast<unsigned char>(c[0]) != 0xE2 ||
        static_cast<unsigned char>(c[1]) != 0x91)
        return false;
    int n = static_cast<unsigned char>(c[2]) - 0xA0 + 1;
    if (n < 1 || n > 20) return false;
    number = n;
    return true;
}

// The entries of an item bar, from the glyphs its text was drawn with: an
// entry starts at its circled number and ends before a blank or the next one.
std::vector<PromptChoice> bar_choices(const std::vector<DrawText>& glyphs) {
    std::vector<PromptChoice> choices;
    bool open = false;
    for (const auto& g : glyphs) {
        int number = 0;
        if (is_circled_number(g.text, number)) {
            choices.push_back({number, glyph_cell(g)});
            open = true;
        } else if (g.text == "　" || g.text == " ") {
            open = false;
        } else if (open) {
            Box cell = glyph_cell(g);
            Box& area = choices.back().area;
            area = {std::min(area.x1, cell.x1), std::min(area.y1, cell.y1),
                    std::max(area.x2, cell.x2), std::max(area.y2, cell.y2)};
        }
    }
    return choices;
}

}  // namespace

Task<> Engine::ask_bottom() {
    text_colour = 0;
    text_x = 16;
    text_y = 666;
    p.start_capture();
    draw_plain_text();
    prompt.kind = PromptKind::bar;
    prompt.choices = bar_choices(p.take_capture());
    co_await read_answer();
    parse_answer();
}

void Engine::erase_bottom_band() { p.fill_box(0, 657, 992, 720, Coords::absolute, 15, 15); }

Task<> Engine::ask_next_step() {
    float kept_pen = pen();
    set_pen(2);
    p.fill_box(96, 639, 400, 675, Coords::absolute, 13, 12);
    text_colour = 9;
    text_x = 128;
    text_y = 648;
    text = "次のステップは１を入力。";
    draw_plain_text();
    prompt.kind = PromptKind::next_step;
    co_await read_answer();
    parse_answer();
    p.fill_box(answer_x - 48, answer_y - 9, 160, 27, Coords::relative, 15, 15);
    p.fill_box(96, 639, 400, 675, Coords::absolute, 15, 15);
    set_pen(kept_pen);
}

void Engine::clear_stage() { p.fill_box(0, 54, 1440, 900, Coords::absolute, 15, 15); }

std::string Engine::number_text(float value) {
    run_text = number_to_text(value);
    strip_spaces();
    return run_text;
}

void Engine::format_number_tables() {
    for (int i = 1; i <= 80; ++i) cell_labels[i] = number_text(remembered_x[i]);
    for (int i = 1; i <= 40; ++i) remembered_y_texts[i] = number_text(remembered_y[i]);
    for (int i = 0; i <= 20; ++i) value_texts_a[i] = number_text(values_a[i]);
    for (int i = 0; i <= 20; ++i) value_texts_b[i] = number_text(values_b[i]);
}

}  // namespace lk
