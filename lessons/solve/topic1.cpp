// Topic 1: equations and their solutions. A weight problem drawn as a bar
// diagram leads to 10x+1000=21000; a table tries five values of x; then the
// definitions, an example, a generated drill that asks whether a value is a
// solution, and the answers to two textbook problems.
#include "drill.h"
#include "topics.h"

namespace lk::solve {

namespace {

Task<> item_p91q(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 15, 0, "P91 紙パックの枚数は?");
    co_await s.wait();

    // The bar: paper packs A-B, box B-C.
    s.pen(10);
    s.line(76, 165, 456, 165, 3);
    s.line(456, 165, 570, 165, 0);
    co_await s.wait();

    s.text(190, 169, 3, "紙パック");
    s.text(494, 169, 0, "箱");
    s.text(304, 115, 7, "全体");
    co_await s.wait();

    s.pen(5);
    // The label stands down on its arc, clear of the title above.
    s.span({.x1 = 76, .y1 = 165, .x2 = 570, .y2 = 165, .side = -1, .height = 60, .step = 3,
            .label_colour = 7, .dot_colour = 7, .label = "21kg", .label_dy = 36});
    co_await s.wait();

    s.span({.x1 = 456, .y1 = 165, .x2 = 570, .y2 = 165, .side = 1, .height = 60, .step = 13,
            .label_colour = 0, .dot_colour = 0, .label = "500g*2"});
    co_await s.wait();

    s.span({.x1 = 76, .y1 = 165, .x2 = 456, .y2 = 165, .side = 1, .height = 60, .step = 5,
            .label_colour = 3, .dot_colour = 3, .label = "？g"});
    co_await s.wait();

    s.text(40, 340, 0, "紙パック1枚 10g");
    co_await s.wait();

    s.text(40, 390, 7, "Q 紙パックの枚数は?");
    co_await s.wait();

    // Lines continued after a wait go on from the remembered end, since the
    // wait banner moves the text cursor.
    s.text(40, 440, 0, "箱の重さは ");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 0, "500*2=");
    s.more(3, "1000(g)");
    co_await s.wait();

    s.text(40, 490, 0, "21kg=");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 3, "21000g");
    s.more(0, " だから");
    co_await s.wait();

    s.text(40, 540, 0, "紙パックだけの重さは");
    co_await s.wait();

    s.text(40, 590, 0, "21000-1000=");
    s.more(3, "20000(g)");
    co_await s.wait();

    s.text(667, 30, 0, "紙パック1枚 10g だから");
    co_await s.wait();

    s.text(667, 80, 0, "20000/10=");
    s.more(3, "2000(枚)");
    s.text(667, 130, 5, "答　2000枚");
    co_await s.wait();

    s.text(640, 220, 0, "紙パック20枚で､");
    s.text(640, 270, 0, "トイレットペーパー1個再生");
    s.text(640, 320, 7, "Q トイレットペーパーは");
    s.text(667, 370, 7, "何個再生できる?");
    co_await s.wait();

    s.text(667, 420, 0, "20枚で1個再生できるから");
    co_await s.wait();

    s.text(667, 470, 0, "2000/20=");
    s.remember(3);
    co_await s.wait();

    s.at_mark(3, 3, "100(個)");
    co_await s.wait();

    s.text(667, 520, 5, "答　100個");
}

