#include "canvas.h"

#include "prompt.h"
#include "strings.h"

#include <algorithm>
#include <cmath>

namespace lk {

namespace {

Box pad(Box b, float by) { return {b.x1 - by, b.y1 - by, b.x2 + by, b.y2 + by}; }

Box points_box(const std::vector<Point>& pts) {
    if (pts.empty()) return {0, 0, 0, 0};
    Box b{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
    for (const auto& p : pts) {
        b.x1 = std::min(b.x1, p.x);
        b.y1 = std::min(b.y1, p.y);
        b.x2 = std::max(b.x2, p.x);
        b.y2 = std::max(b.y2, p.y);
    }
    return b;
}

Box ordered(float x1, float y1, float x2, float y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace

bool same_shape(const DrawOp& a, const DrawOp& b);

Box glyph_cell(const DrawText& glyph) {
    float em_w = glyph.font.size * static_cast<float>(glyph.h);
    float em_h = glyph.font.size * static_cast<float>(glyph.v);
    float width = 0;
    const std::string_view text = glyph.text;
    for (size_t at = 0, size = 0; at < text.size(); at += size) {
        size = char_size_at(text, at);
        const std::string_view c = text.substr(at, size);
        auto lead = static_cast<unsigned char>(c[0]);
        // Half-width kana are U+FF61 to U+FF9F: EF BD A1 to EF BE 9F.
        auto second = c.size() == 3 ? static_cast<unsigned char>(c[1]) : 0;
        auto third = c.size() == 3 ? static_cast<unsigned char>(c[2]) : 0;
        bool half = lead < 0x80 ||
                    (lead == 0xEF && ((second == 0xBD && third >= 0xA1) || second == 0xBE));
        width += half ? em_w / 2 : em_w;
    }
    return {glyph.x, glyph.y, glyph.x + width, glyph.y + em_h};
}

Box glyphs_area(const std::vector<DrawText>& glyphs) {
    Box area{0, 0, 0, 0};
    bool first = true;
    for (const auto& g : glyphs) {
        const Box cell = glyph_cell(g);
        area = first ? cell
                     : Box{std::min(area.x1, cell.x1), std::min(area.y1, cell.y1), std::max(area.x2, cell.x2),
                           std::max(area.y2, cell.y2)};
        first = false;
    }
    return area;
}

Box layout_extent(const DrawOp& op) {
    return std::visit(
        [](const auto& o) -> Box {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, DrawText>) {
                return glyph_cell(o);
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                return pad(ordered(o.x1, o.y1, o.x2, o.y2), o.pen / 2.0f);
            } else if constexpr (std::is_same_v<T, FillBox>) {
                return pad(ordered(o.x1, o.y1, o.x2, o.y2), o.pen / 2.0f);
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle> ||
                                 std::is_same_v<T, DrawArc>) {
                const float r = std::fabs(o.r) + o.pen / 2.0f;
                return {o.cx - r, o.cy - r, o.cx + r, o.cy + r};
            } else {
                return pad(points_box(o.points), o.pen / 2.0f);
            }
        },
        op);
}

Box bounds_of(const DrawOp& op) {
    return std::visit(
        [](const auto& o) -> Box {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, DrawText>) {
                // Generous: a glyph may lean (italic) or stand a little outside
                // its cell, and a character is at most one em wide.
                float em_w = o.font.size * static_cast<float>(std::max(o.h, 1));
                float em_h = o.font.size * static_cast<float>(std::max(o.v, 1));
                float n = static_cast<float>(o.text.size());
                return {o.x - em_w, o.y - em_h, o.x + em_w * (n + 1), o.y + 2 * em_h};
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                return pad(ordered(o.x1, o.y1, o.x2, o.y2), o.pen + 2.0f);
            } else if constexpr (std::is_same_v<T, FillBox>) {
                // Boxes are drawn without anti-aliasing: exactly half the pen
                // lies outside the rectangle.
                return pad(ordered(o.x1, o.y1, o.x2, o.y2), o.pen / 2.0f);
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle> ||
                                 std::is_same_v<T, DrawArc>) {
                float r = std::fabs(o.r) + o.pen + 2.0f;
                return {o.cx - r, o.cy - r, o.cx + r, o.cy + r};
            } else {
                return pad(points_box(o.points), o.pen * 2.0f + 2.0f);
            }
        },
        op);
}

bool same_shape(const DrawOp& a, const DrawOp& b) {
    if (a.index() != b.index()) return false;
    return std::visit(
        [&](const auto& x) -> bool {
            using T = std::decay_t<decltype(x)>;
            const T& y = std::get<T>(b);
            if constexpr (std::is_same_v<T, DrawText>) {
                return x.x == y.x && x.y == y.y && x.text == y.text && x.h == y.h && x.v == y.v &&
                       x.font.face == y.font.face && x.font.size == y.font.size &&
                       x.font.bold == y.font.bold && x.font.italic == y.font.italic;
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                return x.x1 == y.x1 && x.y1 == y.y1 && x.x2 == y.x2 && x.y2 == y.y2 && x.pen == y.pen;
            } else if constexpr (std::is_same_v<T, FillBox>) {
                return false;  // boxes are handled by covering
            } else if constexpr (std::is_same_v<T, DrawArc>) {
                return x.cx == y.cx && x.cy == y.cy && x.r == y.r && x.start == y.start &&
                       x.end == y.end && x.pen == y.pen;
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle>) {
                return x.cx == y.cx && x.cy == y.cy && x.r == y.r && x.pen == y.pen;
            } else {
                if (x.pen != y.pen || x.points.size() != y.points.size()) return false;
                for (size_t i = 0; i < x.points.size(); ++i)
                    if (x.points[i].x != y.points[i].x || x.points[i].y != y.points[i].y) return false;
                return true;
            }
        },
        a);
}

void Canvas::add(const DrawOp& op) {
    Box b = bounds_of(op);
    ++revision_;
    if (!b.intersects(area())) return;
    // The same shape drawn again paints the same pixels: the earlier one can
    // go. This is also what makes "erase by drawing again in the background
    // colour" leave no anti-aliased fringe behind.
    for (size_t i = ops_.size(); i-- > 0;) {
        if (same_shape(ops_[i], op)) {
            damage(bounds_[i]);
            ops_.erase(ops_.begin() + static_cast<std::ptrdiff_t>(i));
            bounds_.erase(bounds_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    if (const auto* box = std::get_if<FillBox>(&op); box && box->colour == box->fill) {
        // A solid box covers what lies inside its own rectangle (the border
        // is painted in the same colour).
        Box cover = pad(ordered(box->x1, box->y1, box->x2, box->y2), box->pen / 2.0f);
        size_t keep = 0;
        for (size_t i = 0; i < ops_.size(); ++i) {
            if (cover.contains(bounds_[i])) {
                damage(bounds_[i]);
                continue;
            }
            if (keep != i) {
                ops_[keep] = std::move(ops_[i]);
                bounds_[keep] = bounds_[i];
            }
            ++keep;
        }
        ops_.resize(keep);
        bounds_.resize(keep);
    }
    ops_.push_back(op);
    bounds_.push_back(b);
    damage(b);
}

void Canvas::damage(const Box& b) {
    if (!damaged_) {
        damage_ = b;
        damaged_ = true;
        return;
    }
    damage_.x1 = std::min(damage_.x1, b.x1);
    damage_.y1 = std::min(damage_.y1, b.y1);
    damage_.x2 = std::max(damage_.x2, b.x2);
    damage_.y2 = std::max(damage_.y2, b.y2);
}

bool Canvas::take_damage(Box& out) const {
    if (!damaged_) return false;
    out = damage_;
    damaged_ = false;
    return true;
}

void Canvas::replace_with(const Canvas& other) {
    page_ = other.page_;
    ops_ = other.ops_;
    bounds_ = other.bounds_;
    ++revision_;
    damage({-1e9f, -1e9f, 1e9f, 1e9f});
}

void Canvas::clear() {
    ops_.clear();
    bounds_.clear();
    ++revision_;
    damage({-1e9f, -1e9f, 1e9f, 1e9f});
}

std::uint64_t Canvas::fingerprint() const {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    };
    for (const auto& op : ops_) {
        std::size_t kind = op.index();
        mix(&kind, sizeof kind);
        std::visit(
            [&](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, DrawText>) {
                    float numbers[3] = {o.x, o.y, o.font.size};
                    int ints[5] = {o.h, o.v, o.colour, o.font.bold, o.font.italic};
                    mix(numbers, sizeof numbers);
                    mix(ints, sizeof ints);
                    mix(o.text.data(), o.text.size());
                    mix(o.font.face.data(), o.font.face.size());
                } else if constexpr (std::is_same_v<T, DrawPolyline> || std::is_same_v<T, FillPolygon>) {
                    mix(o.points.data(), o.points.size() * sizeof(Point));
                    mix(&o.colour, sizeof o.colour);
                    mix(&o.pen, sizeof o.pen);
                    if constexpr (std::is_same_v<T, FillPolygon>) mix(&o.fill, sizeof o.fill);
                } else {
                    // Plain structs of numbers.
                    mix(&o, sizeof o);
                }
            },
            op);
    }
    return h;
}

}  // namespace lk
