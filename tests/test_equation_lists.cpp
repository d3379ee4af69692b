// A teacher's own list of equations: read from a file or an address, refused
// by its line, practised as a set of its own and printed with its key.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "lessons/practice/program.h"
#include "lessons/practice/request.h"
#include "lessons/practice/sets.h"
#include "lessons/problems/equation_list.h"
#include "support/replay.h"

namespace {

namespace fs = std::filesystem;
namespace pb = lk::problems;
namespace pp = lk::practice;

TEST(TeacherList, EachLineWorkedOrRefusedByItsNumber) {
    const auto read = pb::read_equation_list("\xEF\xBB\xBF# 教科書P98\r\n4x-(x-3)=12\r\n\r\n　(2x-1)/3=(x+2)/4 \n");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.list.name, "教科書P98");
    ASSERT_EQ(read.list.problems.size(), 2u);
    EXPECT_EQ(read.list.problems[0].solution(), lk::Rational(3));
    // The hints are the solver's lines, the answer after the last "=" in
    // the answer's colour, as the drills draw it.
    const auto& last = read.list.problems[1].worked.back();
    ASSERT_EQ(last.runs.size(), 2u);
    EXPECT_EQ(last.runs[0].text, "x=ﾀ10/5ﾀ=");
    EXPECT_EQ(last.runs[1].text, "2");
    EXPECT_EQ(last.runs[1].colour, 5);

    std::string fifty_one;
    for (int i = 0; i <= static_cast<int>(pb::kMaxListEquations); ++i) fifty_one += "x=" + std::to_string(i) + "\n";
    const std::pair<std::string, std::string> refused[] = {
        {"4x=8\nx^2=4\n", "2行目：2文字目の「^」"},
        {"x+1=x+2\n", "1行目：解がただ一つではない"},
        {"# a\n# b\n4x=8\n", "2行目：「#」で始まる行は"},
        {"\n\n", "リストに方程式がありません。"},
        {fifty_one, "51行目：方程式は50個まで"},
        {"4x=8\n\xFF\n", "UTF-8"},
    };
    for (const auto& [text, said] : refused) {
        const auto r = pb::read_equation_list(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_NE(r.error.find(said), std::string::npos) << r.error;
    }
}

TEST(TeacherList, PractisedPrintedAndCarriedByAnAddress) {
    const auto read = pb::read_equation_list("# 教科書P98\n4x-(x-3)=12\nx:6=2:3\n");
    ASSERT_TRUE(read.ok);
    const pp::PracticeSet& set = pp::add_list_set(read.list);
    EXPECT_EQ(&pp::add_list_set(read.list), &set);
    EXPECT_EQ(pp::find_set("list"), &set);
    const int number = static_cast<int>(&set - pp::practice_sets().data()) + 1;

    // Chosen from the menu: its name, its first equation, a right answer.
    lk::HeadlessPlatform platform(std::to_string(number) + "\r3\r \x1b");
    lk::Presenter presenter(platform);
    lk::testing::Recorder recorder;
    presenter.add_sink(&recorder);
    static const lk::ProgramDef program = lk::practicelesson_program(nullptr);
    lk::finished(lk::run_program(program, presenter, 1));
    const std::string text = recorder.all_text();
    for (const char* said : {"教科書P98", "正解"}) EXPECT_NE(text.find(said), std::string::npos) << said;

    // In an address, with its name escaped as a link writes it.
    const auto asked = pp::read_request("v1;n=2;e=%E6%95%99%E7%A7%91%E6%9B%B8,4x-(x-3)=12,x:6=2:3");
    ASSERT_TRUE(asked.ok) << asked.error;
    ASSERT_EQ(asked.request.sets.size(), 1u);
    EXPECT_EQ(asked.request.sets[0], &set);

    // Printed from the command line, with its key.
    const char* bin = std::getenv("LESSONKIT_BIN");
    const fs::path dir = fs::temp_directory_path() / ("lk-list-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "list.txt") << "# 教科書P98\n4x-(x-3)=12\nx:6=2:3\n";
    const std::string pdf = (dir / "list.pdf").string();
    const std::string run = std::string(bin ? bin : "build") + "/practicelesson --equations " + (dir / "list.txt").string() +
                            " --sheet list --count 2 --pdf " + pdf + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0);
    ASSERT_EQ(std::system(("pdftotext " + pdf + " " + (dir / "list.txt.out").string()).c_str()), 0);
    std::ifstream in(dir / "list.txt.out");
    const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* said : {"教科書P98", "解答", "3 x= 9", "x= 4"})
        EXPECT_NE(printed.find(said), std::string::npos) << said << "\n" << printed;
    std::ofstream(dir / "bad.txt") << "4x=8\ny=2\n";
    EXPECT_EQ(WEXITSTATUS(std::system((std::string(bin ? bin : "build") + "/practicelesson --equations " +
                                       (dir / "bad.txt").string() + " --sheet list --pdf " + pdf + " 2> " +
                                       (dir / "err").string()).c_str())),
              2);
    std::ifstream err(dir / "err");
    const std::string said((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("2行目："), std::string::npos) << said;
    fs::remove_all(dir);
}

}  // namespace
