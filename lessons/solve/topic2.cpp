// Topic 2: properties of equalities. Four tasks on an animated balance scale
// (adding, subtracting, multiplying and dividing both sides keeps the
// balance), what solving an equation means, a summary of the five
// properties, a drill of one-step equations in four rotating types and the
// answers to textbook problems.
#include <cmath>

#include "drill.h"
#include "topics.h"

namespace lk::solve {

namespace {

// The balance scale: pivot, half-beam length and tilt (negative raises the
// left pan), with the beam ends L and Rt and the plates' left ends P and Q
// of the last drawing, which the pan contents are placed from.
struct Scale {
    float cx = 0, cy = 0;
    float r = 150;
    float theta = 0;
    float lx = 0, ly = 0, rx = 0, ry = 0;
    float px = 0, py = 0, qx = 0, qy = 0;
};

// Draws the scale at tilt theta over its erased area. The area's top stays
// just under the task line above the scale and just over the highest weight
// of a tilted pan (cy - 220).
void draw_scale(Script& s, Scale& b, float theta) {
    b.theta = theta;
    s.box(b.cx - 390, b.cy - 223, b.cx + 380, b.cy + 100, 15, 15);
    b.lx = b.cx + b.r * std::cos(kPi + theta);
    b.ly = b.cy - b.r * std::sin(kPi + theta);
    b.rx = b.cx + b.r * std::cos(theta);
    b.ry = b.cy - b.r * std::sin(theta);
    b.px = b.lx - 120;
    b.py = b.ly - 30;
    b.qx = b.rx - 120;
    b.qy = b.ry - 30;
    s.pen(12);
    s.line(b.lx, b.ly, b.rx, b.ry, 4);
    s.line(b.px, b.py, b.lx + 120, b.py, 7);
    s.line(b.qx, b.qy, b.rx + 120, b.qy, 7);
    s.line(b.lx, b.ly, b.lx, b.py, 7);
    s.line(b.rx, b.ry, b.rx, b.qy, 7);
    s.pen(3);
    const float foot = b.cy + b.r * std::sin(kPi / 12);
    s.polygon({{b.cx, b.cy}, {b.cx - 30, foot}, {b.cx + 30, foot}}, 5, 4);
}

// The pieces on the pans.
void x_box(Script& s, float x, float y, float width, const std::string& label) {
    s.cell(x, y, {.width = width, .height = 100, .frame = 7, .fill = 8, .colour = 13}, label);
}
void unit(Script& s, float x, float y) {
    s.cell(x, y, {.width = 30, .height = 50, .frame = 7, .fill = 10, .colour = 13}, "1");
}
void next_unit(Script& s) {
    s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 10, .colour = 13}, "1");
}
void raised_unit(Script& s, float x, float y) {
    s.cell(x, y, {.width = 30, .height = 50, .frame = 11, .fill = 10, .colour = 13}, "1");
}
void empty_place(Script& s, float x, float y, float width, float height) {
    s.cell(x, y, {.width = width, .height = height, .frame = 7, .fill = 15, .colour = 13}, "");
}
void marked_unit(Script& s, float x, float y) {
    s.cell(x, y, {.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 5}, "1");
}
// A row of `count` unit weights side by side from (x, y).
void unit_row(Script& s, float x, float y, int count) {
    unit(s, x, y);
    for (int i = 2; i <= count; ++i) next_unit(s);
}

