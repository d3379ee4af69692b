// A program in the browser. The page loads the fonts, then starts this with
// the options of its address. `main` returns at the program's first rest;
// from then on the page resumes it (web_platform.h), and what it needs lives
// on in one session (test_options.h: ?seed=N&tour=N&trace=1&
// pictures=1&probe=1, for the browser tests). What the options ask for goes
// to the page's test object, which exists only in such a run. The practice
// program also reads the address's fragment: a teacher's request.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/present/presenter.h"
#include "engine/present/trace.h"
#include "engine/present/web/web_platform.h"
#include "engine/shell/program.h"
#include "engine/shell/test_options.h"
#include "engine/shell/tour.h"
#include "engine/present/web/web_storage.h"
#if defined(LESSONKIT_SOLVE)
#include "lessons/solve/topics.h"
#elif defined(LESSONKIT_PRACTICE)
#include "lessons/practice/program.h"
#include "lessons/practice/sheet.h"
#else
#include "lessons/apply/topics.h"
#endif

extern "C" void lk_page_probe(const char* kind, const char* text);

namespace {

#if defined(LESSONKIT_PRACTICE)
// プリント in the page: the sheets and keys go to the page's print view as
// A4 pages; closing it returns to the menu. A test run hears what was asked
// for and how many pages came of it.
lk::practice::PrintOutcome print_in_page(const lk::practice::SheetRequest& request) {
    std::vector<lk::practice::SheetPage> pages;
    try {
        pages = lk::practice::make_sheets(request);
    } catch (const std::invalid_argument& e) {
        return {false, e.what(), ""};
    }
    const std::string asked = request.set->id + "," + std::to_string(request.count) + "," +
                              std::to_string(request.sheets) + "," + std::to_string(request.seed) + "," +
                              std::to_string(pages.size());
    lk_page_probe("sheets", asked.c_str());
    return {true, "", "", std::move(pages)};
}
#endif

const lk::ProgramDef& the_program() {
#if defined(LESSONKIT_SOLVE)
    return lk::solvelesson_program();
#elif defined(LESSONKIT_PRACTICE)
    // A teacher's request comes in the address after "#" (request.h).
    static const lk::ProgramDef program =
        lk::practicelesson_program(print_in_page, lk::WebPlatform::address_request());
    return program;
#else
    return lk::applylesson_program();
#endif
}

// Sends the trace to the page, a line at a time.
class PageTrace : public lk::OpSink {
public:
    void on_draw(const lk::DrawOp& op) override { lk_page_probe("trace", lk::trace_line(op).c_str()); }
    void on_event(const lk::Event& e) override { lk_page_probe("trace", lk::trace_line(e).c_str()); }
};

// Hands the page the picture of each item as it ends: the layout area's
// place on the canvas, which the page copies.
class ItemPictures : public lk::OpSink {
public:
    explicit ItemPictures(lk::WebPlatform& platform) : platform_(platform) {}
    void on_draw(const lk::DrawOp&) override {}
    void on_event(const lk::Event&) override {}
    void on_item(bool started) override {
        if (started) return;
        platform_.present();
        const auto& v = platform_.view();
        const std::string area = std::to_string(static_cast<int>(v.offset_x)) + "," +
                                 std::to_string(static_cast<int>(v.offset_y)) + "," +
                                 std::to_string(static_cast<int>(lk::kCanvasWidth * v.scale + 0.5)) + "," +
                                 std::to_string(static_cast<int>(lk::kCanvasHeight * v.scale + 0.5));
        lk_page_probe("item", area.c_str());
    }

private:
    lk::WebPlatform& platform_;
};


// Everything the running program uses, kept after `main` has returned.
struct Session {
    lk::TestOptions options;
    lk::WebPlatform platform;
    std::optional<lk::Presenter> presenter;
    PageTrace page_trace;
    std::unique_ptr<lk::TourDriver> tour;
    std::optional<ItemPictures> pictures;
    std::optional<lk::Task<int>> run;
    bool ended = false;

    // Once the program has ended: the tour's counts, then the page told.
    void end_if_done() {
        if (ended || !run || !run->done()) return;
        ended = true;
        run->result();
        if (tour) {
            const std::string counts = std::to_string(tour->items_run()) + "," + std::to_string(tour->steps()) +
                                       "," + std::to_string(tour->problems_shown());
            lk_page_probe("tour_done", counts.c_str());
        }
        platform.end_program();
    }
};

}  // namespace

int main(int argc, char** argv) {
    auto* session = new Session;
    lk::TestOptions& options = session->options;
    std::string error;
    if (!lk::parse_test_options(argc, argv, options, error)) lk_page_probe("error", error.c_str());

    const lk::ProgramDef& program = the_program();
    lk::WebPlatform& platform = session->platform;
    // The program's record stays in this browser; a tour or a traced run
    // (a test comparing traces) neither reads nor writes it.
    if (options.tour == 0 && !options.trace) platform.set_storage(lk::page_storage("lessonkit." + program.title));
    lk::Presenter& presenter = session->presenter.emplace(platform);
    if (options.trace) presenter.add_sink(&session->page_trace);
    if (options.tour > 0) {
        session->tour = std::make_unique<lk::TourDriver>(program, options.tour);
        presenter.add_sink(session->tour.get());
        options.pictures = true;
        lk::TourDriver* tour = session->tour.get();
        platform.set_key_source([tour] { return tour->next_keys(); });
    }
    if (options.pictures) presenter.add_sink(&session->pictures.emplace(platform));
    platform.set_after_resume([session] { session->end_if_done(); });
    session->run.emplace(lk::run_program(program, presenter, options.seed));
    session->end_if_done();
    return 0;
}
