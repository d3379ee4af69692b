// Topic 5: proportions. The value of a ratio and the proportion, a mixing
// problem solved three ways, the property "outer product = inner product",
// generated proportion problems that repeat until 1 is typed, and the
// solutions of the textbook exercises.
#include "lessons/problems/problems.h"
#include "topics.h"

namespace lk::apply {

namespace {

// A cup of a ratio picture: a small cell with a black frame and no label.
void cup(Script& s, float x, float y, float fill) {
    s.cell(x, y, CellStyle{.width = 40, .height = 50, .frame = 0, .fill = fill, .colour = 0}, "");
}

Task<> item_ratio(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 5, "1 比の値");
    s.text(67, 80, 3, "a:b ");
    s.more(0, "で、前の項aをうしろの項bでわった値　");
    s.more(3, "ﾀa/bﾀ");
    co_await s.wait();

    s.text(40, 140, 3, "課題1 次の比の値を求めなさい。");
    s.text(121, 190, 0, "①");
    s.remember(1, s.end_x(), 260);
    s.more(0, " 2:5   ②");
    s.remember(2, s.end_x(), 260);
    s.more(0, " 10:25");
    co_await s.wait();

    s.at_mark(1, 3, "=ﾀ2/5ﾀ");
    co_await s.wait();

    s.at_mark(2, 0, "=ﾀ10/25ﾀ");
    s.more(3, "=ﾀ2/5ﾀ");
    co_await s.wait();

    s.text(121, 330, 0, "①と②の比の値が等しいので、");
    s.more(3, "2:5=10:25");
    s.more(0, " と表すことができる。");
    co_await s.wait();

    s.text(40, 400, 5, "2 比例式");
    s.text(67, 450, 3, "2:5=10:25 ");
    s.more(0, "のように比が等しいことを表す式");
    s.text(67, 500, 3, "x:3=6:9 ");
    s.more(0, "も比例式");
}

Task<> item_p107q(Script& s) {
    s.erase(0, 0, 1760, 1300);
    s.pen(3);

    s.text(40, 30, 3, "教科書P107Q を考えよう");
    s.text(40, 90, 0, "ウスターソース");
    s.text(312, 90, 0, "ケチャップ");
    s.text(120, 200, 3, "？mL");
    s.text(312, 200, 3, "120mL");
    cup(s, 120, 150, 4);
    cup(s, 180, 150, 4);
    cup(s, 312, 150, 5);
    cup(s, 372, 150, 5);
    cup(s, 432, 150, 5);
    co_await s.wait();

    cup(s, 40, 270, 5);
    s.more(0, "=120/3=");
    s.more(3, "40(mL)");
    s.more(0, " だから");
    s.text(40, 320, 0, "ウスターソースは");
    co_await s.wait();

    s.text(40, 370, 0, "2*40=");
    s.more(5, "80(mL)");
    co_await s.wait();

    s.text(40, 440, 5, "比例式で求めてみよう！");
    co_await s.wait();

    s.text(40, 510, 0, "ウスターソースを");
    s.more(3, "xmL");
    s.more(0, "混ぜるとすると");
    // Only the question mark under the two cups is replaced.
    s.erase(120, 200, 120, 50);
    s.text(120, 200, 5, "xmL");
    co_await s.wait();

    s.text(40, 560, 3, " x:120=2:3");
    co_await s.wait();

    // The proportion in four pieces, so that the arcs can join "120" with
    // "3" above the line and "x" with "2" below it.
    s.text(720, 30, 7, "<はるかさんの考え>");
    s.remember(1, 760 + 14, 130 + 48);
    s.text(760, 130, 0, "x:1");
    s.remember(2, s.end_x() + 14, 130);
    s.more(0, "20=");
    s.remember(3, s.end_x() + 14, 130 + 48);
    s.more(0, "2:");
    s.remember(4, s.end_x() + 14, 130);
    s.more(0, "3");
    s.pen(5);
    Engine& e = s.e;
    // The upper label stands down on its arc, clear of "<はるかさんの考え>".
    s.span({.x1 = e.remembered_x[2], .y1 = e.remembered_y[2], .x2 = e.remembered_x[4],
            .y2 = e.remembered_y[4], .side = -1, .height = -10, .step = 5, .label_colour = 3,
            .dot_colour = 3, .label = "*40", .label_dy = 34});
    s.span({.x1 = e.remembered_x[1], .y1 = e.remembered_y[1], .x2 = e.remembered_x[3],
            .y2 = e.remembered_y[3], .side = 1, .height = -10, .step = 5, .label_colour = 3,
            .dot_colour = 3, .label = "*40"});
    co_await s.wait();

    s.text(720, 230, 5, "x=");
    s.more(0, "2*40=");
    s.more(5, "80");
    co_await s.wait();

    s.text(720, 300, 7, "<ひろとさんの考え>");
    s.text(720, 350, 0, "等しい比の");
    s.more(3, "比の値");
    s.more(0, "は等しいから");
    s.text(720, 420, 0, "ﾀx/120ﾀ=ﾀ2/3ﾀ");
    co_await s.wait();

    s.text(720, 500, 5, "x=");
    s.more(0, "ﾀ2/3ﾀ*120=");
    s.more(5, "80");
}

Task<> item_property(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 0, "問1 ");
    s.more(3, "x:120=2:3");
    s.more(0, "→");
    s.more(3, "ﾀx/120ﾀ=ﾀ2/3ﾀ");
    s.more(0, "を使って");
    s.text(40, 100, 3, "3x=2*120");
    s.more(0, " となることを説明しなさい。");
    s.text(40, 150, 7, "<説明>");
    co_await s.wait();

