// A program in the browser: the page loads the fonts, then starts this with
// the options of its address (?seed=N&tour=N&trace=1&pictures=1), which
// exist for the browser tests:
//   --seed N    repeatable practice problems
//   --tour N    the program answers itself and walks every item of every
//               topic, showing N practice problems per drill, then quits;
//               the picture of each item, as it ends, goes to the page
//   --trace     every operation as JSON Lines, to the page's lkTrace
//   --pictures  the picture of each item, as it ends, goes to the page
//               (as with --tour) in a run driven from outside
#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "engine/present/keys.h"
#include "engine/present/presenter.h"
#include "engine/present/trace.h"
#include "engine/present/web/web_platform.h"
#include "engine/shell/program.h"
#include "tools/tour.h"
#if defined(LESSONKIT_SOLVE)
#include "lessons/solve/topics.h"
#else
#include "lessons/apply/topics.h"
#endif

namespace {

const lk::ProgramDef& the_program() {
#if defined(LESSONKIT_SOLVE)
    return lk::solvelesson_program();
#else
    return lk::applylesson_program();
#endif
}

EM_JS(void, page_take_keys, (const char* names), {
    Module.lkNamedKeys = new Set(UTF8ToString(names).split(' '));
});
EM_JS(void, page_trace_line, (const char* line), { Module.lkTrace.push(UTF8ToString(line)); });
EM_JS(void, page_item_picture, (int x, int y, int w, int h), { Module.lkItemPicture(x, y, w, h); });
EM_JS(void, page_tour_done, (int items, int steps, int problems), {
    Module.lkTourDone = {items: items, steps: steps, problems: problems};
});

// Sends the trace to the page, a line at a time.
class PageTrace : public lk::OpSink {
public:
    void on_draw(const lk::DrawOp& op) override { page_trace_line(lk::trace_line(op).c_str()); }
    void on_event(const lk::Event& e) override { page_trace_line(lk::trace_line(e).c_str()); }
};

// Hands the page the picture of each item as it ends.
class ItemPictures : public lk::OpSink {
public:
    explicit ItemPictures(lk::WebPlatform& platform) : platform_(platform) {}
    void on_draw(const lk::DrawOp&) override {}
    void on_event(const lk::Event&) override {}
    void on_item(bool started) override {
        if (started) return;
        platform_.present();
        const auto& v = platform_.view();
        page_item_picture(static_cast<int>(v.offset_x), static_cast<int>(v.offset_y),
                          static_cast<int>(lk::kCanvasWidth * v.scale + 0.5),
                          static_cast<int>(lk::kCanvasHeight * v.scale + 0.5));
    }

private:
    lk::WebPlatform& platform_;
};

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::uint64_t> seed;
    int tour_problems = 0;
    bool trace = false;
    bool item_pictures = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--tour") == 0 && i + 1 < argc) tour_problems = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--trace") == 0) trace = true;
        else if (std::strcmp(argv[i], "--pictures") == 0) item_pictures = true;
    }
    std::string names;
    for (const auto& k : lk::kDomKeys) names += (names.empty() ? "" : " ") + std::string(k.name);
    page_take_keys(names.c_str());

    const lk::ProgramDef& program = the_program();
    lk::WebPlatform platform;
    lk::Presenter presenter(platform);
    PageTrace page_trace;
    if (trace) presenter.add_sink(&page_trace);
    std::unique_ptr<lk::TourDriver> tour;
    ItemPictures pictures(platform);
    if (tour_problems > 0) {
        tour = std::make_unique<lk::TourDriver>(program, tour_problems);
        presenter.add_sink(tour.get());
        item_pictures = true;
        platform.set_key_source([&tour] { return tour->next_keys(); });
    }
    if (item_pictures) presenter.add_sink(&pictures);
    int status = lk::run_program(program, presenter, seed);
    if (tour) page_tour_done(tour->items_run(), tour->steps(), tour->problems_shown());
    platform.end_program();
    return status;
}
