// The Canvas 2D player's side of the players' reference tests: draws every
// case into a canvas of its own, which the browser test compares with the
// reference pictures. The overlay case is drawn as the page shows it: the
// overlay on a transparent canvas above the picture, the two then flattened
// into the case's canvas.
#include <cmath>

#include "engine/present/canvas.h"
#include "engine/present/web/canvas2d_player.h"
#include "engine/present/web/overlay_2d.h"
#include "players/cases.h"

// The test page's side (players_page.js).
extern "C" {
void page_new_case(const char* name, int w, int h);
void page_new_overlay(int w, int h);
void page_flatten_overlay();
void page_done();
}

int main() {
    for (const auto& c : lk::testing::player_cases()) {
        lk::Canvas canvas;
        for (const auto& op : c.ops) canvas.add(op);
        lk::View view = lk::scaled_view(lk::testing::kPlayerScale);
        view.width = std::ceil(c.width * view.scale);
        view.height = std::ceil(c.height * view.scale);
        page_new_case(c.name.c_str(), static_cast<int>(view.width), static_cast<int>(view.height));
        lk::render_canvas_2d(canvas, view);
    }
    const auto c = lk::testing::overlay_case();
    lk::Canvas canvas;
    for (const auto& op : c.ops) canvas.add(op);
    const lk::View& view = c.overlay.view();
    page_new_case(c.name.c_str(), static_cast<int>(view.width), static_cast<int>(view.height));
    lk::render_canvas_2d(canvas, view);
    page_new_overlay(static_cast<int>(view.width), static_cast<int>(view.height));
    lk::paint_overlay_2d(c.overlay, view.palette, {0, 0, c.width, c.height});
    page_flatten_overlay();
    page_done();
    return 0;
}
