#include "overlay_2d.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "../faces.h"
#include "../overlay/overlay_shapes.h"

// overlay_2d.js: clears the area, then replays the packed shapes in it.
extern "C" void lk_overlay_replay(int x, int y, int w, int h, const double* data, int count);

namespace lk {

namespace {

using overlay::Rect;
using overlay::Shape;

// A text as its UTF-16 units, after their count.
void pack_text(std::vector<double>& out, const std::string& text) {
    std::vector<double> units;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        unsigned code = extra ? c & (0x3F >> extra) : c;
        for (int k = 1; k <= extra && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += 1 + extra;
        if (code >= 0x10000) {
            code -= 0x10000;
            units.push_back(0xD800 + (code >> 10));
            units.push_back(0xDC00 + (code & 0x3FF));
        } else {
            units.push_back(code);
        }
    }
    out.push_back(static_cast<double>(units.size()));
    out.insert(out.end(), units.begin(), units.end());
}

std::string css_font(const Shape& s) {
    char size[32];
    std::snprintf(size, sizeof size, "%.3fpx \"", s.size);
    return std::string(s.bold ? "bold " : "") + size + web_family(s.family) + "\"";
}

// The shapes in the layout overlay_2d.js reads.
void pack(std::vector<double>& out, const Shape& s) {
    switch (s.kind) {
        case Shape::box:
            out.insert(out.end(), {0, static_cast<double>(s.rgb), s.alpha, s.line, s.rect.x, s.rect.y,
                                   s.rect.w, s.rect.h, s.radius});
            break;
        case Shape::path:
            out.insert(out.end(), {1, static_cast<double>(s.rgb), s.alpha, s.line, s.round ? 1.0 : 0.0,
                                   s.scale, s.origin_x, s.origin_y, static_cast<double>(s.pieces.size())});
            for (const auto& p : s.pieces)
                out.insert(out.end(), {static_cast<double>(p.kind), p.control.x, p.control.y, p.to.x, p.to.y});
            break;
        case Shape::label:
            out.insert(out.end(), {2, static_cast<double>(s.rgb), s.alpha, s.x, s.y,
                                   static_cast<double>(s.align)});
            pack_text(out, css_font(s));
            pack_text(out, s.text);
            break;
    }
}

}  // namespace

void paint_overlay_2d(const overlay::Overlay& o, Palette palette, const Rect& clip) {
    Rect whole{std::floor(clip.x), std::floor(clip.y), 0, 0};
    whole.w = std::ceil(clip.x + clip.w) - whole.x;
    whole.h = std::ceil(clip.y + clip.h) - whole.y;
    if (whole.empty()) return;
    std::vector<double> packed;
    for (const auto& s : overlay::overlay_shapes(o, palette, whole)) pack(packed, s);
    lk_overlay_replay(static_cast<int>(whole.x), static_cast<int>(whole.y), static_cast<int>(whole.w),
                      static_cast<int>(whole.h), packed.data(), static_cast<int>(packed.size()));
}

}  // namespace lk
