#include "sheet_pdf.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/storage.h"

namespace lk {

namespace {

namespace fs = std::filesystem;

const char* const kUsage =
    "usage: practicelesson --sheet SET [--count N] [--seed S] [--sheets K]\n"
    "                      [--key none|only|after] [--pdf FILE] [--png DIR] [--scale F]\n"
    "  SET: a practice set's menu number (1-12) or its ID, such as solve-x-plus-b\n";

// A bad argument: both languages on stderr, status 2.
int refuse(const std::string& japanese, const std::string& english) {
    std::fprintf(stderr, "practicelesson: %s\npracticelesson: %s\n%s", japanese.c_str(), english.c_str(), kUsage);
    return 2;
}

template <typename T>
bool whole_number(std::string_view text, T& out) {
    if (text.empty()) return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size();
}

std::uint64_t clock_seed() {
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count() / 1000) %
               1000000 +
           1;
}

bool on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string_view rest(path);
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

// Opens a file in the desktop's viewer, without waiting for it: the viewer
// runs in a process of its own, detached from this one.
void open_in_viewer(const std::string& file) {
    const pid_t child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        // Only calls that are safe after a fork, until the viewer starts.
        if (::fork() == 0) {
            ::setsid();
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execlp("xdg-open", "xdg-open", file.c_str(), static_cast<char*>(nullptr));
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

}  // namespace

bool write_sheets_pdf(const std::vector<practice::SheetPage>& pages, const std::string& path, std::string& error) {
    PdfWriter pdf(path, Palette::original);
    if (!pdf.ok()) {
        error = "cannot create " + path;
        return false;
    }
    for (const auto& page : pages) pdf.add_page(page.canvas);
    if (!pdf.finish()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool run_sheet_command(int argc, char** argv, int& status) {
    // Sheets are asked for by any of their own options; --seed alone is the
    // window's (test_options.h).
    const char* const options[] = {"--sheet", "--count", "--sheets", "--key", "--pdf", "--png", "--scale", "--seed"};
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        for (const char* o : options)
            if (std::strcmp(argv[i], o) == 0 && std::strcmp(o, "--seed") != 0) asked = true;
    if (!asked) return false;

    std::string set_name, pdf_path, png_dir;
    practice::SheetRequest request;
    request.seed = clock_seed();
    double scale = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool known = false;
        for (const char* o : options) known = known || arg == o;
        if (!known) {
            status = refuse("不明な引数です: " + arg, "unknown argument: " + arg);
            return true;
        }
        if (i + 1 >= argc) {
            status = refuse(arg + " の後に値がありません。", arg + " needs a value");
            return true;
        }
        const std::string value = argv[++i];
        if (arg == "--sheet") {
            set_name = value;
        } else if (arg == "--count") {
            if (!whole_number(value, request.count) || request.count < 1 ||
                request.count > practice::kMaxSheetProblems) {
                status = refuse("問題の数は 1 から 40 までの整数です: " + value,
                                "the count must be a whole number from 1 to 40: " + value);
                return true;
            }
        } else if (arg == "--seed") {
            if (!whole_number(value, request.seed)) {
                status = refuse("シードは 0 以上の整数です: " + value, "the seed must be a whole number: " + value);
                return true;
            }
        } else if (arg == "--sheets") {
            if (!whole_number(value, request.sheets) || request.sheets < 1 || request.sheets > practice::kMaxSheets) {
                status = refuse("枚数は 1 から 50 までの整数です: " + value,
                                "the number of sheets must be a whole number from 1 to 50: " + value);
                return true;
            }
        } else if (arg == "--key") {
            if (value == "none") request.key = practice::KeyPages::none;
            else if (value == "only") request.key = practice::KeyPages::only;
            else if (value == "after") request.key = practice::KeyPages::after;
            else {
                status = refuse("--key は none、only、after のどれかです: " + value,
                                "--key takes none, only or after: " + value);
                return true;
            }
        } else if (arg == "--pdf") {
            pdf_path = value;
        } else if (arg == "--png") {
            png_dir = value;
        } else if (arg == "--scale") {
            char* end = nullptr;
            scale = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(scale > 0.05 && scale <= 4)) {
                status = refuse("--scale は 0.05 より大きく 4 以下の数です: " + value,
                                "--scale takes a number above 0.05 and at most 4: " + value);
                return true;
            }
        }
    }
    if (set_name.empty()) {
        status = refuse("--sheet で練習セットを指定して下さい。", "name a practice set with --sheet");
        return true;
    }
    request.set = practice::find_set(set_name);
    if (!request.set) {
        status = refuse("その練習セットはありません: " + set_name, "no such practice set: " + set_name);
        return true;
    }
    if (pdf_path.empty() && png_dir.empty()) {
        status = refuse("--pdf か --png で書き出し先を指定して下さい。", "give --pdf FILE or --png DIR to write to");
        return true;
    }

    std::vector<practice::SheetPage> pages;
    try {
        pages = practice::make_sheets(request);
    } catch (const std::invalid_argument& e) {
        status = refuse(e.what(), "the request is out of range");
        return true;
    }
    if (!pdf_path.empty()) {
        std::string error;
        if (!write_sheets_pdf(pages, pdf_path, error)) {
            std::fprintf(stderr, "practicelesson: PDF を書き出せませんでした。\npracticelesson: %s\n", error.c_str());
            status = 1;
            return true;
        }
    }
    if (!png_dir.empty()) {
        std::error_code ec;
        fs::create_directories(png_dir, ec);
        for (size_t n = 0; n < pages.size(); ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "%04zu.png", n + 1);
            const std::string file = (fs::path(png_dir) / name).string();
            if (!write_png(pages[n].canvas, file, scale)) {
                std::fprintf(stderr, "practicelesson: 画像を書き出せませんでした。\npracticelesson: cannot write %s\n",
                             file.c_str());
                status = 1;
                return true;
            }
        }
    }
    const int count = practice::sheet_problem_count(request);
    if (count < request.count)
        std::fprintf(stderr, "practicelesson: %s。\npracticelesson: note: the set makes only %d different problems\n",
                     practice::all_it_makes_note(count).c_str(), count);
    std::printf("%s: %zu pages, %d sheet%s of %d problems, seed %llu%s\n",
                pdf_path.empty() ? png_dir.c_str() : pdf_path.c_str(), pages.size(), request.sheets,
                request.sheets == 1 ? "" : "s", count, static_cast<unsigned long long>(request.seed),
                request.sheets == 1 ? "" : (" to " + std::to_string(request.seed + request.sheets - 1)).c_str());
    status = 0;
    return true;
}

practice::PrintOutcome print_to_pdf(const practice::SheetRequest& request) {
    std::string folder = documents_folder();
    if (folder.empty()) {
        const std::string data = user_data_path("sheets");
        if (data.empty()) return {false, "保存先のフォルダが見つかりません。", ""};
        folder = data;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string file = (fs::path(folder) / ("practice-sheets-" + request.set->id + "-" +
                                                  std::to_string(request.seed) + ".pdf"))
                                 .string();
    std::vector<practice::SheetPage> pages;
    try {
        pages = practice::make_sheets(request);
    } catch (const std::invalid_argument& e) {
        return {false, e.what(), ""};
    }
    std::string error;
    if (!write_sheets_pdf(pages, file, error)) return {false, "PDF を書き出せませんでした。", file};
    const bool opened = on_path("xdg-open");
    if (opened) open_in_viewer(file);
    return {true,
            std::string("PDF（") + std::to_string(pages.size()) + "ページ）を書き出しました" +
                (opened ? "。開いています。" : "。"),
            file};
}

}  // namespace lk
