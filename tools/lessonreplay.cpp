// lessonreplay: runs applylesson or solvelesson headlessly from a key script,
// or walks every item of one topic, and writes what was drawn as a trace, PNG
// pictures and a PDF.
//
//   lessonreplay PROGRAM [--keys TEXT | --topic N | --tour P] [--seed N] [--trace FILE]
//                [--png DIR] [--scale S] [--pdf FILE] [--pages all|final|last]
//                [--palette original|projector]
//
// --pages all (the default) writes a picture each time the program waits for
// a key. --pages final writes the final picture of each item: the screen as
// the item left it, just before its item bar is drawn again (the bar itself
// is not on the page). A run that ends inside an item adds that item's last
// picture; a run that went through no item writes its last picture.
// --pages last writes only the last of those pages, under the number it has
// with --pages final (a check that follows a run item by item asks for the
// newest item's picture alone).
//
// --topic N (the main-menu number) answers the program itself: it opens that
// topic, runs each of its items in turn, goes on at every step, lets each
// practice problem be solved once, and quits. The seed is 1 unless given.
// --tour P walks every item of every topic the same way, showing P practice
// problems in each drill (the browser build's tests walk the same tour).
//
// --palette projector draws the pictures and pages in the projector colours
// (light ink on a dark ground, as F2 shows them in the window); the default
// is the original paper palette.
//
// practicelesson also takes --progress FILE (its record) and --request TEXT
// (a teacher's request, as the page's address carries it after "#"), and
// --equations FILE (a teacher's list of equations, one more set).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/present/trace.h"
#include "engine/present/storage.h"
#include "engine/shell/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
#include "lessons/practice/sets.h"
#include "lessons/practice/sheet.h"
#include "lessons/solve/topics.h"

namespace {

int usage() {
    std::cerr << "usage: lessonreplay applylesson|solvelesson|practicelesson\n"
                 "                    [--keys TEXT | --topic N | --tour P]\n"
                 "                    [--seed N] [--trace FILE] [--png DIR] [--scale S]\n"
                 "                    [--progress FILE] [--request TEXT] [--equations FILE] [--hand-in DIR]\n"
                 "                    [--pdf FILE] [--pages all|final|last]\n"
                 "                    [--palette original|projector]\n";
    return 2;
}

// Where a text can leave ink: its advance and one em of height, with a
// quarter em to spare on every side for leaning glyphs and overhangs.
// (bounds_of is more generous still, so that the canvas never drops too much.)
lk::Box text_ink(const lk::DrawText& t) {
    static std::map<std::tuple<std::string, float, bool, bool, std::string>, double> advances;
    auto key = std::make_tuple(t.font.face, t.font.size, t.font.bold, t.font.italic, t.text);
    auto at = advances.find(key);
    if (at == advances.end()) at = advances.emplace(key, lk::natural_advance(t.font, t.text)).first;
    float em_w = t.font.size * static_cast<float>(std::max(t.h, 1));
    float em_h = t.font.size * static_cast<float>(std::max(t.v, 1));
    float advance = static_cast<float>(at->second) * static_cast<float>(std::max(t.h, 1));
    return {t.x - em_w / 4, t.y - em_h / 4, t.x + advance + em_w / 4, t.y + em_h * 1.25f};
}

// A page: the first `count` operations of the canvas without those that a
// later solid box paints over within the layout area. The canvas keeps some
// of these (its bounds for a text are generous, and reach past the edge of the
// layout area for a text near it); on paper a search or a copy would still
// find such a text.
lk::Canvas page_of(const lk::Canvas& canvas, size_t count) {
    const auto& ops = canvas.ops();
    count = std::min(count, ops.size());
    std::vector<lk::Box> covers(count);
    std::vector<bool> solid(count, false);
    for (size_t i = 0; i < count; ++i) {
        const auto* box = std::get_if<lk::FillBox>(&ops[i]);
        if (!box || box->colour != box->fill) continue;
        float pad = static_cast<float>(box->pen) / 2;
        covers[i] = {std::min(box->x1, box->x2) - pad, std::min(box->y1, box->y2) - pad,
                     std::max(box->x1, box->x2) + pad, std::max(box->y1, box->y2) + pad};
        solid[i] = true;
    }
    lk::Canvas page;
    for (size_t i = 0; i < count; ++i) {
        lk::Box b = lk::bounds_of(ops[i]);
        if (const auto* text = std::get_if<lk::DrawText>(&ops[i])) {
            lk::Box ink = text_ink(*text);
            b = {std::max(b.x1, ink.x1), std::max(b.y1, ink.y1), std::min(b.x2, ink.x2),
                 std::min(b.y2, ink.y2)};
        }
        // Only the part inside the layout area is ever shown.
        b = {std::max(b.x1, 0.0f), std::max(b.y1, 0.0f), std::min(b.x2, lk::kCanvasWidth),
             std::min(b.y2, lk::kCanvasHeight)};
        bool covered = false;
        for (size_t j = i + 1; j < count && !covered; ++j) covered = solid[j] && covers[j].contains(b);
        if (!covered) page.add(ops[i]);
    }
    return page;
}

// Hands over the picture of each item as it ends: the screen as the item
// left it, before its topic draws the item bar again.
class ItemEnds : public lk::OpSink {
public:
    ItemEnds(const lk::Canvas& canvas, std::function<void(const lk::Canvas&)> on_item_end)
        : canvas_(canvas), on_item_end_(std::move(on_item_end)) {}

