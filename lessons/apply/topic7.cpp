// Topic 7: answer sheets for the chapter's first set of review problems.
// Every sheet is drawn at once except the first, which pauses between its
// two problems. No goal screen.
#include <string>

#include "topics.h"

namespace lk::apply {

namespace {

const CellStyle kBadge{.width = 44, .height = 45, .frame = 4, .fill = 3, .colour = 13};

// Clears the canvas and draws the header cell (without its badge: the first
// sheet puts its badges elsewhere).
void header(Script& s) {
    s.erase(0, 0, 1760, 1800);
    s.cell(40, 30, CellStyle{.width = 360, .height = 48, .frame = 3, .fill = 13, .colour = 0},
           "P110(章の問題A)");
}

// The header with the problem's number in the badge beside it.
void header_with_badge(Script& s, const std::string& number) {
    header(s);
    s.cell(430, 30, kBadge, number);
}

Task<> item_problems_1_2(Script& s) {
    header(s);
    s.cell(40, 80, kBadge, "1");
    s.text(40, 130, 7, "ア x=-3を代入して");
    s.text(94, 180, 0, "左辺=-3+3=0");
    s.text(94, 230, 0, "右辺=1");
    s.text(40, 280, 3, "左辺≠右辺 だから　解ではない。");
    s.text(40, 350, 7, "イ x=-3を代入して");
    s.text(94, 410, 0, "左辺=-ﾀ1/3ﾀ*(-3)=1");
    s.text(94, 470, 0, "右辺=0");
    s.text(40, 520, 3, "左辺≠右辺 だから　解ではない。");
    s.text(600, 30, 7, "ウ x=-3を代入して");
    s.text(654, 80, 0, "左辺=1-3*(-3)=1+9=10");
    s.text(654, 130, 0, "右辺=10");
    s.text(600, 180, 3, "左辺=右辺 だから　解である。");
    s.text(600, 240, 5, "答　ウ");
    co_await s.wait();

    s.cell(600, 290, kBadge, "2");
    s.text(600, 340, 0, "3x-5=4");
    s.text(s.end_x() + 60, 365, 5, "等式の性質1");
    s.text(600, 390, 0, "  3x=4+5");
    s.text(600, 440, 0, "  3x=9");
    s.text(s.end_x() + 30, 465, 5, "等式の性質4");
    s.text(600, 490, 0, "   x=3");
}

Task<> item_problem_3(Script& s) {
    header_with_badge(s, "3");
    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, " -ﾀ1/2ﾀx=6");
    s.text(121, 150, 0, "x=6*(-2)");
    s.more(5, "=-12");

    s.text(40, 220, 3, "(2)");
    s.text(121, 220, 0, " 5x-1=9");
    s.text(121, 270, 0, "5x=9+1=10");
    s.text(121, 320, 5, "x=2");

    s.text(40, 390, 3, "(3)");
    s.text(121, 390, 0, " 5-3x=-8x");
    s.text(121, 440, 0, "-3x+8x=-5");
    s.text(121, 490, 0, "5x=-5");
    s.text(121, 540, 5, "x=-1");

    s.text(600, 30, 3, "(4)");
    s.text(681, 30, 0, " 6x+9=7x+3");
    s.text(681, 80, 0, "6x-7x=3-9");
    s.text(681, 130, 0, "-x=-6");
    s.text(681, 180, 5, "x=6");

    s.text(600, 250, 3, "(5)");
    s.text(681, 250, 0, " 4x-2=-2+5x");
    s.text(681, 300, 0, "4x-5x=-2+2");
    s.text(681, 350, 0, "-x=0");
    s.more(5, "x=0");

    s.text(600, 420, 3, "(6)");
    s.text(681, 420, 0, " 4x+7=4-2x");
    s.text(681, 470, 0, "4x+2x=4-7");
    s.text(681, 520, 0, "6x=-3");
    s.text(681, 590, 0, "x=ﾀ-3/6ﾀ");
    s.more(5, "=-ﾀ1/2ﾀ");
    co_return;
}

Task<> item_problem_4(Script& s) {
    header_with_badge(s, "4");
    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, "3(2a-5)=6-a");
    s.text(121, 140, 0, "6a-15=6-a");
    s.text(121, 190, 0, "6a+a=6+15");
    s.text(121, 240, 0, "7a=21");
    s.text(121, 290, 0, "a=");
    s.more(5, "3");