Task<> item_p92q(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.pen(10);
    s.line(40, 130, 420, 130, 3);
    s.line(420, 130, 534, 130, 0);
    s.text(154, 134, 3, "紙パック");
    s.text(458, 134, 0, "箱");
    s.text(268, 80, 7, "全体");
    s.pen(5);
    s.span({.x1 = 40, .y1 = 130, .x2 = 534, .y2 = 130, .side = -1, .height = 60, .step = 3,
            .label_colour = 7, .dot_colour = 7, .label = "21000g", .label_dy = 7});
    s.span({.x1 = 420, .y1 = 130, .x2 = 534, .y2 = 130, .side = 1, .height = 60, .step = 13,
            .label_colour = 0, .dot_colour = 0, .label = "1000g"});
    s.text(67, 250, 0, "紙パック1枚 10g");
    co_await s.wait();

    s.text(600, 15, 3, "Q 等式に表してみよう。");
    s.text(627, 65, 0, "紙パックの枚数を");
    s.more(3, "x枚");
    s.more(0, "とすると ");
    co_await s.wait();

    s.span({.x1 = 40, .y1 = 130, .x2 = 420, .y2 = 130, .side = 1, .height = 60, .step = 5,
            .label_colour = 3, .dot_colour = 3, .label = "10xg"});
    co_await s.wait();

    s.text(627, 115, 5, "10x+1000=21000");
    co_await s.wait();

    s.text(627, 165, 0, "xに1800,1900,2000,2100,");
    s.text(627, 215, 0, "2200を代入したときの左辺の値は?");

    // The table of trial values: column edges and row tops.
    s.pen(3);
    const float edges[] = {120, 255, 855, 895, 1075};
    for (int i = 0; i < 5; ++i) e.columns[i + 1] = edges[i];
    for (int j = 0; j < 6; ++j) e.rows[j + 1] = 315 + 50 * j;
    const auto style = [](float width, float fill) {
        return CellStyle{.width = width, .height = 50, .frame = 3, .fill = fill, .colour = 0};
    };
    s.cell(e.columns[1], e.rows[1], style(135, 11), "xの値");
    s.next_cell(style(600, 11), "左辺の値");
    s.next_cell(style(40, 11), "");
    s.next_cell(style(180, 11), "右辺");
    const char* const xs[] = {"1800", "1900", "2000", "2100", "2200"};
    for (int k = 1; k <= 5; ++k) {
        const float y = e.rows[k + 1];
        e.block_labels[k] = std::string("10*") + xs[k - 1] + "+1000=";
        s.cell(e.columns[1], y, style(135, 13), xs[k - 1]);
        s.remember(2 * k - 1, e.columns[2], y);
        s.next_cell(style(600, 13), e.block_labels[k]);
        s.remember(2 * k, e.columns[3], y);
        s.next_cell(style(40, 13), "");
        s.next_cell(style(180, 13), "21000");
    }
    co_await s.wait();

    // Each row completed in two steps: the value of the left side, then how
    // it compares with the right side.
    const char* const values[] = {"19000", "20000", "21000", "22000", "23000"};
    const char* const signs[] = {"<", "<", "=", ">", ">"};
    for (int k = 1; k <= 5; ++k) {
        s.cell(e.remembered_x[2 * k - 1], e.remembered_y[2 * k - 1],
               {.width = 600, .height = 50, .frame = 0, .fill = 15, .colour = 3},
               e.block_labels[k] + values[k - 1]);
        co_await s.wait();
        s.cell(e.remembered_x[2 * k], e.remembered_y[2 * k],
               {.width = 40, .height = 50, .frame = 0, .fill = 15, .colour = 5}, signs[k - 1]);
        co_await s.wait();
    }

    co_await s.wait();
    s.text(600, 265, 5, "x=2000 のときだけ等式は成り立つ");
}

Task<> item_example1(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 5, "方程式");
    s.more(0, "…");
    s.more(3, "式の中の文字");
    s.more(0, "に代入する値");
    s.text(40, 80, 0, "によって成り立ったり、成り立た");
    s.text(40, 130, 0, "なかったりする");
    s.more(3, "等式");
    s.text(40, 180, 5, "解");
    s.more(0, "…");
    s.more(3, "方程式");
    s.more(0, "を成り立たせる");
    s.more(3, "文字の値");
    co_await s.wait();

    s.text(40, 250, 7, "例1 方程式2x+1=9");
    s.text(40, 300, 0, "の解は3,4,5のどれですか。");
    co_await s.wait();

    s.text(40, 350, 3, "<考え方>");
    s.more(0, "xに3,4,5を代入して");
    s.text(40, 400, 5, "左辺=右辺");
    s.more(0, "となれば解");
    co_await s.wait();

    s.text(40, 450, 7, "① x=3を代入して");
    s.text(94, 500, 0, "左辺=2*3+1=7");
    s.text(94, 550, 0, "右辺=9");
    s.text(40, 600, 3, "左辺≠右辺 だから　解ではない。");
    co_await s.wait();

    s.text(720, 30, 7, "② x=4を代入して");
    s.text(774, 80, 0, "左辺=2*4+1=9");
    s.text(774, 130, 0, "右辺=9");
    s.text(720, 180, 3, "左辺=右辺 だから　解である。");
    co_await s.wait();

    s.text(720, 230, 7, "③ x=5を代入して");
    s.text(774, 280, 0, "左辺=2*5+1=11");
    s.text(774, 330, 0, "右辺=9");
    s.text(720, 380, 3, "左辺≠右辺 だから　解ではない。");
    co_await s.wait();

    s.text(720, 430, 5, "答　4");
}

