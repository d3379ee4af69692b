// The Canvas 2D player's side of the players' reference tests: draws every
// case into a canvas of its own, which the browser test compares with the
// reference pictures.

#include <cmath>

#include "engine/present/canvas.h"
#include "engine/present/web/canvas2d_player.h"
#include "players/cases.h"

// The test page's side (players_page.js).
extern "C" {
void page_new_case(const char* name, int w, int h);
void page_done();
}

int main() {
    for (const auto& c : lk::testing::player_cases()) {
        lk::Canvas canvas;
        for (const auto& op : c.ops) canvas.add(op);
        lk::View view;
        view.scale = lk::testing::kPlayerScale;
        view.width = std::ceil(c.width * view.scale);
        view.height = std::ceil(c.height * view.scale);
        page_new_case(c.name.c_str(), static_cast<int>(view.width), static_cast<int>(view.height));
        lk::render_canvas_2d(canvas, view);
    }
    page_done();
    return 0;
}
