// Topic 4: speed, time and distance. Catch-up problems (one person leaves
// later and faster and catches up with the other) with a path diagram, a
// speed-time-distance table and the solution. The first item animates the
// two walkers minute by minute; the third checks that a solution fits the
// situation; the fourth rejects a solution that is not a whole number of
// cubes; the last restates the four-step procedure.
#include <array>

#include "topics.h"

namespace lk::apply {

namespace {

// The speed table of items 1 and 2: the two walkers' columns and the six
// values in the order they are filled.
struct SpeedTable {
    float x2, width2, x3, width3;
    const char* walker[2];
    const char* value[6];  // speed 1, speed 2, time 1, time 2, distance 1, distance 2
};

const float kTableRows[] = {450, 500, 550, 600};

void speed_table(Script& s, const SpeedTable& t) {
    s.cell(40, kTableRows[0], {266, 50, 3, 11, 0}, "");
    s.next_cell({t.width2, 50, 3, 11, 0}, t.walker[0]);
    s.next_cell({t.width3, 50, 3, 11, 0}, t.walker[1]);
    const char* const headings[] = {"速さ(m／min)", "時間(分)", "道のり(m)"};
    for (int r = 1; r <= 3; ++r) {
        s.cell(40, kTableRows[r], {266, 50, 3, 13, 0}, headings[r - 1]);
        s.next_cell({t.width2, 50, 3, 15, 0}, "");
        s.next_cell({t.width3, 50, 3, 15, 0}, "");
    }
}

// Data cell k (0 to 5) of the speed table, redrawn with its value: given
// speeds in ink, times in colour 7, distances in colour 5.
void table_value(Script& s, const SpeedTable& t, int k) {
    const float colours[] = {0, 7, 5};
    const bool second = k % 2 == 1;
    s.cell(second ? t.x3 : t.x2, kTableRows[1 + k / 2],
           {second ? t.width3 : t.width2, 50, 3, 15, colours[k / 2]}, t.value[k]);
}

// A labelled arc under (side +1) or over (side -1) a stretch of road.
void road_arc(Script& s, float x1, float y1, float x2, float y2, float side, float colour,
              const std::string& label, float label_dx = 0, float label_dy = 0) {
    s.span({.x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2, .side = side, .height = 20, .step = 3,
            .label_colour = colour, .dot_colour = colour, .label = label, .label_dx = label_dx,
            .label_dy = label_dy});
}

// A dotted vertical guide line with no label.
void guide_line(Script& s, float x, float y1, float y2) {
    s.span({.x1 = x, .y1 = y1, .x2 = x, .y2 = y2, .side = 1, .height = 0, .step = 8,
            .label_colour = 7, .dot_colour = 0, .label = ""});
}

// One walker's path from the start of the road, ending in a disc.
void walker(Script& s, float x1, float x2, float y, float colour) {
    s.line(x1, y, x2, y, colour);
    s.disc(x2, y, 8, colour);
}

// The brothers at minute t: the younger leaves home 4 minutes earlier at
// 50 m/min, the elder follows at 70 m/min (25 and 35 units a minute).
void brothers_frame(Script& s, int t) {
    Engine& e = s.e;
    s.erase(0, 90, 2000, 1800);
    s.text(63, e.rows[1], 0, "家");
    s.text(469, e.rows[1], 0, "学校");
    s.text(40, 176, 0, "弟");
    s.line(e.columns[2], e.rows[3], e.columns[5], e.rows[3], 0);
    s.text(40, 306, 0, "兄");
    s.line(e.columns[2], e.rows[5], e.columns[5], e.rows[5], 0);
    s.text(e.columns[2], e.rows[2], 0, "毎分50m");
    s.text(e.columns[2], e.rows[4], 0, "毎分70m");

    const float minutes = static_cast<float>(t);
    const float a = e.columns[2] + 25 * minutes;
    const float b = t <= 4 ? e.columns[2] : e.columns[2] + 35 * (minutes - 4);
    if (t >= 4)
        s.span({.x1 = e.columns[2], .y1 = e.rows[3], .x2 = e.columns[3], .y2 = e.rows[3],
                .side = 1, .height = 20, .step = 9, .label_colour = 3, .dot_colour = 3,
                .label = "4分"});
    if (t >= 14) guide_line(s, e.columns[4], e.rows[3], e.rows[5]);
    walker(s, e.columns[2], a, e.rows[3], 3);
    walker(s, e.columns[2], b, e.rows[5], 7);
}

const SpeedTable kBrothers{306, 190, 496, 114, {"弟", "兄"},
                           {"50", "70", "4+x", "x", "50(4+x)", "70x"}};
const SpeedTable kSisters{306, 114, 420, 266, {"姉", "妹"},
                          {"60", "210", "x", "x-10", "60x", "210(x-10)"}};

Task<> item_example(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);
    s.pen(5);
    const float columns[] = {40, 83, 183, 433, 503};
    const float rows[] = {90, 140, 200, 270, 330};
    for (int i = 1; i <= 5; ++i) {
        e.columns[i] = columns[i - 1];
        e.rows[i] = rows[i - 1];
    }

