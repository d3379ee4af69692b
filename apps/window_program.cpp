// The life of a windowed program: the fatal error box shown when the process
// itself faults, and the hooks the window tests use.
#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "window_program.h"

#include "engine/present/presenter.h"
#include "engine/present/sdl/sdl_platform.h"
#include "engine/present/trace.h"
#include "engine/shell/program.h"
#include "tools/tour.h"

namespace lk {

namespace {

// What the fault handler needs: set once before the run, read only from the
// handler. Drawing inside a signal handler is unsafe, so the handler starts
// the program again in a mode that only shows the box.
const Presenter* g_running_presenter = nullptr;
char g_self_path[4096];
char g_title[256];

void write_unsigned(char* out, unsigned value) {
    char digits[16];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value && n < 15);
    for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    out[n] = '\0';
}

void on_fault(int sig) {
    char statement[16];
    write_unsigned(statement, g_running_presenter ? g_running_presenter->statement() : 0);
    char* const args[] = {g_self_path, const_cast<char*>("--fatal-box"), g_title, statement,
                          nullptr};
    execv(g_self_path, args);
    signal(sig, SIG_DFL);
    raise(sig);
}

const char* kind_name(PromptKind kind) {
    switch (kind) {
        case PromptKind::menu: return "menu";
        case PromptKind::bar: return "bar";
        case PromptKind::step: return "step";
        case PromptKind::next_step: return "next_step";
        case PromptKind::none: break;
    }
    return "none";
}

const char* action_name(const overlay::Button& b) {
    switch (b.action) {
        case overlay::Action::back: return "back";
        case overlay::Action::forward: return "forward";
        case overlay::Action::pen: return "pen";
        case overlay::Action::colour:
            return b.colour == overlay::InkColour::red    ? "red"
                   : b.colour == overlay::InkColour::blue ? "blue"
                                                          : "ink";
        case overlay::Action::clear_ink: return "clear_ink";
        case overlay::Action::keypad: return "keypad";
        case overlay::Action::fullscreen: return "fullscreen";
        case overlay::Action::key: break;
    }
    return "key";
}

// One line per prompt for the pointer tests, words of NAME=VALUE: what
// waits, and where (the centre, in window units as a mouse event gives them)
// its choices, the toolbar's buttons and the keypad's keys are:
//   n=4 kind=bar step=0 keypad_shown=1 choice1=60,680 ... pen=2016,136 ... key1=1766,617
std::string prompt_line(int n, const PromptEvent& p, const overlay::Overlay& o) {
    const Letterbox& box = o.letterbox();
    const double r = o.pixel_ratio();
    auto at = [](double x, double y) {
        return std::to_string(std::lround(x)) + "," + std::to_string(std::lround(y));
    };
    std::string line = "n=" + std::to_string(n) + " kind=" + kind_name(p.kind) +
                       " step=" + std::to_string(p.step) +
                       " keypad_shown=" + (o.keypad_visible() ? "1" : "0");
    for (const auto& c : p.choices)
        line += " choice" + std::to_string(c.number) + "=" +
                at((box.offset_x + (c.area.x1 + c.area.x2) / 2 * box.scale) / r,
                   (box.offset_y + (c.area.y1 + c.area.y2) / 2 * box.scale) / r);
    auto centre = [&](const overlay::Rect& rect) {
        return at((rect.x + rect.w / 2) / r, (rect.y + rect.h / 2) / r);
    };
    for (const auto& b : o.toolbar_buttons()) {
        line += ' ';
        line += action_name(b);
        line += '=';
        line += centre(b.rect);
    }
    for (const auto& b : o.keypad_buttons()) {
        std::string name = b.key == "\b" ? "BS" : b.key == "\f" ? "C" : b.key == "\r" ? "Enter" : b.key;
        line += " key";
        line += name;
        line += '=';
        line += centre(b.rect);
    }
    return line;
}

int show_fatal_box(const char* title, const char* statement) {
    char message[512];
    std::snprintf(message, sizeof message, "続行不可能なエラーが発生しました %s [%s行]", title,
                  statement);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, message, nullptr);
    return 1;
}

}  // namespace