// One problem of the drill: is the candidate v a solution of
// p·x + q = m·x + d? The substitution into each side is shown in three
// steps, the value of the side last.
Task<> solution_problem(Script& s) {
    const problems::Problem p = problems::generate(problems::kind("solve-is-solution"), s);
    const auto& w = p.worked;

    s.erase(0, 50, 1320, 2400);
    s.text(80, 50, 7, "Q ");
    problems::more_line(s, p.shown[0]);
    co_await s.wait();

    problems::draw_line(s, 161, 110, w[0]);
    co_await s.wait();

    problems::draw_line(s, 97, 170, w[1]);
    co_await s.wait();

    s.text(161, 230, w[2].runs[0].colour, w[2].runs[0].text);
    s.remember(1);
    co_await s.wait();
    s.at_mark(1, w[2].runs[1].colour, w[2].runs[1].text);
    co_await s.wait();

    problems::draw_line(s, 161, 290, w[3]);
    co_await s.wait();

    problems::draw_line(s, 97, 350, w[4]);
    co_await s.wait();

    s.text(161, 410, w[5].runs[0].colour, w[5].runs[0].text);
    s.remember(2);
    co_await s.wait();
    s.at_mark(2, w[5].runs[1].colour, w[5].runs[1].text);
    co_await s.wait();

    problems::draw_line(s, 161, 480, w[6]);
}

Task<> item_practice(Script& s) {
    s.erase(0, 0, 1760, 1300);
    co_await s.drill([&]() -> Task<> { co_await solution_problem(s); });
    co_await s.wait();
    s.text(161, 550, 7, "教科書P93 問1 をやろう。");
}

Task<> item_problem1(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "P93 問1 解答");
    s.text(40, 80, 7, "① x=-1を代入して");
    s.text(94, 130, 0, "左辺=3*(-1)+5=-3+5=2");
    s.text(94, 180, 0, "右辺=8");
    co_await s.wait();

    s.text(40, 230, 3, "左辺≠右辺 だから　解ではない。");
    s.text(40, 280, 7, "② x=0を代入して");
    s.text(94, 330, 0, "左辺=3*0+5=5");
    s.text(94, 380, 0, "右辺=8");
    co_await s.wait();

    s.text(40, 430, 3, "左辺≠右辺 だから　解ではない。");
    s.text(720, 30, 7, "③ x=1を代入して");
    s.text(774, 80, 0, "左辺=3*1+5=8");
    s.text(774, 130, 0, "右辺=8");
    co_await s.wait();

    s.text(720, 180, 3, "左辺=右辺 だから　解である。");
    s.text(720, 230, 7, "④ x=2を代入して");
    s.text(774, 280, 0, "左辺=3*2+5=6+5=11");
    s.text(774, 330, 0, "右辺=8");
    co_await s.wait();

    s.text(720, 380, 3, "左辺≠右辺 だから　解ではない。");
    co_await s.wait();

    s.text(720, 430, 5, "答　1");
    co_await s.wait();

    s.text(720, 480, 7, "教科書P93 問2 をやろう。");
}

Task<> item_problem2(Script& s) {
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "教科書P93 問2 解答");
    s.text(40, 80, 7, "ア x=-4を代入して");
    s.text(94, 130, 0, "左辺=2*(-4)-8=-8-8=-16");
    s.text(94, 180, 0, "右辺=1");
    co_await s.wait();

    s.text(40, 230, 3, "左辺≠右辺 だから　解ではない。");
    s.text(40, 300, 7, "イ x=-4を代入して");
    s.text(94, 350, 0, "左辺=3*(-4)+8=-12+8=-4");
    s.text(94, 400, 0, "右辺=-4");
    co_await s.wait();

    s.text(40, 450, 3, "左辺=右辺 だから　解である。");
    s.text(680, 30, 7, "ウ x=-4を代入して");
    s.text(734, 100, 0, "左辺=ﾀ1/2ﾀ*(-4)+3=-2+3=1");
    s.text(734, 170, 0, "右辺=-4+5=1");
    co_await s.wait();

    s.text(680, 220, 3, "左辺=右辺 だから　解である。");
    s.text(680, 290, 7, "エ x=-4を代入して");
    s.text(734, 340, 0, "左辺=2*{1-(-4)}");
    s.text(788, 390, 0, "=2*(1+4)=2*5=10");
    s.text(734, 440, 0, "右辺=-4+2=-2");
    co_await s.wait();

    s.text(680, 490, 3, "左辺≠右辺 だから　解ではない。");
    co_await s.wait();

    s.text(680, 560, 5, "答　イ,ウ");
}

}  // namespace

Topic topic1() {
    Topic t;
    t.goal = goal_screen(76, {"1 等式を成り立たせる文字の値を調べよう。",
                              "2 方程式とその解の意味を知り、代入して解をさがそう。"});
    t.bar = "①P91Q　②P92Q　③例1　④練習　⑤問1　⑥問2　⑦終了";
    t.entries = 7;
    t.items = {item_p91q, item_p92q, item_example1, item_practice, item_problem1, item_problem2};
    return t;
}

}  // namespace lk::solve
