#pragma once
// The Canvas 2D player: renders canvas operations onto an HTML canvas's 2D
// context, for the browser back end. It draws what the cairo player draws,
// with the same faces (faces.h), palette and pen rules:
//   - text: the face's font at the operation's size, magnified h and v times
//     (the serif a little narrower), standing on the face's baseline;
//   - boxes: snapped to whole device pixels, like cairo's boxes without
//     anti-aliasing, so that an erase covers exactly what it erases;
//   - lines, circles, arcs, polylines and polygons with round caps and joins.
// The context is the page's Module.lkCtx; a page may point it at any canvas.
#include "../canvas.h"
#include "../ops.h"

namespace lk {

struct Canvas2dView {
    double scale = 1;     // device pixels per layout unit
    double offset_x = 0;  // where the layout area starts, in device pixels
    double offset_y = 0;
    int width = 0;        // the whole target, in device pixels
    int height = 0;
    Palette palette = Palette::original;
};

// Fills the target with the background colour, then plays every operation.
void render_canvas_2d(const Canvas& canvas, const Canvas2dView& view);
// Repaints only the given area (layout units).
void render_region_2d(const Canvas& canvas, const Canvas2dView& view, const Box& area);

}  // namespace lk
