// lessonbench: plays a complete tour of the programs headlessly (every item
// of every topic to its last step, every drill for a few problems, fixed
// seed) and reports how fast each step is answered, as a window would show
// it: the drawing of the step plus the repaint of the area it changed.
//
//   lessonbench [--seed N] [--problems N] [--draw-heavy] [--ink]
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/lesson/engine.h"
#include "engine/present/cairo/cairo_player.h"
#include "engine/present/cairo/overlay_painter.h"
#include "engine/present/layout.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/shell/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
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
        if (key_returned_) {
            step_ms.push_back(ms_since(key_time_));
            // The key that gave an answer (Enter, or a yes/no choice) and
            // brought its verdict: judged, drawn and repainted.
            if (answered_ == lk::PromptKind::answer && waiting_ == lk::PromptKind::verdict)
                verdict_ms.push_back(step_ms.back());
            // The Enter after a typed equation and its first step.
            if (answered_ == lk::PromptKind::answer && waiting_ == lk::PromptKind::step)
                equation_ms.push_back(step_ms.back());
        }
        std::string key = HeadlessPlatform::poll_key();
        key_returned_ = !key.empty();
        answered_ = waiting_;
        key_time_ = Clock::now();
        return key;
    }
    void on_prompt(const lk::PromptEvent& prompt) override {
        if (prompt.kind != lk::PromptKind::none) waiting_ = prompt.kind;
        HeadlessPlatform::on_prompt(prompt);
    }
    void attach(const lk::Canvas& canvas) override {
        canvas_ = &canvas;
        HeadlessPlatform::attach(canvas);
    }

    Clock::time_point started = Clock::now();
    double first_menu_ms = 0;
    std::vector<double> step_ms, verdict_ms, equation_ms;

private:
    lk::PromptKind waiting_ = lk::PromptKind::none, answered_ = lk::PromptKind::none;
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
    int status = lk::finished(lk::run_program(program, presenter, seed));
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
    auto verdicts = platform.verdict_ms;
    std::sort(verdicts.begin(), verdicts.end());
    if (!verdicts.empty())
        std::printf("%s: answer to verdict drawn and repainted, %zu answers: median %.2f ms, slowest %.2f ms\n",
                    program.title.c_str(), verdicts.size(), verdicts[verdicts.size() / 2], verdicts.back());
    return status;
}

// 方程式を入力: from the Enter after each of these equations to its first
// step drawn and repainted (the solver's work, the screen cleared and the
// first lines drawn).
int own_equations() {
    const char* const equations[] = {
        "4x-(x-3)=12", "(2x-1)/3=(x+2)/4", "x:6=2:3", "0.2x+1.5=0.7", "2(x+1)=2x+2",
        "3(2(x+1)-4(x-2))-5(x-1)/6=7x/4-2(3x-1)+(x-7)/12+100",
        "0.125x-2.375(x-0.5)+1.75=0.625(2x+3.25)-4.5x+0.375(x-1.125)-12.875",
        "(2x-1)/3-(3x+2)/4+(x-5)/6=(5x+7)/8-(x-1)/12+(7x-3)/9-(4x+1)/18+(x+11)/24",
        "123456789x-987654321=876543219x+123456789-(987654321x-123456789)", "(3x-2):(4x+5)=7:9"};
    constexpr int kRounds = 20;
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round)
        for (const char* equation : equations) {
            TimedPlatform platform;
            platform.add_keys(std::string("6\r1\r") + equation + "\r ");
            lk::Presenter presenter(platform);
            lk::finished(lk::run_program(lk::solvelesson_program(), presenter, 1));
            times.insert(times.end(), platform.equation_ms.begin(), platform.equation_ms.end());
        }
    std::sort(times.begin(), times.end());
    if (times.empty()) return 1;
    std::printf("solvelesson: 方程式を入力, Enter to the first step drawn and repainted, %zu equations: "
                "median %.2f ms, 95th percentile %.2f ms, slowest %.2f ms\n",
                times.size(), times[times.size() / 2], times[times.size() * 95 / 100], times.back());
    return 0;
}

