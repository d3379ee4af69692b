// Topic 3: surplus and shortage. One quantity shared out in two ways leaves a
// shortage one way and a surplus the other. Each item draws a bar diagram of
// the two ways against the total, names x, writes the total in two ways and
// equates them.
#include <functional>

#include "topics.h"

namespace lk::apply {

namespace {

// The words of a bar diagram and what follows each of them. `value` is
// called right after the total's name (0), the first way's word (1), the
// shortage label (2), the second way's word (3) and the surplus label (4),
// with the text cursor at the end of that word.
struct Bars {
    float longer_end;  // right end of the first-way bar
    const char* total;
    const char* first_rate;
    const char* first_word;
    const char* shortage;
    const char* second_rate;
    const char* second_word;
    const char* surplus;
    std::function<void(int)> value;
};

void bar_diagram(Script& s, const Bars& b) {
    Engine& e = s.e;
    e.columns[1] = 40;
    e.columns[2] = 142;
    e.columns[3] = 414;
    e.columns[4] = b.longer_end;
    e.columns[5] = 312;
    const float rows[] = {90, 140, 170, 220, 240, 290, 340, 360};
    for (int r = 1; r <= 8; ++r) e.rows[r] = rows[r - 1];

    // Guide lines marking the common left end and the end of the total.
    s.pen(5);
    s.span({.x1 = e.columns[2], .y1 = e.rows[2], .x2 = e.columns[2], .y2 = e.rows[7], .side = 1,
            .height = 0, .step = 8, .label_colour = 7, .dot_colour = 0, .label = ""});
    s.span({.x1 = e.columns[3], .y1 = e.rows[2], .x2 = e.columns[3], .y2 = e.rows[7], .side = 1,
            .height = 0, .step = 8, .label_colour = 7, .dot_colour = 0, .label = ""});

    s.text(e.columns[2], e.rows[1], 0, b.total);
    b.value(0);
    s.pen(11);
    s.line(e.columns[2], e.rows[2], e.columns[3], e.rows[2], 0);
    s.pen(3);

    s.text(40, 195, 3, b.first_rate);
    s.text(152, e.rows[3], 0, b.first_word);
    b.value(1);
    s.pen(11);
    s.line(e.columns[2], e.rows[4], e.columns[4], e.rows[4], 3);
    s.pen(3);

    // The shortage: how far the first way runs past the total.
    // The guide line at x 414 crosses the label: that is where the
    // shortage is read from. The label stands 3 under its row: clear of the
    // shortage arc's dots above, its foot clear of the filled value box of
    // the second way below.
    s.text(278, e.rows[5] + 3, 7, b.shortage);
    b.value(2);
    s.pen(5);
    s.span({.x1 = e.columns[3], .y1 = e.rows[4], .x2 = e.columns[4], .y2 = e.rows[4], .side = 1,
            .height = 20, .step = 11, .label_colour = 7, .dot_colour = 7, .label = ""});

    s.text(40, 315, 3, b.second_rate);
    s.text(152, e.rows[6], 0, b.second_word);
    b.value(3);
    // The second way stops short; the rest of the total stays in ink.
    s.pen(11);
    s.line(e.columns[2], e.rows[7], e.columns[5], e.rows[7], 3);
    s.line(e.columns[5], e.rows[7], e.columns[3], e.rows[7], 0);
    s.pen(5);

    s.text(346, e.rows[8] + 3, 7, b.surplus);
    b.value(4);
    s.span({.x1 = e.columns[5], .y1 = e.rows[7], .x2 = e.columns[3], .y2 = e.rows[7], .side = 1,
            .height = 20, .step = 8, .label_colour = 7, .dot_colour = 7, .label = ""});
}

// A value box of the diagram, 60 wide; empty at first, redrawn later at the
// same place with its value.
void value_box(Script& s, float x, float y, float height, const std::string& value) {
    s.value_box(x, y, {.width = 60, .height = height, .frame = 3, .fill = 13, .colour = 5}, value);
}

Task<> item_example(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "教科書P104 例2をやってみよう。");
    // Marks 1 to 4: the first-way, shortage, second-way and surplus boxes.
    bar_diagram(s, {482, "　折り紙の枚数", "4枚", "配る枚数", "たりない枚数", "3枚", "配る枚数",
                    "余る枚数", [&](int which) {
                        if (which == 0) return;
                        // "枚" takes the colour of the word before the box.
                        const float word_colour = which % 2 == 1 ? 0 : 7;
                        s.remember(which, s.end_x() + 10, s.line_y());
                        value_box(s, e.remembered_x[which], e.remembered_y[which],
                                  which == 3 ? 48 : 50, "");
                        s.text(s.end_x() + 10, s.line_y(), word_colour, "枚");
                    }});
    co_await s.wait();

    s.pen(3);
    value_box(s, e.remembered_x[2], e.remembered_y[2], 50, "9");
    co_await s.wait();

    value_box(s, e.remembered_x[4], e.remembered_y[4], 50, "15");
    co_await s.wait();

    s.text(40, 420, 3, "子どもの人数をx人とすると");
    co_await s.wait();

