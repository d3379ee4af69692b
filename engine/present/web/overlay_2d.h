#pragma once
// Draws the pointer overlay (ink, toolbar, keypad) with Canvas 2D on the
// page's overlay canvas (Module.overlayCtx2d): a transparent canvas of the
// same size stacked above the lesson's canvas. The lesson's canvas, its
// trace and its item pictures never see the overlay; repainting an area of
// the overlay clears it to transparent and draws again only what reaches
// into it. It replays the overlay's list of shapes (overlay/overlay_shapes.h),
// the window's too, through overlay_2d.js.
#include "../ops.h"
#include "../overlay/overlay.h"

namespace lk {

// Repaints the overlay's parts that reach into `clip` (device pixels),
// after clearing it; the area is widened to whole pixels.
void paint_overlay_2d(const overlay::Overlay& overlay, Palette palette, const overlay::Rect& clip);

}  // namespace lk
