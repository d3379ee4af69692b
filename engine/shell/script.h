#pragma once
// The vocabulary topic scripts are written in: one call per drawn text, table
// cell, arc span, wait or erase, each a thin layer over the engine routines so
// that what is drawn is exactly what the engine draws.
#include <cmath>
#include <functional>
#include <string>

#include "../lesson/engine.h"

namespace lk {

// The look of a table cell or value box.
struct CellStyle {
    float width = 0;
    float height = 50;
    float frame = 3;
    float fill = 15;
    float colour = 0;  // colour of the label
};

// An arc span between two points with its label.
struct Span {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float side = -1;    // -1 bulges upwards, +1 downwards
    float height = 20;  // 0 gives a straight line
    float step = 3;     // degrees between dots
    float label_colour = 0;
    float dot_colour = 0;
    std::string label;
    float label_dx = 0;
    float label_dy = 0;  // moves the label down from its place
};

class Script {
public:
    explicit Script(Engine& engine) : e(engine) {}
    Engine& e;

    // Texts: one call draws one rich text; `more` continues the line where
    // the last text ended.
    void text(float x, float y, float colour, const std::string& t) {
        e.text_x = x;
        e.text_y = y;
        e.text_colour = colour;
        e.text = t;
        e.draw_rich_text();
    }
    void more(float colour, const std::string& t) { text(e.text_x, e.text_y, colour, t); }
    // Where the last text ended.
    float end_x() const { return e.text_x; }
    float line_y() const { return e.text_y; }
    // Remembers the end of the last text as mark i.
    void remember(int i) {
        e.remembered_x[i] = e.text_x;
        e.remembered_y[i] = e.text_y;
    }
    void remember(int i, float x, float y) {
        e.remembered_x[i] = x;
        e.remembered_y[i] = y;
    }
    // Draws a text at mark i.
    void at_mark(int i, float colour, const std::string& t) {
        text(e.remembered_x[i], e.remembered_y[i], colour, t);
    }
    void plain(float x, float y, float colour, const std::string& t) {
        e.text_x = x;
        e.text_y = y;
        e.text_colour = colour;
        e.text = t;
        e.draw_plain_text();
    }

    Task<> wait() { return e.wait_any_key(); }

    // Erases a box given by its corner and size.
    void erase(float x, float y, float width, float height) {
        e.p.fill_box(x, y, width, height, Coords::relative, 15, 15);
    }
    // A filled box with absolute corners.
    void box(float x1, float y1, float x2, float y2, float colour, float fill) {
        e.p.fill_box(x1, y1, x2, y2, Coords::absolute, e.colour(colour), e.colour(fill));
    }
    void pen(float width) { e.set_pen(width); }
    void line(float x1, float y1, float x2, float y2, float colour) {
        e.p.draw_line(x1, y1, x2, y2, Coords::absolute, e.colour(colour));
    }
    void circle(float cx, float cy, float r, float colour) {
        e.p.draw_circle(cx, cy, r, e.colour(colour));
    }
    void disc(float cx, float cy, float r, float colour) {
        e.p.fill_circle(cx, cy, r, e.colour(colour));
    }
    void arc(float cx, float cy, float r, float colour, float start, float end) {
        e.p.draw_arc(cx, cy, r, e.colour(colour), start, end);
    }
    void polyline(const std::vector<Point>& points, float colour) {
        e.p.draw_polyline(points, e.colour(colour));
    }
    void polygon(const std::vector<Point>& points, float colour, float fill) {
        e.p.fill_polygon(points, e.colour(colour), e.colour(fill));
    }
    Task<> delay(int duration) { return e.presenter().delay(duration); }

    // Table cells: `cell` starts a row at (x, y); `next_cell` continues it.
    void cell(float x, float y, const CellStyle& style, const std::string& label) {
        e.text_x = x;
        e.text_y = y;
        next_cell(style, label);
    }
    void next_cell(const CellStyle& style, const std::string& label) {
        apply(style);
        e.run_text = label;
        e.draw_table_cell();
    }
    void value_box(float x, float y, const CellStyle& style, const std::string& label) {
        e.text_x = x;
        e.text_y = y;
        apply(style);
        e.run_text = label;
        e.draw_value_box();
    }
    void grid(float x, float y, float unit, float columns, float rows, float colour) {
        e.grid_x = x;
        e.grid_y = y;
        e.grid_unit = unit;
        e.grid_columns = columns;
        e.cell_height = rows;
        e.frame_colour = colour;
        e.draw_grid();
    }
    void span(const Span& s) {
        e.span_x1 = s.x1;
        e.span_y1 = s.y1;
        e.span_x2 = s.x2;
        e.span_y2 = s.y2;
        e.span_side = s.side;
        e.span_height = s.height;
        e.arc_step = s.step;
        e.text_colour = s.label_colour;
        e.frame_colour = s.dot_colour;
        e.span_label = s.label;
        e.label_dx = s.label_dx;
        e.label_dy = s.label_dy;
        e.draw_arc_span();
    }

    // A whole number from m to m + k - 1, from a fresh random draw, or the
    // chooser's number when one is set (a walk through every problem a
    // generator can make chooses each draw itself).
    float draw(float k, float m) { return chooser ? chooser(k, m) : std::floor(k * e.p.random_unit()) + m; }
    std::function<float(float k, float m)> chooser;

    // The generated-problem loop: at least one problem, then one more for
    // every answer other than 1 at "次のステップは１を入力。".
    Task<> drill(const std::function<Task<>()>& problem) {
        e.answer_value = 3;
        while (e.answer_value != 1) {
            co_await problem();
            co_await e.ask_next_step();
        }
    }

private:
    void apply(const CellStyle& style) {
        e.cell_width = style.width;
        e.cell_height = style.height;
        e.frame_colour = style.frame;
        e.fill_colour = style.fill;
        e.text_colour = style.colour;
    }
};

}  // namespace lk
