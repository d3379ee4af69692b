#pragma once
// How the layout area lies on a drawing surface. Every back end, player and
// painter shares this one description: a window, a page's canvas, a PNG or
// a PDF page, a reference picture.
#include <algorithm>
#include <cmath>

#include "canvas.h"

namespace lk {

struct View {
    double width = 0, height = 0;  // the surface, in device pixels
    double scale = 1;              // device pixels per layout unit
    double offset_x = 0;           // where the layout area starts, in device pixels
    double offset_y = 0;
    double pixel_ratio = 1;        // device pixels per CSS px (a window unit)
    Palette palette = Palette::original;
    // A point of the surface (device pixels) in layout units, and back.
    double layout_x(double px) const { return (px - offset_x) / scale; }
    double layout_y(double py) const { return (py - offset_y) / scale; }
    double device_x(double lx) const { return offset_x + lx * scale; }
    double device_y(double ly) const { return offset_y + ly * scale; }
};

// The layout area (the lesson's, or a canvas of another size) scaled to fit a
// surface, keeping its proportions, and centred on whole pixels: a letterbox
// margin on two sides.
inline View fit_view(double width, double height, double pixel_ratio = 1,
                     Palette palette = Palette::original, double area_width = kCanvasWidth,
                     double area_height = kCanvasHeight) {
    View view;
    view.width = width;
    view.height = height;
    view.pixel_ratio = pixel_ratio > 0 ? pixel_ratio : 1;
    view.palette = palette;
    view.scale = std::max(std::min(width / area_width, height / area_height), 1e-6);
    view.offset_x = std::floor((width - area_width * view.scale) / 2);
    view.offset_y = std::floor((height - area_height * view.scale) / 2);
    return view;
}

// The layout area (or a canvas of another size) alone at a scale, as a
// picture file holds it.
inline View scaled_view(double scale, Palette palette = Palette::original, double area_width = kCanvasWidth,
                        double area_height = kCanvasHeight) {
    View view;
    view.scale = scale;
    view.width = std::ceil(area_width * scale);
    view.height = std::ceil(area_height * scale);
    view.palette = palette;
    return view;
}

}  // namespace lk
