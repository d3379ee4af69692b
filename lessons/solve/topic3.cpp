// Topic 3: solving equations by transposition. The use of property 2 is
// turned into moving a term to the other side with its sign changed, shown
// by one term travelling step by step from the right side to the left; three
// generated drills practise it, and two textbook exercises are answered.
#include "drill.h"
#include "topics.h"

namespace lk::solve {

namespace {

// The moving term: one move erases the term by drawing the same text over it
// in the background colour, draws it at its next place and waits.
void erase_term(Script& s, float x, float y, const std::string& t) { s.text(x, y, 15, t); }

Task<> item_p96q(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "教科書P96Q　を考えてみよう。");
    co_await s.wait();

    s.text(175, 80, 0, "5x=6+4x");
    s.text(40, 130, 7, "右辺からxをふくむ項をなくすために");
    s.text(94, 180, 0, "5x-4x=6+4x-4x");
    s.text(202, 230, 3, "x=6");
    co_await s.wait();

    s.text(40, 280, 3, "等式の性質2");
    s.more(0, "を使った。");
    co_await s.wait();

    // The two equations the term travels between: M is where "+4x" starts
    // in the upper one, T where "-4x=6" starts in the lower one.
    s.text(40, 350, 5, "<移項>");
    s.text(175, 400, 0, "5x=");
    s.more(0, "6");
    s.remember(1);
    s.more(0, "+4x");
    s.text(94, 500, 0, "5x");
    s.remember(2);
    s.more(0, "-4x=6");
    co_await s.wait();
    const float mx = e.remembered_x[1], my = e.remembered_y[1];
    const float tx = e.remembered_x[2], ty = e.remembered_y[2];

    s.text(mx, my, 0, "+4x");
    co_await s.wait();

    // Down twice, left five times (the sign turning at the fifth move, the
    // coefficient at the sixth, the x at the seventh), down once more and
    // onto the lower equation.
    erase_term(s, mx, my, "+4x");
    s.text(mx, 425, 0, "+4x");
    co_await s.wait();
    erase_term(s, mx, 425, "+4x");
    s.text(mx, 450, 0, "+4x");
    co_await s.wait();
    erase_term(s, mx, 450, "+4x");
    s.text(mx - 27, 450, 0, "+4x");
    co_await s.wait();
    erase_term(s, mx - 27, 450, "+4x");
    s.text(mx - 54, 450, 0, "+4x");
    co_await s.wait();
    erase_term(s, mx - 54, 450, "+4x");
    s.text(mx - 81, 450, 3, "-");
    s.more(0, "4x");
    co_await s.wait();
    erase_term(s, mx - 81, 450, "-4x");
    s.text(mx - 108, 450, 3, "-4");
    s.more(0, "x");
    co_await s.wait();
    erase_term(s, mx - 108, 450, "-4x");
    s.text(mx - 135, 450, 3, "-4x");
    co_await s.wait();
    erase_term(s, mx - 135, 450, "-4x");
    s.text(mx - 135, 475, 3, "-4x");
    co_await s.wait();
    erase_term(s, mx - 135, 475, "-4x");
    s.text(tx, ty, 3, "-4x");
    s.text(mx, my, 3, "+4x");
    co_await s.wait();

    s.text(40, 450, 5, "符号を変えて、項を他の辺に移すこと");
    co_await s.wait();

    s.text(680, 30, 0, "練習 次の方程式を解きなさい。");
    // Drill 1: x + b = d.
    float top = 90;
    float answer_y = top;
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-x-plus-b"), s);
        s.erase(680, top, 2000, 1800);
        problems::draw_line(s, 680, top, p.shown[0], "① ");
        co_await s.wait();
        problems::draw_line(s, 740, top + 50, p.worked[0]);
        co_await s.wait();
        problems::draw_line(s, 740, top + 100, p.worked[1]);
        answer_y = s.line_y();
    });
    // Drill 2 starts below the last answer of drill 1 (at 250).
    top = answer_y + 60;
    co_await s.wait();

    // Drill 2: a x = c x + d with the whole solution k.
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-ax-cx-d"), s);
        s.erase(680, top, 2000, 1800);
        problems::draw_line(s, 680, top, p.shown[0], "② ");
        co_await s.wait();
        problems::draw_line(s, 740, top + 50, p.worked[0]);
        co_await s.wait();
        problems::draw_line(s, 740, top + 100, p.worked[1]);
        co_await s.wait();
        // The fraction's numerator rises above its line: the line stands
        // 53 under the one above, so that the numerator clears its digits.
        problems::draw_line(s, 740, top + 153, p.worked[2]);
    });
    co_await s.wait();

    s.text(44, 600, 7, "教科書P97 問1 をしなさい。");
}

