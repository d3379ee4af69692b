// Topic 8: answer sheets for the chapter's second set of review problems.
// The first sheet pauses between its two parts; the others are drawn at
// once. The fourth adds the circular course on which two people walk in
// opposite directions. No goal screen.
#include <cmath>
#include <string>

#include "topics.h"

namespace lk::apply {

namespace {

// Clears the canvas and draws the header cell at x with the problem's number
// in the badge 30 to the right of it.
void header(Script& s, float x, const std::string& number) {
    s.erase(0, 0, 1760, 1800);
    s.cell(x, 30, CellStyle{.width = 360, .height = 48, .frame = 3, .fill = 13, .colour = 0},
           "P111(章の問題B)");
    s.cell(x + 360 + 30, 30,
           CellStyle{.width = 44, .height = 45, .frame = 4, .fill = 3, .colour = 13}, number);
}

Task<> item_problem_1(Script& s) {
    header(s, 40, "1");
    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, "1.3(2x-5)=0.9x+2");
    s.text(121, 140, 0, "10*1.3(2x-5)=10*(0.9x+2)");
    s.text(121, 190, 0, "26x-65=9x+20");
    s.text(121, 240, 0, "26x-9x=20+65");
    s.text(121, 290, 0, "17x=85");
    s.text(121, 340, 0, "x=");
    s.more(5, "5");
    co_await s.wait();

    s.text(680, 60, 3, "(2)");
    s.text(761, 60, 0, "ﾀ2x+4/3ﾀ=ﾀ3x+2/4ﾀ");
    s.text(761, 130, 0, "12*ﾀ2x+4/3ﾀ=12*ﾀ3x+2/4ﾀ");
    s.text(761, 190, 0, "4(2x+4)=3(3x+2)");
    s.text(761, 240, 0, "8x+16=9x+6");
    s.text(761, 290, 0, "8x-9x=6-16");
    s.text(761, 340, 0, "-x=-10");
    s.text(761, 390, 0, "x=");
    s.more(5, "10");
}

Task<> item_problem_2(Script& s) {
    header(s, 40, "2");
    s.text(40, 90, 3, "4-5(a-2x)=-a+2x　に x=-3 を代入して");
    s.text(121, 150, 0, "4-5{a-2*(-3)}=-a+2*(-3)");
    s.text(121, 210, 0, "4-5(a+6)=-a-6");
    s.text(121, 270, 0, "4-5a-30=-a-6");
    s.text(121, 330, 0, "-5a+a=-6-4+30");
    s.text(121, 390, 0, "-4a=20");
    s.text(121, 450, 0, "a=");
    s.more(5, "-5");
    co_return;
}

// The problem's own operation is written with the full-width "＊", a
// character of the text; "*" would be typeset as a multiplication sign.
Task<> item_problem_3(Script& s) {
    header(s, 40, "3");
    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, " 2＊(-3)");
    s.text(121, 140, 0, "=2+2*(-3)-(-3)");
    s.text(121, 190, 0, "=2-6+3");
    s.text(121, 240, 0, "=");
    s.more(5, "-1");

    s.text(40, 320, 3, "(2)");
    s.text(121, 320, 0, "3＊x=11");
    s.text(121, 370, 0, "3+3*x-x=11");
    s.text(121, 420, 0, "3+3x-x=11");
    s.text(121, 470, 0, "3x-x=11-3");
    s.text(121, 520, 0, "2x=8");
    s.text(121, 570, 0, "x=");
    s.more(5, "4");
    co_return;
}

// A point of the course: radius r around the centre at the mathematical
// angle theta (anticlockwise from the right, y up).
Point on_course(float cx, float cy, float r, float theta) {
    return Point{cx + r * std::cos(theta), cy - r * std::sin(theta)};
}

