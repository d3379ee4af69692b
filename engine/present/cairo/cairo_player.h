#pragma once
// The cairo player: renders canvas operations onto a cairo context. Used for
// the window (at the window's own scale), PNG pictures and PDF pages.
#include <cairo.h>

#include <string>

#include "../canvas.h"
#include "../layout.h"
#include "../ops.h"

namespace lk {

// Fills the target with the background colour, then plays every operation.
void render_canvas(cairo_t* cr, const Canvas& canvas, const View& view);
// Repaints only the given area (canvas units): the background, then every
// operation that can reach into it.
void render_region(cairo_t* cr, const Canvas& canvas, const View& view,
                   const Box& area);
void render_op(cairo_t* cr, const DrawOp& op, Palette palette);

// Writes the canvas to a PNG of the canvas's size times scale.
bool write_png(const Canvas& canvas, const std::string& path, double scale = 1,
               Palette palette = Palette::original);

// A PDF page: its size in points and how many points a layout unit is. A
// canvas of a printed page fills its paper edge to edge; any other canvas
// takes 0.75 pt a unit (the lesson's layout area: 1024.5 x 540 pt).
struct PdfPage {
    double width, height, scale;
};
PdfPage pdf_page(const PageSize& page);

// A vector PDF, one page per call to add_page, each of its canvas's page
// size (pdf_page), in the given palette, with real text in embedded fonts
// (searchable and copyable).
class PdfWriter {
public:
    explicit PdfWriter(const std::string& path, Palette palette = Palette::original);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;
    void add_page(const Canvas& canvas);
    int pages() const { return pages_; }
    bool ok() const;
    // Writes out the end of the file (the destructor does it otherwise);
    // whether everything was written.
    bool finish();

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
    Palette palette_;
    int pages_ = 0;
};

// The cairo face of a font family (fontconfig's name), looked up once and
// kept for the life of the program.
cairo_font_face_t* font_face(const std::string& family, bool bold, bool italic);

// The font file fontconfig chose for a face name, for tests and diagnostics.
std::string resolved_font_family(const std::string& face);
// The advance of a text drawn with draw_text at magnification (1, 1).
double natural_advance(const Font& font, const std::string& text);
// The box a text drawn with draw_text really inks, as this player draws it
// (empty, x1 == x2, for a text that inks nothing, such as a space).
Box ink_box(const DrawText& text);

}  // namespace lk
