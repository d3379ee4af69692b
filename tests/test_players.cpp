// The cairo player and the window's overlay painter against the players'
// reference pictures (the browser tests hold the Canvas 2D player and its
// overlay painter to the same pictures). Rewrite the
// references with LESSONKIT_WRITE_REFERENCES=1, and look at them before
// committing.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/cairo/overlay_painter.h"
#include "players/cases.h"

namespace {

const std::string kReferences = std::string(LESSONKIT_TESTS_DIR) + "/players/reference/";

cairo_surface_t* render(const lk::testing::PlayerCase& c) {
    lk::Canvas canvas;
    for (const auto& op : c.ops) canvas.add(op);
    int w = static_cast<int>(std::ceil(c.width * lk::testing::kPlayerScale));
    int h = static_cast<int>(std::ceil(c.height * lk::testing::kPlayerScale));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    lk::render_canvas(cr, canvas, lk::scaled_view(lk::testing::kPlayerScale));
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

// The overlay case as the window shows it: its picture, then the overlay
// over it, repainted as one area.
cairo_surface_t* render(const lk::testing::OverlayCase& c) {
    lk::Canvas canvas;
    for (const auto& op : c.ops) canvas.add(op);
    int w = static_cast<int>(c.width), h = static_cast<int>(c.height);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    lk::repaint_window_area(cr, canvas, c.overlay.view(), c.overlay, {0, 0, c.width, c.height});
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return surface;
}

// Mean difference per channel (0-255).
double mean_difference(cairo_surface_t* a, cairo_surface_t* b) {
    int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
    if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b)) return 255;
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        auto* ra = reinterpret_cast<const unsigned*>(cairo_image_surface_get_data(a) +
                                                     y * cairo_image_surface_get_stride(a));
        auto* rb = reinterpret_cast<const unsigned*>(cairo_image_surface_get_data(b) +
                                                     y * cairo_image_surface_get_stride(b));
        for (int x = 0; x < w; ++x)
            for (int shift : {16, 8, 0})
                sum += std::abs(static_cast<int>((ra[x] >> shift) & 0xFF) -
                                static_cast<int>((rb[x] >> shift) & 0xFF));
    }
    return sum / (3.0 * w * h);
}

// Compares a drawn picture with its reference (or writes the reference).
void check_reference(cairo_surface_t* drawn, const std::string& name) {
    std::string path = kReferences + name + ".png";
    if (std::getenv("LESSONKIT_WRITE_REFERENCES")) cairo_surface_write_to_png(drawn, path.c_str());
    cairo_surface_t* reference = cairo_image_surface_create_from_png(path.c_str());
    EXPECT_EQ(cairo_surface_status(reference), CAIRO_STATUS_SUCCESS) << path;
    // The same rasteriser: only a different library version may move an
    // edge.
    if (cairo_surface_status(reference) == CAIRO_STATUS_SUCCESS) {
        EXPECT_LT(mean_difference(drawn, reference), 0.5) << name;
    }
    cairo_surface_destroy(reference);
    cairo_surface_destroy(drawn);
}

}  // namespace

TEST(PlayerReferences, CairoDrawsEachReferencePicture) {
    for (const auto& c : lk::testing::player_cases()) check_reference(render(c), c.name);
}

TEST(PlayerReferences, TheWindowsOverlayPainterDrawsTheOverlayReference) {
    const auto c = lk::testing::overlay_case();
    // The picture shows what it claims to: the pen on with blue, a stroke,
    // a key held down.
    ASSERT_TRUE(c.overlay.pen_on());
    ASSERT_EQ(c.overlay.ink_colour(), lk::overlay::InkColour::blue);
    ASSERT_EQ(c.overlay.strokes().size(), 1u);
    ASSERT_GT(c.overlay.strokes()[0].points.size(), 10u);
    ASSERT_TRUE(c.overlay.keypad_visible());
    ASSERT_EQ(c.overlay.toolbar_alpha(), 1);
    int pressed = 0;
    for (const auto& b : c.overlay.buttons()) pressed += b.pressed && b.key == "5";
    ASSERT_EQ(pressed, 1);
    check_reference(render(c), c.name);
}
