#include "overlay_2d.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lk {

namespace {

using overlay::Action;
using overlay::Button;
using overlay::Rect;

// The panel behind the toolbar and the keypad, and their buttons: dark with
// light symbols in either palette, as in the window.
constexpr int kPanel = 0x263238, kButtonFill = 0x455A64, kPressed = 0x90A4AE, kOn = 0xFFB300;

// The calls into the page. Colours travel as 0xRRGGBB.
EM_JS(void, ov_begin, (int x, int y, int w, int h), {
    const ctx = Module.lkOverlayCtx;
    ctx.save();
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.clearRect(x, y, w, h);
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
});
EM_JS(void, ov_end, (), { Module.lkOverlayCtx.restore(); });
// A stroke: `n` pieces of five floats (kind 0 move, 1 line, 2 quadratic;
// control x, y; end x, y) in layout units, drawn with the layout transform.
EM_JS(void, ov_stroke, (const float* pieces, int n, int rgb, double width, double scale, double x,
                        double y), {
    const ctx = Module.lkOverlayCtx;
    const at = pieces >> 2;
    ctx.save();
    ctx.setTransform(scale, 0, 0, scale, x, y);
    ctx.strokeStyle = '#' + rgb.toString(16).padStart(6, '0');
    ctx.lineWidth = width;
    ctx.lineCap = 'round';
    ctx.lineJoin = 'round';
    ctx.beginPath();
    for (let i = 0; i < n; ++i) {
        const p = at + 5 * i, kind = HEAPF32[p];
        if (kind === 0) ctx.moveTo(HEAPF32[p + 3], HEAPF32[p + 4]);
        else if (kind === 1) ctx.lineTo(HEAPF32[p + 3], HEAPF32[p + 4]);
        else ctx.quadraticCurveTo(HEAPF32[p + 1], HEAPF32[p + 2], HEAPF32[p + 3], HEAPF32[p + 4]);
    }
    ctx.stroke();
    ctx.restore();
});
// A rounded panel or button face; `line` > 0 strokes its outline instead.
EM_JS(void, ov_rounded, (double x, double y, double w, double h, double radius, int rgb, double alpha,
                         double line), {
    const ctx = Module.lkOverlayCtx;
    const r = Math.min(radius, w / 2, h / 2);
    ctx.save();
    ctx.globalAlpha = alpha;
    ctx.beginPath();
    ctx.moveTo(x + r, y);
    ctx.arcTo(x + w, y, x + w, y + h, r);
    ctx.arcTo(x + w, y + h, x, y + h, r);
    ctx.arcTo(x, y + h, x, y, r);
    ctx.arcTo(x, y, x + w, y, r);
    ctx.closePath();
    const style = '#' + rgb.toString(16).padStart(6, '0');
    if (line > 0) {
        ctx.strokeStyle = style;
        ctx.lineWidth = line;
        ctx.stroke();
    } else {
        ctx.fillStyle = style;
        ctx.fill();
    }
    ctx.restore();
});
// A button's symbol in white: its key's character, or a figure drawn in a
// unit square of the button. `ink` is the colour of a colour button.
EM_JS(void, ov_symbol, (double x, double y, double w, double h, int action, int key, int ink,
                        double alpha), {
    const ctx = Module.lkOverlayCtx;
    ctx.save();
    ctx.globalAlpha = alpha;
    ctx.fillStyle = ctx.strokeStyle = '#ffffff';
    if (action === 7 && (key >= 32 || key === 12)) {
        ctx.font = 'bold ' + (h * 0.5) + 'px sans-serif';
        ctx.textAlign = 'center';
        ctx.textBaseline = 'middle';
        ctx.fillText(key === 12 ? 'C' : String.fromCharCode(key), x + w / 2, y + h / 2);
        ctx.restore();
        return;
    }
    ctx.translate(x, y);
    ctx.scale(w, h);
    ctx.lineWidth = 0.07;
    ctx.lineCap = 'round';
    ctx.lineJoin = 'round';
    const poly = (points, close) => {
        ctx.moveTo(points[0], points[1]);
        for (let i = 2; i < points.length; i += 2) ctx.lineTo(points[i], points[i + 1]);
        if (close) ctx.closePath();
    };
    ctx.beginPath();
    switch (action) {
        case 0: poly([0.62, 0.28, 0.34, 0.5, 0.62, 0.72], true); ctx.fill(); break;
        case 1: poly([0.38, 0.28, 0.66, 0.5, 0.38, 0.72], true); ctx.fill(); break;
        case 2: poly([0.7, 0.22, 0.78, 0.3, 0.38, 0.7, 0.24, 0.76, 0.3, 0.62], true); ctx.fill(); break;
        case 3:
            ctx.arc(0.5, 0.5, 0.26, 0, 2 * Math.PI);
            ctx.fillStyle = '#' + ink.toString(16).padStart(6, '0');
            ctx.fill();
            ctx.lineWidth = 0.04;
            ctx.stroke();
            break;
        case 4:
            ctx.moveTo(0.2, 0.6);
            ctx.bezierCurveTo(0.35, 0.3, 0.45, 0.9, 0.6, 0.55);
            ctx.moveTo(0.58, 0.22); ctx.lineTo(0.8, 0.44);
            ctx.moveTo(0.8, 0.22); ctx.lineTo(0.58, 0.44);
            ctx.stroke();
            break;
        case 5:
            for (let i = 0; i < 3; ++i)
                for (let j = 0; j < 3; ++j) ctx.rect(0.25 + 0.18 * i, 0.25 + 0.18 * j, 0.13, 0.13);
            ctx.fill();
            break;
        case 6:
            poly([0.25, 0.4, 0.25, 0.25, 0.4, 0.25]);
            poly([0.6, 0.25, 0.75, 0.25, 0.75, 0.4]);
            poly([0.75, 0.6, 0.75, 0.75, 0.6, 0.75]);
            poly([0.4, 0.75, 0.25, 0.75, 0.25, 0.6]);
            ctx.stroke();
            break;
        case 7:
            if (key === 8) {  // backspace: a key cap pointing left, crossed
                poly([0.22, 0.5, 0.38, 0.32, 0.78, 0.32, 0.78, 0.68, 0.38, 0.68], true);
                poly([0.48, 0.42, 0.64, 0.58]);
                poly([0.64, 0.42, 0.48, 0.58]);
                ctx.stroke();
            } else if (key === 13) {  // Enter: the return arrow
                poly([0.72, 0.28, 0.72, 0.56, 0.3, 0.56]);
                ctx.stroke();
                ctx.beginPath();
                poly([0.24, 0.56, 0.4, 0.44, 0.4, 0.68], true);
                ctx.fill();
            }
            break;
    }
    ctx.restore();
});

void paint_stroke(const overlay::Stroke& s, const View& box, Palette palette) {
    std::vector<float> pieces;
    for (const auto& piece : overlay::stroke_path(s)) {
        float kind = piece.kind == overlay::PathPiece::move ? 0 : piece.kind == overlay::PathPiece::line ? 1 : 2;
        pieces.insert(pieces.end(), {kind, piece.control.x, piece.control.y, piece.to.x, piece.to.y});
    }
    ov_stroke(pieces.data(), static_cast<int>(pieces.size() / 5),
              static_cast<int>(overlay::ink_rgb(s.colour, palette)), s.width, box.scale, box.offset_x,
              box.offset_y);
}

void paint_button(const Button& b, Palette palette, double alpha) {
    const Rect& r = b.rect;
    ov_rounded(r.x, r.y, r.w, r.h, r.w * 0.16, b.pressed ? kPressed : kButtonFill, alpha, 0);
    if (b.on)
        ov_rounded(r.x + 2, r.y + 2, r.w - 4, r.h - 4, r.w * 0.14, kOn, alpha, std::max(2.0, r.w * 0.06));
    int key = b.key.size() == 1 ? static_cast<unsigned char>(b.key[0]) : 0;
    ov_symbol(r.x, r.y, r.w, r.h, static_cast<int>(b.action), key,
              static_cast<int>(overlay::ink_rgb(b.colour, palette)), alpha);
}

}  // namespace