    s.text(40, 30, 3, "教科書P105 例3をやってみよう。");
    co_await s.wait();

    // One frame a key press; the elder brother catches up at minute 14 and
    // is ahead in the last two frames.
    for (int t = 0; t <= 16; ++t) {
        brothers_frame(s, t);
        co_await s.wait();
    }

    brothers_frame(s, 14);
    co_await s.wait();

    road_arc(s, 83, 330, 433, 330, 1, 3, "x分");
    co_await s.wait();

    road_arc(s, 183, 200, 433, 200, 1, 3, "x分");
    co_await s.wait();

    speed_table(s, kBrothers);
    co_await s.wait();

    co_await s.wait();

    for (int k = 0; k < 6; ++k) {
        table_value(s, kBrothers, k);
        if (k == 5) {
            s.text(680, 30, 3, "<解答>");
            s.remember(1);
        }
        co_await s.wait();
    }

    s.at_mark(1, 0, "兄が出発してから");
    s.text(680, 80, 0, "x分後に追いつくとする。");
    s.text(680, 130, 0, "50(4+x)=70x");
    co_await s.wait();

    s.text(680, 180, 0, "200+50x=70x");
    co_await s.wait();

    s.text(680, 230, 0, "50x-70x=-200");
    co_await s.wait();

    s.text(680, 280, 0, "-20x=-200");
    co_await s.wait();

    s.text(680, 330, 3, "x=10");
    co_await s.wait();

    s.text(680, 380, 5, "答　10分後");
    co_await s.wait();

    s.text(680, 430, 3, "教科書P106 問4 をやろう。");
}

// The sisters' diagram: the elder leaves home at 9:00 at 60 m/min, the
// younger at 9:10 at 210 m/min; both paths end at the meeting point.
void sisters_diagram(Script& s) {
    Engine& e = s.e;
    // Each name stands 14 above its road, just under the start time.
    s.text(40, e.rows[3] - 14, 0, "姉");
    s.line(e.columns[2], e.rows[3], e.columns[5], e.rows[3], 0);
    s.text(40, e.rows[5] - 14, 0, "妹");
    s.line(e.columns[2], e.rows[5], e.columns[5], e.rows[5], 0);
    s.text(40, e.rows[2], 3, "9時 ");
    s.more(0, " 毎分60m");
    s.text(40, e.rows[4], 7, "9時10分 ");
    s.more(0, " 毎分210m");
    guide_line(s, e.columns[4], e.rows[3], e.rows[5]);
    walker(s, e.columns[2], e.columns[4], e.rows[3], 3);
    walker(s, e.columns[2], e.columns[4], e.rows[5], 7);
}

// Lays out the sisters' diagram with its rows moved down by dy.
void sisters_layout(Engine& e, float dy) {
    e.columns[1] = 40;
    e.columns[2] = 83;
    e.columns[4] = 483;
    e.columns[5] = 563;
    const float rows[] = {140, 200, 270, 330};
    for (int i = 2; i <= 5; ++i) e.rows[i] = rows[i - 2] + dy;
}

Task<> item_exercise4_1(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1760, 1300);
    s.pen(5);
    sisters_layout(e, 0);

    s.text(40, 30, 3, "教科書P106 問4(1)");
    s.text(60, 90, 0, "家");
    s.text(529, 90, 0, "駅");
    sisters_diagram(s);
    co_await s.wait();

    s.text(483, 140, 3, "9時x分");
    s.text(483, 270, 7, "9時x分");
    co_await s.wait();

    road_arc(s, 83, 200, 483, 200, 1, 3, "x分");
    co_await s.wait();

    road_arc(s, 83, 330, 483, 330, 1, 3, "(x-10)分");
    co_await s.wait();

    speed_table(s, kSisters);
    co_await s.wait();

    co_await s.wait();

    for (int k = 0; k < 6; ++k) {
        table_value(s, kSisters, k);
        if (k == 5) s.text(720, 30, 3, "<解答>");
        co_await s.wait();
    }

    s.text(720, 80, 0, "9時x分に追いつくとする。");
    s.text(720, 130, 0, "60x=210(x-10)");
    co_await s.wait();

    s.text(720, 180, 0, "60x=210x-2100");
    co_await s.wait();

    s.text(720, 230, 0, "60x-210x=-2100");
    co_await s.wait();

    s.text(720, 280, 0, "-150x=-2100");
    co_await s.wait();

    s.text(720, 330, 3, "x=14");
    co_await s.wait();

    s.text(720, 380, 5, "答　9時14分");
}

