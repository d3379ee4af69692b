#include "overlay_shapes.h"

#include <algorithm>
#include <initializer_list>

namespace lk::overlay {

namespace {

// An icon's path, drawn in the unit square of its button (0..1 both ways).
class Icon {
public:
    // `line` 0 fills the path; otherwise it is stroked that wide (in units
    // of the button's side).
    Icon(const Rect& button, unsigned rgb, double alpha, double line)
        : shape_{.kind = Shape::path, .rgb = rgb, .alpha = alpha, .line = line, .scale = button.w,
                 .origin_x = button.x, .origin_y = button.y} {}
    // A polyline through x, y pairs, closed or open.
    Icon& poly(std::initializer_list<float> xy, bool closed) {
        const float* p = xy.begin();
        move(p[0], p[1]);
        for (size_t i = 2; i + 1 < xy.size(); i += 2) line(p[i], p[i + 1]);
        if (closed) shape_.pieces.push_back({PathPiece::close, {}, {}});
        return *this;
    }
    Icon& move(float x, float y) { return add(PathPiece::move, {}, {x, y}); }
    Icon& line(float x, float y) { return add(PathPiece::line, {}, {x, y}); }
    Icon& quad(float cx, float cy, float x, float y) { return add(PathPiece::quad, {cx, cy}, {x, y}); }
    void into(std::vector<Shape>& out) { out.push_back(std::move(shape_)); }

private:
    Icon& add(PathPiece::Kind kind, Point control, Point to) {
        shape_.pieces.push_back({kind, control, to});
        return *this;
    }
    Shape shape_;
};

Shape box(const Rect& r, double radius, unsigned rgb, double alpha, double line = 0) {
    return {.kind = Shape::box, .rgb = rgb, .alpha = alpha, .rect = r, .radius = radius, .line = line};
}

// A key's label, or its figure for backspace and Enter (the Gothic has no
// "⌫" nor "↵").
void key_symbol(std::vector<Shape>& out, const Button& b, double alpha) {
    const Rect& r = b.rect;
    const std::string text = key_label(b.key);
    if (!text.empty()) {
        const double size = r.h * kLabelSize;
        out.push_back({.kind = Shape::label, .rgb = kSymbolRgb, .alpha = alpha, .align = Shape::centre,
                       .text = text, .family = kLabelFamily, .bold = kLabelBold, .size = size,
                       .x = r.x + r.w / 2, .y = r.y + r.h / 2 + size * kLabelBaseline});
    } else if (b.key == "\b") {  // backspace: a key cap pointing left, crossed
        Icon(r, kSymbolRgb, alpha, kSymbolLine)
            .poly({0.22, 0.5, 0.38, 0.32, 0.78, 0.32, 0.78, 0.68, 0.38, 0.68}, true)
            .poly({0.48, 0.42, 0.64, 0.58}, false)
            .poly({0.64, 0.42, 0.48, 0.58}, false)
            .into(out);
    } else if (b.key == "\r") {  // Enter: the return arrow
        Icon(r, kSymbolRgb, alpha, kSymbolLine).poly({0.72, 0.28, 0.72, 0.56, 0.3, 0.56}, false).into(out);
        Icon(r, kSymbolRgb, alpha, 0).poly({0.24, 0.56, 0.4, 0.44, 0.4, 0.68}, true).into(out);
    }
}

void symbol(std::vector<Shape>& out, const Button& b, Palette palette, double alpha) {
    const Rect& r = b.rect;
    switch (b.action) {
        case Action::back:
            Icon(r, kSymbolRgb, alpha, 0).poly({0.62, 0.28, 0.34, 0.5, 0.62, 0.72}, true).into(out);
            break;
        case Action::forward:
            Icon(r, kSymbolRgb, alpha, 0).poly({0.38, 0.28, 0.66, 0.5, 0.38, 0.72}, true).into(out);
            break;
        case Action::pen:
            Icon(r, kSymbolRgb, alpha, 0)
                .poly({0.7, 0.22, 0.78, 0.3, 0.38, 0.7, 0.24, 0.76, 0.3, 0.62}, true)
                .into(out);
            break;
        case Action::colour: {
            // A disc of the ink's colour, outlined so that the palette's
            // own ink shows on the dark button too.
            const double d = 2 * kSwatchRadius * r.w;
            const Rect disc{r.x + (r.w - d) / 2, r.y + (r.h - d) / 2, d, d};
            out.push_back(box(disc, d / 2, ink_rgb(b.colour, palette), alpha));
            out.push_back(box(disc, d / 2, kSymbolRgb, alpha, kSwatchLine * r.w));
            break;
        }
        case Action::clear_ink:  // a scribble, crossed out
            Icon(r, kSymbolRgb, alpha, kSymbolLine)
                .move(0.2, 0.6)
                .quad(0.3, 0.38, 0.4, 0.59)
                .quad(0.5, 0.8, 0.6, 0.55)
                .poly({0.58, 0.22, 0.8, 0.44}, false)
                .poly({0.8, 0.22, 0.58, 0.44}, false)
                .into(out);
            break;
        case Action::keypad: {  // three rows of three keys
            Icon icon(r, kSymbolRgb, alpha, 0);
            for (int i = 0; i < 3; ++i) {
                for (int j = 0; j < 3; ++j) {
                    const float x = 0.25f + 0.18f * i, y = 0.25f + 0.18f * j, s = 0.13f;
                    icon.poly({x, y, x + s, y, x + s, y + s, x, y + s}, true);
                }
            }
            icon.into(out);
            break;
        }
        case Action::fullscreen:  // four corners
            Icon(r, kSymbolRgb, alpha, kSymbolLine)
                .poly({0.25, 0.4, 0.25, 0.25, 0.4, 0.25}, false)
                .poly({0.6, 0.25, 0.75, 0.25, 0.75, 0.4}, false)
                .poly({0.75, 0.6, 0.75, 0.75, 0.6, 0.75}, false)
                .poly({0.4, 0.75, 0.25, 0.75, 0.25, 0.6}, false)
                .into(out);
            break;
        case Action::key: key_symbol(out, b, alpha); break;
    }
}

void button(std::vector<Shape>& out, const Button& b, Palette palette, double alpha) {
    const Rect& r = b.rect;
    out.push_back(box(r, r.w * kButtonRadius, b.pressed ? kPressedRgb : kButtonRgb, alpha));
    if (b.on) {
        const Rect inner{r.x + kOnRingInset, r.y + kOnRingInset, r.w - 2 * kOnRingInset,
                         r.h - 2 * kOnRingInset};
        out.push_back(box(inner, r.w * kOnRingRadius, kOnRgb, alpha,
                          std::max(kOnRingMinWidth, r.w * kOnRingWidth)));
    }
    symbol(out, b, palette, alpha);
}

}  // namespace

unsigned ink_rgb(InkColour colour, Palette palette) {
    switch (colour) {
        case InkColour::red: return kInkRedRgb;
        case InkColour::blue: return kInkBlueRgb;
        case InkColour::ink: return palette_rgb(0, palette);
    }
    return 0;
}

std::string key_label(const std::string& key) {
    if (key == "\f") return "C";               // clear: Delete
    if (key == "-") return "\u2212";           // the minus sign, not the hyphen
    if (key == "*") return "\u00D7";           // the multiplication sign
    if (key.size() == 1 && key[0] >= ' ') return key;
    return "";
}

std::vector<Shape> overlay_shapes(const Overlay& o, Palette palette, const Rect& clip) {
    std::vector<Shape> out;
    if (clip.empty()) return out;
    const View& fit = o.view();
    for (const auto& s : o.strokes()) {
        if (!o.stroke_rect(s).intersects(clip)) continue;
        out.push_back({.kind = Shape::path, .rgb = ink_rgb(s.colour, palette), .line = s.width,
                       .pieces = stroke_path(s), .scale = fit.scale, .origin_x = fit.offset_x,
                       .origin_y = fit.offset_y});
    }
    const double alpha = o.toolbar_alpha(), radius = kPanelRadius * o.view().pixel_ratio;
    if (alpha > 0 && o.toolbar_rect().intersects(clip))
        out.push_back(box(o.toolbar_rect(), radius, kPanelRgb, kToolbarPanelAlpha * alpha));
    if (o.keypad_visible() && o.keypad_rect().intersects(clip))
        out.push_back(box(o.keypad_rect(), radius, kPanelRgb, kKeypadPanelAlpha));
    for (const auto& b : o.buttons())
        if (b.rect.intersects(clip)) button(out, b, palette, b.toolbar ? alpha : 1);
    return out;
}

}  // namespace lk::overlay
