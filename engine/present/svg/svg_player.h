#pragma once
// The SVG player: writes canvas operations as one SVG document, for pages
// that must print as vectors with their text kept as text (a browser prints
// a canvas as pixels). It draws what the cairo and Canvas 2D players draw,
// with the same faces (faces.h), palette and pen rules:
//   - text: a <text> in the face's family at the operation's size,
//     magnified h and v times (the serif a little narrower), standing on
//     the face's baseline; the family list names the page's font first
//     (web_family) and then the system's, so that the same document shows
//     with the page's embedded subsets and with fontconfig's fonts;
//   - boxes: filled, then framed with the pen (mitred corners), with crisp
//     edges on screen, as cairo draws them without anti-aliasing;
//   - lines, circles, arcs, polylines and polygons with round caps and
//     joins.
// No platform code: it builds natively and for the browser.
#include <string>

#include "../canvas.h"
#include "../ops.h"

namespace lk {

// One operation as an SVG element (an empty string for one that draws
// nothing), in layout units.
std::string svg_element(const DrawOp& op, Palette palette = Palette::original);

// The whole picture of a canvas as a standalone SVG document of the
// canvas's size in layout units (its viewBox; the document's size is the
// canvas's paper in mm for a printed page, else the same number of CSS px,
// which a page may override): the paper, then every operation, clipped to
// the canvas.
std::string svg_document(const Canvas& canvas, Palette palette = Palette::original);

}  // namespace lk
