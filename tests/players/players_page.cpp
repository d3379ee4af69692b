// The Canvas 2D player's side of the players' reference tests: draws every
// case into a canvas of its own, which the browser test compares with the
// reference pictures. The overlay case is drawn as the page shows it: the
// overlay on a transparent canvas above the picture, the two then flattened
// into the case's canvas.
#include <emscripten.h>

#include <cmath>

#include "engine/present/canvas.h"
#include "engine/present/web/canvas2d_player.h"
#include "engine/present/web/overlay_2d.h"
#include "players/cases.h"

EM_JS(void, page_new_case, (const char* name, int w, int h), {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    canvas.id = UTF8ToString(name);
    document.body.appendChild(canvas);
    Module.lkCtx = canvas.getContext('2d', {alpha: false});
});
EM_JS(void, page_new_overlay, (int w, int h), {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    Module.lkOverlayCanvas = canvas;
    Module.lkOverlayCtx = canvas.getContext('2d');
});
EM_JS(void, page_flatten_overlay, (), { Module.lkCtx.drawImage(Module.lkOverlayCanvas, 0, 0); });
EM_JS(void, page_done, (), { Module.lkCasesDone = true; });

int main() {
    for (const auto& c : lk::testing::player_cases()) {
        lk::Canvas canvas;
        for (const auto& op : c.ops) canvas.add(op);
        lk::Canvas2dView view;
        view.scale = lk::testing::kPlayerScale;
        view.width = static_cast<int>(std::ceil(c.width * view.scale));
        view.height = static_cast<int>(std::ceil(c.height * view.scale));
        page_new_case(c.name.c_str(), view.width, view.height);
        lk::render_canvas_2d(canvas, view);
    }
    const auto c = lk::testing::overlay_case();
    lk::Canvas canvas;
    for (const auto& op : c.ops) canvas.add(op);
    lk::Canvas2dView view;
    view.scale = c.overlay.letterbox().scale;
    view.offset_x = c.overlay.letterbox().offset_x;
    view.offset_y = c.overlay.letterbox().offset_y;
    view.width = static_cast<int>(c.width);
    view.height = static_cast<int>(c.height);
    page_new_case(c.name.c_str(), view.width, view.height);
    lk::render_canvas_2d(canvas, view);
    page_new_overlay(view.width, view.height);
    lk::paint_overlay_2d(c.overlay, view.palette, {0, 0, c.width, c.height});
    page_flatten_overlay();
    page_done();
    return 0;
}