// x+3=10: the box and three empty places on the left, ten weights on the right.
void set_a(Script& s, const Scale& b) {
    x_box(s, b.px, b.py - 100, 90, "x");
    empty_place(s, b.lx + 30, b.py - 50, 30, 50);
    s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 13}, "");
    s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 13}, "");
    for (int j = 1; j <= 2; ++j) unit_row(s, b.qx + 45, b.qy - 50 * j, 5);
}
// x-2=5: a wider box with two marked units inside its right end; five weights.
void set_b(Script& s, const Scale& b) {
    x_box(s, b.px, b.py - 100, 120, "x");
    marked_unit(s, b.px + 90, b.py - 50);
    marked_unit(s, b.px + 90, b.py - 100);
    unit_row(s, b.qx + 30, b.qy - 50, 5);
}
// 2x=14: one box on the left, fourteen weights on the right.
void set_c(Script& s, const Scale& b) {
    x_box(s, b.px, b.py - 100, 90, "x");
    for (int j = 1; j <= 2; ++j) unit_row(s, b.qx + 15, b.qy - 50 * j, 7);
}
// x/3=5 with n rows of five weights: three x/3 boxes on the left.
void set_d(Script& s, const Scale& b, int n) {
    x_box(s, b.px, b.py - 100, 80, "ﾀx/3ﾀ");
    s.next_cell({.width = 80, .height = 100, .frame = 7, .fill = 8, .colour = 13}, "ﾀx/3ﾀ");
    s.next_cell({.width = 80, .height = 100, .frame = 7, .fill = 8, .colour = 13}, "ﾀx/3ﾀ");
    for (int j = 1; j <= n; ++j) unit_row(s, b.qx + 45, b.qy - 50 * j, 5);
}

// Tilts the scale in nine frames from `start`, by a ninety-sixth of pi per
// frame in the direction `sign`, redrawing the pans' contents on every frame.
// The step is computed as k·pi/96 with the same pi as the start, so a return
// from ±pi/12 ends exactly level.
Task<> tilt(Script& s, Scale& b, float start, float sign,
          const std::function<void(const Scale&)>& contents) {
    for (int k = 0; k <= 8; ++k) {
        draw_scale(s, b, start + sign * (static_cast<float>(k) * kPi / 96));
        contents(b);
        co_await s.delay(30);
    }
}

Task<> item_property2(Script& s) {
    s.erase(0, 0, 1320, 1300);
    Scale b{.cx = 880, .cy = 450};
    const float raised_y = b.cy - 300;

    s.text(40, 30, 0, "課題1　緑の箱と3g,10gのおもりを。てんびんにのせると");
    s.text(121, 80, 0, "つりあいました。緑の箱の重さは何gですか。");
    draw_scale(s, b, 0);
    set_a(s, b);
    unit_row(s, b.lx + 30, b.py - 50, 3);
    x_box(s, b.px, b.py - 100, 90, "");
    co_await s.wait();

    s.text(40, 130, 3, "<解答>");
    s.text(40, 180, 0, "緑の箱の重さをxgとすると、");
    s.text(94, 230, 0, "x+3=10");
    x_box(s, b.px, b.py - 100, 90, "x");
    co_await s.wait();

    // The three weights are taken off the left pan.
    set_a(s, b);
    raised_unit(s, b.lx + 30, raised_y);
    s.next_cell({.width = 30, .height = 50, .frame = 11, .fill = 10, .colour = 13}, "1");
    s.next_cell({.width = 30, .height = 50, .frame = 11, .fill = 10, .colour = 13}, "1");
    co_await s.wait();

    co_await tilt(s, b, 0, -1, [&](const Scale& at) { set_a(s, at); });
    s.text(40, 280, 0, "x+3-3<10");
    co_await s.wait();

    for (int i = 1; i <= 3; ++i) {
        const float x = b.qx + 45 + 30 * (i - 1);
        empty_place(s, x, b.qy - 100, 30, 50);
        raised_unit(s, x, raised_y);
        co_await s.wait();
    }

    co_await tilt(s, b, -kPi / 12, 1, [&](const Scale& at) {
        set_a(s, at);
        empty_place(s, at.qx + 45, at.qy - 100, 30, 50);
        s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 13}, "");
        s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 13}, "");
    });
    s.text(40, 330, 3, "x+3-3=10-3");
    co_await s.wait();

    s.text(40, 380, 3, "    x=7");
    co_await s.wait();

    s.text(40, 530, 5, "2 等式の両辺から同じ数をひいても、等式は成り立つ。");
    s.text(94, 580, 3, "A=B ならば A-C=B-C");
}

