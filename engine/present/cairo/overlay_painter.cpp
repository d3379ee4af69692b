#include "overlay_painter.h"

#include <cmath>

namespace lk {

namespace {

using overlay::Action;
using overlay::ink_rgb;
using overlay::Button;
using overlay::Rect;

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

// The panel behind the toolbar and the keypad, and their buttons: dark with
// light symbols in either palette, so that they never pass for the lesson's.
constexpr unsigned kPanel = 0x263238, kButtonFill = 0x455A64, kPressed = 0x90A4AE,
                   kOn = 0xFFB300, kSymbol = 0xFFFFFF;

void paint_stroke(cairo_t* cr, const overlay::Stroke& s, const View& box, Palette palette) {
    cairo_save(cr);
    cairo_translate(cr, box.offset_x, box.offset_y);
    cairo_scale(cr, box.scale, box.scale);
    set_rgb(cr, ink_rgb(s.colour, palette));
    cairo_set_line_width(cr, s.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    double cx = 0, cy = 0;
    for (const auto& piece : overlay::stroke_path(s)) {
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
        }
        cx = piece.to.x;
        cy = piece.to.y;
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void label(cairo_t* cr, const Rect& r, const char* text) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, r.h * 0.5);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    cairo_move_to(cr, r.x + (r.w - ext.width) / 2 - ext.x_bearing,
                  r.y + (r.h - ext.height) / 2 - ext.y_bearing);
    cairo_show_text(cr, text);
}

// A symbol drawn in a unit square of the button (0..1 both ways).
void symbol(cairo_t* cr, const Button& b, Palette palette, double alpha) {
    const Rect& r = b.rect;
    cairo_save(cr);
    set_rgb(cr, kSymbol, alpha);
    if (b.action == Action::key && b.key.size() == 1 && b.key[0] >= ' ') {
        label(cr, r, b.key.c_str());
        cairo_restore(cr);
        return;
    }
    if (b.action == Action::key && b.key == "\f") {
        label(cr, r, "C");
        cairo_restore(cr);
        return;
    }
    cairo_translate(cr, r.x, r.y);
    cairo_scale(cr, r.w, r.h);
    cairo_set_line_width(cr, 0.07);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    switch (b.action) {
        case Action::back:
            cairo_move_to(cr, 0.62, 0.28), cairo_line_to(cr, 0.34, 0.5), cairo_line_to(cr, 0.62, 0.72);
            cairo_close_path(cr), cairo_fill(cr);
            break;
        case Action::forward:
            cairo_move_to(cr, 0.38, 0.28), cairo_line_to(cr, 0.66, 0.5), cairo_line_to(cr, 0.38, 0.72);
            cairo_close_path(cr), cairo_fill(cr);
            break;
        case Action::pen:
            cairo_move_to(cr, 0.7, 0.22), cairo_line_to(cr, 0.78, 0.3);
            cairo_line_to(cr, 0.38, 0.7), cairo_line_to(cr, 0.24, 0.76);
            cairo_line_to(cr, 0.3, 0.62), cairo_close_path(cr), cairo_fill(cr);
            break;
        case Action::colour: {
            set_rgb(cr, ink_rgb(b.colour, palette), alpha);
            cairo_arc(cr, 0.5, 0.5, 0.26, 0, 2 * M_PI);
            cairo_fill_preserve(cr);
            set_rgb(cr, kSymbol, alpha);
            cairo_set_line_width(cr, 0.04);
            cairo_stroke(cr);
            break;
        }
        case Action::clear_ink:
            cairo_move_to(cr, 0.2, 0.6);
            cairo_curve_to(cr, 0.35, 0.3, 0.45, 0.9, 0.6, 0.55);
            cairo_stroke(cr);
            cairo_move_to(cr, 0.58, 0.22), cairo_line_to(cr, 0.8, 0.44);
            cairo_move_to(cr, 0.8, 0.22), cairo_line_to(cr, 0.58, 0.44);
            cairo_stroke(cr);
            break;
        case Action::keypad:
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) cairo_rectangle(cr, 0.25 + 0.18 * i, 0.25 + 0.18 * j, 0.13, 0.13);
            cairo_fill(cr);
            break;
        case Action::fullscreen:
            cairo_move_to(cr, 0.25, 0.4), cairo_line_to(cr, 0.25, 0.25), cairo_line_to(cr, 0.4, 0.25);
            cairo_move_to(cr, 0.6, 0.25), cairo_line_to(cr, 0.75, 0.25), cairo_line_to(cr, 0.75, 0.4);
            cairo_move_to(cr, 0.75, 0.6), cairo_line_to(cr, 0.75, 0.75), cairo_line_to(cr, 0.6, 0.75);
            cairo_move_to(cr, 0.4, 0.75), cairo_line_to(cr, 0.25, 0.75), cairo_line_to(cr, 0.25, 0.6);
            cairo_stroke(cr);
            break;
        case Action::key:
            if (b.key == "\b") {  // backspace: a key cap pointing left, crossed
                cairo_move_to(cr, 0.22, 0.5), cairo_line_to(cr, 0.38, 0.32), cairo_line_to(cr, 0.78, 0.32);
                cairo_line_to(cr, 0.78, 0.68), cairo_line_to(cr, 0.38, 0.68), cairo_close_path(cr);
                cairo_stroke(cr);
                cairo_move_to(cr, 0.48, 0.42), cairo_line_to(cr, 0.64, 0.58);
                cairo_move_to(cr, 0.64, 0.42), cairo_line_to(cr, 0.48, 0.58);
                cairo_stroke(cr);
            } else if (b.key == "\r") {  // Enter: the return arrow
                cairo_move_to(cr, 0.72, 0.28), cairo_line_to(cr, 0.72, 0.56), cairo_line_to(cr, 0.3, 0.56);
                cairo_stroke(cr);
                cairo_move_to(cr, 0.24, 0.56), cairo_line_to(cr, 0.4, 0.44), cairo_line_to(cr, 0.4, 0.68);
                cairo_close_path(cr), cairo_fill(cr);
            }
            break;
    }
    cairo_restore(cr);
}

void paint_button(cairo_t* cr, const Button& b, Palette palette, double alpha) {
    unsigned fill = b.pressed ? kPressed : kButtonFill;
    set_rgb(cr, fill, alpha);
    rounded(cr, b.rect, b.rect.w * 0.16);
    cairo_fill(cr);
    if (b.on) {
        set_rgb(cr, kOn, alpha);
        cairo_set_line_width(cr, std::max(2.0, b.rect.w * 0.06));
        Rect inner{b.rect.x + 2, b.rect.y + 2, b.rect.w - 4, b.rect.h - 4};
        rounded(cr, inner, b.rect.w * 0.14);
        cairo_stroke(cr);
    }
    symbol(cr, b, palette, alpha);
}

}  // namespace

void paint_overlay(cairo_t* cr, const overlay::Overlay& o, Palette palette, const Rect& clip) {
    if (clip.empty()) return;
    cairo_save(cr);
    cairo_rectangle(cr, clip.x, clip.y, clip.w, clip.h);
    cairo_clip(cr);
    for (const auto& s : o.strokes())
        if (o.stroke_rect(s).intersects(clip)) paint_stroke(cr, s, o.view(), palette);
    const double alpha = o.toolbar_alpha();
    const double r = o.view().pixel_ratio;
    if (alpha > 0 && o.toolbar_rect().intersects(clip)) {
        set_rgb(cr, kPanel, 0.85 * alpha);
        rounded(cr, o.toolbar_rect(), 8 * r);
        cairo_fill(cr);
    }
    if (o.keypad_visible() && o.keypad_rect().intersects(clip)) {
        set_rgb(cr, kPanel, 0.92);
        rounded(cr, o.keypad_rect(), 8 * r);
        cairo_fill(cr);
    }
    for (const auto& b : o.buttons())
        if (b.rect.intersects(clip)) paint_button(cr, b, palette, b.toolbar ? alpha : 1);
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