int run_window_program(const ProgramDef& program, int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--fatal-box") == 0) return show_fatal_box(argv[2], argv[3]);

    ssize_t n = readlink("/proc/self/exe", g_self_path, sizeof g_self_path - 1);
    g_self_path[n > 0 ? n : 0] = '\0';
    std::snprintf(g_title, sizeof g_title, "%s", program.title.c_str());
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) signal(sig, on_fault);

    // A test hook, for the window tests only: with LESSONKIT_TEST_FAULT set
    // to "runtime", the first item of the first topic fails with a run-time
    // error (an index outside its table), so that the error line and its
    // endless wait can be tried in a real window.
    ProgramDef faulty;
    const ProgramDef* to_run = &program;
    if (const char* fault = std::getenv("LESSONKIT_TEST_FAULT");
        fault && std::strcmp(fault, "runtime") == 0 && !program.topics.empty() &&
        !program.topics[0].items.empty()) {
        faulty = program;
        faulty.topics[0].items[0] = [](Script& s) { s.e.columns[51] = 0; };
        to_run = &faulty;
    }

    try {
        SdlPlatform platform(program.title);
        Presenter presenter(platform);
        g_running_presenter = &presenter;
        // A test hook, for the window tests only: with LESSONKIT_TEST_TOUR
        // set, the program answers itself and walks every item of every
        // topic in the window, then quits.
        std::unique_ptr<TourDriver> tour;
        if (std::getenv("LESSONKIT_TEST_TOUR")) {
            tour = std::make_unique<TourDriver>(*to_run, 2);
            presenter.add_sink(tour.get());
            platform.set_key_source([&tour] { return tour->next_keys(); });
        }
        // A test hook, for the window tests only: with LESSONKIT_TEST_POINTER
        // set to a folder, the practice problems use seed 1, every prompt is
        // written to prompts.txt (with where its choices, the keypad and
        // the toolbar are) and the trace to trace.jsonl, both flushed at
        // each prompt, so that a test can drive the program with the mouse
        // alone and check what it drew.
        std::optional<std::uint64_t> seed;
        std::ofstream prompt_log, trace_log;
        std::unique_ptr<TraceWriter> trace;
        if (const char* dir = std::getenv("LESSONKIT_TEST_POINTER"); dir && *dir) {
            seed = 1;
            prompt_log.open(std::string(dir) + "/prompts.txt");
            trace_log.open(std::string(dir) + "/trace.jsonl");
            trace = std::make_unique<TraceWriter>(trace_log);
            presenter.add_sink(trace.get());
            platform.set_prompt_listener([&, n = 0](const PromptEvent& p) mutable {
                trace_log.flush();
                prompt_log << prompt_line(++n, p, platform.overlay()) << std::endl;
            });
        }
        int status = run_program(*to_run, presenter, seed);
        if (prompt_log.is_open()) {
            // How long the window took to show what only the overlay changed.
            std::vector<double> ms = platform.overlay_repaint_ms();
            std::sort(ms.begin(), ms.end());
            std::ofstream out(std::string(std::getenv("LESSONKIT_TEST_POINTER")) + "/pointer.txt");
            out << "pointer events " << platform.pointer_events() << ", overlay repaints " << ms.size();
            if (!ms.empty())
                out << ", median " << ms[ms.size() / 2] << " ms, 95th percentile "
                    << ms[ms.size() * 95 / 100] << " ms, slowest " << ms.back() << " ms";
            out << "\n";
        }
        if (tour)
            std::fprintf(stderr, "tour: %d items, %d steps, %d problems\n", tour->items_run(),
                         tour->steps(), tour->problems_shown());
        g_running_presenter = nullptr;
        return status;
    } catch (const ProgramEnd& end) {
        return end.status;
    }
}

}  // namespace lk
