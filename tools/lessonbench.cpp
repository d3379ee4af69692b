// lessonbench: draw-heavy benchmark of the presentation layer and renderer.
#include <chrono>
#include <cstdio>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/lesson/engine.h"

int main() {
    using clock = std::chrono::steady_clock;
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    const int rounds = 200;
    auto start = clock::now();
    unsigned ops_before = presenter.statement();
    for (int r = 0; r < rounds; ++r) {
        presenter.fill_box(0, 0, 1760, 1800, lk::Coords::relative, 15);
        for (int line = 0; line < 10; ++line) {
            e.text_x = 40;
            e.text_y = 80 + 50 * line;
            e.text_colour = 0;
            e.text = "ﾀx/120ﾀ=ﾀ2/3ﾀ 10*9+8x=130 交代の時間";
            e.draw_rich_text();
            presenter.fill_box(600, 80 + 50 * line, 660, 130 + 50 * line, lk::Coords::absolute, 3, 13);
            presenter.draw_line(40, 120 + 50 * line, 1300, 120 + 50 * line, lk::Coords::absolute, 0);
        }
    }
    auto recorded = clock::now();
    unsigned ops = presenter.statement() - ops_before;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1366, 768);
    cairo_t* cr = cairo_create(surface);
    const int renders = 20;
    for (int i = 0; i < renders; ++i) lk::render_canvas(cr, presenter.canvas(), {});
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    auto rendered = clock::now();
    double record_s = std::chrono::duration<double>(recorded - start).count();
    double render_s = std::chrono::duration<double>(rendered - recorded).count();
    size_t screen_ops = presenter.canvas().ops().size();
    std::printf("recorded %u operations in %.3f s: %.0f operations/s\n", ops, record_s, ops / record_s);
    std::printf("rendered a full screen of %zu operations %d times in %.3f s: %.0f operations/s, %.2f ms per screen\n",
                screen_ops, renders, render_s, screen_ops * renders / render_s, 1000 * render_s / renders);
    return 0;
}
