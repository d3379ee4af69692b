// Prompts, the answer field, the main menus and the item bars, driven through
// whole headless runs.
#include <gtest/gtest.h>

#include <cmath>

#include "support/replay.h"

using lk::testing::Bench;
using lk::testing::run_program_with;

namespace {

// Texts drawn in the answer field's echo colour from the given index on.
std::vector<lk::DrawText> echoes(const lk::testing::Recorder& r) {
    std::vector<lk::DrawText> out;
    for (const auto& t : r.texts())
        if (t.colour == 5 && t.y == 648) out.push_back(t);
    return out;
}

TEST(AnswerField, EchoParseAndClear) {
    Bench b;
    b.engine.answer_x = 1056;
    b.engine.answer_y = 648;
    b.platform.add_keys("12\r");
    lk::finished(b.engine.read_answer());
    b.engine.parse_answer();
    EXPECT_EQ(b.engine.answer_text, "12");
    EXPECT_FLOAT_EQ(b.engine.answer_value, 12);
    auto echo = echoes(b.recorder);
    ASSERT_EQ(echo.size(), 2u);
    EXPECT_EQ(echo[0].text, "１");
    EXPECT_FLOAT_EQ(echo[0].x, 1056);
    EXPECT_FLOAT_EQ(echo[1].x, 1072);
    EXPECT_FLOAT_EQ(b.engine.text_colour, 5);

    b.recorder.clear();
    b.platform.add_keys("3/4\r");
    lk::finished(b.engine.read_answer());
    b.engine.parse_answer();
    EXPECT_FLOAT_EQ(b.engine.answer_value, 0.75f);

    b.platform.add_keys("\r");
    lk::finished(b.engine.read_answer());
    b.engine.parse_answer();
    EXPECT_EQ(b.engine.answer_text, "");
    EXPECT_FLOAT_EQ(b.engine.answer_value, 0);
    EXPECT_FLOAT_EQ(b.engine.text_colour, 0);

    // Backspace clears the whole field; the next digit is echoed at the start.
    b.recorder.clear();
    b.platform.add_keys("12\b7\r");
    lk::finished(b.engine.read_answer());
    b.engine.parse_answer();
    EXPECT_FLOAT_EQ(b.engine.answer_value, 7);
    echo = echoes(b.recorder);
    ASSERT_EQ(echo.size(), 3u);
    EXPECT_FLOAT_EQ(echo[2].x, 1056);

    // Letters are ignored; code 12 clears like Backspace.
    b.platform.add_keys("4ab\f5x\r");
    lk::finished(b.engine.read_answer());
    EXPECT_EQ(b.engine.answer_text, "5");

    // What a Japanese input method commits reads as the plain keys.
    b.platform.add_keys("ー３／４\r");
    lk::finished(b.engine.read_answer());
    b.engine.parse_answer();
    EXPECT_EQ(b.engine.answer_text, "-3/4");
    EXPECT_FLOAT_EQ(b.engine.answer_value, -0.75f);
}

TEST(AnswerField, EleventhKeyClearsAndIsDiscarded) {
    Bench b;
    b.engine.answer_x = 1056;
    b.engine.answer_y = 648;
    // Enter as the eleventh key clears the field; the second Enter enters it.
    b.platform.add_keys("1234567890\r\r");
    lk::finished(b.engine.read_answer());
    EXPECT_EQ(b.engine.answer_text, "");
    EXPECT_EQ(b.platform.keys_left(), 0u);
    b.platform.add_keys("123456789057\r");
    lk::finished(b.engine.read_answer());
    EXPECT_EQ(b.engine.answer_text, "7");
    b.platform.add_keys("123456789\r");
    lk::finished(b.engine.read_answer());
    EXPECT_EQ(b.engine.answer_text, "123456789");
}

TEST(AnswerField, DivisionByZeroIsNoNumberButNoFault) {
    Bench b;
    for (const char* typed : {"1/0", "0/0", "-", ".", "/", "5/"}) {
        b.engine.answer_text = typed;
        b.engine.parse_answer();
        EXPECT_NE(lk::to_integer(b.engine.answer_value) >= 1 &&
                      lk::to_integer(b.engine.answer_value) <= 9 &&
                      std::isfinite(b.engine.answer_value),
                  true)
            << typed;
    }
}

TEST(Banners, WaitRestoresColourAndPen) {
    Bench b;
    b.engine.text_colour = 7;
    b.presenter.painter().set_pen_width(11);
    b.platform.add_keys("q");
    lk::finished(b.engine.wait_any_key());
    EXPECT_FLOAT_EQ(b.engine.text_colour, 7);
    EXPECT_EQ(b.presenter.painter().get_pen_width(), 11);
    EXPECT_EQ(b.engine.last_key, "q");
    EXPECT_FLOAT_EQ(b.engine.text_x, 320);
    EXPECT_FLOAT_EQ(b.engine.text_y, 666);
    auto boxes = b.recorder.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].fill, 4);
    EXPECT_EQ(boxes[0].colour, 13);
    EXPECT_EQ(boxes[0].pen, 3);
    EXPECT_FLOAT_EQ(boxes[1].x1, 0);
    EXPECT_FLOAT_EQ(boxes[1].x2, 400);
}

