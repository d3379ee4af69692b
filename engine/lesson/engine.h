#pragma once
// The lesson engine: one object holding every piece of shared state the
// lesson routines read and write, under the names the lessons use. Routines
// take no arguments and return nothing; a caller fills the fields and calls
// the routine, and results come back in fields.
#include <functional>
#include <stdexcept>
#include <string>

#include "../present/presenter.h"
#include "tables.h"

namespace lk {

// Every field the lesson routines share, in one copyable struct, so that the
// shell can keep the state at the start of an item and go back to it.
struct EngineState {
    // Text cursor.
    std::string text;
    float text_x = 0, text_y = 0, text_colour = 0;

    // Renderer state.
    std::string run_text;
    float superscript_pending = 0;
    float raised_pending = 0;
    float radical_mode = 0;
    float radical_start_x = 0;
    float in_fraction = 0;
    float saved_pen_width = 0;
    float measured_width = 0;
    float plain_end_x = 0;
    std::string plain_char;

    // Answer field.
    float answer_x = 0, answer_y = 0;
    std::string answer_text;
    float answer_value = 0;
    std::string last_key;
    float input_x = 0, input_y = 0;
    float saved_colour = 0;
    // What read_answer announces as it starts to wait: the caller sets the
    // kind (and a menu its choices); read_answer adds the field.
    PromptEvent prompt;

    // Cell and grid parameters.
    float cell_width = 0, cell_height = 0, frame_colour = 0, fill_colour = 0;
    float grid_x = 0, grid_y = 0, grid_unit = 0, grid_columns = 0;

    // Arc span parameters and working values.
    float span_x1 = 0, span_y1 = 0, span_x2 = 0, span_y2 = 0;
    float span_side = 0, span_height = 0, arc_step = 0;
    std::string span_label;
    float label_dx = 0, label_dy = 0;  // a move of the label from its place
    float label_x = 0, label_y = 0, label_dir = 0;
    // The two direction points of place_label and bisect_angles, and the
    // centre of bisect_angles.
    float direction_x1 = 0, direction_y1 = 0, direction_x2 = 0, direction_y2 = 0;
    float centre_x = 0, centre_y = 0;
    float angle_a = 0, angle_b = 0, angle_mid = 0;
    // The vector of vector_angle_of, from (vector_x1, vector_y1) to
    // (vector_x2, vector_y2).
    float vector_x1 = 0, vector_y1 = 0, vector_x2 = 0, vector_y2 = 0;
    float vector_angle = 0, vector_angle_deg = 0;

    // Fraction texts: inputs N, D and the results.
    float fraction_n = 0, fraction_d = 0;
    std::string value_text, signed_value_text, fraction_line, signed_fraction_line,
        unreduced_text;
    float fraction_case = 0;
    float gcd_a = 0, gcd_b = 0, gcd_g = 0;

    // Told of every rich text as a whole before it is drawn (not of
    // measurements): the text, its position and colour. Used by tests that
    // read back what a lesson wrote.
    std::function<void(const std::string& text, float x, float y, float colour)> on_rich_text;

    // Program-wide state of the shell.
    std::string program_title;

    // The working tables, all numbers 0 and texts empty at start.
    Table<std::string, 0, 40> remembered_y_texts;
    Table<float, 0, 40> remembered_y;
    Table<std::string, 0, 80> cell_labels;
    Table<float, 0, 80> remembered_x;
    Table<Table<float, 0, 2>, 0, 10> points;
    Table<float, 0, 50> columns;
    Table<float, 0, 50> rows;
    Table<float, 0, 10> point_order;
    Table<std::string, 0, 40> block_labels;
    Table<std::string, 0, 10> short_labels;
    Table<float, 0, 40> values_a;
    Table<float, 0, 40> values_b;
    Table<std::string, 0, 20> value_texts_a;
    Table<std::string, 0, 20> value_texts_b;
};

class Engine : public EngineState {
public:
    // A running program's engine: it draws with the presenter's painter and
    // waits for keys through the presenter.
    explicit Engine(Presenter& presenter) : p(presenter.painter()), presenter_(&presenter) {}
    // An engine that only draws (a printed page, a measurement): it runs the
    // generators and the renderer, and never waits.
    explicit Engine(Painter& painter) : p(painter) {}
    Painter& p;
    // Keys, prompts and delays: only in a running program.
    Presenter& presenter() {
        if (!presenter_) throw std::logic_error("an engine that only draws cannot wait for keys");
        return *presenter_;
    }

    EngineState& state() { return *this; }

    // Where the renderer draws "-" or "+" as strokes, also write the sign as
    // text in the text layer (kTextLayerColour), so that a printed page's
    // text holds it. Off on screen; the sheet maker turns it on.
    bool sign_text = false;
    // Set "=" as a printed page does: two strokes at the line's size, on the
    // axis of its signs and fraction bars, with a space on each side. Off on
    // screen (the lessons' pictures keep their small bold glyph); the sheet
    // maker turns it on for the sheets and their keys.
    bool page_equals = false;

    // Formula text renderer.
    void draw_rich_text();
    void draw_glyph_run();
    void draw_fraction();
    void measure_rich_text();
    void draw_plain_text();
    void draw_plain_run();
    void to_fullwidth_char();
    void strip_spaces();
    void strip_markup();
    void strip_leading_plus();

    // Prompts and answer input.
    Task<> wait_any_key();
    Task<> read_answer();
    void parse_answer();
    // A menu's number: "番号を入力して下さい。" and the field beside it, read into
    // answer_value, then erased.
    Task<> ask_menu_number();
    Task<> ask_inline();
    void erase_inline_answer();
    Task<> ask_bottom();
    void erase_bottom_band();
    Task<> ask_next_step();
    void clear_stage();
    void format_number_tables();

    // Table cells, value boxes and grids.
    void draw_table_cell();
    void draw_value_box();
    void draw_grid();

    // Arc spans and labels.
    void draw_arc_span();
    void place_label();
    void bisect_angles();
    void vector_angle_of();

    // Fraction texts.
    void fraction_text();
    void greatest_common_divisor();

    // The number text of a value: number_to_text without its blanks, made
    // with strip_spaces in run_text (which it leaves holding the text).
    std::string number_text(float value);

    // Where a measurement draws: far below the canvas (1800 on the lesson's
    // layout area), where nothing of it is kept or seen.
    float measure_y() const { return p.canvas().height() + 1080; }

    // The current pen width, as the lessons read and set it.
    float pen() const { return static_cast<float>(p.get_pen_width()); }
    void set_pen(float w) { p.set_pen_width(to_integer(w)); }
    int colour(float c) const { return to_integer(c); }

private:
    Presenter* presenter_ = nullptr;
};

// Geometry uses this value of pi throughout.
inline constexpr float kPi = 3.1416f;

}  // namespace lk
