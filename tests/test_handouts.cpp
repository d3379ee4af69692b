// Handouts from lessonreplay: a PDF of the final picture of each item of a
// topic, read back with pdfinfo and pdftotext (poppler-utils).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include "support/replay.h"

namespace fs = std::filesystem;

using lk::testing::output_of;

namespace {

std::string bin() {
    const char* dir = std::getenv("LESSONKIT_BIN");
    return dir ? dir : "build";
}

fs::path fresh_dir() {
    static int counter = 0;
    fs::path dir = fs::temp_directory_path() /
                   ("lessonkit-handout-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The exit status of lessonreplay with these arguments.
int replay(const std::string& args, const fs::path& dir) {
    std::string cmd = bin() + "/lessonreplay " + args + " > " + (dir / "log").string() + " 2>&1";
    int rc = std::system(cmd.c_str());
    return WEXITSTATUS(rc);
}

int pdf_pages(const fs::path& pdf) {
    std::string info = output_of("pdfinfo '" + pdf.string() + "' 2>&1");
    auto at = info.find("Pages:");
    if (at == std::string::npos) {
        ADD_FAILURE() << "pdfinfo gave no page count for " << pdf << ":\n" << info;
        return -1;
    }
    return std::atoi(info.c_str() + at + 6);
}

// The text of one page (1-based), without line breaks.
std::string page_text(const fs::path& pdf, int page) {
    std::string n = std::to_string(page);
    std::string text = output_of("pdftotext -q -f " + n + " -l " + n + " '" + pdf.string() + "' -");
    std::string flat;
    for (char c : text) flat += (c == '\n' || c == '\f') ? ' ' : c;
    return flat;
}

int files_in(const fs::path& dir) {
    if (!fs::exists(dir)) return 0;
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) n += entry.path().extension() == ".png";
    return n;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Handouts, PopplerIsThere) {
    ASSERT_NE(output_of("pdfinfo -v 2>&1").find("pdfinfo"), std::string::npos)
        << "pdfinfo (poppler-utils) is needed by these tests";
}

// Applylesson topic 4 has five items; each page is the item as it ended.
TEST(Handouts, OnePagePerItemOfAnApplyTopic) {
    auto dir = fresh_dir();
    ASSERT_EQ(replay("applylesson --topic 4 --pdf " + (dir / "t4.pdf").string() +
                         " --pages final --png " + (dir / "png").string(),
                     dir),
              0);
    ASSERT_EQ(pdf_pages(dir / "t4.pdf"), 5);
    EXPECT_EQ(files_in(dir / "png"), 5);

    const std::vector<std::string> titles = {"教科書P105", "問4(1)", "問4(2)", "教科書P106 問5",
                                             "<方程式を利用した解き方>"};
    // Something only one item draws (the first item ends by announcing the
    // exercise of the second, the third by announcing the fourth).
    const std::vector<std::string> own = {"毎分50m", "問4(1)", "問4(2)", "立方体を",
                                          "<方程式を利用した解き方>"};
    for (int page = 1; page <= 5; ++page) {
        std::string text = page_text(dir / "t4.pdf", page);
        SCOPED_TRACE("page " + std::to_string(page) + ": " + text);
        EXPECT_TRUE(has(text, titles[static_cast<size_t>(page - 1)]));
        // Each item starts on a cleared screen: no other item's title.
        for (int other = 1; other <= 5; ++other)
            EXPECT_EQ(has(text, own[static_cast<size_t>(other - 1)]), other == page) << other;
        // Neither the item bar nor a wait banner is part of a handout page.
        EXPECT_FALSE(has(text, "解き方　⑥終了"));
        EXPECT_FALSE(has(text, "入力"));
        EXPECT_FALSE(has(text, "何かキーを押して下さい"));
    }
    // The answers are shown at the end of the first item, and the last item
    // draws its final three lines after its only wait.
    EXPECT_TRUE(has(page_text(dir / "t4.pdf", 1), "答 10分後"));
    EXPECT_TRUE(has(page_text(dir / "t4.pdf", 5), "確かめて、答を書く。"));
}

// Solvelesson topic 3: four items, three of them with practice problems.
TEST(Handouts, OnePagePerItemOfASolveTopicWithDrills) {
    auto dir = fresh_dir();
    ASSERT_EQ(replay("solvelesson --topic 3 --pdf " + (dir / "s3.pdf").string() + " --pages final", dir), 0);
    ASSERT_EQ(pdf_pages(dir / "s3.pdf"), 4);
    const std::vector<std::string> titles = {"教科書P96Q", "問1の答", "例2 次の方程式を解きなさい。",
                                             "問2 解答"};
    for (int page = 1; page <= 4; ++page) {
        std::string text = page_text(dir / "s3.pdf", page);
        SCOPED_TRACE("page " + std::to_string(page) + ": " + text);
        EXPECT_TRUE(has(text, titles[static_cast<size_t>(page - 1)]));
        EXPECT_FALSE(has(text, "次のステップは"));
    }

    // The seed is 1 unless given, so the practice problems repeat; another
    // seed makes other problems.
    ASSERT_EQ(replay("solvelesson --topic 3 --seed 1 --pdf " + (dir / "seed1.pdf").string() +
                         " --pages final",
                     dir),
              0);
    ASSERT_EQ(replay("solvelesson --topic 3 --seed 5 --pdf " + (dir / "seed5.pdf").string() +
                         " --pages final",
                     dir),
              0);
    EXPECT_EQ(page_text(dir / "seed1.pdf", 3), page_text(dir / "s3.pdf", 3));
    EXPECT_NE(page_text(dir / "seed5.pdf", 3), page_text(dir / "s3.pdf", 3));
}

TEST(Handouts, EveryStepOfATopicAsPagesAndPictures) {
    auto dir = fresh_dir();
    ASSERT_EQ(replay("applylesson --topic 4 --pdf " + (dir / "all.pdf").string() + " --png " +
                         (dir / "png").string() + " --scale 0.25",
                     dir),
              0);
    int pictures = files_in(dir / "png");
    EXPECT_GT(pictures, 5 * 3);
    EXPECT_EQ(pdf_pages(dir / "all.pdf"), pictures);
    // The walk starts at the main menu and ends there with the quit number.
    EXPECT_TRUE(has(page_text(dir / "all.pdf", 1), "メニュー"));
    EXPECT_TRUE(has(page_text(dir / "all.pdf", pictures), "メニュー"));
}

// With a key script, a page is added only when an item ends: not for a number
// out of range at the bar, nor for going back to the main menu.
TEST(Handouts, KeyScriptPagesFollowTheItems) {
    auto dir = fresh_dir();
    // Topic 4, 0 (nothing), item 5 and its one step, item 5 again, back, quit.
    ASSERT_EQ(replay("applylesson --keys '4\\r0\\r5\\r 5\\r 6\\r9\\r' --pdf " +
                         (dir / "k.pdf").string() + " --pages final",
                     dir),
              0);
    EXPECT_EQ(pdf_pages(dir / "k.pdf"), 2);
    // Keys that run out inside an item: that item's picture so far.
    ASSERT_EQ(replay("applylesson --keys '4\\r5\\r' --pdf " + (dir / "part.pdf").string() +
                         " --pages final",
                     dir),
              0);
    ASSERT_EQ(pdf_pages(dir / "part.pdf"), 1);
    std::string part = page_text(dir / "part.pdf", 1);
    EXPECT_TRUE(has(part, "<方程式を利用した解き方>")) << part;
    EXPECT_FALSE(has(part, "確かめて")) << part;
    // No item at all: the last picture, the main menu.
    ASSERT_EQ(replay("applylesson --keys '' --pdf " + (dir / "menu.pdf").string() + " --pages final", dir), 0);
    ASSERT_EQ(pdf_pages(dir / "menu.pdf"), 1);
    EXPECT_TRUE(has(page_text(dir / "menu.pdf", 1), "メニュー"));
}

TEST(Handouts, ATopicMustBeATopicOfTheProgram) {
    auto dir = fresh_dir();
    // Solvelesson's entry 7 is reserved; 8 ends the program.
    EXPECT_EQ(replay("solvelesson --topic 7 --pdf " + (dir / "x.pdf").string(), dir), 2);
    EXPECT_EQ(replay("solvelesson --topic 9 --pdf " + (dir / "x.pdf").string(), dir), 2);
    EXPECT_EQ(replay("applylesson --topic 0", dir), 2);
    // A topic walk answers the program itself: no key script with it.
    EXPECT_EQ(replay("applylesson --topic 4 --keys '1\\r'", dir), 2);
}

}  // namespace
