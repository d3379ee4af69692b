// The lessonreplay tool as a user runs it: trace, pictures and exit status.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <cairo.h>

#include "engine/present/ops.h"
#include "engine/present/strings.h"

namespace fs = std::filesystem;

namespace {

std::string bin() {
    const char* dir = std::getenv("LESSONKIT_BIN");
    return dir ? dir : "build";
}

struct Output {
    int status;
    fs::path dir;
};

Output replay(const std::string& args) {
    static int counter = 0;
    fs::path dir = fs::temp_directory_path() /
                   ("lessonreplay-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string cmd = bin() + "/lessonreplay " + args + " --trace " + (dir / "t.jsonl").string() +
                      " --png " + (dir / "png").string() + " > " + (dir / "log").string() + " 2>&1";
    int rc = std::system(cmd.c_str());
    return {WEXITSTATUS(rc), dir};
}

std::vector<std::string> lines_of(const fs::path& p) {
    std::ifstream in(p);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The value of a string field of a trace line (enough for the fields the
// programs write: no escaped quotes in lesson texts).
std::string field(const std::string& line, const std::string& name) {
    std::string key = "\"" + name + "\":\"";
    auto at = line.find(key);
    if (at == std::string::npos) return {};
    auto start = at + key.size();
    return line.substr(start, line.find('"', start) - start);
}

TEST(LessonReplay, EmptyKeysGiveATraceAndAPicture) {
    auto out = replay("applylesson --keys \"\"");
    EXPECT_EQ(out.status, 0);
    auto trace = lines_of(out.dir / "t.jsonl");
    ASSERT_FALSE(trace.empty());
    for (const auto& line : trace) {
        EXPECT_TRUE(line.starts_with("{\"op\":\"")) << line;
        EXPECT_EQ(line.back(), '}') << line;
    }
    EXPECT_EQ(trace[0], "{\"op\":\"set_font_face\",\"face\":\"ｺﾞｼｯｸ\"}");
    EXPECT_TRUE(fs::exists(out.dir / "png" / "0001.png"));
}

TEST(LessonReplay, OnePicturePerStepAndTheQuitNumberEnds) {
    auto out = replay("applylesson --keys '1\\r1\\r   ' --scale 0.5");
    EXPECT_EQ(out.status, 0);
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(out.dir / "png")) {
        (void)entry;
        ++pictures;
    }
    // The menu and its first key, the bar and its first key, then four
    // steps (the last one waiting when the keys ran out).
    EXPECT_EQ(pictures, 2 + 2 + 4);
    auto trace = lines_of(out.dir / "t.jsonl");
    int keys = 0;
    for (const auto& line : trace) keys += line.starts_with("{\"op\":\"key\"");
    EXPECT_EQ(keys, 4 + 3);
    auto quit = replay("applylesson --keys '1\\r3\\r9\\r'");
    EXPECT_EQ(quit.status, 0);
    EXPECT_EQ(lines_of(quit.dir / "t.jsonl").back(), "{\"op\":\"end_program\"}");
    auto bad = replay("nosuchprogram");
    EXPECT_EQ(bad.status, 2);
}

TEST(LessonReplay, EveryTextOfTopicOneIsInCodePage932) {
    auto out = replay("applylesson --keys '1\\r1\\r          2\\r         3\\r'");
    std::set<std::string> texts;
    for (const auto& line : lines_of(out.dir / "t.jsonl"))
        if (line.starts_with("{\"op\":\"draw_text\"")) texts.insert(field(line, "text"));
    EXPECT_GT(texts.size(), 50u);
    for (const auto& t : texts) EXPECT_TRUE(lk::representable_in_cp932(t)) << t;
}

// The colour of one pixel of a PNG, as 0xRRGGBB (0xFF000000 if unreadable).
unsigned png_pixel(const fs::path& png, int x, int y) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    unsigned out = 0xFF000000;
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(image);
        const unsigned char* row =
            cairo_image_surface_get_data(image) + y * cairo_image_surface_get_stride(image);
        out = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
    cairo_surface_destroy(image);
    return out;
}

// Pictures and PDF pages in either palette: the paper of the original, the
// dark ground of the projector colours; the menu panel (colour 10) with it.
TEST(LessonReplay, ThePaletteOptionColoursPicturesAndPages) {
    for (lk::Palette palette : {lk::Palette::original, lk::Palette::projector}) {
        const std::string name = palette == lk::Palette::projector ? "projector" : "original";
        const fs::path pdf =
            fs::temp_directory_path() / ("lessonreplay-palette-" + std::to_string(::getpid()) + ".pdf");
        auto out = replay("applylesson --keys '' --palette " + name + " --pdf " + pdf.string());
        ASSERT_EQ(out.status, 0) << name;
        const fs::path png = out.dir / "png" / "0001.png";
        EXPECT_EQ(png_pixel(png, 2, 2), lk::palette_rgb(15, palette)) << name;
        EXPECT_EQ(png_pixel(png, 32, 300), lk::palette_rgb(10, palette)) << name;
        // The PDF page at 72 dpi (three quarters of the canvas units).
        const fs::path page = out.dir / "page";
        ASSERT_EQ(std::system(("pdftoppm -q -png -r 72 -f 1 -l 1 -singlefile '" + pdf.string() + "' '" +
                               page.string() + "'").c_str()),
                  0);
        EXPECT_EQ(png_pixel(page.string() + ".png", 2, 2), lk::palette_rgb(15, palette)) << name;
        EXPECT_EQ(png_pixel(page.string() + ".png", 24, 225), lk::palette_rgb(10, palette)) << name;
        fs::remove(pdf);
    }
    EXPECT_EQ(replay("applylesson --keys '' --palette paper").status, 2);
    EXPECT_EQ(replay("applylesson --keys '' --palette").status, 2);
}

}  // namespace
