#include "painter.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace lk {

namespace {

// Colours and pen widths arrive as reals in the lesson code; a value that is
// not a valid colour draws in the background rather than failing.
int valid_colour(int c) {
    if (c == kCodeDarkColour || c == kCodeLightColour) return c;
    return (c >= 0 && c <= 15) ? c : 15;
}
int valid_pen(int w) { return std::clamp(w, 0, 100); }

}  // namespace

void Painter::set_scale(float factor, float x, float y) {
    scale_ = std::clamp(factor, 0.05f, 20.0f);
    scale_x_ = x;
    scale_y_ = y;
}

void Painter::draw(DrawOp op) {
    ++statement_;
    if (scale_ != 1) {
        const float f = scale_;
        auto px = [&](float& x) { x = scale_x_ + (x - scale_x_) * f; };
        auto py = [&](float& y) { y = scale_y_ + (y - scale_y_) * f; };
        auto pen = [&](int& w) { w = std::max(w > 0 ? 1 : 0, static_cast<int>(std::lround(static_cast<float>(w) * f))); };
        std::visit(
            [&](auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, DrawText>) {
                    px(o.x), py(o.y);
                    o.font.size *= f;
                } else if constexpr (std::is_same_v<T, DrawLine> || std::is_same_v<T, FillBox>) {
                    px(o.x1), py(o.y1), px(o.x2), py(o.y2);
                    pen(o.pen);
                } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle> ||
                                     std::is_same_v<T, DrawArc>) {
                    px(o.cx), py(o.cy);
                    o.r *= f;
                    pen(o.pen);
                } else {
                    for (auto& point : o.points) px(point.x), py(point.y);
                    pen(o.pen);
                }
            },
            op);
    }
    // Glyphs on the canvas only: a measurement draws below it.
    if (const auto* t = std::get_if<DrawText>(&op); capturing_ && t && t->y < canvas_.height())
        capture_.push_back(*t);
    canvas_.add(op);
    if (quiet_) return;
    for (auto* s : sinks_) s->on_draw(op);
}

void Painter::event(const Event& e) {
    ++statement_;
    if (quiet_) return;
    for (auto* s : sinks_) s->on_event(e);
}

void Painter::set_font_face(const std::string& face) {
    font_.face = face;
    event(SetFontFace{face});
}
void Painter::set_font_size(float size) {
    font_.size = size;
    event(SetFontSize{size});
}
void Painter::set_font_bold(bool on) {
    font_.bold = on;
    event(SetFontBold{on});
}
void Painter::set_font_italic(bool on) {
    font_.italic = on;
    event(SetFontItalic{on});
}
void Painter::set_pen_width(int width) {
    pen_ = valid_pen(width);
    event(SetPenWidth{pen_});
}

void Painter::draw_line(float x1, float y1, float x2, float y2, Coords coords, int colour) {
    if (coords == Coords::relative) x2 += x1, y2 += y1;
    draw(DrawLine{x1, y1, x2, y2, valid_colour(colour), pen_});
}

void Painter::fill_box(float x1, float y1, float x2, float y2, Coords coords, int colour, int fill) {
    if (coords == Coords::relative) x2 += x1, y2 += y1;
    draw(FillBox{x1, y1, x2, y2, valid_colour(colour), valid_colour(fill), pen_});
}

void Painter::draw_circle(float cx, float cy, float r, int colour) {
    draw(DrawCircle{cx, cy, r, valid_colour(colour), pen_});
}

void Painter::fill_circle(float cx, float cy, float r, int colour) {
    draw(FillCircle{cx, cy, r, valid_colour(colour), pen_});
}

void Painter::draw_arc(float cx, float cy, float r, int colour, float start, float end) {
    draw(DrawArc{cx, cy, r, valid_colour(colour), start, end, pen_});
}

void Painter::draw_polyline(const std::vector<Point>& points, int colour) {
    draw(DrawPolyline{points, valid_colour(colour), pen_});
}

void Painter::fill_polygon(const std::vector<Point>& points, int colour, int fill) {
    draw(FillPolygon{points, valid_colour(colour), valid_colour(fill), pen_});
}

void Painter::draw_text(float x, float y, const std::string& text, int h, int v, int colour) {
    draw(DrawText{x, y, text, std::clamp(h, 0, 64), std::clamp(v, 0, 64),
                  colour == kTextLayerColour ? colour : valid_colour(colour), font_});
}

void Painter::restore_state(const State& state) {
    font_ = state.font;
    pen_ = state.pen;
    random_ = state.random;
}

}  // namespace lk