Task<> item_solving(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 5, "方程式を解く");
    s.more(0, "…方程式の解を求めること");
    s.text(40, 100, 0, "例　次の");
    s.more(3, "方程式を解き");
    s.more(0, "なさい。");
    s.text(158, 150, 0, "x+3=10");
    co_await s.wait();

    s.text(185, 270, 5, "x=7");
    co_await s.wait();

    s.text(104, 210, 0, "x+3");
    s.more(3, "-3");
    s.more(0, "=10");
    s.more(3, "-3");
    co_await s.wait();

    s.text(40, 330, 3, "方程式を解くとは、式を変形して");
    s.text(40, 380, 5, "x=□");
    s.more(0, "の形にすること。");
    co_await s.wait();

    s.text(40, 430, 0, "変形に使うのが");
    s.more(5, "等式の性質");
    s.text(40, 520, 5, "2 等式の両辺から同じ数をひいても、等式は成り立つ。");
    s.text(94, 570, 3, "A=B ならば A-C=B-C");
}

Task<> item_property1(Script& s) {
    s.erase(0, 0, 1320, 1300);
    Scale b{.cx = 840, .cy = 300};

    s.text(40, 30, 0, "課題2　xの値を求めなさい。");
    draw_scale(s, b, 0);
    set_b(s, b);
    s.text(94, 80, 0, "x-2=5");
    co_await s.wait();

    // Two weights are added to the left pan, then two to the right.
    const auto added_left = [&](const Scale& at) {
        unit(s, at.px + 210, at.py - 50);
        unit(s, at.px + 210, at.py - 100);
    };
    const auto added_right = [&](const Scale& at) {
        for (int j = 1; j <= 2; ++j) unit(s, at.qx + 210, at.qy - 50 * j);
    };
    added_left(b);
    co_await s.wait();

    co_await tilt(s, b, 0, 1, [&](const Scale& at) {
        set_b(s, at);
        added_left(at);
    });
    s.text(40, 130, 0, "x-2+2>5");
    co_await s.wait();

    for (int j = 1; j <= 2; ++j) {
        unit(s, b.qx + 210, b.qy - 50 * j);
        co_await s.wait();
    }

    co_await tilt(s, b, kPi / 12, -1, [&](const Scale& at) {
        set_b(s, at);
        added_left(at);
        added_right(at);
    });
    s.text(40, 180, 3, "x-2+2=5+2");
    co_await s.wait();

    s.text(40, 230, 5, "    x=7");
    co_await s.wait();

    s.text(40, 380, 5, "1 等式の両辺に同じ数をたしても、等式は成り立つ。");
    s.text(94, 430, 3, "A=B ならば A+C=B+C");
}

Task<> item_property4(Script& s) {
    s.erase(0, 0, 1320, 1300);
    Scale b{.cx = 840, .cy = 300};

    s.text(40, 30, 0, "課題3　xの値を求めなさい。");
    draw_scale(s, b, 0);
    set_c(s, b);
    x_box(s, b.px + 90, b.py - 100, 90, "x");
    s.text(94, 80, 0, "2x=14");
    co_await s.wait();

    // Halving both sides: the second box goes, then half the weights.
    empty_place(s, b.px + 90, b.py - 100, 90, 100);
    co_await s.wait();

    const auto second_box_gone = [&](const Scale& at) {
        set_c(s, at);
        empty_place(s, at.px + 90, at.py - 100, 90, 100);
    };
    co_await tilt(s, b, 0, -1, second_box_gone);
    s.text(67, 150, 0, "ﾀ2x/2ﾀ<14");
    co_await s.wait();

    const auto upper_row_gone = [&](const Scale& at) {
        empty_place(s, at.qx + 15, at.qy - 100, 30, 50);
        for (int i = 2; i <= 7; ++i)
            s.next_cell({.width = 30, .height = 50, .frame = 7, .fill = 15, .colour = 13}, "");
    };
    upper_row_gone(b);
    co_await s.wait();

    co_await tilt(s, b, -kPi / 12, 1, [&](const Scale& at) {
        second_box_gone(at);
        upper_row_gone(at);
    });
    s.text(67, 220, 3, "ﾀ2x/2ﾀ=ﾀ14/2ﾀ");
    co_await s.wait();

    s.text(40, 280, 5, "   x=7");
    co_await s.wait();

    s.text(40, 430, 5, "4 等式の両辺を同じ数でわっても、等式は成り立つ。");
    s.text(94, 500, 3, "A=B ならば ﾀA/Cﾀ=ﾀB/Cﾀ");
}