    value_box(s, e.remembered_x[1], e.remembered_y[1], 50, "4x");
    co_await s.wait();

    value_box(s, e.remembered_x[3], e.remembered_y[3], 50, "3x");
    co_await s.wait();

    s.text(40, 470, 0, "折り紙の枚数は、");
    s.text(40, 520, 0, "4枚ずつ配るとき…");
    s.remember(5);
    co_await s.wait();

    s.at_mark(5, 3, "(4x-9)枚");
    s.text(40, 570, 0, "3枚ずつ配るとき…");
    s.remember(6);
    co_await s.wait();

    s.at_mark(6, 3, "(3x+15)枚");
    s.text(680, 30, 3, "<解答>");
    co_await s.wait();

    s.text(680, 80, 0, "子どもの人数をx人とすると");
    s.text(680, 130, 0, "4x-9=3x+15");
    co_await s.wait();

    s.text(680, 180, 0, "4x-3x=15+9");
    co_await s.wait();

    s.text(680, 230, 3, "x=24");
    co_await s.wait();

    s.text(680, 280, 0, "折り紙の枚数は ");
    co_await s.wait();

    s.text(680, 330, 0, " 4*24-9");
    co_await s.wait();

    s.text(680, 380, 0, "=96-9");
    co_await s.wait();

    s.text(680, 430, 3, "=87");
    co_await s.wait();

    s.text(680, 480, 5, "答　子どもの人数…24人,");
    s.text(680, 530, 5, "　　折り紙の枚数…87枚");
    co_await s.wait();

    s.text(680, 580, 3, "教科書P104 問2 をやろう。");
}

Task<> item_exercise_answer(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "教科書P104 問2解答");
    const char* const values[] = {"x枚", "？枚", "9枚", "？枚", "15枚"};
    bar_diagram(s, {482, "折り紙の枚数", "4枚", "配る枚数", "たりない枚数", "3枚", "配る枚数",
                    "余る枚数", [&](int which) { s.more(3, values[which]); }});
    s.text(120, 440, 0, "ﾀx+9/4ﾀ=ﾀx-15/3ﾀ");
    co_await s.wait();

    s.text(652, 30, 3, "(1) x+9");
    co_await s.wait();

    s.text(760, 80, 5, "1人に4枚ずつ配るときに");
    s.text(760, 130, 5, "必要な折り紙の枚数");
    co_await s.wait();

    s.text(760, 180, 3, "x-15");
    co_await s.wait();

    s.text(760, 230, 5, "1人に3枚ずつ配るときに");
    s.text(760, 280, 5, "必要な折り紙の枚数");
    co_await s.wait();

    s.text(652, 350, 3, "(2) ");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 5, "子どもの人数");
    co_await s.wait();

    s.text(760, 430, 3, "教科書P104 問3 をやろう。");
}

Task<> item_exercise3(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(40, 30, 3, "教科書P104 問3");
    // Marks 1 and 2: the ends of the two words "代金".
    bar_diagram(s, {550, "持っていたお金", "5本", "代金", "150円たりない", "4本", "代金",
                    "80円余る", [&](int which) {
                        if (which == 1) s.remember(1);
                        if (which == 3) s.remember(2);
                    }});
    co_await s.wait();

    s.text(40, 390, 3, "カーネーション1本");
    s.text(40, 440, 3, "の値段をx円とすると");
    s.at_mark(1, 3, "5x円");
    s.at_mark(2, 3, "4x円");
    co_await s.wait();

    s.text(40, 490, 0, "持っていたお金は、");
    s.text(40, 540, 0, "5本のとき…");
    s.remember(3);
    co_await s.wait();

    s.at_mark(3, 3, "(5x-150)円");
    s.text(40, 590, 0, "4本のとき…");
    s.remember(4);
    co_await s.wait();

    s.at_mark(4, 3, "(4x+80)円");
    s.text(680, 30, 3, "<解答>");
    co_await s.wait();

    s.text(680, 80, 0, "カーネーション1本");
    s.text(680, 130, 0, "の値段をx円とすると");
    s.text(680, 180, 0, "5x-150=4x+80");
    co_await s.wait();

    s.text(680, 230, 0, "5x-4x=80+150");
    s.text(680, 280, 3, "x=230");
    co_await s.wait();

    s.text(680, 330, 0, "持っていたお金は ");
    s.text(680, 380, 0, " 4*230+80");
    s.text(680, 430, 0, "=920+80");
    s.text(680, 480, 3, "=1000");
    co_await s.wait();

    // The answer is wider than the solution column: it starts further left.
    s.text(560, 530, 5, "答　カーネーション1本の値段…230円,");
    s.text(560, 580, 5, "　　持っていたお金…1000円");
}

}  // namespace

Topic topic3() {
    Topic t;
    t.goal = goal_screen(44, {"方程式を利用して、過不足に関する問題を解こう。"});
    t.bar = "①例２　②問2　③問3　④終了";
    t.entries = 4;
    t.items = {item_example, item_exercise_answer, item_exercise3};
    return t;
}

}  // namespace lk::apply