Task<> item_exercise4_2(Script& s) {
    Engine& e = s.e;
    s.erase(0, 0, 1320, 1300);
    s.pen(5);
    sisters_layout(e, 50);

    s.text(40, 30, 3, "教科書P106 問4(2)");
    sisters_diagram(s);
    s.text(483, 190, 3, "9時14分");
    s.text(483, 320, 7, "9時14分");
    co_await s.wait();

    // The arc is drawn twice on the same points: "？" is moved left so that
    // "840m" can later stand beside it in the usual place.
    road_arc(s, 83, 250, 483, 250, 1, 5, "？", -81);
    s.text(40, 450, 3, "姉の歩く道のりは");
    co_await s.wait();

    s.text(40, 500, 0, "60*14=");
    s.more(5, "840 (m)");
    co_await s.wait();

    road_arc(s, 83, 250, 483, 250, 1, 5, "840m");
    co_await s.wait();

    s.text(40, 140, 0, "家");
    s.line(83, 160, 443, 160, 0);
    s.text(445, 140, 0, "駅");
    // The label stands down on its arc, clear of the title above.
    road_arc(s, 83, 160, 443, 160, -1, 5, "800m", 0, 14);
    co_await s.wait();

    s.text(680, 30, 3, "<解答>");
    co_await s.wait();

    s.text(680, 80, 5, "そのまま答としてはならない。");
    s.text(680, 130, 0, "妹が姉に追いつくのは9時14分");
    s.text(680, 180, 0, "だから、姉の歩く道のりは840m。");
    s.text(680, 230, 0, "したがって、家から駅までの");
    s.text(680, 280, 0, "道のりが800mのとき、");
    s.text(680, 330, 0, "妹が姉に追いつく前に");
    s.text(680, 380, 0, "姉が駅に着いてしまうから。");
    co_await s.wait();

    s.text(680, 470, 3, "教科書P106 問5 をやろう。");
}

// Five cubes in a row in oblique view, drawn on the points of a square grid
// 35 units apart whose bottom-left corner is (40, 280).
void cube_chain(Script& s) {
    Engine& e = s.e;
    s.grid(40, 140, 35, 18, 4, 15);
    s.pen(7);
    auto at = [](float u, float v) { return Point{40 + 35 * u, 280 - 35 * v}; };
    // Corners of section i: top-back, top-front, bottom-back, bottom-front.
    auto corners = [&](int i) {
        const float u = 3 * static_cast<float>(i - 1);
        return std::array<Point, 4>{at(u + 1, 4), at(u, 3), at(u + 1, 1), at(u, 0)};
    };
    auto edge = [&](Point p, Point q) { s.line(p.x, p.y, q.x, q.y, 0); };
    for (int i = 1; i <= 6; ++i) {
        const auto c = corners(i);
        edge(c[0], c[1]);
        edge(c[2], c[3]);
        edge(c[0], c[2]);
        edge(c[1], c[3]);
    }
    for (int i = 1; i <= 5; ++i) {
        const auto c = corners(i), d = corners(i + 1);
        for (int k = 0; k < 4; ++k) edge(c[k], d[k]);
    }
    // The chain goes on: a large ellipsis right of and below the last
    // section's top-back corner.
    const Point last = corners(6)[0];
    e.p.set_font_face("ｺﾞｼｯｸ");
    e.p.set_font_size(16);
    e.p.draw_text(last.x + 20, last.y + 20, "…", 5, 5, 0);
}

Task<> item_exercise5(Script& s) {
    s.erase(0, 0, 1760, 1300);
    s.pen(5);

    s.text(40, 30, 3, "教科書P106 問5");
    s.text(40, 80, 7, "立方体をx個つなげるとき、(4+8x)本必要");
    cube_chain(s);
    s.text(40, 300, 3, "<解答>");
    co_await s.wait();

    s.text(40, 350, 7, "(1)");
    s.text(121, 350, 3, "4+8x=150");
    co_await s.wait();

    s.text(121, 400, 0, "8x=150-4");
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 0, "=146");
    co_await s.wait();

    s.text(121, 490, 0, "x=ﾀ146/8ﾀ");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 0, "=18ﾀ2/8ﾀ");
    s.remember(2);
    co_await s.wait();

    s.at_mark(2, 3, "=18ﾀ1/4ﾀ");
    co_await s.wait();

    s.text(600, 350, 7, "(2)");
    co_await s.wait();

    s.text(681, 350, 3, "立方体の数は自然数で");
    s.text(681, 400, 3, "なければならないから");
    co_await s.wait();

    s.text(600, 450, 5, "答　18個つなげた本棚を");
    s.text(681, 500, 5, "作ることができる");
}

Task<> item_procedure(Script& s) {
    s.erase(0, 0, 1320, 1300);

    s.text(44, 30, 5, "<方程式を利用した解き方>");
    co_await s.wait();

    s.text(44, 80, 3, "① 何をxとするか決める。");
    s.text(44, 150, 3, "② 等しくなる数量をxで表し、方程式をつくる。");
    s.text(44, 220, 3, "③ 方程式を解く。");
    s.text(44, 290, 5, "④ 方程式の解が問題に適しているか確かめて、答を書く。");
}

}  // namespace

Topic topic4() {
    Topic t;
    t.goal = goal_screen(44, {"方程式を利用して、速さ・時間・道のりに関する問題を解こう。"});
    t.bar = "①例３　②問4(1)　③問4(2)　④問5　⑤解き方　⑥終了";
    t.entries = 6;
    t.items = {item_example, item_exercise4_1, item_exercise4_2, item_exercise5,
               item_procedure};
    return t;
}

}  // namespace lk::apply
