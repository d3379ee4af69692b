#include "canvas2d_player.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "../faces.h"
#include "../prompt.h"
#include "../strings.h"

// The page's side (canvas2d.js).
extern "C" {
void c2d_begin(int x, int y, int w, int h, int background);
void c2d_end();
void c2d_layout(double scale, double x, double y);
void c2d_font(const char* font);
void c2d_text(double x, double y, double sx, double sy, const char* text, int rgb, double spacing);
int c2d_spaced_runs();
void c2d_box(double x1, double y1, double x2, double y2, int rgb);
void c2d_path(const float* points, int n, int close, int rgb, int fill, double pen);
void c2d_arc(double cx, double cy, double r, double a1, double a2, int rgb, int fill, double pen);
}

namespace lk {

namespace {

constexpr double kTurn = 2 * M_PI;

double pen_width(int pen) { return pen > 0 ? pen : 1; }

std::string css_font(const Font& font, const FaceStyle& style) {
    std::string css;
    if (font.italic) css += "italic ";
    if (font.bold) css += "bold ";
    char size[32];
    std::snprintf(size, sizeof size, "%gpx \"", static_cast<double>(font.size));
    return css + size + web_family(style.family) + "\"";
}

// Hands the page the font of the runs that follow, when it is not the one
// it has: building and reading the CSS font for every run cost as much as
// drawing it.
void use_font(const Font& font, const FaceStyle& style) {
    static std::optional<Font> sent;
    if (sent && sent->face == font.face && sent->size == font.size && sent->bold == font.bold &&
        sent->italic == font.italic)
        return;
    c2d_font(css_font(font, style).c_str());
    sent = font;
}

// `spacing`: what a glyph run adds after each glyph, in the font's pixels
// (before the run's magnification).
void render_op(const DrawOp& op, const View& view, double spacing = 0) {
    std::visit(
        [&](const auto& o) {
            using T = std::decay_t<decltype(o)>;
            const int rgb = static_cast<int>(palette_rgb(o.colour, view.palette));
            if constexpr (std::is_same_v<T, DrawText>) {
                // The text layer is for a printed page's text only.
                if (o.h <= 0 || o.v <= 0 || o.text.empty() || o.colour == kTextLayerColour) return;
                FaceStyle style = style_for(o.font.face);
                std::string text = displayed_text(style, o.text);
                use_font(o.font, style);
                c2d_text(o.x, o.y + o.font.size * o.v * style.baseline, o.h * style.width_factor,
                         o.v, text.c_str(), rgb, spacing);
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                const float points[4] = {o.x1, o.y1, o.x2, o.y2};
                c2d_path(points, 2, 0, rgb, -1, pen_width(o.pen));
            } else if constexpr (std::is_same_v<T, FillBox>) {
                // The frame is the pen's width centred on the rectangle's
                // edges; inside it, the fill.
                double half = pen_width(o.pen) / 2;
                double x1 = std::min(o.x1, o.x2), x2 = std::max(o.x1, o.x2);
                double y1 = std::min(o.y1, o.y2), y2 = std::max(o.y1, o.y2);
                c2d_box(x1 - half, y1 - half, x2 + half, y2 + half, rgb);
                if (o.fill != o.colour)
                    c2d_box(x1 + half, y1 + half, x2 - half, y2 - half,
                            static_cast<int>(palette_rgb(o.fill, view.palette)));
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle>) {
                if (o.r <= 0) return;
                c2d_arc(o.cx, o.cy, o.r, 0, kTurn, rgb, std::is_same_v<T, FillCircle> ? rgb : -1,
                        pen_width(o.pen));
            } else if constexpr (std::is_same_v<T, DrawArc>) {
                if (o.r <= 0) return;
                double a1 = kTurn * o.start, a2 = kTurn * o.end;
                if (o.start == o.end) a2 = a1 + kTurn;
                c2d_arc(o.cx, o.cy, o.r, a1, a2, rgb, -1, pen_width(o.pen));
            } else {
                if (o.points.empty()) return;
                constexpr bool polygon = std::is_same_v<T, FillPolygon>;
                int fill = -1;
                if constexpr (polygon) fill = static_cast<int>(palette_rgb(o.fill, view.palette));
                c2d_path(&o.points[0].x, static_cast<int>(o.points.size()), polygon, rgb, fill,
                         pen_width(o.pen));
            }
        },
        op);
}

// Where an operation can leave ink. A glyph stays within its cell but for
// an italic letter's lean and descender (under a third of an em): half an em
// to spare on every side. Anything else, its canvas bounds.
Box ink_of(const DrawOp& op, const Box& bounds) {
    const auto* text = std::get_if<DrawText>(&op);
    if (!text) return bounds;
    const Box cell = glyph_cell(*text);
    const float spare_x = text->font.size * static_cast<float>(std::max(text->h, 1)) / 2;
    const float spare_y = text->font.size * static_cast<float>(std::max(text->v, 1)) / 2;
    return {cell.x1 - spare_x, cell.y1 - spare_y, cell.x2 + spare_x, cell.y2 + spare_y};
}

// A glyph of the Gothic whose advance is its layout cell's whatever the
// browser: printable ASCII (half an em), kana, CJK punctuation, ideographs
// and full-width forms (one em). A run of these on one baseline is drawn by
// the browser exactly as glyph by glyph (the Gothic has no kerning, and its
// ligatures join only marks that no lesson writes).
bool fixed_advance(char32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xFF01 && c <= 0xFF5E);
}

bool at_fixed_advances(const DrawText& t) {
    if (t.h <= 0 || t.v <= 0 || t.text.empty() || t.colour == kTextLayerColour) return false;
    if (style_for(t.font.face).family != kGothicFamily) return false;
    const std::string_view text = t.text;
    for (size_t at = 0; at < text.size(); at += char_size_at(text, at))
        if (!fixed_advance(code_point(text.substr(at, char_size_at(text, at))))) return false;
    return true;
}

// A run of glyphs on one line: the first, the others' text added to it,
// where its last cell ends, and the gap between cells (layout units; none
// yet while the run has one glyph).
struct GlyphRun {
    DrawText text;
    float end = 0;
    std::optional<float> gap;
};

// Whether the page can draw a run whose cells stand apart (its letter
// spacing); runs of touching cells need nothing.
bool spaced_runs() {
    static const bool can = c2d_spaced_runs() != 0;
    return can;
}

// Whether a glyph continues a run: the same font, colour, magnification and
// line, starting where the run's last cell ends, or as far from it as the
// run's cells stand from one another (menus set their glyphs apart).
bool continues_run(const GlyphRun& run, const DrawText& next) {
    const DrawText& first = run.text;
    const float gap = next.x - run.end;
    const bool placed = run.gap ? gap == *run.gap : gap == 0 || (gap > 0 && spaced_runs());
    return placed && next.y == first.y && next.h == first.h && next.v == first.v && next.colour == first.colour &&
           next.font.face == first.font.face && next.font.size == first.font.size &&
           next.font.bold == first.font.bold && next.font.italic == first.font.italic && at_fixed_advances(next);
}

void render_run(const GlyphRun& run, const View& view) {
    const float gap = run.gap.value_or(0);
    // The page spaces the glyphs in the font's pixels, which the run's
    // magnification then widens as it does the glyphs.
    const double width = run.text.h * style_for(run.text.font.face).width_factor;
    render_op(run.text, view, gap == 0 ? 0 : gap / width);
}

}  // namespace

