// applylesson topics 6 to 8: the worked problems and answer sheets. Their
// headers and badges, which items wait for keys, the tape diagram, the
// operation "＊" kept as text, and the circular course of topic 8.
#include <gtest/gtest.h>

#include <cmath>

#include "support/replay.h"

namespace lk::testing {
namespace {

std::unique_ptr<Run> run_item(int topic, int item, int keys = 30) {
    return run_program_with("applylesson", std::to_string(topic) + "\\r" + std::to_string(item) +
                                               "\\r" + std::string(static_cast<size_t>(keys), 'x'));
}

template <typename T>
std::vector<T> ops(const Run& run) {
    std::vector<T> out;
    for (const auto& r : run.recorder.records)
        if (const auto* op = std::get_if<DrawOp>(&r))
            if (const auto* t = std::get_if<T>(op)) out.push_back(*t);
    return out;
}

int wait_banners(const Run& run) {
    int n = 0;
    for (const auto& b : run.recorder.boxes())
        if (b.x1 == 96 && b.y1 == 657 && b.x2 == 400 && b.y2 == 693 && b.colour == 13 && b.fill == 4)
            ++n;
    return n;
}

bool has_box(const Run& run, float x1, float y1, float x2, float y2, int colour, int fill) {
    for (const auto& b : run.recorder.boxes())
        if (b.x1 == x1 && b.y1 == y1 && b.x2 == x2 && b.y2 == y2 && b.colour == colour &&
            b.fill == fill)
            return true;
    return false;
}

const RichText* find_text(const Run& run, const std::string& text) {
    for (const auto& t : run.rich_texts)
        if (t.text == text) return &t;
    return nullptr;
}

// Where a line of rich text ends when drawn from (x, y).
float end_of(const std::vector<std::string>& pieces, float x, float y) {
    Bench bench;
    bench.engine.text_x = x;
    bench.engine.text_y = y;
    for (const auto& piece : pieces) {
        bench.engine.text = piece;
        bench.engine.draw_rich_text();
    }
    return bench.engine.text_x;
}

TEST(ApplySheets, CanvasStaysEmptyUntilAnItemIsChosen) {
    const auto menu_only = run_program_with("applylesson", "");
    for (int topic : {6, 7, 8}) {
        auto run = run_program_with("applylesson", std::to_string(topic) + "\\r");
        EXPECT_EQ(run->rich_texts.size(), menu_only->rich_texts.size()) << "topic " << topic;
    }
}

TEST(ApplySheets, OnlyTheStepsThatShouldWaitForAKey) {
    const std::vector<std::pair<int, std::vector<int>>> waits{
        {6, {6, 5, 18, 3}}, {7, {1, 0, 0, 0, 0, 0}}, {8, {1, 0, 0, 0, 0, 0}}};
    for (const auto& [topic, per_item] : waits)
        for (size_t i = 0; i < per_item.size(); ++i) {
            auto run = run_item(topic, static_cast<int>(i) + 1);
            EXPECT_EQ(wait_banners(*run), per_item[i]) << "topic " << topic << " item " << i + 1;
        }
}

struct Badge {
    float x, y;
    std::string number;
};
struct Sheet {
    int topic, item;
    float header_x, header_width;
    std::string header;
    float badge_height;
    std::vector<Badge> badges;
};

TEST(ApplySheets, HeadersAndBadgesShowTheirOwnNumbers) {
    const std::vector<Sheet> sheets{
        {6, 1, 40, 396, "P109(基本の問題)", 44, {{466, 30, "1"}}},
        {6, 2, 40, 396, "P109(基本の問題)", 44, {{466, 30, "2"}}},
        {6, 3, 40, 396, "P109(基本の問題)", 44, {{466, 30, "3"}}},
        {6, 4, 40, 396, "P109(基本の問題)", 44, {{466, 30, "4"}}},
        {7, 1, 40, 360, "P110(章の問題A)", 45, {{40, 80, "1"}, {600, 290, "2"}}},
        {7, 2, 40, 360, "P110(章の問題A)", 45, {{430, 30, "3"}}},
        {7, 3, 40, 360, "P110(章の問題A)", 45, {{430, 30, "4"}}},
        {7, 4, 40, 360, "P110(章の問題A)", 45, {{430, 30, "5"}}},
        {7, 5, 40, 360, "P110(章の問題A)", 45, {{430, 30, "6"}}},
        {7, 6, 40, 360, "P110(章の問題A)", 45, {{430, 30, "7"}}},
        {8, 1, 40, 360, "P111(章の問題B)", 45, {{430, 30, "1"}}},
        {8, 2, 40, 360, "P111(章の問題B)", 45, {{430, 30, "2"}}},
        {8, 3, 40, 360, "P111(章の問題B)", 45, {{430, 30, "3"}}},
        {8, 4, 40, 360, "P111(章の問題B)", 45, {{430, 30, "4"}}},
        {8, 5, 121, 360, "P111(章の問題B)", 45, {{511, 30, "5"}}},
        {8, 6, 80, 360, "P111(章の問題B)", 45, {{470, 30, "6"}}},
    };
    for (const auto& sheet : sheets) {
        SCOPED_TRACE("topic " + std::to_string(sheet.topic) + " item " + std::to_string(sheet.item));
        auto run = run_item(sheet.topic, sheet.item);
        EXPECT_TRUE(has_box(*run, 0, 0, 1760, 1800, 15, 15));
        EXPECT_TRUE(has_box(*run, sheet.header_x, 30, sheet.header_x + sheet.header_width, 78, 3, 13));
        const RichText* header = find_text(*run, sheet.header);
        ASSERT_TRUE(header);
        EXPECT_EQ(header->colour, 0);
        EXPECT_GT(header->x, sheet.header_x);

        // The badge labels are the only one-character texts in colour 13.
        std::vector<const RichText*> labels;
        for (const auto& t : run->rich_texts)
            if (t.colour == 13 && t.text.size() == 1) labels.push_back(&t);
        ASSERT_EQ(labels.size(), sheet.badges.size());
        for (size_t i = 0; i < labels.size(); ++i) {
            const Badge& b = sheet.badges[i];
            EXPECT_TRUE(has_box(*run, b.x, b.y, b.x + 44, b.y + sheet.badge_height, 4, 3)) << b.number;
            EXPECT_EQ(labels[i]->text, b.number);
            EXPECT_TRUE(labels[i]->x > b.x && labels[i]->x < b.x + 44) << b.number;
            EXPECT_TRUE(labels[i]->y >= b.y && labels[i]->y < b.y + sheet.badge_height) << b.number;
        }
    }
}

TEST(ApplySheets, TapeDiagramOfTheTwoTapes) {
    auto run = run_item(6, 2);
    // The whole and the difference are labelled above the tape, the parts
    // below it.
    struct Label {
        std::string text;
        int colour;
        bool above;
    };
    for (const Label& l : {Label{"210cm", 0, true}, Label{"50cm", 7, true},
                           Label{"(x+50)cm", 3, false}, Label{"xcm", 0, false}}) {
        const RichText* t = find_text(*run, l.text);
        ASSERT_TRUE(t) << l.text;
        EXPECT_EQ(t->colour, l.colour) << l.text;
        EXPECT_EQ(t->y < 180, l.above) << l.text;
    }
    // The difference arc spans only the colour-7 piece.
    int dots = 0;
    for (const auto& d : run->recorder.discs())
        if (d.colour == 7 && d.r == 0.5f) {
            ++dots;
            EXPECT_TRUE(d.cx >= 265.5f && d.cx <= 342.5f && d.cy <= 180.01f) << d.cx << "," << d.cy;
        }
    EXPECT_GT(dots, 10);
}

TEST(ApplySheets, ReasonsStandBesideTheLinesTheyExplain) {
    auto run = run_item(7, 1);
    const RichText* first = find_text(*run, "等式の性質1");
    const RichText* second = find_text(*run, "等式の性質4");
    ASSERT_TRUE(first && second);
    EXPECT_FLOAT_EQ(first->x, end_of({"3x-5=4"}, 600, 340) + 60);
    EXPECT_EQ(first->y, 365);
    EXPECT_FLOAT_EQ(second->x, end_of({"  3x=9"}, 600, 440) + 30);
    EXPECT_EQ(second->y, 465);
    EXPECT_EQ(first->colour, 5);
}

TEST(ApplySheets, TheProblemsOperationIsTextNotATimesSign) {
    auto run = run_item(8, 3);
    EXPECT_TRUE(find_text(*run, " 2＊(-3)"));
    EXPECT_TRUE(find_text(*run, "3＊x=11"));
    int stars = 0, times = 0, asterisks = 0;
    for (const auto& t : run->recorder.texts()) {
        stars += t.text == "＊";
        times += t.text == "×";
    }
    for (const auto& t : run->rich_texts)
        for (char c : t.text) asterisks += c == '*';
    EXPECT_EQ(stars, 2);
    // Only the ordinary multiplications become "×".
    EXPECT_EQ(times, asterisks);
    EXPECT_EQ(asterisks, 2);
}

TEST(ApplySheets, CircularCourseOfTheTwoWalkers) {
    auto run = run_item(8, 4);
    const float cx = 1000, cy = 240;

    // The grid is invisible: nothing is drawn over its squares but the course.
    for (const auto& l : run->recorder.lines())
        EXPECT_FALSE(l.x1 >= 880 && l.x1 <= 1160 && l.y1 >= 80 && l.y1 <= 360)
            << l.x1 << "," << l.y1;

    const auto circles = ops<DrawCircle>(*run);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_TRUE(circles[0].cx == cx && circles[0].cy == cy && circles[0].r == 120 &&
                circles[0].colour == 0 && circles[0].pen == 5);

    // A fraction f of a turn, clockwise on the screen from the right.
    auto at = [&](float f, float r) {
        return Point{cx + r * std::cos(2 * 3.14159265f * f), cy + r * std::sin(2 * 3.14159265f * f)};
    };
    const auto arcs = ops<DrawArc>(*run);
    ASSERT_EQ(arcs.size(), 2u);
    const Point start{1000, 100}, meeting{1140, 240};
    for (const auto& a : arcs) {
        EXPECT_TRUE(a.cx == cx && a.cy == cy && a.r == 140 && a.pen == 5);
        // Each arc runs between the start and the meeting point.
        for (float f : {a.start, a.end}) {
            const Point p = at(f, 140);
            const bool at_start = std::hypot(p.x - start.x, p.y - start.y) < 0.5f;
            const bool at_meeting = std::hypot(p.x - meeting.x, p.y - meeting.y) < 0.5f;
            EXPECT_TRUE(at_start || at_meeting) << f;
        }
        // A's arc (colour 3) goes round the left side; B's (colour 7) over
        // the upper right, where the label "B" stands.
        const float span = a.end > a.start ? a.end - a.start : a.end + 1 - a.start;
        const Point middle = at(a.start + span / 2, 140);
        if (a.colour == 3) {
            EXPECT_NEAR(span, 0.75f, 1e-6);
            EXPECT_LT(middle.x, cx);
        } else {
            EXPECT_EQ(a.colour, 7);
            EXPECT_NEAR(span, 0.25f, 1e-6);
            EXPECT_GT(middle.x, cx);
            EXPECT_LT(middle.y, cy);
        }
    }

    // The two marked points and their labels.
    int marks = 0;
    for (const auto& d : run->recorder.discs())
        if (d.r == 7 && d.colour == 5) {
            ++marks;
            EXPECT_TRUE(std::hypot(d.cx - start.x, d.cy - start.y) < 0.01f ||
                        std::hypot(d.cx - meeting.x, d.cy - meeting.y) < 0.01f)
                << d.cx << "," << d.cy;
        }
    EXPECT_EQ(marks, 2);
    const RichText* start_label = find_text(*run, "出発点");
    const RichText* meeting_label = find_text(*run, "出会う地点");
    const RichText* a = find_text(*run, "A");
    const RichText* b = find_text(*run, "B");
    ASSERT_TRUE(start_label && meeting_label && a && b);
    EXPECT_NEAR(start_label->x, 943, 0.01);
    EXPECT_NEAR(start_label->y, 44, 0.01);
    EXPECT_NEAR(meeting_label->x, 943, 0.01);
    EXPECT_NEAR(meeting_label->y, 216, 0.01);
    // A and B stand beside the points at 135° and 45° on radius 140.
    const float off = 140 * std::sqrt(0.5f);
    EXPECT_NEAR(a->x, cx - off - 20, 0.05);
    EXPECT_NEAR(a->y, cy - off - 46, 0.05);
    EXPECT_EQ(a->colour, 3);
    EXPECT_NEAR(b->x, cx + off + 10, 0.05);
    EXPECT_NEAR(b->y, cy - off - 46, 0.05);
    EXPECT_EQ(b->colour, 7);

    // The answer stands 100 after the end of "x=12".
    const RichText* answer = find_text(*run, "答　12分後");
    ASSERT_TRUE(answer);
    EXPECT_FLOAT_EQ(answer->x, end_of({"x=", "12"}, 40, 580) + 100);
    EXPECT_EQ(answer->y, 580);
}

}  // namespace
}  // namespace lk::testing