void paint_overlay_2d(const overlay::Overlay& o, Palette palette, const Rect& clip) {
    Rect whole{std::floor(clip.x), std::floor(clip.y), 0, 0};
    whole.w = std::ceil(clip.x + clip.w) - whole.x;
    whole.h = std::ceil(clip.y + clip.h) - whole.y;
    if (whole.empty()) return;
    ov_begin(static_cast<int>(whole.x), static_cast<int>(whole.y), static_cast<int>(whole.w),
             static_cast<int>(whole.h));
    for (const auto& s : o.strokes())
        if (o.stroke_rect(s).intersects(whole)) paint_stroke(s, o.view(), palette);
    const double alpha = o.toolbar_alpha(), r = o.view().pixel_ratio;
    if (alpha > 0 && o.toolbar_rect().intersects(whole)) {
        const Rect& t = o.toolbar_rect();
        ov_rounded(t.x, t.y, t.w, t.h, 8 * r, kPanel, 0.85 * alpha, 0);
    }
    if (o.keypad_visible() && o.keypad_rect().intersects(whole)) {
        const Rect& k = o.keypad_rect();
        ov_rounded(k.x, k.y, k.w, k.h, 8 * r, kPanel, 0.92, 0);
    }
    for (const auto& b : o.buttons())
        if (b.rect.intersects(whole)) paint_button(b, palette, b.toolbar ? alpha : 1);
    ov_end();
}

}  // namespace lk
