#pragma once
// The Canvas 2D player: renders canvas operations onto an HTML canvas's 2D
// context, for the browser back end. It draws what the cairo player draws,
// with the same faces (faces.h), palette and pen rules:
//   - text: the face's font at the operation's size, magnified h and v times
//     (the serif a little narrower), standing on the face's baseline;
//   - boxes: snapped to whole device pixels, like cairo's boxes without
//     anti-aliasing, so that an erase covers exactly what it erases;
//   - lines, circles, arcs, polylines and polygons with round caps and joins.
// The page's side is canvas2d.js; it draws on Module.ctx2d, which a page may
// point at any canvas.
#include "../canvas.h"
#include "../layout.h"
#include "../ops.h"

namespace lk {

// Fills the target with the background colour, then plays every operation.
void render_canvas_2d(const Canvas& canvas, const View& view);
// Repaints only the given area (layout units).
void render_region_2d(const Canvas& canvas, const View& view, const Box& area);

}  // namespace lk