Task<> item_problem_4(Script& s) {
    header(s, 40, "4");

    // The course on its grid: centre at grid point (3, 3), counted from the
    // grid's bottom-left corner (y 360) as the grid numbers its rows; the
    // track of radius 120 and, just outside it, the two walkers' arcs of
    // radius 140. Arc ends are fractions of a turn clockwise from the right,
    // 1 - θ/2π: the meeting point P2 (θ = 0) is 0 and the start P1
    // (θ = π/2) is 0.75.
    s.grid(880, 80, 40, 7, 7, 15);
    const float cx = 880 + 40 * 3, cy = 80 + 40 * 7 - 40 * 3;
    const Point p1 = on_course(cx, cy, 140, kPi / 2);
    const Point p2 = on_course(cx, cy, 140, 0);
    const Point p3 = on_course(cx, cy, 140, 3 * kPi / 4);
    const Point p4 = on_course(cx, cy, 140, kPi / 4);
    s.pen(5);
    s.circle(cx, cy, 120, 0);
    s.arc(cx, cy, 140, 3, 0, 0.75f);
    s.arc(cx, cy, 140, 7, 0.75f, 0);
    // Its foot clear of the disc that marks the point.
    s.text(p1.x - 57, p1.y - 56, 5, "出発点");
    s.disc(p1.x, p1.y, 7, 5);
    s.text(cx - 57, cy - 24, 5, "出会う地点");
    s.disc(p2.x, p2.y, 7, 5);
    s.text(p3.x - 20, p3.y - 46, 3, "A");
    s.text(p4.x + 10, p4.y - 46, 7, "B");

    s.text(800, 410, 0, "<反対方向で出会うとき>");
    s.text(840, 460, 3, "2人の進んだ距離の和が");
    s.text(840, 510, 3, "周囲の長さになる。");

    s.text(40, 90, 0, "2人がx分後に、最初に出会うとすると");
    s.text(40, 150, 3, "x分=ﾀx/60ﾀ時間 だから");
    s.text(40, 210, 0, "Aさんの進んだ距離…");
    s.more(3, "15*ﾀx/60ﾀ (km)");
    s.text(40, 280, 0, "Bさんの進んだ距離…");
    s.more(3, "10*ﾀx/60ﾀ (km)");
    s.text(40, 350, 0, "15*ﾀx/60ﾀ+10*ﾀx/60ﾀ=5");
    s.text(40, 420, 0, "60*15*ﾀx/60ﾀ+60*10*ﾀx/60ﾀ=60*5");
    s.text(40, 480, 0, "15x+10x=300");
    s.text(40, 530, 0, "25x=300");
    s.text(40, 580, 0, "x=");
    s.more(3, "12");
    s.text(s.end_x() + 100, 580, 5, "答　12分後");
    co_return;
}

Task<> item_problem_5(Script& s) {
    header(s, 121, "5");
    s.text(40, 90, 7, "(1)");
    s.text(121, 90, 3, "いまからx分後に4倍になるとすると");
    s.text(121, 140, 0, "Aの水の量は、42+3x (L)");
    s.text(121, 190, 0, "Bの水の量は、15+3x (L)　だから");
    s.text(121, 240, 0, "42+3x=4(15+3x)");
    s.text(121, 290, 0, "42+3x=60+12x");
    s.text(121, 340, 0, "3x-12x=60-42");
    s.text(121, 390, 0, "-9x=18");
    s.text(121, 440, 0, "x=");
    s.more(3, "-2");
    s.text(40, 500, 7, "(2)");
    s.text(121, 500, 3, "いまから-2分後だから");
    s.text(121, 550, 5, "答　いまから2分前に4倍になっていた");
    co_return;
}

Task<> item_problem_6(Script& s) {
    header(s, 80, "6");
    s.text(80, 90, 3, "移したみかんの個数をx個とすると");
    s.text(80, 140, 0, "Aのかごは、28-x (個)");
    s.text(80, 190, 0, "Bのかごは、28+x (個)　だから");
    s.text(80, 240, 0, "(28-x):(28+x)=3:4");
    s.text(80, 290, 0, "4(28-x)=3(28+x)");
    s.text(80, 340, 0, "112-4x=84+3x");
    s.text(80, 390, 0, "-4x-3x=84-112");
    s.text(80, 440, 0, "-7x=-28");
    s.text(80, 490, 0, "x=");
    s.more(3, "4");
    s.text(80, 540, 5, "答　4個");
    co_return;
}

}  // namespace

Topic topic8() {
    Topic t;
    t.bar = "P111(章の問題B)　①～⑥解答　　　⑦終了";
    t.entries = 7;
    t.items = {item_problem_1, item_problem_2, item_problem_3,
               item_problem_4, item_problem_5, item_problem_6};
    return t;
}

}  // namespace lk::apply