    void on_draw(const lk::DrawOp&) override {}
    void on_event(const lk::Event&) override {}
    void on_item(bool started) override {
        inside_ = started;
        if (!started) on_item_end_(canvas_);
    }

    // An item has started and not yet ended.
    bool inside_item() const { return inside_; }

private:
    const lk::Canvas& canvas_;
    std::function<void(const lk::Canvas&)> on_item_end_;
    bool inside_ = false;
};

// The practice program with its プリント entry, as the window and the page
// show its menu. The sheets asked for are made and go nowhere: the program
// returns to its menu, as the page does once its print view is closed
// (practicelesson --sheet writes sheets as files). `request` is a
// teacher's request, as the page's address carries it after "#".
lk::ProgramDef practice_program(const std::string& request) {
    return lk::practicelesson_program(
        [](const lk::practice::SheetRequest& sheets) {
            lk::practice::make_sheets(sheets);
            return lk::practice::PrintOutcome{true, "", ""};
        },
        request);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string program_name = argv[1];
    const lk::ProgramDef* program = nullptr;
    lk::ProgramDef practice;
    if (program_name == "applylesson") program = &lk::applylesson_program();
    else if (program_name == "solvelesson") program = &lk::solvelesson_program();
    else if (program_name == "practicelesson") program = &practice;
    else return usage();

    std::string keys, trace_path, png_dir, pdf_path, pages = "all", palette_name = "original", progress_path;
    std::string request, equations_path, hand_in_folder;
    bool keys_given = false;
    std::optional<int> topic, whole_tour;
    std::optional<std::uint64_t> seed;
    double scale = 1;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg);
            return argv[++i];
        };
        try {
            if (arg == "--keys") keys = value(), keys_given = true;
            else if (arg == "--topic") topic = std::stoi(value());
            else if (arg == "--tour") whole_tour = std::stoi(value());
            else if (arg == "--seed") seed = std::stoull(value());
            else if (arg == "--trace") trace_path = value();
            else if (arg == "--png") png_dir = value();
            else if (arg == "--scale") scale = std::stod(value());
            else if (arg == "--pdf") pdf_path = value();
            else if (arg == "--pages") pages = value();
            else if (arg == "--palette") palette_name = value();
            else if (arg == "--progress") progress_path = value();
            else if (arg == "--request" && program == &practice) request = value();
            else if (arg == "--equations" && program == &practice) equations_path = value();
            else if (arg == "--hand-in" && program == &practice) hand_in_folder = value();
            else return usage();
        } catch (const std::exception&) {
            return usage();
        }
    }
    if (!equations_path.empty()) {
        // A teacher's list of equations, as practicelesson --equations takes it.
        std::ifstream in(equations_path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const lk::problems::ListReading list = lk::problems::read_equation_list(text);
        if (!in || !list.ok) {
            std::cerr << "lessonreplay: " << equations_path << ": " << (in ? list.error : "cannot read") << "\n";
            return 2;
        }
        lk::practice::add_list_set(list.list);
    }
    if (program == &practice) practice = practice_program(request);
    if (!(scale > 0 && scale <= 16) || (pages != "all" && pages != "final" && pages != "last")) return usage();
    if ((topic || whole_tour) && keys_given) return usage();
    if (topic && whole_tour) return usage();
    if (whole_tour && *whole_tour < 1) return usage();
    if (palette_name != "original" && palette_name != "projector") return usage();
    const lk::Palette palette =
        palette_name == "projector" ? lk::Palette::projector : lk::Palette::original;

    // The tour answers every prompt of one topic, one practice problem each.
    std::unique_ptr<lk::TourDriver> tour;
    if (topic) {
        tour = std::make_unique<lk::TourDriver>(*program, 1);
        if (!tour->only_topic(*topic)) {
            std::cerr << "lessonreplay: menu entry " << *topic << " of " << program_name
                      << " has no topic\n";
            return 2;
        }
        if (!seed) seed = 1;
    }
    if (whole_tour) {
        tour = std::make_unique<lk::TourDriver>(*program, *whole_tour);
        if (!seed) seed = 1;
    }

    lk::HeadlessPlatform platform(lk::decode_key_script(keys));
    if (tour) platform.set_key_source([&] { return tour->next_keys(); });
    // A replay keeps no record unless asked for one.
    if (!progress_path.empty()) platform.set_storage(lk::file_storage(progress_path));
    // ファイルで提出 writes its file there, as the window's documents folder.
    if (!hand_in_folder.empty()) platform.set_hand_in_folder(hand_in_folder);
    std::ofstream trace_file;
    std::unique_ptr<lk::TraceWriter> trace;
    if (!trace_path.empty()) {
        trace_file.open(trace_path);
        if (!trace_file) {
            std::cerr << "lessonreplay: cannot write " << trace_path << "\n";
            return 1;
        }
        trace = std::make_unique<lk::TraceWriter>(trace_file);
    }
    if (!png_dir.empty()) std::filesystem::create_directories(png_dir);
    std::unique_ptr<lk::PdfWriter> pdf;
    if (!pdf_path.empty()) pdf = std::make_unique<lk::PdfWriter>(pdf_path, palette);

    int written = 0;
    bool write_failed = false;
    // The page numbered `written`, as a PNG file and a PDF page.
    auto render_page = [&](const lk::Canvas& shown) {
        const lk::Canvas canvas = page_of(shown, shown.ops().size());
        if (!png_dir.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "%04d.png", written);
            if (!lk::write_png(canvas, (std::filesystem::path(png_dir) / name).string(), scale,
                              palette))
                write_failed = true;
        }
        if (pdf) pdf->add_page(canvas);
    };
    // With --pages last, a page is only kept until the run ends.
    std::optional<lk::Canvas> last_shown;
    auto write_page = [&](const lk::Canvas& shown) {
        ++written;
        if (pages == "last") last_shown = shown;
        else render_page(shown);
    };
    const bool every_step = pages == "all";
    if (every_step) platform.on_step(write_page);

    lk::Presenter presenter(platform);
    ItemEnds item_ends(presenter.canvas(), write_page);
    if (!every_step) presenter.add_sink(&item_ends);
    if (tour) presenter.add_sink(tour.get());
    if (trace) presenter.add_sink(trace.get());
    int status = lk::finished(lk::run_program(*program, presenter, seed));
    platform.finish();
    if (!every_step && (item_ends.inside_item() || written == 0)) write_page(presenter.canvas());
    if (last_shown) render_page(*last_shown);
    if (pdf && !pdf->ok()) write_failed = true;
    if (write_failed) {
        std::cerr << "lessonreplay: could not write every output\n";
        return 1;
    }
    return status;
}
