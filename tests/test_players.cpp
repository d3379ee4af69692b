// The cairo player against the players' reference pictures (the browser
// tests hold the Canvas 2D player to the same pictures). Rewrite the
// references with LESSONKIT_WRITE_REFERENCES=1, and look at them before
// committing.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/present/cairo/cairo_player.h"
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

}  // namespace

TEST(PlayerReferences, CairoDrawsEachReferencePicture) {
    const bool write = std::getenv("LESSONKIT_WRITE_REFERENCES") != nullptr;
    for (const auto& c : lk::testing::player_cases()) {
        cairo_surface_t* drawn = render(c);
        std::string path = kReferences + c.name + ".png";
        if (write) cairo_surface_write_to_png(drawn, path.c_str());
        cairo_surface_t* reference = cairo_image_surface_create_from_png(path.c_str());
        ASSERT_EQ(cairo_surface_status(reference), CAIRO_STATUS_SUCCESS) << path;
        // The same rasteriser: only a different library version may move
        // an edge.
        EXPECT_LT(mean_difference(drawn, reference), 0.5) << c.name;
        cairo_surface_destroy(reference);
        cairo_surface_destroy(drawn);
    }
}
