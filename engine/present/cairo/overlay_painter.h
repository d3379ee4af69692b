#pragma once
// Draws the pointer overlay (ink, toolbar, keypad) with cairo over a picture
// rendered by the cairo player, in window pixels. The overlay is never part
// of the canvas: a back end paints it after the picture, into the same
// window surface, and repaints both together where either changed. What
// it draws is the overlay's list of shapes (overlay/overlay_shapes.h).
#include <cairo.h>

#include "../overlay/overlay.h"
#include "cairo_player.h"

namespace lk {

// The overlay's parts that reach into `clip` (window pixels), over whatever
// the context already shows.
void paint_overlay(cairo_t* cr, const overlay::Overlay& overlay, Palette palette,
                   const overlay::Rect& clip);

// Repaints one area of the window from scratch: the background (the
// letterbox margins included), the canvas's operations there, then the
// overlay. The area is widened to whole pixels.
void repaint_window_area(cairo_t* cr, const Canvas& canvas, const View& view,
                         const overlay::Overlay& overlay, const overlay::Rect& area);

}  // namespace lk