    s.text(40, 370, 3, "(2)");
    s.text(121, 370, 0, "2-4(x-1)=2x-18");
    s.text(121, 420, 0, "2-4x+4=2x-18");
    s.text(121, 470, 0, "-4x-2x=-18-2-4");
    s.text(121, 520, 0, "-6x=-24");
    s.text(121, 570, 0, "x=");
    s.more(5, "4");

    s.text(600, 30, 3, "(3)");
    s.text(681, 30, 0, "1.1x+1.4=3-0.5x");
    s.text(681, 80, 0, "10(1.1x+1.4)=10(3-0.5x)");
    s.text(681, 130, 0, "11x+14=30-5x");
    s.text(681, 180, 0, "11x+5x=30-14");
    s.text(681, 230, 0, "16x=16");
    s.text(681, 280, 0, "x=");
    s.more(5, "1");

    s.text(600, 360, 3, "(4)");
    s.text(681, 360, 0, "ﾀ1/2ﾀx+5=ﾀ1/5ﾀx-1");
    s.text(579, 430, 0, "10*ﾀ1/2ﾀx+10*5=10*ﾀ1/5ﾀx+10*(-1)");
    s.text(681, 490, 0, "5x+50=2x-10");
    s.text(681, 540, 0, "5x-2x=-10-50");
    s.text(681, 590, 0, "3x=-60");
    s.text(681, 640, 0, "x=");
    s.more(5, "-20");
    co_return;
}

Task<> item_problem_5(Script& s) {
    header_with_badge(s, "5");
    s.text(40, 90, 3, "(1)");
    s.text(121, 90, 0, "x:16=3:8");
    s.text(121, 140, 0, "8x=16*3");
    s.text(121, 210, 0, "x=ﾀ16*3/8ﾀ");
    s.text(121, 280, 0, " =ﾀ2*3/1ﾀ");
    s.more(5, "=6");

    s.text(40, 360, 3, "(2)");
    s.text(121, 360, 0, "4:5=(x-3):(5+x)");
    s.text(121, 410, 0, "4(5+x)=5(x-3)");
    s.text(121, 460, 0, "20+4x=5x-15");
    s.text(121, 510, 0, "4x-5x=-15-20");
    s.text(121, 560, 0, "-x=-35");
    s.text(121, 610, 0, "x=");
    s.more(5, "35");
    co_return;
}

Task<> item_problem_6(Script& s) {
    header_with_badge(s, "6");
    s.text(40, 90, 3, "安いほうのノート1冊の値段をx円とすると");
    s.text(40, 140, 3, "持っているお金は、");
    s.text(40, 190, 0, "安いほうでは、8x+40 (円)");
    s.text(40, 240, 0, "高いほうでは、5(x+60)+10 (円)");
    s.text(40, 290, 0, "と表せるから");
    s.text(40, 340, 0, "8x+40=5(x+60)+10");
    s.text(40, 390, 0, "8x+40=5x+300+10");
    s.text(40, 440, 0, "8x-5x=300+10-40");
    s.text(40, 490, 0, "3x=270");
    s.text(40, 540, 0, "x=");
    s.more(3, "90");
    s.text(440, 490, 0, "持っているお金は、");
    s.text(440, 540, 0, "8*90+40=720+40=");
    s.more(3, "760");
    s.text(40, 590, 5, "答　安いほうのノート1冊90円,持っているお金760円");
    co_return;
}

// Problem 7 asks the pupils to make up a problem: only an example is shown.
Task<> item_problem_7(Script& s) {
    header_with_badge(s, "7");
    s.text(40, 90, 3, "(例)");
    s.text(121, 140, 0, "みかん2個と70円のりんごを1個買ったら、代金が150円でした。");
    s.text(121, 190, 0, "みかん1個の値段を求めなさい。");
    co_return;
}

}  // namespace

Topic topic7() {
    Topic t;
    t.bar = "P110(章の問題A)①1,2　②3　③4　④5　⑤６　⑥７　⑦終了";
    t.entries = 7;
    t.items = {item_problems_1_2, item_problem_3, item_problem_4,
               item_problem_5,    item_problem_6, item_problem_7};
    return t;
}

}  // namespace lk::apply
