// Topic 6: the four fundamental problems at the end of the section, one
// worked solution per item: chocolates, two tapes, four proportions and the
// nails in a photograph. No goal screen; every item starts with the problem
// header and its number badge.
#include <string>

#include "topics.h"

namespace lk::apply {

namespace {

// Clears the canvas and draws the header cell with the problem's number in
// the badge beside it.
void header(Script& s, const std::string& number) {
    s.erase(0, 0, 1760, 1800);
    s.cell(40, 30, CellStyle{.width = 396, .height = 48, .frame = 3, .fill = 13, .colour = 0},
           "P109(基本の問題)");
    s.cell(466, 30, CellStyle{.width = 44, .height = 44, .frame = 4, .fill = 3, .colour = 13},
           number);
}

Task<> item_chocolates(Script& s) {
    header(s, "1");
    s.text(40, 90, 0, "30円のチョコレートを");
    s.more(3, "x個");
    s.more(0, "買ったとすると");
    co_await s.wait();

    s.text(40, 140, 0, "60円のチョコレートは");
    s.more(3, "(10-x)個");
    s.text(40, 190, 0, "代金は　");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 3, "30x円");
    s.more(0, " と ");
    s.more(3, "60(10-x)円");
    s.more(0, " だから ");
    co_await s.wait();

    s.text(40, 240, 0, "30x+60(10-x)=510");
    co_await s.wait();

    s.text(40, 290, 0, "30x+600-60x=510");
    s.text(40, 340, 0, "30x-60x=510-600");
    s.text(40, 390, 0, "-30x=-90");
    s.text(40, 440, 0, "x=");
    s.more(3, "3");
    co_await s.wait();

    s.text(40, 490, 0, "60円のチョコレートの個数は");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 0, "   10-3=");
    s.more(3, "7");
    s.text(40, 560, 5, "答　30円のチョコレート…3個,60円のチョコレート…7個");
}

Task<> item_tapes(Script& s) {
    header(s, "2");
    // The tape: the sister's extra 50cm (colour 7) between her part equal to
    // the brother's (colour 3) and the brother's tape (colour 0).
    s.pen(10);
    s.line(76, 180, 266, 180, 3);
    s.line(266, 180, 342, 180, 7);
    s.line(342, 180, 532, 180, 0);
    s.text(190, 184, 3, "姉");
    s.text(418, 184, 0, "弟");
    s.pen(5);
    // Both labels over the tape stand lower than their arcs would put them:
    // "210cm" under the header, "50cm" between the two arcs.
    s.span({.x1 = 76, .y1 = 180, .x2 = 532, .y2 = 180, .side = -1, .height = 60, .step = 3,
            .label_colour = 0, .dot_colour = 0, .label = "210cm", .label_dy = 37});
    s.span({.x1 = 266, .y1 = 180, .x2 = 342, .y2 = 180, .side = -1, .height = -10, .step = 13,
            .label_colour = 7, .dot_colour = 7, .label = "50cm", .label_dy = 31});
    s.span({.x1 = 76, .y1 = 180, .x2 = 342, .y2 = 180, .side = 1, .height = 60, .step = 5,
            .label_colour = 3, .dot_colour = 3, .label = "(x+50)cm"});
    s.span({.x1 = 342, .y1 = 180, .x2 = 532, .y2 = 180, .side = 1, .height = 60, .step = 5,
            .label_colour = 0, .dot_colour = 0, .label = "xcm"});
    co_await s.wait();

    s.text(600, 30, 3, "弟のテープの長さをxcm とすると");
    co_await s.wait();

    s.text(600, 80, 0, "(x+50)+x=210");
    co_await s.wait();

    s.text(600, 130, 0, "x+50+x=210");
    s.text(600, 180, 0, "x+x=210-50");
    s.text(600, 230, 0, "2x=160");
    s.text(600, 280, 0, "x=");
    s.more(3, "80");
    co_await s.wait();

    s.text(600, 330, 0, "姉のテープの長さは");
    co_await s.wait();

    s.text(600, 380, 0, "80+50=");
    s.more(3, "130");
    s.text(600, 450, 5, "答　姉…130cm,弟…80cm");
}

// Each answer is written in the step that brings the next proportion, at
// the end of its "x=" line, which is kept across the wait.
Task<> item_proportions(Script& s) {
    header(s, "3");
    s.text(40, 100, 3, "(1)");
    s.text(121, 100, 0, "x:2=3:6");
    co_await s.wait();
    s.text(121, 160, 0, "6x=2*3");
    co_await s.wait();
    s.text(121, 220, 0, "6x=6");
    s.text(121, 270, 0, "x=");
    s.remember(1);
    co_await s.wait();
    s.at_mark(1, 5, "1");
    s.text(40, 340, 3, "(2)");
    s.text(121, 340, 0, "4:3=x:12");
    co_await s.wait();
    s.text(121, 390, 0, "3x=4*12");
    co_await s.wait();
    s.text(121, 460, 0, "x=");
    s.remember(2);
    co_await s.wait();
    s.at_mark(2, 0, "ﾀ4*12/3ﾀ");
    co_await s.wait();
    s.text(148, 530, 0, "=ﾀ4*4/1ﾀ=");
    s.remember(3);
    co_await s.wait();
    s.at_mark(3, 5, "16");
    s.text(560, 30, 3, "(3)");
    s.text(641, 30, 0, "(x-6):3=4:2");
    co_await s.wait();
    s.text(641, 80, 0, "2(x-6)=3*4");
    co_await s.wait();
    s.text(641, 130, 0, "2x-12=12");
    co_await s.wait();
    s.text(641, 180, 0, "2x=12+12=24");
    co_await s.wait();
    s.text(641, 230, 0, "x=");
    s.remember(4);
    co_await s.wait();
    s.at_mark(4, 5, "12");
    s.text(560, 300, 3, "(4)");
    s.text(641, 300, 0, "(12+x):(31+x)=1:2");
    co_await s.wait();
    s.text(641, 350, 0, "2(12+x)=31+x");
    co_await s.wait();
    s.text(641, 400, 0, "24+2x=31+x");
    co_await s.wait();
    s.text(641, 450, 0, "2x-x=31-24");
    co_await s.wait();
    s.text(641, 500, 0, "x=");
    s.remember(5);
    co_await s.wait();
    s.at_mark(5, 5, "7");
}

Task<> item_nails(Script& s) {
    header(s, "4");
    co_await s.wait();

    s.text(121, 90, 0, "写真のくぎの本数を");
    s.more(3, "x本");
    s.more(0, "とすると");
    co_await s.wait();

    s.text(121, 140, 0, "x:180=15:27");
    co_await s.wait();

    s.text(121, 190, 0, "27x=180*15");
    s.text(121, 260, 0, "x=ﾀ180*15/27ﾀ");
    s.text(148, 330, 0, "=ﾀ20*5/1ﾀ=");
    s.more(3, "100");
    s.text(121, 400, 5, "答　100本");
}

}  // namespace

Topic topic6() {
    Topic t;
    t.bar = "①～④解答　　　⑤終了";
    t.entries = 5;
    t.items = {item_chocolates, item_tapes, item_proportions, item_nails};
    return t;
}

}  // namespace lk::apply
