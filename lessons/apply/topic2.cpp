// Topic 2: quantities and prices. Two purchase problems (two kinds of goods,
// a total count and a total price) worked through a ruled table whose cells
// are filled one key press at a time; the equation is read off the cost row
// and solved in two columns. Both items share one layout and differ only in
// their data.
#include "topics.h"

namespace lk::apply {

namespace {

// Everything that differs between the two purchase problems.
struct Purchase {
    float erase_width;
    const char* title;
    const char* choice;  // the choice of x
    const char* header[3];
    const char* price[2];       // columns 2, 3
    const char* count_x;        // column 2
    const char* count_total;    // column 4
    const char* count_second;   // column 3
    const char* cost_total;     // column 4
    const char* cost_first;     // column 2
    const char* cost_second;    // column 3
    const char* equation;
    const char* expanded;
    const char* transposed;
    const char* collected;
    float collected_y;
    const char* root;
    const char* second_count;
    const char* second_sum;
    const char* answer;
    const char* closing;  // empty for none
    // How far the answer line stands above its row: one that runs past
    // x 1008 stands over the answer field the item bar opens below it.
    float answer_lift = 0;
};

const Purchase kExample{
    1760,
    "教科書P103 例１をやってみよう。",
    "オレンジをx個買うとすると",
    {"オレンジ", "りんご", "合計"},
    {"90", "140"},
    "x",
    "15",
    "15-x",
    "1800",
    "90x",
    "140(15-x)",
    "90x+140(15-x)=1800",
    "90x+2100-140x=1800",
    "90x-140x=1800-2100",
    "-50x=-300",
    400,
    "x=6",
    "りんごの個数は ",
    "15-6=9",
    "答　オレンジ6個,りんご9個",
    "教科書P103 問1 をやろう。",
};

const Purchase kExercise{
    1320,
    "教科書P103 問1",
    "ケーキをx個買うとすると",
    {"ケーキ", "プリン", "合計"},
    {"350", "250"},
    "x",
    "10",
    "10-x",
    "3200",
    "350x",
    "250(10-x)",
    "350x+250(10-x)=3200",
    "350x+2500-250x=3200",
    "350x-250x=3200-2500",
    "100x=700",
    450,
    "x=7",
    "プリンの個数は ",
    "10-7=3",
    "答　ケーキ7個,プリン3個",
    "",
    1,
};

Task<> purchase_item(Script& s, const Purchase& d) {
    Engine& e = s.e;
    s.erase(0, 0, d.erase_width, 1300);

    // The table: a heading column as wide as the widest data column, so that
    // "140(15-x)" fits in column 3; the rows start 60 under the choice of x.
    e.columns[1] = 40;
    e.columns[2] = e.columns[1] + 266;
    e.columns[3] = e.columns[2] + 152;
    e.columns[4] = e.columns[3] + 266;
    e.columns[5] = e.columns[4] + 152;
    e.rows[1] = 80 + 60;
    for (int r = 2; r <= 4; ++r) e.rows[r] = e.rows[r - 1] + 50;
    auto width = [&](int c) { return e.columns[c + 1] - e.columns[c]; };
    // A data cell is filled by drawing the whole cell again with its value.
    auto data = [&](int c, int r, float colour, const std::string& label) {
        s.cell(e.columns[c], e.rows[r], {width(c), 50, 3, 15, colour}, label);
    };

    s.text(40, 30, 3, d.title);
    s.text(40, 80, 0, d.choice);
    s.cell(e.columns[1], e.rows[1], {width(1), 50, 3, 11, 0}, "");
    for (int c = 2; c <= 4; ++c) s.next_cell({width(c), 50, 3, 11, 0}, d.header[c - 2]);
    const char* const headings[] = {"1個の値段(円)", "個数(個)", "代金(円)"};
    for (int r = 2; r <= 4; ++r) {
        s.cell(e.columns[1], e.rows[r], {width(1), 50, 3, 13, 0}, headings[r - 2]);
        s.next_cell({width(2), 50, 3, 15, 0}, "");
        s.next_cell({width(3), 50, 3, 15, 0}, "");
        s.next_cell({width(4), 50, 3, 15, 0}, r == 2 ? "／" : " ");
    }
    co_await s.wait();

    // The class reads the empty table first: this step adds nothing.
    co_await s.wait();

    data(2, 2, 0, d.price[0]);
    co_await s.wait();

    data(3, 2, 0, d.price[1]);
    co_await s.wait();

    data(2, 3, 0, d.count_x);
    co_await s.wait();

    data(4, 3, 0, d.count_total);
    co_await s.wait();

    data(3, 3, 5, d.count_second);
    co_await s.wait();

    data(4, 4, 0, d.cost_total);
    co_await s.wait();

    data(2, 4, 5, d.cost_first);
    co_await s.wait();

    data(3, 4, 5, d.cost_second);
    co_await s.wait();

    s.text(40, 350, 0, "代金の関係から　");
    s.more(0, d.equation);
    s.text(40, 400, 3, "<解答>");
    co_await s.wait();

    s.text(40, 450, 0, d.choice);
    s.text(40, 500, 0, d.equation);
    co_await s.wait();

    s.text(40, 550, 0, d.expanded);
    co_await s.wait();

    s.text(40, 600, 0, d.transposed);
    co_await s.wait();

    // The second column continues beside the first, 50 under the line where
    // "<解答>" or the choice of x stands.
    float y = d.collected_y;
    s.text(640, y, 0, d.collected);
    co_await s.wait();

    y += 50;
    s.text(640, y, 3, d.root);
    co_await s.wait();

    y += 50;
    s.text(640, y, 0, d.second_count);
    s.remember(1);
    co_await s.wait();

    s.at_mark(1, 3, d.second_sum);
    co_await s.wait();

    y += 50;
    s.text(640, y - d.answer_lift, 5, d.answer);
    if (*d.closing == '\0') co_return;
    co_await s.wait();

    s.text(640, 600, 3, d.closing);
}

Task<> item_example(Script& s) { co_await purchase_item(s, kExample); }
Task<> item_exercise(Script& s) { co_await purchase_item(s, kExercise); }

}  // namespace

Topic topic2() {
    Topic t;
    t.goal = goal_screen(44, {"方程式を利用して、個数と代金に関する問題を解こう。"});
    t.bar = "①例１　②問1　③終了";
    t.entries = 3;
    t.items = {item_example, item_exercise};
    return t;
}

}  // namespace lk::apply