void render_region_2d(const Canvas& canvas, const View& view, const Box& area) {
    Box clip{std::max(area.x1, 0.0f), std::max(area.y1, 0.0f), std::min(area.x2, kCanvasWidth),
             std::min(area.y2, kCanvasHeight)};
    if (clip.x2 <= clip.x1 || clip.y2 <= clip.y1) return;
    // Whole device pixels, so that the edge of the area is not blended.
    int x1 = static_cast<int>(std::floor(view.offset_x + clip.x1 * view.scale));
    int y1 = static_cast<int>(std::floor(view.offset_y + clip.y1 * view.scale));
    int x2 = static_cast<int>(std::ceil(view.offset_x + clip.x2 * view.scale));
    int y2 = static_cast<int>(std::ceil(view.offset_y + clip.y2 * view.scale));
    c2d_begin(x1, y1, x2 - x1, y2 - y1, static_cast<int>(palette_rgb(15, view.palette)));
    c2d_layout(view.scale, view.offset_x, view.offset_y);
    Box reach{static_cast<float>((x1 - view.offset_x) / view.scale),
              static_cast<float>((y1 - view.offset_y) / view.scale),
              static_cast<float>((x2 - view.offset_x) / view.scale),
              static_cast<float>((y2 - view.offset_y) / view.scale)};
    const auto& ops = canvas.ops();
    const auto& bounds = canvas.bounds();
    // What a later solid box paints over within the area is not drawn: a
    // screen erased and written again keeps its old glyphs in the canvas
    // under the erasing box, and each would cost a glyph run for nothing.
    // A pixel counts as painted over where the box covers it whole (boxes
    // are snapped to whole pixels).
    const float pixel = static_cast<float>(1 / view.scale);
    std::vector<Box> covers;
    std::vector<char> hidden(ops.size(), 0);
    for (size_t i = ops.size(); i-- > 0;) {
        if (!bounds[i].intersects(reach)) continue;
        Box ink = ink_of(ops[i], bounds[i]);
        ink = {std::max(ink.x1, reach.x1) - pixel, std::max(ink.y1, reach.y1) - pixel,
               std::min(ink.x2, reach.x2) + pixel, std::min(ink.y2, reach.y2) + pixel};
        hidden[i] = std::any_of(covers.begin(), covers.end(), [&](const Box& c) { return c.contains(ink); });
        if (const auto* box = std::get_if<FillBox>(&ops[i]); box && box->colour == box->fill && !hidden[i])
            covers.push_back(bounds[i]);
    }
    // Glyphs set side by side at the Gothic's own advances, touching or
    // evenly apart, go to the page as one run: the browser puts each where
    // it stood (each run costs the page about as much as its drawing).
    std::optional<GlyphRun> run;
    for (size_t i = 0; i < ops.size(); ++i) {
        if (hidden[i] || !bounds[i].intersects(reach)) continue;
        const auto* text = std::get_if<DrawText>(&ops[i]);
        if (run && text && continues_run(*run, *text)) {
            run->gap = text->x - run->end;
            run->text.text += text->text;
            run->end = glyph_cell(*text).x2;
            continue;
        }
        if (run) render_run(*run, view);
        run.reset();
        if (text && at_fixed_advances(*text)) {
            run = GlyphRun{*text, glyph_cell(*text).x2, std::nullopt};
        } else {
            render_op(ops[i], view);
        }
    }
    if (run) render_run(*run, view);
    c2d_end();
}

void render_canvas_2d(const Canvas& canvas, const View& view) {
    // The letterbox margin is the paper too.
    c2d_begin(0, 0, static_cast<int>(view.width), static_cast<int>(view.height), static_cast<int>(palette_rgb(15, view.palette)));
    c2d_end();
    render_region_2d(canvas, view, Box{0, 0, kCanvasWidth, kCanvasHeight});
}

}  // namespace lk
