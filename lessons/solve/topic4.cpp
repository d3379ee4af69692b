// Topic 4: equations of various forms. Equations with parentheses, with
// decimal coefficients and with fractional coefficients, each introduced by a
// generated drill and followed by worked textbook problems, and the notion of
// a linear equation in a given letter.
#include "drill.h"
#include "topics.h"

namespace lk::solve {

namespace {

// Example 1: a x + p (q x + t) = d, with parentheses to remove.
Task<> item_example1(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例1 次の方程式を解きなさい。");
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-parentheses"), s);
        s.erase(40, 90, 2000, 1800);
        problems::draw_line(s, 100, 90, p.shown[0]);
        for (int i = 0; i < 4; ++i) {
            co_await s.wait();
            problems::draw_line(s, 100, 160 + 70 * i, p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(40, 430, 3, "かっこをはずしてから解く");
    co_await s.wait();

    s.text(44, 600, 7, "教科書P98 問1 をしなさい。");
    co_await s.wait();

    s.text(480, 80, 3, "(1)");
    s.text(561, 80, 0, "5(x+1)-2x=11");
    co_await s.wait();
    s.text(561, 130, 0, "5x+5-2x=11");
    co_await s.wait();
    s.text(561, 180, 0, "5x-2x=11-5");
    co_await s.wait();
    s.text(561, 230, 0, "3x=6");
    co_await s.wait();
    s.text(561, 300, 0, "x=ﾀ6/3ﾀ=");
    s.more(5, "2");
    s.text(480, 380, 3, "(2)");
    s.text(561, 380, 0, "1+2(x-4)=3");
    co_await s.wait();
    s.text(561, 430, 0, "1+2x-8=3");
    co_await s.wait();
    s.text(561, 480, 0, "2x=3-1+8");
    co_await s.wait();
    s.text(561, 530, 0, "2x=10");
    co_await s.wait();
    // One unit higher than the column's step would put it: the
    // denominator's foot stays clear of the bottom band.
    s.text(561, 599, 0, "x=ﾀ10/2ﾀ=");
    s.more(5, "5");
    s.text(840, 30, 3, "(3)");
    s.text(921, 30, 0, "2x-3(2-x)=4");
    co_await s.wait();
    s.text(921, 80, 0, "2x-6+3x=4");
    co_await s.wait();
    s.text(921, 130, 0, "2x+3x=4+6");
    co_await s.wait();
    s.text(921, 180, 0, "5x=10");
    co_await s.wait();
    s.text(921, 250, 0, "x=ﾀ10/5ﾀ=");
    s.more(5, "2");
    s.text(840, 330, 3, "(4)");
    s.text(921, 330, 0, "7x+9=3(x-1)");
    co_await s.wait();
    s.text(921, 380, 0, "7x+9=3x-3");
    co_await s.wait();
    s.text(921, 430, 0, "7x-3x=-3-9");
    co_await s.wait();
    s.text(921, 480, 0, "4x=-12");
    co_await s.wait();
    s.text(921, 550, 0, "x=ﾀ-12/4ﾀ=");
    s.more(5, "-3");
}

// Example 2: decimal coefficients, shown in tenths and then multiplied by 10.
Task<> item_example2(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例2 次の方程式を解きなさい。");
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-decimals"), s);
        s.erase(40, 90, 2000, 1800);
        problems::draw_line(s, 100, 90, p.shown[0]);
        for (int i = 0; i < 4; ++i) {
            co_await s.wait();
            problems::draw_line(s, 100, 160 + 70 * i, p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(40, 430, 3, "10,100,1000などを両辺にかけ、");
    s.text(40, 490, 3, "係数を整数にしてから解く。");
    co_await s.wait();

    s.text(44, 600, 7, "教科書P98 問2 をしなさい。");
    co_await s.wait();

    s.text(640, 30, 3, "(1)");
    s.text(721, 30, 0, "0.5x-0.3=4.2");
    co_await s.wait();
    s.text(937, 80, 3, "両辺に10をかけて");
    co_await s.wait();
    s.text(721, 80, 0, "5x-3=42");
    co_await s.wait();
    s.text(721, 130, 0, "5x=42+3");
    co_await s.wait();
    s.text(721, 180, 0, "5x=45");
    co_await s.wait();
    s.text(721, 250, 0, "x=ﾀ45/5ﾀ=");
    s.more(5, "9");
    s.text(640, 330, 3, "(2)");
    s.text(721, 330, 0, "0.12x-0.28=0.8");
    co_await s.wait();
    s.text(751, 380, 3, "両辺に100をかけて");
    co_await s.wait();
    s.text(721, 430, 0, "12x-28=80");
    co_await s.wait();
    s.text(721, 480, 0, "12x=80+28");
    co_await s.wait();
    s.text(721, 530, 0, "12x=108");
    co_await s.wait();
    // One unit higher, as in example 1.
    s.text(721, 599, 0, "x=ﾀ108/12ﾀ=");
    s.more(5, "9");
}

// Example 3: fractional coefficients (drill 1) and fractions on both sides
// (drill 2), each cleared by multiplying by the product of the denominators.
Task<> item_example3(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "例3 次の方程式を解きなさい。");
    // Drill 1: (g/e) x + s = (h/f) x. When x alone is left after collecting
    // the x-terms, that line is the answer and the problem has one line less.
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-fraction-coefficients"), s);
        s.erase(40, 90, 2000, 1800);
        problems::draw_line(s, 40, 110, p.shown[0], "① ");
        for (std::size_t i = 0; i < p.worked.size(); ++i) {
            co_await s.wait();
            problems::draw_line(s, 100, 180 + 70 * static_cast<float>(i), p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(40, 520, 3, "分母の公倍数を両辺にかけ、整数に");
    s.text(40, 570, 3, "してから解く。");
    s.more(5, "(分母をはらう)");

    // Drill 2: (u x + v)/m = (w x + z)/n, cleared by multiplying by m n.
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("solve-fraction-sides"), s);
        s.erase(640, 30, 2000, 1800);
        problems::draw_line(s, 640, 50, p.shown[0], "② ");
        for (int i = 0; i < 6; ++i) {
            co_await s.wait();
            problems::draw_line(s, 700, 120 + 70 * i, p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(640, 600, 7, "教科書P100 問3 をしなさい。");
}

// Answers to P100 問3.
Task<> item_q3(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "問3 解答");
    s.text(40, 100, 3, "(1)");
    s.text(121, 100, 0, "ﾀx/4ﾀ-ﾀ1/2ﾀ=ﾀx/2ﾀ+ﾀ3/4ﾀ");
    co_await s.wait();
    s.text(40, 170, 0, "4*ﾀx/4ﾀ+4*(-ﾀ1/2ﾀ)=");
    s.text(175, 240, 0, "4*ﾀx/2ﾀ+4*ﾀ3/4ﾀ");
    co_await s.wait();
    s.text(121, 300, 0, "x-2=2x+3");
    co_await s.wait();
    s.text(121, 350, 0, "x-2x=3+2");
    co_await s.wait();
    s.text(121, 400, 0, "-x=5");
    co_await s.wait();
    s.text(121, 450, 0, "x=");
    s.more(5, "-5");
    s.text(40, 520, 3, "(2)");
    s.text(121, 520, 0, "ﾀ1/2ﾀx-ﾀ1/6ﾀ=ﾀ2/3ﾀx+ﾀ1/2ﾀ");
    co_await s.wait();
    s.text(400, 30, 0, "6*ﾀ1/2ﾀx+6*(-ﾀ1/6ﾀ)=");
    s.text(535, 100, 0, "6*ﾀ2/3ﾀx+6*ﾀ1/2ﾀ");
    co_await s.wait();
    s.text(481, 160, 0, "3x-1=4x+3");
    co_await s.wait();
    s.text(481, 210, 0, "3x-4x=3+1");
    co_await s.wait();
    s.text(481, 260, 0, "-x=4");
    co_await s.wait();
    s.text(481, 310, 0, "x=");
    s.more(5, "-4");
    s.text(400, 380, 3, "(3)");
    s.text(481, 380, 0, "ﾀx-4/3ﾀ=ﾀ1/7ﾀx");
    co_await s.wait();
    s.text(454, 450, 0, "21*ﾀx-4/3ﾀ=21*ﾀ1/7ﾀx");
    co_await s.wait();
    s.text(481, 510, 0, "7(x-4)=3x");
    co_await s.wait();
    s.text(481, 560, 0, "7x-28=3x");
    co_await s.wait();
    s.text(481, 610, 0, "7x-3x=28");
    co_await s.wait();
    s.text(841, 30, 0, "4x=28");
    co_await s.wait();
    s.text(841, 80, 0, "x=");
    s.more(5, "7");
    s.text(760, 150, 3, "(4)");
    s.text(841, 150, 0, "ﾀ2x-1/3ﾀ=ﾀx+3/2ﾀ");
    co_await s.wait();
    s.text(841, 220, 0, "6*ﾀ2x-1/3ﾀ=6*ﾀx+3/2ﾀ");
    co_await s.wait();
    s.text(841, 280, 0, "2(2x-1)=3(x+3)");
    co_await s.wait();
    s.text(841, 330, 0, "4x-2=3x+9");
    co_await s.wait();
    s.text(841, 380, 0, "4x-3x=9+2");
    co_await s.wait();
    s.text(841, 430, 0, "x=");
    s.more(5, "11");
}

// Example 4: what a linear equation in x is, and finding a parameter from a
// given solution.
Task<> item_example4(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(40, 30, 5, "<xについての1次方程式>");
    s.text(40, 80, 0, "(1次式 ax+b)=0 と変形できる方程式");
    s.text(40, 130, 3, "① ");
    s.more(0, "5x=10→");
    s.more(3, "5x-10=0");
    s.text(40, 180, 3, "② 5a=10→");
    s.more(0, "aについての1次方程式");
    co_await s.wait();

    s.text(40, 250, 7, "例4 ");
    s.more(0, "xについての方程式 2x-6=x+3a");
    s.text(100, 300, 0, "の解が x=5 のとき、aの値は？");
    s.text(40, 350, 7, "<考え方> ");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 0, "解が x=5 だから ");
    s.text(100, 400, 0, "2x-6=x+3a にx=5 を代入した");
    s.text(100, 450, 0, "左辺と右辺の値は等しい。");
    s.text(40, 500, 5, "<解答> ");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 3, "x=5 を代入して");
    co_await s.wait();

    s.text(100, 550, 0, "2*5-6=5+3a ");
    co_await s.wait();
    s.text(100, 600, 0, "3a+5=10-6");
    co_await s.wait();
    s.text(780, 30, 0, "3a=10-6-5=-1");
    co_await s.wait();
    s.text(780, 90, 5, "a=-ﾀ1/3ﾀ");
}

}  // namespace

Topic topic4() {
    Topic t;
    t.goal = goal_screen(76, {"かっこのある方程式や、小数・分数係数の方程式を解こう。"});
    t.bar = "①例1　②例２　③例3　④問３　⑤例４　⑥終了";
    t.entries = 6;
    t.items = {item_example1, item_example2, item_example3, item_q3, item_example4};
    return t;
}

}  // namespace lk::solve