int draw_heavy() {
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    const int rounds = 200;
    auto start = Clock::now();
    unsigned ops_before = presenter.statement();
    for (int r = 0; r < rounds; ++r) {
        presenter.painter().fill_box(0, 0, 1760, 1800, lk::Coords::relative, 15);
        for (int line = 0; line < 10; ++line) {
            e.text_x = 40;
            e.text_y = 80 + 50 * line;
            e.text_colour = 0;
            e.text = "ﾀx/120ﾀ=ﾀ2/3ﾀ 10*9+8x=130 交代の時間";
            e.draw_rich_text();
            presenter.painter().fill_box(600, 80 + 50 * line, 660, 130 + 50 * line, lk::Coords::absolute, 3, 13);
            presenter.painter().draw_line(40, 120 + 50 * line, 1300, 120 + 50 * line, lk::Coords::absolute, 0);
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

double thread_cpu_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Ink over a busy screen, as the window draws it: for each pointer event of
// pen strokes criss-crossing a 1366 x 768 window, the overlay's damage is
// repainted (background, the canvas's operations there, the ink and the
// toolbar), compared with what was there and copied out as an upload would.
int ink() {
    lk::HeadlessPlatform platform;
    lk::Presenter presenter(platform);
    lk::Engine e(presenter);
    for (int line = 0; line < 10; ++line) {
        e.text_x = 40;
        e.text_y = 80 + 50 * line;
        e.text_colour = 0;
        e.text = "ﾀx/120ﾀ=ﾀ2/3ﾀ 10*9+8x=130 交代の時間";
        e.draw_rich_text();
        presenter.painter().fill_box(600, 80 + 50 * line, 660, 130 + 50 * line, lk::Coords::absolute, 3, 13);
        presenter.painter().draw_line(40, 120 + 50 * line, 1300, 120 + 50 * line, lk::Coords::absolute, 0);
    }
    const int w = 1366, h = 768;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    const lk::View view = lk::fit_view(w, h);
    lk::overlay::Overlay overlay;
    overlay.set_view(w, h);
    lk::render_canvas(cr, presenter.canvas(), view);
    std::vector<unsigned char> saved, uploaded(static_cast<size_t>(w) * h * 4);
    std::vector<double> times, cpu_times;
    std::uint64_t t = 0;
    double area = 0;
    // Twenty strokes of 60 events each, every one across most of the picture.
    for (int stroke = 0; stroke < 20; ++stroke) {
        for (int i = 0; i <= 61; ++i) {
            lk::overlay::PointerPhase phase = i == 0    ? lk::overlay::PointerPhase::down
                                              : i == 61 ? lk::overlay::PointerPhase::up
                                                        : lk::overlay::PointerPhase::move;
            double x = 100 + 19 * std::min(i, 60) + 5 * stroke;
            double y = 80 + 30 * stroke + 40 * std::sin(std::min(i, 60) / 6.0);
            auto start = Clock::now();
            double cpu_start = thread_cpu_ms();
            overlay.on_pointer({phase, lk::overlay::PointerType::pen, 1, x, y, t += 8});
            lk::overlay::Rect d;
            if (overlay.take_damage(d)) {
                int x1 = std::max(0, static_cast<int>(std::floor(d.x)));
                int y1 = std::max(0, static_cast<int>(std::floor(d.y)));
                int x2 = std::min(w, static_cast<int>(std::ceil(d.x + d.w)));
                int y2 = std::min(h, static_cast<int>(std::ceil(d.y + d.h)));
                cairo_surface_flush(surface);
                unsigned char* data = cairo_image_surface_get_data(surface);
                int stride = cairo_image_surface_get_stride(surface);
                size_t row = static_cast<size_t>(x2 - x1) * 4;
                saved.resize(row * static_cast<size_t>(y2 - y1));
                for (int yy = y1; yy < y2; ++yy)
                    std::memcpy(&saved[row * static_cast<size_t>(yy - y1)], data + static_cast<size_t>(yy) * stride + x1 * 4, row);
                lk::repaint_window_area(cr, presenter.canvas(), view, overlay,
                                        {static_cast<double>(x1), static_cast<double>(y1),
                                         static_cast<double>(x2 - x1), static_cast<double>(y2 - y1)});
                cairo_surface_flush(surface);
                bool same = true;
                for (int yy = y1; yy < y2 && same; ++yy)
                    same = std::memcmp(&saved[row * static_cast<size_t>(yy - y1)], data + static_cast<size_t>(yy) * stride + x1 * 4, row) == 0;
                if (!same)
                    for (int yy = y1; yy < y2; ++yy)
                        std::memcpy(&uploaded[static_cast<size_t>(yy) * w * 4 + x1 * 4], data + static_cast<size_t>(yy) * stride + x1 * 4, row);
                area += static_cast<double>(x2 - x1) * (y2 - y1);
            }
            times.push_back(ms_since(start));
            cpu_times.push_back(thread_cpu_ms() - cpu_start);
        }
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    std::sort(times.begin(), times.end());
    std::sort(cpu_times.begin(), cpu_times.end());
    // The slowest wall times are the scheduler's on a busy machine; the
    // processor time of the slowest event is the work itself.
    std::printf("ink: %zu pen events over %zu operations in a %dx%d window, %zu strokes; "
                "per event median %.3f ms, 95th percentile %.3f ms, slowest %.3f ms "
                "(processor time: slowest %.3f ms); %.0f pixels repainted per event on average\n",
                times.size(), presenter.canvas().ops().size(), w, h, overlay.strokes().size(),
                times[times.size() / 2], times[times.size() * 95 / 100], times.back(),
                cpu_times.back(), area / static_cast<double>(times.size()));
    return cpu_times.back() < 4 ? 0 : 1;
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
        else if (!std::strcmp(argv[i], "--ink")) return ink();
        else if (!std::strcmp(argv[i], "applylesson") || !std::strcmp(argv[i], "solvelesson") ||
                 !std::strcmp(argv[i], "practicelesson"))
            only = argv[i];
        else {
            std::fprintf(stderr, "usage: lessonbench [applylesson|solvelesson|practicelesson] [--seed N] [--problems N]\n"
                                 "                  [--draw-heavy] [--ink]\n");
            return 2;
        }
    }
    int status = 0;
    if (only.empty() || only == "applylesson") status |= tour(lk::applylesson_program(), seed, problems);
    if (only.empty() || only == "solvelesson") status |= tour(lk::solvelesson_program(), seed, problems);
    if (only.empty() || only == "solvelesson") status |= own_equations();
    // The practice program: every set, `problems` answered in each (the
    // first after a hint and a wrong answer).
    if (only.empty() || only == "practicelesson") status |= tour(lk::practicelesson_program(), seed, problems);
    return status;
}