TEST(Banners, NextStepPromptAndErase) {
    Bench b;
    b.engine.answer_x = 1056;
    b.engine.answer_y = 648;
    b.presenter.painter().set_pen_width(5);
    b.platform.add_keys("1\r");
    lk::finished(b.engine.ask_next_step());
    EXPECT_FLOAT_EQ(b.engine.answer_value, 1);
    EXPECT_EQ(b.presenter.painter().get_pen_width(), 5);
    auto boxes = b.recorder.boxes();
    EXPECT_EQ(boxes.front().fill, 12);
    EXPECT_EQ(boxes.front().pen, 2);
    EXPECT_FLOAT_EQ(boxes.back().y1, 639);
    EXPECT_FLOAT_EQ(boxes[boxes.size() - 2].x1, 1008);
    EXPECT_FLOAT_EQ(boxes[boxes.size() - 2].y1, 639);
    EXPECT_FLOAT_EQ(boxes[boxes.size() - 2].x2, 1168);
}

TEST(NumberTables, TextsWithoutSpaces) {
    Bench b;
    b.engine.remembered_x[80] = -5;
    b.engine.remembered_y[1] = 0.5f;
    b.engine.values_a[0] = 12;
    b.engine.values_b[20] = -0.3f;
    b.engine.format_number_tables();
    EXPECT_EQ(b.engine.cell_labels[80], "-5");
    EXPECT_EQ(b.engine.remembered_y_texts[1], ".5");
    EXPECT_EQ(b.engine.value_texts_a[0], "12");
    EXPECT_EQ(b.engine.value_texts_b[20], "-.3");
    EXPECT_EQ(b.engine.cell_labels[0], "");  // index 0 is not converted
}

TEST(Tables, IndexOutsideRangeIsARunTimeError) {
    Bench b;
    EXPECT_THROW(b.engine.columns[51] = 1, lk::RuntimeError);
    EXPECT_THROW(b.engine.remembered_x[-1] = 1, lk::RuntimeError);
    EXPECT_THROW(b.engine.points[11][0] = 1, lk::RuntimeError);
    EXPECT_THROW(b.engine.points[0][3] = 1, lk::RuntimeError);
    EXPECT_THROW(b.engine.value_texts_a[NAN] = "", lk::RuntimeError);
    EXPECT_NO_THROW(b.engine.rows[50] = 1);
    EXPECT_NO_THROW(b.engine.points[10][2] = 1);
}

bool drew(const lk::testing::Run& run, const std::string& text, float x, float y, int colour) {
    for (const auto& t : run.rich_texts)
        if (t.text == text && t.x == x && t.y == y && t.colour == colour) return true;
    return false;
}

int count_rich(const lk::testing::Run& run, const std::string& text) {
    int n = 0;
    for (const auto& t : run.rich_texts) n += t.text == text;
    return n;
}

