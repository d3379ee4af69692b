// Table cells, value boxes and grids.
#include <cmath>

#include "engine.h"

namespace lk {

void Engine::draw_table_cell() {
    float cx = text_x, cy = text_y;
    bool has_fraction = run_text.find("ﾀ") != std::string::npos;
    measure_rich_text();
    float offset = (cell_width - measured_width) / 2;
    if (offset < 0) offset = 0;
    // The label top is rounded down so that a 44-unit line of text (50 with a
    // fraction) sits centred in the cell on whole units.
    float top = cy + std::floor((cell_height - (has_fraction ? 50.0f : 44.0f)) / 2);
    p.fill_box(cx, cy, cx + cell_width, cy + cell_height, Coords::absolute, colour(frame_colour),
               colour(fill_colour));
    text = run_text;
    text_x = cx + offset;
    text_y = top;
    draw_rich_text();
    text_x = cx + cell_width;
    text_y = cy;
}

void Engine::draw_value_box() {
    float cx = text_x, cy = text_y;
    measure_rich_text();
    float offset = (cell_width - measured_width) / 2;
    if (offset < 0) offset = 0;
    float d = std::floor((cell_height - 44) / 2);
    p.fill_box(cx, cy - d, cx + cell_width, cy + cell_height - d, Coords::absolute,
               colour(frame_colour), colour(fill_colour));
    text = run_text;
    text_x = cx + offset;
    text_y = cy;
    draw_rich_text();
    text_x = cx + cell_width;
    text_y = cy;
}

void Engine::draw_grid() {
    float kept_pen = pen();
    float right = grid_x + grid_unit * grid_columns;
    float bottom = grid_y + grid_unit * cell_height;
    if (colour(frame_colour) == 15) {
        set_pen(kept_pen);
        return;
    }
    fill_colour = 14;
    auto weight = [&](int i) {
        if (i % 5 == 0) {
            set_pen(3);
            return 14;
        }
        set_pen(1);
        return colour(frame_colour);
    };
    int columns = to_integer(grid_columns), rows = to_integer(cell_height);
    // A grid larger than any screen is a fault of the caller, not a reason
    // to spin: the counts are held to what a canvas can show.
    if (columns == kNoInteger || rows == kNoInteger || columns > 2000 || rows > 2000)
        throw RuntimeError(kErrOverflow);
    for (int i = 0; i <= columns; ++i) {
        int c = weight(i);
        float x = grid_x + grid_unit * static_cast<float>(i);
        p.draw_line(x, grid_y, x, bottom, Coords::absolute, c);
    }
    for (int i = 0; i <= rows; ++i) {
        int c = weight(i);
        float y = bottom - grid_unit * static_cast<float>(i);
        p.draw_line(grid_x, y, right, y, Coords::absolute, c);
    }
    set_pen(kept_pen);
}

}  // namespace lk
