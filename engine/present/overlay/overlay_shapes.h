#pragma once
// The overlay's look: what the ink, the toolbar and the keypad look like, as
// a list of simple shapes in window pixels that any painter replays in
// order (cairo in the window, Canvas 2D in the browser). Every icon, every
// colour and every size of the overlay is here and nowhere else; a painter
// knows only how to draw a rounded box, a path and a label.
#include <string>
#include <vector>

#include "../faces.h"
#include "overlay.h"

namespace lk::overlay {

// Colours (0xRRGGBB). The panels and buttons are dark with light symbols in
// either palette, so that they never pass for the lesson's own drawing.
inline constexpr unsigned kPanelRgb = 0x263238;
inline constexpr unsigned kButtonRgb = 0x455A64;
inline constexpr unsigned kPressedRgb = 0x90A4AE;  // a button held down
inline constexpr unsigned kOnRgb = 0xFFB300;       // the ring of a toggle that is on
inline constexpr unsigned kSymbolRgb = 0xFFFFFF;
inline constexpr unsigned kInkRedRgb = 0xE53935;
inline constexpr unsigned kInkBlueRgb = 0x1E88E5;
// The panels' opacity (the toolbar's is multiplied by its fading).
inline constexpr double kToolbarPanelAlpha = 0.85;
inline constexpr double kKeypadPanelAlpha = 0.92;

// Sizes. Panels in CSS px; a button's parts as shares of its side.
inline constexpr double kPanelRadius = 8;
inline constexpr double kButtonRadius = 0.16;
inline constexpr double kOnRingInset = 2;       // device pixels inside the button
inline constexpr double kOnRingRadius = 0.14;
inline constexpr double kOnRingWidth = 0.06;
inline constexpr double kOnRingMinWidth = 2;    // device pixels
inline constexpr double kSymbolLine = 0.07;     // an icon's strokes
inline constexpr double kSwatchRadius = 0.26;   // a colour button's disc
inline constexpr double kSwatchLine = 0.04;     // and its outline
// A key's label: the Gothic at this share of the side, its baseline this
// share of the label's size below the button's centre (half the Gothic's
// cap height, so that digits stand in the middle and ".", "−" and "/" sit
// where they would in a typed number).
inline constexpr double kLabelSize = 0.5;
inline constexpr double kLabelBaseline = 0.38;
inline constexpr const char* kLabelFamily = kGothicFamily;
inline constexpr bool kLabelBold = true;
// Ink: a stroke's width in layout units.
inline constexpr float kInkWidth = 5;

// One shape to draw, in window pixels, over what is already there.
struct Shape {
    enum Kind { box, path, label } kind = box;
    unsigned rgb = 0;
    double alpha = 1;
    // box: a rectangle with rounded corners (radius, at most half the
    // shorter side: a square with radius half its side is a disc).
    Rect rect{};
    double radius = 0;
    // box and path: 0 fills; otherwise the outline is stroked this wide
    // (a path's width is in its own units).
    double line = 0;
    // path: pieces in their own units, placed at origin + scale * point;
    // round caps and joins, else butt caps and mitre joins.
    std::vector<PathPiece> pieces{};
    double scale = 1, origin_x = 0, origin_y = 0;
    bool round = true;
    // label: text in a face of faces.h, its baseline at (x, y), aligned on x.
    enum Align { left, centre, right } align = centre;
    std::string text{}, family{};
    bool bold = false;
    double size = 0, x = 0, y = 0;
};

// The overlay's parts that reach into `clip`, bottom first: ink, the
// toolbar's panel, the keypad's panel, then each button's face, ring and
// symbol.
std::vector<Shape> overlay_shapes(const Overlay& overlay, Palette palette, const Rect& clip);

// The label a key shows, or "" for one drawn as a figure.
std::string key_label(const std::string& key);

}  // namespace lk::overlay
