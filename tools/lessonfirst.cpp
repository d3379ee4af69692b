// lessonfirst: a program's first screen (its main menu, as it stands when the
// program first waits for a key) as the Canvas 2D player draws it, for the
// browser build: the page draws this at once, while the program's
// WebAssembly is still on its way, and the program then draws the same.
//
//   lessonfirst applylesson|solvelesson|practicelesson   prints the screen as JSON:
//   {"width": W, "height": H, "background": RGB, "calls": [[NAME, ARGS...]]}
//
// The practice program's menu shows the device's record, so its screen is
// the one of a device that keeps nothing yet, as the page offers it (with
// プリント); "kept" names the page's storage key whose presence means the
// screen does not apply (nor does it when the address carries a request).
//
// The calls are the player's (canvas2d_draw.js), in layout units: text, box,
// path and arc.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/present/headless/headless_platform.h"
#include "engine/present/layout.h"
#include "engine/present/presenter.h"
#include "engine/present/trace.h"
#include "engine/present/web/canvas2d_player.h"
#include "engine/present/storage.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
#include "lessons/solve/topics.h"

namespace {

std::string calls;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

void add(const std::string& call) {
    calls += calls.empty() ? "\n [" : ",\n [";
    calls += call;
    calls += "]";
}

// A device whose storage works and holds no record yet.
class EmptyStorage : public lk::Storage {
public:
    bool available() const override { return true; }
    ReadResult read(std::string&) override { return ReadResult::missing; }
    bool write(const std::string&) override { return true; }
    bool set_aside(std::string&) override { return false; }
};

}  // namespace

// The player's calls, written down instead of drawn. The area it clips to
// and the layout transform are the page's to choose.
extern "C" {
void c2d_begin(int, int, int, int, int) {}
void c2d_end() {}
void c2d_layout(double, double, double) {}
// (The font is handed over only when it changes; each run is written down
// with its own.)
std::string run_font;
void c2d_font(const char* font) { run_font = font; }
void c2d_text(double x, double y, double sx, double sy, const char* text, int rgb, double spacing) {
    add("\"text\"," + number(x) + "," + number(y) + "," + number(sx) + "," + number(sy) + "," +
        lk::json_string(run_font) + "," + lk::json_string(text) + "," + std::to_string(rgb) + "," + number(spacing));
}
// The page draws a recorded run from the glyphs' outlines, spaced or not.
int c2d_spaced_runs() { return 1; }
void c2d_box(double x1, double y1, double x2, double y2, int rgb) {
    add("\"box\"," + number(x1) + "," + number(y1) + "," + number(x2) + "," + number(y2) + "," +
        std::to_string(rgb));
}
void c2d_path(const float* points, int n, int close, int rgb, int fill, double pen) {
    std::string list;
    for (int i = 0; i < 2 * n; ++i) {
        if (i) list += ",";
        list += number(points[i]);
    }
    add("\"path\",[" + list + "]," + std::to_string(close) + "," + std::to_string(rgb) + "," +
        std::to_string(fill) + "," + number(pen));
}
void c2d_arc(double cx, double cy, double r, double a1, double a2, int rgb, int fill, double pen) {
    add("\"arc\"," + number(cx) + "," + number(cy) + "," + number(r) + "," + number(a1) + "," + number(a2) + "," +
        std::to_string(rgb) + "," + std::to_string(fill) + "," + number(pen));
}
}

int main(int argc, char** argv) {
    const lk::ProgramDef* program = nullptr;
    if (argc == 2 && std::strcmp(argv[1], "applylesson") == 0) program = &lk::applylesson_program();
    if (argc == 2 && std::strcmp(argv[1], "solvelesson") == 0) program = &lk::solvelesson_program();
    const bool practice = argc == 2 && std::strcmp(argv[1], "practicelesson") == 0;
    // The page's practice program, which can print.
    static const lk::ProgramDef practice_program = lk::practicelesson_program(
        [](const lk::practice::SheetRequest&) { return lk::practice::PrintOutcome{true, "", ""}; });
    if (practice) program = &practice_program;
    if (!program) {
        std::fprintf(stderr, "usage: lessonfirst applylesson|solvelesson|practicelesson\n");
        return 2;
    }
    // No keys: the run ends where the program first waits for one. Each
    // picture shown on the way replaces the one before.
    lk::HeadlessPlatform platform;
    if (practice) platform.set_storage(std::make_unique<EmptyStorage>());
    const lk::View view = lk::fit_view(lk::kCanvasWidth, lk::kCanvasHeight);
    platform.on_step([&](const lk::Canvas& canvas) {
        calls.clear();
        lk::render_canvas_2d(canvas, view);
    });
    lk::Presenter presenter(platform);
    lk::finished(lk::run_program(*program, presenter, 1));
    platform.finish();
    if (calls.empty()) {
        std::fprintf(stderr, "lessonfirst: %s drew nothing before its first wait\n", argv[1]);
        return 1;
    }
    const std::string kept = practice ? ", \"kept\": " + lk::json_string("lessonkit." + program->title) : "";
    std::printf("{\"width\": %s, \"height\": %s, \"background\": %u%s, \"calls\": [%s\n]}\n",
                number(lk::kCanvasWidth).c_str(), number(lk::kCanvasHeight).c_str(),
                static_cast<unsigned>(lk::palette_rgb(15, view.palette)), kept.c_str(), calls.c_str());
    return 0;
}
