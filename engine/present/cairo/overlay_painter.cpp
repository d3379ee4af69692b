#include "overlay_painter.h"

#include <cmath>

#include "../overlay/overlay_shapes.h"

namespace lk {

namespace {

using overlay::Rect;
using overlay::Shape;

void set_rgb(cairo_t* cr, unsigned rgb, double alpha = 1) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                          (rgb & 0xFF) / 255.0, alpha);
}

void rounded(cairo_t* cr, const Rect& r, double radius) {
    double x = r.x, y = r.y, w = r.w, h = r.h;
    radius = std::min(radius, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void path(cairo_t* cr, const Shape& s) {
    cairo_save(cr);
    cairo_translate(cr, s.origin_x, s.origin_y);
    cairo_scale(cr, s.scale, s.scale);
    double cx = 0, cy = 0;
    for (const auto& piece : s.pieces) {
        switch (piece.kind) {
            case overlay::PathPiece::move: cairo_move_to(cr, piece.to.x, piece.to.y); break;
            case overlay::PathPiece::line: cairo_line_to(cr, piece.to.x, piece.to.y); break;
            case overlay::PathPiece::quad: {
                // The quadratic curve as the cubic cairo draws.
                double qx = piece.control.x, qy = piece.control.y;
                cairo_curve_to(cr, cx + 2.0 / 3 * (qx - cx), cy + 2.0 / 3 * (qy - cy),
                               piece.to.x + 2.0 / 3 * (qx - piece.to.x),
                               piece.to.y + 2.0 / 3 * (qy - piece.to.y), piece.to.x, piece.to.y);
                break;
            }
            case overlay::PathPiece::close: cairo_close_path(cr); break;
        }
        cairo_get_current_point(cr, &cx, &cy);
    }
    if (s.line > 0) {
        cairo_set_line_width(cr, s.line);
        cairo_set_line_cap(cr, s.round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, s.round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void label(cairo_t* cr, const Shape& s) {
    cairo_set_font_face(cr, font_face(s.family, s.bold, false));
    cairo_set_font_size(cr, s.size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.text.c_str(), &ext);
    double x = s.x;
    if (s.align == Shape::centre) x -= ext.x_advance / 2;
    if (s.align == Shape::right) x -= ext.x_advance;
    cairo_move_to(cr, x, s.y);
    cairo_show_text(cr, s.text.c_str());
}

void draw(cairo_t* cr, const Shape& s) {
    set_rgb(cr, s.rgb, s.alpha);
    switch (s.kind) {
        case Shape::box:
            rounded(cr, s.rect, s.radius);
            if (s.line > 0) {
                cairo_set_line_width(cr, s.line);
                cairo_stroke(cr);
            } else {
                cairo_fill(cr);
            }
            break;
        case Shape::path: path(cr, s); break;
        case Shape::label: label(cr, s); break;
    }
}

}  // namespace

void paint_overlay(cairo_t* cr, const overlay::Overlay& o, Palette palette, const Rect& clip) {
    if (clip.empty()) return;
    cairo_save(cr);
    cairo_rectangle(cr, clip.x, clip.y, clip.w, clip.h);
    cairo_clip(cr);
    for (const auto& s : overlay::overlay_shapes(o, palette, clip)) draw(cr, s);
    cairo_restore(cr);
}

void repaint_window_area(cairo_t* cr, const Canvas& canvas, const View& view,
                         const overlay::Overlay& o, const Rect& area) {
    Rect whole{std::floor(area.x), std::floor(area.y), 0, 0};
    whole.w = std::ceil(area.x + area.w) - whole.x;
    whole.h = std::ceil(area.y + area.h) - whole.y;
    if (whole.empty()) return;
    cairo_save(cr);
    cairo_rectangle(cr, whole.x, whole.y, whole.w, whole.h);
    cairo_clip(cr);
    set_rgb(cr, palette_rgb(15, view.palette));
    cairo_paint(cr);
    Box layout{static_cast<float>((whole.x - view.offset_x) / view.scale),
               static_cast<float>((whole.y - view.offset_y) / view.scale),
               static_cast<float>((whole.x + whole.w - view.offset_x) / view.scale),
               static_cast<float>((whole.y + whole.h - view.offset_y) / view.scale)};
    render_region(cr, canvas, view, layout);
    cairo_restore(cr);
    paint_overlay(cr, o, view.palette, whole);
}

}  // namespace lk
