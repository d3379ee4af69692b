// lessonreplay: runs applylesson or solvelesson headlessly from a key script,
// and writes what was drawn as a trace, PNG pictures and a PDF.
//
//   lessonreplay PROGRAM [--keys TEXT] [--seed N] [--trace FILE] [--png DIR]
//                [--scale S] [--pdf FILE] [--pages all|final]
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/present/trace.h"
#include "lessons/apply/topics.h"
#include "lessons/solve/topics.h"

namespace {

int usage() {
    std::cerr << "usage: lessonreplay applylesson|solvelesson [--keys TEXT] [--seed N]\n"
                 "                    [--trace FILE] [--png DIR] [--scale S]\n"
                 "                    [--pdf FILE] [--pages all|final]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string program_name = argv[1];
    const lk::ProgramDef* program = nullptr;
    if (program_name == "applylesson") program = &lk::applylesson_program();
    else if (program_name == "solvelesson") program = &lk::solvelesson_program();
    else return usage();

    std::string keys, trace_path, png_dir, pdf_path, pages = "all";
    std::optional<std::uint64_t> seed;
    double scale = 1;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg);
            return argv[++i];
        };
        try {
            if (arg == "--keys") keys = value();
            else if (arg == "--seed") seed = std::stoull(value());
            else if (arg == "--trace") trace_path = value();
            else if (arg == "--png") png_dir = value();
            else if (arg == "--scale") scale = std::stod(value());
            else if (arg == "--pdf") pdf_path = value();
            else if (arg == "--pages") pages = value();
            else return usage();
        } catch (const std::exception&) {
            return usage();
        }
    }
    if (!(scale > 0 && scale <= 16) || (pages != "all" && pages != "final")) return usage();

    lk::HeadlessPlatform platform(lk::decode_key_script(keys));
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
    if (!pdf_path.empty()) pdf = std::make_unique<lk::PdfWriter>(pdf_path);

    int step = 0;
    bool write_failed = false;
    auto write_step = [&](const lk::Canvas& canvas) {
        if (!png_dir.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "%04d.png", ++step);
            if (!lk::write_png(canvas, (std::filesystem::path(png_dir) / name).string(), scale))
                write_failed = true;
        }
        if (pdf && pages == "all") pdf->add_page(canvas);
    };
    platform.on_step(write_step);

    lk::Presenter presenter(platform);
    if (trace) presenter.add_sink(trace.get());
    int status = lk::run_program(*program, presenter, seed);
    platform.finish();
    if (pdf && pages == "final") pdf->add_page(presenter.canvas());
    if (pdf && !pdf->ok()) write_failed = true;
    if (write_failed) {
        std::cerr << "lessonreplay: could not write every output\n";
        return 1;
    }
    return status;
}