// Answers to P97 問1: labels at the column's x, lines 81 to the right; each
// answer comes in the same step as the next problem.
Task<> item_q1(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "問1の答");
    s.text(40, 80, 3, "(1)");
    s.text(121, 80, 0, "x+6=9");
    co_await s.wait();
    s.text(121, 130, 0, "x=9-6");
    co_await s.wait();
    s.text(121, 180, 5, "x=3");
    s.text(40, 260, 3, "(2)");
    s.text(121, 260, 0, "4x=3x-6");
    co_await s.wait();
    s.text(121, 310, 0, "4x-3x=-6");
    co_await s.wait();
    s.text(121, 360, 5, "x=-6");
    s.text(440, 30, 3, "(3)");
    s.text(521, 30, 0, "7x=5x-6");
    co_await s.wait();
    s.text(521, 80, 0, "7x-5x=-6");
    co_await s.wait();
    s.text(521, 130, 0, "2x=-6");
    co_await s.wait();
    s.text(521, 200, 0, "x=ﾀ-6/2ﾀ=");
    s.more(5, "-3");
    s.text(440, 280, 3, "(4)");
    s.text(521, 280, 0, "1-2x=11");
    co_await s.wait();
    s.text(521, 330, 0, "-2x=11-1");
    co_await s.wait();
    s.text(521, 380, 0, "-2x=10");
    co_await s.wait();
    s.text(521, 450, 0, "x=ﾀ10/-2ﾀ=");
    s.more(5, "-5");
    s.text(800, 30, 3, "(5)");
    s.text(881, 30, 0, "9x=4-7x");
    co_await s.wait();
    s.text(881, 80, 0, "9x+7x=4");
    co_await s.wait();
    s.text(881, 130, 0, "16x=4");
    co_await s.wait();
    s.text(881, 200, 0, "x=ﾀ4/16ﾀ=");
    s.remember(1);
    co_await s.wait();
    s.at_mark(1, 5, "ﾀ1/4ﾀ");
    s.text(800, 280, 3, "(6)");
    s.text(881, 280, 0, "-2x=3-x");
    co_await s.wait();
    s.text(881, 330, 0, "-2x+x=3");
    co_await s.wait();
    s.text(881, 380, 0, "-x=3");
    co_await s.wait();
    s.text(881, 450, 0, "x=ﾀ3/-1ﾀ=");
    s.more(5, "-3");
}

// Example 2: x on both sides, a x + b = c x + d, then the solving procedure.
Task<> item_example2(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 0, "例2 次の方程式を解きなさい。");
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-both-sides"), s);
        s.erase(40, 90, 2000, 1800);
        problems::draw_line(s, 100, 90, p.shown[0]);
        co_await s.wait();
        problems::draw_line(s, 100, 160, p.worked[0]);
        co_await s.wait();
        problems::draw_line(s, 100, 230, p.worked[1]);
        co_await s.wait();
        problems::draw_line(s, 100, 300, p.worked[2]);
    });
    co_await s.wait();

    s.text(600, 30, 5, "   <方程式を解く手順>");
    s.text(660, 90, 3, "① xをふくむ項を左辺に、");
    s.text(714, 140, 3, "数の項を右辺に移項する。");
    s.text(660, 210, 3, "② ax=b の形にする。");
    s.text(660, 280, 3, "③ 両辺をxの係数aでわる。");
    co_await s.wait();

    s.text(44, 600, 7, "教科書P97 問2 をしなさい。");
}

// Answers to P97 問2, laid out like those of 問1.
Task<> item_q2(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "問2 解答");
    s.text(40, 80, 3, "(1)");
    s.text(121, 80, 0, "5x-4=2x+8");
    co_await s.wait();
    s.text(121, 130, 0, "5x-2x=8+4");
    co_await s.wait();
    s.text(121, 180, 0, "3x=12");
    co_await s.wait();
    s.text(121, 250, 0, "x=ﾀ12/3ﾀ=");
    s.more(5, "4");
    s.text(40, 330, 3, "(2)");
    s.text(121, 330, 0, "2x+7=19-4x");
    co_await s.wait();
    s.text(121, 380, 0, "2x+4x=19-7");
    co_await s.wait();
    s.text(121, 430, 0, "6x=12");
    co_await s.wait();
    s.text(121, 500, 0, "x=ﾀ12/6ﾀ=");
    s.more(5, "2");
    s.text(440, 30, 3, "(3)");
    s.text(521, 30, 0, "9-x=2+6x");
    co_await s.wait();
    s.text(521, 80, 0, "-x-6x=2-9");
    co_await s.wait();
    s.text(521, 130, 0, "-7x=-7");
    co_await s.wait();
    s.text(521, 200, 0, "x=ﾀ-7/-7ﾀ=");
    s.more(5, "1");
    s.text(440, 280, 3, "(4)");
    s.text(521, 280, 0, "8x-10=9x-4");
    co_await s.wait();
    s.text(521, 330, 0, "8x-9x=-4+10");
    co_await s.wait();
    s.text(521, 380, 0, "-x=6");
    co_await s.wait();
    s.text(521, 450, 0, "x=ﾀ6/-1ﾀ=");
    s.more(5, "-6");
    s.text(840, 30, 3, "(5)");
    s.text(921, 30, 0, "-7x+1=-x+1");
    co_await s.wait();
    s.text(921, 80, 0, "-7x+x=1-1");
    co_await s.wait();
    s.text(921, 130, 0, "-6x=0");
    co_await s.wait();
    s.text(921, 200, 0, "x=ﾀ0/-6ﾀ=");
    s.more(5, "0");
    s.text(840, 280, 3, "(6)");
    s.text(921, 280, 0, "5-x=x+9");
    co_await s.wait();
    s.text(921, 330, 0, "-x-x=9-5");
    co_await s.wait();
    s.text(921, 380, 0, "-2x=4");
    co_await s.wait();
    s.text(921, 450, 0, "x=ﾀ4/-2ﾀ=");
    s.more(5, "-2");
}

}  // namespace

Topic topic3() {
    Topic t;
    t.goal = goal_screen(76, {"移項を使って、手ぎわよく方程式を解こう。"});
    t.bar = "①P96Q　②問１　③例２　④問2　⑤終了";
    t.entries = 5;
    t.items = {item_p96q, item_q1, item_example2, item_q2};
    return t;
}

}  // namespace lk::solve