Task<> item_property3(Script& s) {
    s.erase(0, 0, 1320, 1300);
    Scale b{.cx = 840, .cy = 300};

    s.text(40, 30, 0, "課題4　xの値を求めなさい。");
    draw_scale(s, b, 0);
    x_box(s, b.px, b.py - 100, 80, "ﾀx/3ﾀ");
    s.next_cell({.width = 80, .height = 100, .frame = 7, .fill = 15, .colour = 13}, "");
    s.next_cell({.width = 80, .height = 100, .frame = 7, .fill = 15, .colour = 13}, "");
    unit_row(s, b.qx + 45, b.qy - 50, 5);
    s.text(94, 120, 0, "ﾀx/3ﾀ=5");
    co_await s.wait();

    set_d(s, b, 1);
    co_await s.wait();

    co_await tilt(s, b, 0, 1, [&](const Scale& at) { set_d(s, at, 1); });
    s.text(67, 200, 0, "ﾀx/3ﾀ*3>5");
    co_await s.wait();

    set_d(s, b, 3);
    co_await s.wait();

    co_await tilt(s, b, kPi / 12, -1, [&](const Scale& at) { set_d(s, at, 3); });
    s.text(67, 280, 0, "ﾀx/3ﾀ*3=5*3");
    co_await s.wait();

    s.text(67, 330, 5, "  x=15");
    co_await s.wait();

    s.text(40, 480, 5, "3 等式の両辺に同じ数をかけても、等式は成り立つ。");
    s.text(94, 530, 3, "A=B ならば A*C=B*C");
}

Task<> item_summary(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(40, 30, 5, "<等式の性質>");
    s.text(40, 90, 3, "1 等式の両辺に同じ数をたしても、等式は成り立つ。");
    s.text(94, 140, 0, "A=B ならば A+C=B+C");
    s.text(40, 200, 3, "2 等式の両辺から同じ数をひいても、等式は成り立つ。");
    s.text(94, 250, 0, "A=B ならば A-C=B-C");
    s.text(40, 310, 3, "3 等式の両辺に同じ数をかけても、等式は成り立つ。");
    s.text(94, 360, 0, "A=B ならば A*C=B*C");
    s.text(40, 420, 3, "4 等式の両辺を同じ数でわっても、等式は成り立つ。");
    s.text(94, 490, 0, "A=B ならば ﾀA/Cﾀ=ﾀB/Cﾀ");
    s.text(40, 550, 3, "5 等式の両辺を入れかえても、等式は成り立つ。");
    s.text(94, 600, 0, "A=B ならば B=A");
    co_return;
}

// One one-step equation of the given type (1 x+a=b, 2 x-a=b, 3 (1/c)x=d,
// 4 cx=cd): the equation, the property applied to both sides, the answer.
Task<> one_step_problem(Script& s, int type) {
    const problems::Problem p = problems::generate(problems::kind("solve-one-step"), s, type);

    erase_drill_area(s, 0, 90);
    problems::draw_line(s, 127, 110, p.shown[0]);
    co_await s.wait();
    problems::draw_line(s, 100, 190, p.worked[0]);
    co_await s.wait();
    problems::draw_line(s, 154, 270, p.worked[1]);
}

