// The life of a windowed program: the fatal error box shown when the process
// itself faults, and the test options (test_options.h) the window tests use.
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
#include "engine/present/probe.h"
#include "engine/present/storage.h"
#include "engine/present/sdl/sdl_platform.h"
#include "engine/present/trace.h"
#include "engine/shell/program.h"
#include "engine/shell/test_options.h"
#include "engine/shell/tour.h"

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

    // Test options (test_options.h): the window tests' one way in.
    TestOptions options;
    std::string error;
    if (!parse_test_options(argc, argv, options, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 2;
    }
    ProgramDef faulty;
    const ProgramDef* to_run = &program;
    if (options.fault) {
        faulty = with_runtime_fault(program);
        to_run = &faulty;
    }

    try {
        SdlPlatform platform(program.title);
        // The program's record (the practice program's progress, the
        // equations typed into solvelesson) in the user's data folder; a
        // self-driven tour neither reads nor writes it.
        if (options.tour == 0) {
            platform.set_storage(file_storage(user_data_path(program.title + ".json")));
            // Files for the teacher go where the user keeps documents (or,
            // without such a folder, beside the record).
            const std::string documents = documents_folder();
            platform.set_hand_in_folder(documents.empty() ? user_data_path("records") : documents);
        }
        Presenter presenter(platform);
        g_running_presenter = &presenter;
        // A self-driven tour: the program answers itself and walks every
        // item of every topic in the window, then quits.
        std::unique_ptr<TourDriver> tour;
        if (options.tour > 0) {
            tour = std::make_unique<TourDriver>(*to_run, options.tour);
            presenter.add_sink(tour.get());
            platform.set_key_source([&tour] { return tour->next_keys(); });
        }
        // The test log: every prompt (probe.h) to prompts.txt and the trace
        // to trace.jsonl, both flushed at each prompt, so that a test can
        // drive the program with the mouse alone and check what it drew.
        std::optional<std::uint64_t> seed = options.seed;
        std::ofstream prompt_log, trace_log;
        std::unique_ptr<TraceWriter> trace;
        const std::string& dir = options.probe_dir;
        if (!dir.empty()) {
            if (!seed) seed = 1;
            prompt_log.open(dir + "/prompts.txt");
            trace_log.open(dir + "/trace.jsonl");
            trace = std::make_unique<TraceWriter>(trace_log);
            presenter.add_sink(trace.get());
            // A prompt that moved with the window is written again under its
            // own number.
            platform.set_prompt_listener([&, n = 0](const PromptEvent& p, bool moved) mutable {
                trace_log.flush();
                prompt_log << describe_prompt(moved ? n : ++n, p, platform.overlay()) << std::endl;
            });
        }
        // The overlay after each pointer gesture, to overlay.txt.
        std::ofstream overlay_log;
        if (!dir.empty()) {
            overlay_log.open(dir + "/overlay.txt");
            platform.set_pointer_listener(
                [&] { overlay_log << describe_overlay(platform.overlay()) << std::endl; });
        }
        int status = lk::finished(run_program(*to_run, presenter, seed));
        if (prompt_log.is_open()) {
            // How long the window took to show what only the overlay changed.
            std::vector<double> ms = platform.overlay_repaint_ms();
            std::sort(ms.begin(), ms.end());
            std::ofstream out(dir + "/pointer.txt");
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
