// lessonbench: plays a complete tour of both programs headlessly (every item
// of every topic to its last step, every drill for a few problems, fixed
// seed) and reports how fast each step is answered, as a window would show
// it: the drawing of the step plus the repaint of the area it changed.
//
//   lessonbench [--seed N] [--problems N] [--draw-heavy]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/lesson/engine.h"
#include "engine/present/cairo/cairo_player.h"
#include "engine/present/headless/headless_platform.h"
#include "tools/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/solve/topics.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The headless back end with a window's repaint: each time the program
// waits, the damaged area is re-rendered onto a persistent 1366 x 768 image.
class TimedPlatform : public lk::HeadlessPlatform {
public:
    TimedPlatform() : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1366, 768)) {
        cr_ = cairo_create(surface_);
    }
    ~TimedPlatform() override {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    std::string poll_key() override {
        if (canvas_) {
            lk::Box area;
            if (first_) {
                lk::render_canvas(cr_, *canvas_, {});
                canvas_->take_damage(area);
                first_ = false;
                first_menu_ms = ms_since(started);
            } else if (canvas_->take_damage(area)) {
                lk::render_region(cr_, *canvas_, {}, area);
            }
        }
        if (key_returned_) step_ms.push_back(ms_since(key_time_));
        std::string key = HeadlessPlatform::poll_key();
        key_returned_ = !key.empty();
        key_time_ = Clock::now();
        return key;
    }
    void attach(const lk::Canvas& canvas) override {
        canvas_ = &canvas;
        HeadlessPlatform::attach(canvas);
    }

    Clock::time_point started = Clock::now();
    double first_menu_ms = 0;
    std::vector<double> step_ms;

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
    const lk::Canvas* canvas_ = nullptr;
    bool first_ = true;
    bool key_returned_ = false;
    Clock::time_point key_time_;
};

class Counter : public lk::OpSink {
public:
    void on_draw(const lk::DrawOp&) override { ++ops; }
    void on_event(const lk::Event&) override {}
    long ops = 0;
};

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int tour(const lk::ProgramDef& program, std::uint64_t seed, int problems) {
    TimedPlatform platform;
    lk::TourDriver driver(program, problems);
    platform.set_key_source([&] { return driver.next_keys(); });
    lk::Presenter presenter(platform);
    Counter counter;
    presenter.add_sink(&driver);
    presenter.add_sink(&counter);
    auto start = Clock::now();
    int status = lk::run_program(program, presenter, seed);
    double total = ms_since(start);
    auto steps = platform.step_ms;
    std::sort(steps.begin(), steps.end());
    auto at = [&](double q) {
        return steps.empty() ? 0.0 : steps[std::min(steps.size() - 1, static_cast<size_t>(q * steps.size()))];
    };
    std::printf("%s: start-up to first menu %.1f ms; %d items, %d steps, %d problems; "
                "step median %.2f ms, 95th percentile %.2f ms, max %.2f ms; tour %.0f ms; "
                "%ld operations; peak RSS %.1f MB\n",
                program.title.c_str(), platform.first_menu_ms, driver.items_run(), driver.steps(),
                driver.problems_shown(), at(0.5), at(0.95), steps.empty() ? 0.0 : steps.back(), total,
                counter.ops, peak_rss_kb() / 1024.0);
    return status;
}

int draw_heavy() {
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    const int rounds = 200;
    auto start = Clock::now();
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
    double record_s = ms_since(start) / 1000;
    unsigned ops = presenter.statement() - ops_before;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1366, 768);
    cairo_t* cr = cairo_create(surface);
    const int renders = 20;
    auto render_start = Clock::now();
    for (int i = 0; i < renders; ++i) lk::render_canvas(cr, presenter.canvas(), {});
    double render_s = ms_since(render_start) / 1000;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    size_t screen_ops = presenter.canvas().ops().size();
    std::printf("draw-heavy: recorded %u operations in %.3f s: %.0f operations/s\n", ops, record_s,
                ops / record_s);
    std::printf("draw-heavy: rendered a full screen of %zu operations %d times in %.3f s: "
                "%.0f operations/s, %.2f ms per screen\n",
                screen_ops, renders, render_s, screen_ops * renders / render_s,
                1000 * render_s / renders);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t seed = 1;
    int problems = 3;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) seed = std::stoull(argv[++i]);
        else if (!std::strcmp(argv[i], "--problems") && i + 1 < argc) problems = std::stoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--draw-heavy")) return draw_heavy();
        else if (!std::strcmp(argv[i], "applylesson") || !std::strcmp(argv[i], "solvelesson")) only = argv[i];
        else {
            std::fprintf(stderr, "usage: lessonbench [applylesson|solvelesson] [--seed N] [--problems N] [--draw-heavy]\n");
            return 2;
        }
    }
    int status = 0;
    if (only.empty() || only == "applylesson") status |= tour(lk::applylesson_program(), seed, problems);
    if (only.empty() || only == "solvelesson") status |= tour(lk::solvelesson_program(), seed, problems);
    return status;
}
