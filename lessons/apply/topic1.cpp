// Topic 1: introduction and solving procedure. One timetable problem (how
// long is the change-over between class presentations), solved by arithmetic
// and by an equation side by side, then restated as the four-step procedure.
#include "topics.h"

namespace lk::apply {

namespace {

Task<> item_p101q(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);

    s.text(40, 30, 3, "「教科書P101Q」をやろう。");
    s.text(40, 80, 0, "・9:50開始 12:00終了");
    s.text(40, 130, 0, "・1クラスの発表時間　10分間");
    s.text(40, 180, 0, "・交代時間は同じ ");
    s.more(3, "何分間にする？");
    co_await s.wait();

    // The block strip: nine presentations 45 wide with eight change-overs 30
    // wide between them.
    s.pen(5);
    e.columns[1] = 580;
    e.columns[2] = e.columns[1] + 45;
    for (int i = 3; i <= 19; i += 2) {
        e.columns[i] = e.columns[i - 1] + 30;
        e.columns[i + 1] = e.columns[i] + 45;
    }
    const char* const blocks[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨"};
    for (int k = 1; k <= 9; ++k) e.block_labels[k] = blocks[k - 1];
    const CellStyle block{.width = 45, .height = 50, .frame = 3, .fill = 13, .colour = 0};
    const CellStyle gap{.width = 30, .height = 50, .frame = 3, .fill = 15, .colour = 13};
    for (int k = 1; k <= 9; ++k) {
        s.cell(e.columns[2 * k - 1], 100, block, e.block_labels[k]);
        if (k <= 8) s.cell(e.columns[2 * k], 100, gap, "");
    }
    s.span({.x1 = 580, .y1 = 100, .x2 = 1225, .y2 = 100, .side = -1, .height = 20, .step = 3,
            .label_colour = 3, .dot_colour = 3, .label = "130分間"});
    co_await s.wait();

    s.text(40, 230, 7, "<ひろとさんの考え>");
    s.text(40, 280, 0, "10*9=90");
    s.remember(1);
    s.text(40, 330, 0, "130-90=40");
    s.remember(2);
    s.text(40, 430, 0, "40/8=5");
    s.remember(3);
    s.remember(4, 40, 530);
    co_await s.wait();

    s.text(760, 180, 7, "<はるかさんの考え>");
    s.text(720, 230, 0, "10*9+8x=130");
    s.remember(11);
    s.text(720, 330, 0, "8x=130-90");
    s.text(720, 380, 0, "8x=40");
    s.text(720, 430, 0, "x=5");
    s.remember(12);
    s.remember(13, 720, 530);
    co_await s.wait();

    s.at_mark(1, 3, "発表の時間の合計を求める。");
    co_await s.wait();

    s.at_mark(2, 3, "全体の時間から求めた");
    s.text(40, 380, 3, "合計をひき、交代の時間の合計を求める。");
    co_await s.wait();

    s.at_mark(3, 3, "交代の時間の合計を交代の");
    s.text(40, 480, 3, "回数でわり、交代の時間を求める。");
    co_await s.wait();

    s.at_mark(4, 5, "答 5分間");
    co_await s.wait();

    s.at_mark(11, 3, "交代の時間を");
    s.text(720, 280, 3, "x分間として、方程式をつくる。");
    for (int k = 1; k <= 8; ++k) s.cell(e.columns[2 * k], 100, {30, 50, 3, 15, 5}, "x");
    co_await s.wait();

    s.at_mark(12, 3, "方程式を解いて、");
    s.text(720, 480, 3, "交代の時間を求める。");
    co_await s.wait();

    s.at_mark(13, 5, "答 5分間");
}

Task<> item_procedure(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(44, 30, 3, "方程式を利用した解き方");
    co_await s.wait();

    s.text(44, 80, 5, "<① 何をxとするか決める。>");
    s.text(44, 130, 0, "交代の時間をx分間とする。");
    co_await s.wait();

    s.text(44, 180, 5, "<② 等しくなる数量をxで表し、方程式をつくる。>");
    s.text(44, 230, 0, "(発表");
    s.remember(21, s.end_x(), 280);
    s.more(0, "の時間の合計)+(交代の");
    s.remember(22, s.end_x(), 280);
    s.more(0, "時間の合計)=(全");
    s.remember(23, s.end_x(), 280);
    s.more(0, "体の時間)");
    co_await s.wait();

    s.at_mark(21, 3, "10*9");
    co_await s.wait();

    s.at_mark(22, 3, "8x");
    co_await s.wait();

    s.at_mark(23, 3, "130");
    co_await s.wait();

    s.text(44, 330, 3, "10*9+8x=130");
    co_await s.wait();

    s.text(44, 380, 5, "<③ 方程式を解く。>");
    co_await s.wait();

    s.text(44, 430, 0, "8x=130-90");
    s.text(44, 480, 0, "8x=40");
    s.text(44, 530, 0, "x=5");
    co_await s.wait();

    s.text(524, 380, 5, "<④ 答を書く>");
    s.text(564, 430, 3, "答 5分間");
}

}  // namespace

Topic topic1() {
    Topic t;
    t.goal = goal_screen(76, {"方程式を利用するときの、考え方や手順を整理しよう。"});
    t.bar = "①P101Q　②解き方　③終了";
    t.entries = 3;
    t.items = {item_p101q, item_procedure};
    return t;
}

}  // namespace lk::apply