    s.text(40, 220, 3, "ﾀx/120ﾀ=ﾀ2/3ﾀ");
    s.more(0, "の両辺に");
    s.more(3, "120*3");
    s.more(0, "をかけて");
    co_await s.wait();

    s.text(40, 290, 0, "ﾀx/120ﾀ*120*3=ﾀ2/3ﾀ*120*3");
    co_await s.wait();

    s.text(40, 360, 3, "3x=2*120");
    co_await s.wait();

    s.text(40, 410, 0, "外側の項の積");
    s.more(3, "3x");
    s.more(0, "と内側の項の積");
    s.more(3, "2*120");
    s.more(0, "が等しい。");
    co_await s.wait();

    s.text(40, 480, 5, "比例式の性質");
    s.text(67, 530, 0, "比例式の外側の項の積と内側の項の積は等しい。");
    s.text(67, 580, 3, "a:b=m:n ならば an=bm");
}

// The generated proportions: each problem, then the steps to its answer.
Task<> item_example1(Script& s) {
    s.erase(0, 0, 1320, 1300);
    s.text(40, 30, 3, "例1 xの値を求めなさい。");

    // Problem ①: x:kb = a:b.
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("apply-ratio-whole"), s);
        s.erase(40, 90, 2000, 1800);
        problems::draw_line(s, 40, 110, p.shown[0], "① ");
        for (int i = 0; i < 4; ++i) {
            co_await s.wait();
            problems::draw_line(s, 100, 180 + 70 * i, p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(40, 450, 5, "比例式の性質");
    s.text(40, 510, 3, "a:b=m:n ならば an=bm");
    s.text(40, 560, 3, "を使って解く。");
    co_await s.wait();

    // Problem ②: ec:(fx+b) = c:d.
    co_await s.drill([&]() -> Task<> {
        const problems::Problem p = problems::generate(problems::kind("apply-ratio-fraction"), s);
        s.erase(640, 30, 2000, 1800);
        problems::draw_line(s, 640, 50, p.shown[0], "② ");
        for (int i = 0; i < 6; ++i) {
            co_await s.wait();
            problems::draw_line(s, 700, 120 + 70 * i, p.worked[i]);
        }
    });
    co_await s.wait();
    s.text(640, 530, 3, "( )があっても比例式の性質が使える。");
    co_await s.wait();
    s.text(280, 600, 7, "教科書P108 問2 をしなさい。");
}

Task<> item_q2(Script& s) {
    s.erase(0, 0, 1760, 1300);

    // Each answer is written in the step after its "x=" line, so the end of
    // that line is kept across the wait.
    s.text(40, 30, 3, "問2 解答");
    s.text(40, 100, 3, "(1)");
    s.text(121, 100, 0, "x:12=3:4");
    co_await s.wait();
    s.text(121, 160, 0, "4x=12*3");
    co_await s.wait();
    s.text(121, 220, 0, "4x=36");
    s.text(121, 270, 0, "x=");
    s.remember(1);
    co_await s.wait();
    s.at_mark(1, 5, "9");
    s.text(40, 340, 3, "(2)");
    s.text(121, 340, 0, "16:x=12:9");
    co_await s.wait();
    s.text(121, 390, 0, "12x=9*16");
    co_await s.wait();
    s.text(121, 460, 0, "x=");
    s.remember(2);
    co_await s.wait();
    s.at_mark(2, 0, "ﾀ9*16/12ﾀ");
    co_await s.wait();
    s.text(148, 530, 0, "=ﾀ3*4/1ﾀ=");
    s.remember(3);
    co_await s.wait();
    s.at_mark(3, 5, "12");
    s.text(560, 30, 3, "(3)");
    s.text(641, 30, 0, "8:6=(x-6):18");
    co_await s.wait();
    s.text(641, 80, 0, "6(x-6)=8*18");
    co_await s.wait();
    s.text(641, 130, 0, "6x-36=144");
    co_await s.wait();
    s.text(641, 180, 0, "6x=144+36=180");
    co_await s.wait();
    s.text(641, 230, 0, "x=");
    s.remember(4);
    co_await s.wait();
    s.at_mark(4, 5, "30");
    s.text(560, 300, 3, "(4)");
    s.text(641, 300, 0, "2x:(x-2)=15:6");
    co_await s.wait();
    s.text(641, 350, 0, "15(x-2)=2x*6");
    co_await s.wait();
    s.text(641, 400, 0, "15x-30=12x");
    co_await s.wait();
    s.text(641, 450, 0, "15x-12x=30");
    co_await s.wait();
    s.text(641, 500, 0, "3x=30");
    co_await s.wait();
    s.text(641, 550, 0, "x=");
    s.remember(5);
    co_await s.wait();
    s.at_mark(5, 5, "10");
    co_await s.wait();
    s.text(40, 600, 7, "教科書P108 問3 をしなさい。");
}

Task<> item_q3(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(80, 30, 3, "問3 解答");
    s.text(80, 90, 0, "牛乳");
    s.text(290, 90, 0, "紅茶");
    s.text(620, 90, 0, "ミルクティー");
    s.text(80, 200, 3, "xmL");
    s.text(620, 200, 3, "1200mL");
    for (int i = 0; i < 3; ++i) cup(s, 80 + 60 * static_cast<float>(i), 150, 15);
    for (int i = 0; i < 5; ++i) cup(s, 290 + 60 * static_cast<float>(i), 150, 5);
    for (int i = 0; i < 8; ++i) cup(s, 620 + 60 * static_cast<float>(i), 150, 4);
    co_await s.wait();

    s.text(80, 250, 0, "牛乳をxmLとすると");
    s.text(80, 300, 0, "牛乳とミルクティーの比は、");
    s.more(3, "3:8");
    s.more(0, " だから");
    co_await s.wait();

    s.text(80, 350, 3, "x:1200=3:8");
    co_await s.wait();

    s.text(80, 400, 0, "8x=3*1200");
    co_await s.wait();

    s.text(80, 470, 0, "x=ﾀ3*1200/8ﾀ");
    s.text(107, 540, 0, "=ﾀ3*150/1ﾀ=");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 3, "450");
    // The last line stands 67 under the one above, not 70: its foot and
    // that of the closing line beside it stay clear of the wait banner's
    // erase and of the bottom band.
    s.text(107, 607, 5, "答 450mL");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 7, "教科書P109 問4 をしなさい。");
}

Task<> item_q4(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(80, 30, 3, "問4 解答");
    co_await s.wait();

    s.text(80, 80, 0, "品川駅と橋本駅の間の実際の距離をxkmとすると");
    s.text(80, 130, 0, "地図上の長さと実際の距離の比は、");
    s.more(3, "2:10=1:5");
    s.more(0, " だから");
    co_await s.wait();

    s.text(80, 180, 3, "7.2:x=1:5");
    co_await s.wait();

    s.text(80, 230, 0, "x=7.2*5");
    co_await s.wait();

    s.text(80, 290, 3, "x=36");
    co_await s.wait();

    s.text(107, 360, 5, "答 36km");
}

}  // namespace

Topic topic5() {
    Topic t;
    t.goal = goal_screen(76, {"1 比例式とその性質を理解しよう。", "2 比例式の性質を使って問題を解こう。"});
    t.bar = "①比例式　②P107Q　③性質(問1)　④例1　⑤問2　⑥問3　⑦問4　⑧終了";
    t.entries = 8;
    t.items = {item_ratio, item_p107q, item_property, item_example1, item_q2, item_q3, item_q4};
    return t;
}

}  // namespace lk::apply