TEST(MainMenu, ApplylessonEntriesAndQuit) {
    auto run = run_program_with("applylesson", "9\r");
    EXPECT_EQ(run->status, 0);
    EXPECT_TRUE(drew(*run, "＜方程式の利用　メニュー＞", 264, 30, 15));
    EXPECT_TRUE(drew(*run, "1　導入、手順", 44, 120, 13));
    EXPECT_TRUE(drew(*run, "2　個数と代金", 44, 180, 15));
    EXPECT_TRUE(drew(*run, "8　P111(章の問題B)", 44, 540, 15));
    EXPECT_TRUE(drew(*run, "9　終了", 704, 120, 13));
    // The panel.
    bool panel = false;
    for (const auto& b : run->recorder.boxes())
        panel |= b.x1 == 22 && b.y1 == 10 && b.x2 == 1342 && b.y2 == 610 && b.fill == 10 &&
                 b.colour == 15;
    EXPECT_TRUE(panel);
    // The prompt at (816, 648), plain text in colour 0.
    bool prompt = false;
    for (const auto& t : run->recorder.texts()) prompt |= t.text == "番" && t.x == 816 && t.y == 648;
    EXPECT_TRUE(prompt);
    // The run ended by the quit number, not by running out of keys.
    bool ended = false;
    for (const auto& r : run->recorder.records)
        if (const auto* e = std::get_if<lk::Event>(&r))
            ended |= std::holds_alternative<lk::EndProgram>(*e);
    EXPECT_TRUE(ended);
}

TEST(MainMenu, InvalidChoicesRedrawTheMenu) {
    auto run = run_program_with("applylesson", "10\r0\r-1\r\r1/0\r0/0\r-\r.\r/\r");
    EXPECT_EQ(count_rich(*run, "1　導入、手順"), 10);
}

TEST(MainMenu, SolvelessonReservedEntriesAndQuit) {
    auto run = run_program_with("solvelesson", "7\r7\r8\r");
    EXPECT_EQ(run->status, 0);
    EXPECT_EQ(count_rich(*run, "1　方程式とその解"), 3);
    EXPECT_TRUE(drew(*run, "6　方程式を入力", 44, 420, 15));
    EXPECT_TRUE(drew(*run, "7　", 44, 480, 13));
    EXPECT_TRUE(drew(*run, "8　終了", 44, 540, 15));
    EXPECT_TRUE(drew(*run, "＜方程式の解き方　メニュー＞", 264, 30, 15));
}

TEST(MainMenu, FractionsSelectByValue) {
    // 9/3 opens topic 3; 18/2 ends the program.
    auto run = run_program_with("applylesson", "9/3\r4\r18/2\r");
    EXPECT_EQ(run->status, 0);
    bool bar = false;
    for (const auto& t : run->recorder.texts()) bar |= t.text == "④" && t.y == 666 - 0;
    EXPECT_TRUE(bar);
    EXPECT_EQ(count_rich(*run, "1　導入、手順"), 2);
}

TEST(ItemBar, RefusedChoicesKeepThePictureAndLastEntryReturns) {
    auto run = run_program_with("applylesson", "1\r4\r0\r6/2\r");
    // Goal screen once; the bar drawn four times; menu drawn twice.
    EXPECT_EQ(count_rich(*run, "<めあて>"), 1);
    EXPECT_TRUE(drew(*run, "方程式を利用するときの、考え方や手順を整理しよう。", 76, 305, 0));
    EXPECT_EQ(count_rich(*run, "1　導入、手順"), 2);
    int bars = 0;
    for (const auto& t : run->recorder.texts()) bars += t.text == "③" && t.x == 16 + 16 * 12;
    EXPECT_EQ(bars, 3);
}

TEST(ErrorRoutine, RunTimeErrorShowsTheLineAndWaits) {
    lk::HeadlessPlatform platform("");
    lk::Presenter presenter(platform);
    lk::testing::Recorder recorder;
    presenter.add_sink(&recorder);
    lk::ProgramDef program{"applylesson", 9, {{"1　x", 44, 120, 13, 0}}, {}};
    lk::Topic topic;
    topic.bar = "①　②終了";
    topic.entries = 2;
    topic.items = {[](lk::Script& s) -> lk::Task<> {
        s.e.columns[99] = 1;
        co_return;
    }};
    program.topics.push_back(topic);
    platform.add_keys("1\r1\r");
    int status = lk::finished(lk::run_program(program, presenter, 1));
    EXPECT_EQ(status, 0);
    auto texts = recorder.texts();
    ASSERT_FALSE(texts.empty());
    const auto& line = texts.back();
    EXPECT_FLOAT_EQ(line.x, 288);
    EXPECT_FLOAT_EQ(line.y, 432);
    EXPECT_EQ(line.colour, 13);
    EXPECT_EQ(line.h, 1);
    EXPECT_TRUE(line.text.starts_with(" 9,"));
    EXPECT_NE(line.text.find("エラーが発生しました。マウスで×をクリックして下さい。"),
              std::string::npos);
}

}  // namespace
