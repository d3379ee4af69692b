// Topic 5: the problems of page 100. Each item is one finished answer sheet,
// drawn at once under a heading of two cells (the page and the problem
// number); there are no waits, the item bar follows the sheet.
#include "topics.h"

namespace lk::solve {

namespace {

// Erases the canvas and draws the heading: the title cell and, 30 to the
// right of it, the number cell of the problem.
void sheet(Script& s, const std::string& number) {
    s.erase(0, 0, 1760, 1800);
    s.cell(40, 30, {.width = 396, .height = 48, .frame = 3, .fill = 13, .colour = 0},
           "P100(基本の問題)");
    s.cell(s.end_x() + 30, 30, {.width = 44, .height = 44, .frame = 4, .fill = 3, .colour = 13},
           number);
}

// Problem 1: which equation has the solution x = 6.
Task<> item_problem1(Script& s) {
    sheet(s, "1");

    s.text(40, 90, 7, "ア x=6を代入して");
    s.text(94, 140, 0, "左辺=6-6=0");
    s.text(94, 190, 0, "右辺=1");
    s.text(40, 240, 3, "左辺≠右辺 だから　解ではない。");

    s.text(40, 310, 7, "イ x=6を代入して");
    s.text(94, 370, 0, "左辺=ﾀ6/6ﾀ=1");
    s.text(94, 430, 0, "右辺=1");
    s.text(40, 480, 3, "左辺=右辺 だから　解である。");

    s.text(600, 30, 7, "ウ x=6を代入して");
    s.text(654, 100, 0, "左辺=2*6+3=12+3=15");
    s.text(654, 170, 0, "右辺=3*6=18");
    s.text(600, 220, 3, "左辺≠右辺 だから　解ではない。");

    s.text(600, 290, 5, "答　イ");
    co_return;
}

// Problem 2: four one-step equations, each with the property it uses. The
// label stands at the column's x, the lines 54 to the right of it.
Task<> item_problem2(Script& s) {
    sheet(s, "2");

    s.text(40, 90, 3, "(1)");
    s.text(94, 90, 0, " x+6=2");
    s.text(94, 140, 0, "x+6-6=2-6");
    s.text(94, 190, 5, " x=-4 等式の性質2");

    s.text(40, 260, 3, "(2)");
    s.text(94, 260, 0, " x-8=-3");
    s.text(94, 310, 0, "x-8+8=-3+8");
    s.text(94, 360, 5, " x=5 等式の性質1");

    s.text(640, 100, 3, "(3)");
    s.text(694, 100, 0, " 4x=24");
    s.text(694, 170, 0, "ﾀ4x/4ﾀ=ﾀ24/4ﾀ");
    s.text(694, 230, 5, " x=6 等式の性質4");

    s.text(640, 320, 3, "(4)");
    s.text(694, 320, 0, " ﾀ1/3ﾀx=-2");
    s.text(694, 390, 0, "ﾀ1/3ﾀx*3=-2*3");
    s.text(694, 460, 5, " x=-6 等式の性質3");
    co_return;
}

// Problem 3: six equations solved by transposition. The label stands at the
// column's x, the lines 81 to the right; the last line is continued by the
// answer.
Task<> item_problem3(Script& s) {
    sheet(s, "3");

    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, "2x-3=7");
    s.text(121, 140, 0, "2x=7+3");
    s.text(121, 190, 0, "2x=10");
    s.text(121, 240, 0, "x=");
    s.more(5, "5");

    s.text(40, 320, 3, "(2)");
    s.text(121, 320, 0, "3x=28+7x");
    s.text(121, 370, 0, "3x-7x=28");
    s.text(121, 420, 0, "-4x=28");
    s.text(121, 490, 0, "x=ﾀ28/-4ﾀ=");
    s.more(5, "-7");

    s.text(400, 90, 3, "(3)");
    s.text(481, 90, 0, "5x-19=-4x+8");
    s.text(481, 140, 0, "5x+4x=8+19");
    s.text(481, 190, 0, "9x=27");
    s.text(481, 260, 0, "x=ﾀ27/9ﾀ=");
    s.more(5, "3");

    s.text(400, 340, 3, "(4)");
    s.text(481, 340, 0, "2x+12=7-3x");
    s.text(481, 390, 0, "2x+3x=7-12");
    s.text(481, 440, 0, "5x=-5");
    s.text(481, 510, 0, "x=ﾀ-5/5ﾀ=");
    s.more(5, "-1");

    s.text(840, 80, 3, "(5)");
    s.text(921, 80, 0, "7x-3=4x+9");
    s.text(921, 130, 0, "7x-4x=9+3");
    s.text(921, 180, 0, "3x=12");
    s.text(921, 250, 0, "x=ﾀ12/3ﾀ=");
    s.more(5, "4");

    s.text(840, 330, 3, "(6)");
    s.text(921, 330, 0, "5-x=5x+8");
    s.text(921, 380, 0, "-x-5x=8-5");
    s.text(921, 430, 0, "-6x=3");
    s.text(921, 500, 0, "x=ﾀ3/-6ﾀ=");
    s.more(5, "-ﾀ1/2ﾀ");
    co_return;
}

}  // namespace

Topic topic5() {
    Topic t;
    t.bar = "①　②　③　④終了";
    t.entries = 4;
    t.items = {item_problem1, item_problem2, item_problem3};
    return t;
}

}  // namespace lk::solve
