#include "cairo_player.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

#include "../faces.h"

namespace lk {

namespace {

struct FaceKey {
    std::string family;
    bool bold, italic;
    bool operator<(const FaceKey& o) const {
        return std::tie(family, bold, italic) < std::tie(o.family, o.bold, o.italic);
    }
};

// Faces are looked up once through fontconfig and then kept: a lesson draws
// thousands of glyphs from a handful of faces.
cairo_font_face_t* face_for(const std::string& family, bool bold, bool italic) {
    static std::map<FaceKey, cairo_font_face_t*> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    FaceKey key{family, bold, italic};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    cairo_font_face_t* face = nullptr;
    if (match) {
        // A face without a bold (or italic) style is emboldened (or slanted)
        // by FreeType: fontconfig marks that in the match.
        int weight = 0;
        if (bold && FcPatternGetInteger(match, FC_WEIGHT, 0, &weight) == FcResultMatch &&
            weight < FC_WEIGHT_DEMIBOLD)
            FcPatternAddBool(match, FC_EMBOLDEN, FcTrue);
        face = cairo_ft_font_face_create_for_pattern(match);
        FcPatternDestroy(match);
    } else {
        face = cairo_toy_font_face_create(family.c_str(),
                                          italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                          bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    }
    cache[key] = face;
    return face;
}

void set_colour(cairo_t* cr, int colour, Palette palette) {
    unsigned rgb = palette_rgb(colour, palette);
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

void set_pen(cairo_t* cr, int pen) {
    cairo_set_line_width(cr, pen > 0 ? pen : 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

void select_font(cairo_t* cr, const Font& font, int h, int v, FaceStyle* style_out) {
    FaceStyle style = style_for(font.face);
    cairo_set_font_face(cr, face_for(style.family, font.bold, font.italic));
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, font.size * h * style.width_factor, font.size * v);
    cairo_set_font_matrix(cr, &m);
    if (style_out) *style_out = style;
}

}  // namespace

void render_op(cairo_t* cr, const DrawOp& op, Palette palette) {
    std::visit(
        [&](const auto& o) {
            using T = std::decay_t<decltype(o)>;
            set_colour(cr, o.colour, palette);
            if constexpr (std::is_same_v<T, DrawText>) {
                if (o.h <= 0 || o.v <= 0 || o.text.empty()) return;
                if (o.colour == kTextLayerColour) {
                    // The text layer: only in a PDF, and all but transparent
                    // (cairo leaves out a text painted with nothing at all).
                    if (cairo_surface_get_type(cairo_get_target(cr)) != CAIRO_SURFACE_TYPE_PDF) return;
                    cairo_set_source_rgba(cr, 0, 0, 0, 1.0 / 255);
                }
                FaceStyle style;
                select_font(cr, o.font, o.h, o.v, &style);
                std::string text = displayed_text(style, o.text);
                cairo_move_to(cr, o.x, o.y + o.font.size * o.v * style.baseline);
                cairo_show_text(cr, text.c_str());
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                set_pen(cr, o.pen);
                cairo_move_to(cr, o.x1, o.y1);
                cairo_line_to(cr, o.x2, o.y2);
                cairo_stroke(cr);
            } else if constexpr (std::is_same_v<T, FillBox>) {
                // Boxes are axis-aligned and often erased by drawing a
                // background box over them: without anti-aliasing the second
                // box covers the first exactly, leaving no fringe.
                cairo_save(cr);
                cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
                double x = std::min(o.x1, o.x2), y = std::min(o.y1, o.y2);
                double w = std::fabs(o.x2 - o.x1), h = std::fabs(o.y2 - o.y1);
                cairo_rectangle(cr, x, y, w, h);
                set_colour(cr, o.fill, palette);
                cairo_fill_preserve(cr);
                set_colour(cr, o.colour, palette);
                set_pen(cr, o.pen);
                cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
                cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
                cairo_stroke(cr);
                cairo_restore(cr);
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle>) {
                if (o.r <= 0) return;
                set_pen(cr, o.pen);
                cairo_new_path(cr);
                cairo_arc(cr, o.cx, o.cy, o.r, 0, 2 * M_PI);
                if constexpr (std::is_same_v<T, FillCircle>) cairo_fill_preserve(cr);
                cairo_stroke(cr);
            } else if constexpr (std::is_same_v<T, DrawArc>) {
                if (o.r <= 0) return;
                set_pen(cr, o.pen);
                double a1 = 2 * M_PI * o.start, a2 = 2 * M_PI * o.end;
                if (o.start == o.end) a2 = a1 + 2 * M_PI;
                cairo_new_path(cr);
                cairo_arc(cr, o.cx, o.cy, o.r, a1, a2);
                cairo_stroke(cr);
            } else {
                if (o.points.empty()) return;
                set_pen(cr, o.pen);
                cairo_new_path(cr);
                cairo_move_to(cr, o.points[0].x, o.points[0].y);
                for (size_t i = 1; i < o.points.size(); ++i)
                    cairo_line_to(cr, o.points[i].x, o.points[i].y);
                if constexpr (std::is_same_v<T, FillPolygon>) {
                    cairo_close_path(cr);
                    set_colour(cr, o.fill, palette);
                    cairo_fill_preserve(cr);
                    set_colour(cr, o.colour, palette);
                }
                cairo_stroke(cr);
            }
        },
        op);
}

void render_canvas(cairo_t* cr, const Canvas& canvas, const View& view) {
    cairo_save(cr);
    set_colour(cr, 15, view.palette);
    cairo_paint(cr);
    cairo_translate(cr, view.offset_x, view.offset_y);
    cairo_scale(cr, view.scale, view.scale);
    cairo_rectangle(cr, 0, 0, canvas.width(), canvas.height());
    cairo_clip(cr);
    for (const auto& op : canvas.ops()) render_op(cr, op, view.palette);
    cairo_restore(cr);
}

void render_region(cairo_t* cr, const Canvas& canvas, const View& view,
                   const Box& area) {
    cairo_save(cr);
    cairo_translate(cr, view.offset_x, view.offset_y);
    cairo_scale(cr, view.scale, view.scale);
    Box clip{std::max(area.x1, 0.0f), std::max(area.y1, 0.0f), std::min(area.x2, canvas.width()),
             std::min(area.y2, canvas.height())};
    if (clip.x2 > clip.x1 && clip.y2 > clip.y1) {
        // Whole device pixels, so that the edge of the area is not blended.
        double x1 = clip.x1, y1 = clip.y1, x2 = clip.x2, y2 = clip.y2;
        cairo_user_to_device(cr, &x1, &y1);
        cairo_user_to_device(cr, &x2, &y2);
        x1 = std::floor(x1), y1 = std::floor(y1), x2 = std::ceil(x2), y2 = std::ceil(y2);
        cairo_device_to_user(cr, &x1, &y1);
        cairo_device_to_user(cr, &x2, &y2);
        cairo_rectangle(cr, x1, y1, x2 - x1, y2 - y1);
        cairo_clip(cr);
        set_colour(cr, 15, view.palette);
        cairo_paint(cr);
        Box reach{static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                  static_cast<float>(y2)};
        const auto& ops = canvas.ops();
        const auto& bounds = canvas.bounds();
        for (size_t i = 0; i < ops.size(); ++i)
            if (bounds[i].intersects(reach)) render_op(cr, ops[i], view.palette);
    }
    cairo_restore(cr);
}

bool write_png(const Canvas& canvas, const std::string& path, double scale, Palette palette) {
    const View view = scaled_view(scale, palette, canvas.width(), canvas.height());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(view.width),
                                                          static_cast<int>(view.height));
    cairo_t* cr = cairo_create(surface);
    render_canvas(cr, canvas, view);
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

PdfPage pdf_page(const PageSize& page) {
    // Points a layout unit, where the page is not paper of its own.
    constexpr double kScreenScale = 0.75;
    if (page.paper) return {page.paper->width_pt, page.paper->height_pt, page.paper->width_pt / page.width};
    return {page.width * kScreenScale, page.height * kScreenScale, kScreenScale};
}

// Each page takes its own size as it is added (add_page).
PdfWriter::PdfWriter(const std::string& path, Palette palette)
    : surface_(cairo_pdf_surface_create(path.c_str(), pdf_page({}).width, pdf_page({}).height)),
      cr_(cairo_create(surface_)),
      palette_(palette) {}

PdfWriter::~PdfWriter() {
    cairo_destroy(cr_);
    cairo_surface_finish(surface_);
    cairo_surface_destroy(surface_);
}

bool PdfWriter::ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }

bool PdfWriter::finish() {
    cairo_surface_finish(surface_);
    return ok();
}

void PdfWriter::add_page(const Canvas& canvas) {
    // Layout units to points; the page is filled with the background even
    // where the canvas does not reach.
    const PdfPage page = pdf_page(canvas.page());
    cairo_pdf_surface_set_size(surface_, page.width, page.height);
    View view = scaled_view(page.scale, palette_, canvas.width(), canvas.height());
    view.width = page.width;
    view.height = page.height;
    render_canvas(cr_, canvas, view);
    cairo_show_page(cr_);
    ++pages_;
}

cairo_font_face_t* font_face(const std::string& family, bool bold, bool italic) {
    return face_for(family, bold, italic);
}

std::string resolved_font_family(const std::string& face) {
    FcPattern* pat = FcPatternCreate();
    std::string family = style_for(face).family;
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    std::string out;
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
        out = reinterpret_cast<const char*>(name);
    if (match) FcPatternDestroy(match);
    return out;
}

double natural_advance(const Font& font, const std::string& text) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    select_font(cr, font, 1, 1, nullptr);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return ext.x_advance;
}

Box ink_box(const DrawText& t) {
    if (t.h <= 0 || t.v <= 0 || t.text.empty()) return {t.x, t.y, t.x, t.y};
    // A lesson draws a few hundred distinct glyphs in a handful of sizes:
    // each is measured once.
    using Key = std::tuple<std::string, float, bool, bool, int, int, std::string>;
    static std::map<Key, cairo_text_extents_t> cache;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    Key key{t.font.face, t.font.size, t.font.bold, t.font.italic, t.h, t.v, t.text};
    auto it = cache.find(key);
    if (it == cache.end()) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(surface);
        FaceStyle style;
        select_font(cr, t.font, t.h, t.v, &style);
        std::string text = displayed_text(style, t.text);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, text.c_str(), &ext);
        // Measured from the baseline; kept relative to the cell top.
        ext.y_bearing += t.font.size * t.v * style.baseline;
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        it = cache.emplace(key, ext).first;
    }
    const cairo_text_extents_t& e = it->second;
    if (e.width <= 0 || e.height <= 0) return {t.x, t.y, t.x, t.y};
    float x1 = t.x + static_cast<float>(e.x_bearing);
    float y1 = t.y + static_cast<float>(e.y_bearing);
    return {x1, y1, x1 + static_cast<float>(e.width), y1 + static_cast<float>(e.height)};
}

}  // namespace lk
