#pragma once
// Where the layout area lands in a window: every back end scales it to fit,
// keeps its proportions and centres it, leaving a letterbox margin.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace lk {

struct Letterbox {
    double scale = 1;            // device pixels per layout unit
    double offset_x = 0;         // where the layout area starts, in device pixels
    double offset_y = 0;
    // A point of the window (device pixels) in layout units.
    double layout_x(double px) const { return (px - offset_x) / scale; }
    double layout_y(double py) const { return (py - offset_y) / scale; }
};

inline Letterbox fit_layout(double width, double height) {
    Letterbox box;
    box.scale = std::max(std::min(width / kCanvasWidth, height / kCanvasHeight), 1e-6);
    box.offset_x = std::floor((width - kCanvasWidth * box.scale) / 2);
    box.offset_y = std::floor((height - kCanvasHeight * box.scale) / 2);
    return box;
}

}  // namespace lk
