// The Canvas 2D player's side of the players' reference tests: draws every
// case into a canvas of its own, which the browser test compares with the
// reference pictures.
#include <emscripten.h>

#include <cmath>

#include "engine/present/canvas.h"
#include "engine/present/web/canvas2d_player.h"
#include "players/cases.h"

EM_JS(void, page_new_case, (const char* name, int w, int h), {
    const canvas = document.createElement('canvas');
    canvas.width = w;
    canvas.height = h;
    canvas.id = UTF8ToString(name);
    document.body.appendChild(canvas);
    Module.lkCtx = canvas.getContext('2d', {alpha: false});
});
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
    page_done();
    return 0;
}