Task<> item_practice(Script& s) {
    s.erase(0, 0, 1320, 1300);
    s.text(40, 30, 0, "練習　次の方程式を解きなさい。");
    co_await typed_drill(s, 4, [&](int type) -> Task<> { co_await one_step_problem(s, type); });
    co_await s.wait();
    s.text(40, 340, 7, "教科書P95問3　をやろう。");
    co_await s.wait();

    s.text(40, 390, 3, "(1)");
    s.more(0, "x+4=12");
    co_await s.wait();

    s.text(73, 440, 0, "x+4-4=12-4");
    s.text(100, 490, 5, "   x=8");
    s.text(640, 30, 3, "(2)");
    s.text(721, 30, 0, "10+x=7");
    co_await s.wait();

    s.text(721, 80, 0, "10+x-10=7-10");
    s.text(721, 130, 5, "   x=-3");
    s.text(640, 190, 3, "(3)");
    s.text(721, 190, 0, "y-7=6");
    co_await s.wait();

    s.text(721, 240, 0, "y-7+7=6+7");
    s.text(721, 290, 5, "  y=13");
    co_await s.wait();

    s.text(640, 350, 3, "(4)");
    s.text(721, 350, 0, "x-3=-5");
    co_await s.wait();

    s.text(721, 400, 0, "x-3+3=-5+3");
    s.text(721, 450, 5, "  x=-2");
    co_await s.wait();

    s.text(640, 500, 7, "教科書P95 問4,問5　をやろう。");
}

Task<> item_problem4(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(40, 30, 3, "問4 解答");
    s.text(40, 80, 3, "(1)");
    s.text(121, 80, 0, "2x=-16");
    co_await s.wait();

    s.text(121, 140, 0, "ﾀ2x/2ﾀ=-ﾀ16/2ﾀ");
    s.text(121, 200, 5, " x=-8");
    s.text(40, 250, 3, "(2)");
    s.text(148, 250, 0, "-6x=3");
    co_await s.wait();

    s.text(121, 320, 0, "ﾀ-6x/-6ﾀ=ﾀ3/-6ﾀ");
    s.text(121, 390, 5, "   x=-ﾀ1/2ﾀ");
    s.text(40, 460, 3, "(3)");
    s.text(175, 460, 0, "ﾀ1/4ﾀx=5");
    co_await s.wait();

    s.text(121, 530, 0, "ﾀ1/4ﾀx*4=5*4");
    s.text(121, 590, 5, "   x=20");
    s.text(560, 30, 3, "(4)");
    s.text(668, 30, 0, " ﾀ2/3ﾀx=6");
    co_await s.wait();

    s.text(641, 100, 0, "ﾀ2/3ﾀx*ﾀ3/2ﾀ=6*ﾀ3/2ﾀ");
    s.text(641, 160, 5, "   x=9");
    co_await s.wait();

    s.text(560, 260, 3, "問5 解答");
    s.text(641, 310, 0, "3x=6");
    co_await s.wait();

    s.text(641, 380, 0, "ﾀ3x/3ﾀ=ﾀ6/3ﾀ");
    s.text(641, 450, 5, " x=2");
}

}  // namespace

Topic topic2() {
    Topic t;
    t.goal = goal_screen(44, {"方程式を、等式の性質を使って解こう。"});
    t.bar = "①性質2　②解く　③性１　④性４　⑤性３　⑥まとめ　⑦練習　⑧問４　⑨終了";
    t.entries = 9;
    t.items = {item_property2, item_solving, item_property1, item_property4,
               item_property3, item_summary, item_practice, item_problem4};
    return t;
}

}  // namespace lk::solve
