// solvelesson topic 2 (properties of equalities), checked on what the lesson
// drew: the balance scale against its geometry and tilt frames, the raised
// weights, the worked equations and the four-type drill, whose lines are
// recomputed here with exact rational arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/formula_parse.h"
#include "support/replay.h"

using lk::DelayEvent;
using lk::DrawLine;
using lk::DrawOp;
using lk::Event;
using lk::FillBox;
using lk::FillPolygon;
using namespace lk::testing;

namespace {

std::string presses(int n) { return std::string(n, 'a'); }

// --- The balance scale ------------------------------------------------------------

constexpr double kPi = 3.1416;

// One drawing of the scale: the erase box drawn just before its beam, the
// beam, and everything up to the next beam.
struct Frame {
    FillBox erase{};
    DrawLine beam{};
    std::vector<DrawLine> plates_and_posts;
    std::vector<FillBox> boxes;  // the pieces on the pans
    std::vector<FillPolygon> stand;
    int delay = 0;  // the pause after the drawing, 0 for none
};

std::vector<Frame> frames(const lk::testing::Recorder& rec) {
    std::vector<Frame> out;
    const DrawOp* previous = nullptr;
    for (const auto& r : rec.records) {
        if (const auto* e = std::get_if<Event>(&r)) {
            if (const auto* d = std::get_if<DelayEvent>(e); d && !out.empty()) out.back().delay = d->duration;
            continue;
        }
        const DrawOp& op = std::get<DrawOp>(r);
        if (const auto* l = std::get_if<DrawLine>(&op); l && l->pen == 12 && l->colour == 4) {
            out.emplace_back();
            out.back().beam = *l;
            const auto* erase = previous ? std::get_if<FillBox>(previous) : nullptr;
            EXPECT_TRUE(erase && erase->fill == 15) << "a beam drawn over no erase";
            if (erase) out.back().erase = *erase;
        } else if (out.empty()) {
        } else if (const auto* b = std::get_if<FillBox>(&op)) {
            if (b->fill != 15 || b->colour != 15) out.back().boxes.push_back(*b);
        } else if (const auto* l = std::get_if<DrawLine>(&op); l && l->pen == 12) {
            out.back().plates_and_posts.push_back(*l);
        } else if (const auto* p = std::get_if<FillPolygon>(&op)) {
            out.back().stand.push_back(*p);
        }
        previous = &std::get<DrawOp>(r);
    }
    return out;
}

double angle_of(const DrawLine& b) { return std::atan2(double(b.y1) - b.y2, double(b.x2) - b.x1); }

TEST(SolveTopic2, ScaleIsDrawnFromItsGeometryAndTiltsBackExactlyLevel) {
    struct Case {
        const char* item;
        int waits;
        float box_width;
        int sign;  // of the first tilt: -1 raises the left pan
    };
    for (const Case c : {Case{"1", 9, 90, -1}, Case{"3", 8, 120, 1}, Case{"4", 6, 90, -1},
                         Case{"5", 6, 80, 1}}) {
        SCOPED_TRACE(c.item);
        auto run = run_program_with("solvelesson", std::string("2\\r") + c.item + "\\r" + presses(c.waits));
        auto fs = frames(run->recorder);
        // The level scale, then two tilts of nine frames paused by 30 each:
        // k·pi/96 away from level, then back from pi/12.
        ASSERT_EQ(fs.size(), 19u);
        EXPECT_EQ(fs[0].delay, 0);
        for (int k = 0; k <= 8; ++k) {
            EXPECT_EQ(fs[1 + k].delay, 30);
            EXPECT_EQ(fs[10 + k].delay, 30);
            EXPECT_NEAR(angle_of(fs[1 + k].beam), c.sign * k * kPi / 96, 1e-5) << k;
            EXPECT_NEAR(angle_of(fs[10 + k].beam), c.sign * (kPi / 12 - k * kPi / 96), 1e-5) << k;
        }
        EXPECT_EQ(fs[9].beam.y1 < fs[9].beam.y2, c.sign < 0);  // which pan rose
        const DrawLine &level = fs[0].beam, &last = fs[18].beam;
        EXPECT_TRUE(last.x1 == level.x1 && last.y1 == level.y1 && last.x2 == level.x2 &&
                    last.y2 == level.y2)
            << "the return does not end exactly level";

        // Every frame turns about the stand's apex and erases one area.
        ASSERT_FALSE(fs[0].stand.empty());
        ASSERT_FALSE(fs[0].stand[0].points.empty());
        const float cx = fs[0].stand[0].points[0].x, cy = fs[0].stand[0].points[0].y;
        const float foot = cy + 150 * static_cast<float>(std::sin(kPi / 12));
        for (const Frame& f : fs) {
            const DrawLine& b = f.beam;
            EXPECT_TRUE(f.erase.x1 == fs[0].erase.x1 && f.erase.y1 == fs[0].erase.y1 &&
                        f.erase.x2 == fs[0].erase.x2 && f.erase.y2 == fs[0].erase.y2);
            EXPECT_NEAR((b.x1 + b.x2) / 2, cx, 0.01);
            EXPECT_NEAR((b.y1 + b.y2) / 2, cy, 0.01);
            EXPECT_NEAR(std::hypot(b.x2 - b.x1, b.y2 - b.y1), 300, 0.01);
            // Plates 240 wide, 30 above the beam ends, on posts.
            ASSERT_EQ(f.plates_and_posts.size(), 4u);
            const float end_x[] = {b.x1, b.x2}, end_y[] = {b.y1, b.y2};
            for (int side = 0; side < 2; ++side) {
                const DrawLine &plate = f.plates_and_posts[side], &post = f.plates_and_posts[2 + side];
                EXPECT_TRUE(plate.colour == 7 && post.colour == 7);
                EXPECT_TRUE(plate.x1 == end_x[side] - 120 && plate.x2 == end_x[side] + 120);
                EXPECT_TRUE(plate.y1 == end_y[side] - 30 && plate.y2 == end_y[side] - 30);
                EXPECT_TRUE(post.x1 == end_x[side] && post.x2 == end_x[side] && post.y1 == end_y[side] &&
                            post.y2 == end_y[side] - 30);
                EXPECT_TRUE(covers(f.erase, plate.x1, plate.y1) && covers(f.erase, plate.x2, plate.y2));
            }
            ASSERT_EQ(f.stand.size(), 1u);
            const auto& st = f.stand[0];
            ASSERT_EQ(st.points.size(), 3u);
            EXPECT_TRUE(st.points[0].x == cx && st.points[0].y == cy);
            EXPECT_TRUE(st.points[1].x == cx - 30 && st.points[2].x == cx + 30);
            EXPECT_NEAR(st.points[1].y, foot, 0.001);
            EXPECT_NEAR(st.points[2].y, foot, 0.001);
            EXPECT_TRUE(covers(f.erase, st.points[1].x, st.points[1].y));
            EXPECT_TRUE(st.colour == 5 && st.fill == 4);
            // The x box rides on the left plate's left end, inside the
            // erased area.
            ASSERT_GE(f.boxes.size(), 1u);
            const FillBox& x = f.boxes[0];
            EXPECT_EQ(x.fill, 8);
            EXPECT_TRUE(x.x1 == b.x1 - 120 && x.y2 == b.y1 - 30);
            EXPECT_TRUE(x.x2 - x.x1 == c.box_width && x.y2 - x.y1 == 100);
            EXPECT_TRUE(covers(f.erase, x.x1, x.y1) && covers(f.erase, x.x2, x.y2));
        }
    }
}

TEST(SolveTopic2, RaisedWeightsStayAboveTheScalesEraseArea) {
    auto run = run_program_with("solvelesson", "2\\r1\\r" + presses(9));
    std::vector<FillBox> raised;
    for (const auto& b : run->recorder.boxes())
        if (b.colour == 11 && b.fill == 10) raised.push_back(b);
    ASSERT_EQ(raised.size(), 6u);
    auto fs = frames(run->recorder);
    ASSERT_EQ(fs.size(), 19u);
    // Three from the level left pan, three from the upper right row of the
    // tilted scale: each on one row above the erased area, straight above a
    // weight of its own size in that frame.
    for (size_t i = 0; i < raised.size(); ++i) {
        const FillBox& w = raised[i];
        EXPECT_TRUE(w.y1 == raised[0].y1 && w.y2 == raised[0].y2);
        for (const auto& f : fs) EXPECT_LT(w.y2, f.erase.y1);
        const Frame& from = fs[i < 3 ? 0 : 9];
        EXPECT_TRUE(std::any_of(from.boxes.begin(), from.boxes.end(), [&](const FillBox& b) {
            return b.colour == 7 && b.x1 == w.x1 && b.x2 == w.x2 && b.y2 - b.y1 == w.y2 - w.y1 &&
                   (i < 3 ? b.x2 <= from.beam.x1 + 120 : b.x1 >= from.beam.x2 - 120);
        })) << i;
    }
}

// --- Worked equations -----------------------------------------------------------

TEST(SolveTopic2, WorkedEquationsAgreeWithTheirAnswers) {
    // Scale items: every equation has the answer as its only solution and
    // every inequality holds there.
    struct Case {
        const char* item;
        int waits;
        long long answer;
        int relations;
    };
    for (const Case c : {Case{"1", 9, 7, 4}, Case{"2", 4, 7, 2}, Case{"3", 8, 7, 4},
                         Case{"4", 6, 7, 4}, Case{"5", 6, 15, 4}}) {
        SCOPED_TRACE(c.item);
        auto run = run_program_with("solvelesson", std::string("2\\r") + c.item + "\\r" + presses(c.waits));
        int checked = 0;
        for (const auto& t : run->rich_texts) {
            if (auto s = solve(t.text)) {
                EXPECT_TRUE(*s == Rational(c.answer)) << t.text;
                ++checked;
            }
            for (char op : {'<', '>'})
                if (auto p = parts(t.text, op); p.size() == 2) {
                    long long diff = (value_at(p[0], c.answer) - value_at(p[1], c.answer)).n;
                    EXPECT_TRUE(op == '<' ? diff < 0 : diff > 0) << t.text;
                    ++checked;
                }
        }
        EXPECT_EQ(checked, c.relations);
    }
    // Answer sheets: the equations before each colour-5 answer line all have
    // its value as their only solution.
    for (const auto& [keys, groups] : {std::pair{"2\\r7\\raa1\\raaaaaaaa", 5}, std::pair{"2\\r8\\raaaaaa", 5}}) {
        SCOPED_TRACE(keys);
        auto run = run_program_with("solvelesson", keys);
        std::vector<std::string> open;
        int closed = 0;
        for (const auto& t : run->rich_texts) {
            if (!solve(t.text)) continue;
            if (t.colour != 5) {
                open.push_back(t.text);
                continue;
            }
            auto answer = parts(t.text);
            EXPECT_TRUE(answer[0].a == 1 && answer[0].b == 0 && answer[1].a == 0) << t.text;
            EXPECT_FALSE(open.empty());
            for (const auto& line : open) EXPECT_TRUE(*solve(line) == answer[1].b) << line << " / " << t.text;
            open.clear();
            ++closed;
        }
        EXPECT_TRUE(open.empty());
        EXPECT_EQ(closed, groups);
    }
}

// --- The drill --------------------------------------------------------------------

struct Lines {
    std::string first, second, answer;
};
// A drill problem: two lines in ink and the answer "x=..." in colour 5,
// each under the one before.
std::vector<Lines> drill_problems(const std::vector<RichText>& rt) {
    std::vector<Lines> out;
    for (size_t i = 0; i + 2 < rt.size(); ++i) {
        const RichText &a = rt[i], &b = rt[i + 1], &c = rt[i + 2];
        if (a.colour != 0 || b.colour != 0 || c.colour != 5 || !c.text.starts_with("x=")) continue;
        EXPECT_TRUE(a.y < b.y && b.y < c.y) << a.text;
        out.push_back({a.text, b.text, c.text});
    }
    return out;
}

// Keys for a drill of n problems, ended at the last.
std::string drill_keys(int n) {
    std::string keys = "2\\r7\\r";
    for (int k = 1; k < n; ++k) keys += "aa3\\r";
    return keys + "aa1\\r";
}

int type_of(const std::string& first) {
    if (first.rfind("x+", 0) == 0) return 1;
    if (first.rfind("x-", 0) == 0) return 2;
    return first.find("ﾀx=") != std::string::npos ? 3 : 4;
}

TEST(SolveTopic2, DrillMathematicsAndTypeRotationOverManySeeds) {
    int negative_b_type2 = 0, negative_c_type3 = 0;
    for (std::uint64_t seed = 1; seed <= 150; ++seed) {
        auto run = run_program_with("solvelesson", drill_keys(8), seed);
        auto list = drill_problems(run->rich_texts);
        ASSERT_EQ(list.size(), 8u) << seed;
        for (const auto& t : run->recorder.texts())
            ASSERT_EQ(t.text.find("ﾀ"), std::string::npos) << "stray fraction marker drawn";
        for (size_t k = 0; k < list.size(); ++k) {
            const Lines& p = list[k];
            SCOPED_TRACE(p.first + " | " + p.second + " | " + p.answer);
            const int type = static_cast<int>(k % 4) + 1;
            EXPECT_EQ(type_of(p.first), type);
            auto s = solve(p.first), s2 = solve(p.second), answer = solve(p.answer);
            ASSERT_TRUE(s && s2 && answer);
            EXPECT_TRUE(*s == *s2 && *s == *answer && s->d == 1);
            EXPECT_EQ(p.answer.rfind("x=", 0), 0u);
            auto sides = parts(p.first);
            const Lin &l = sides[0], &r = sides[1];
            if (type <= 2) {
                const long long a = type == 1 ? l.b.n : -l.b.n, b = r.b.n;
                const std::string as = std::to_string(a), bs = std::to_string(b);
                EXPECT_TRUE(a >= 2 && a <= 8 && b != 0 && std::llabs(b) <= 9);
                const char* op = type == 1 ? "+" : "-";
                const char* back = type == 1 ? "-" : "+";
                std::string second = "x";
                for (const std::string& piece : {std::string(op), as, std::string(back), as,
                                                 std::string("="), bs, std::string(back), as})
                    second += piece;
                EXPECT_EQ(p.second, second);
                negative_b_type2 += type == 2 && b < 0;
            } else if (type == 3) {
                // 1/c before x: a leading "-" and the magnitude below the bar
                // for a negative c, which is written in parentheses after "x*".
                ASSERT_EQ(std::llabs(l.a.n), 1);
                const long long c = l.a.n * l.a.d, d = r.b.n;
                EXPECT_TRUE(std::llabs(c) >= 2 && std::llabs(c) <= 9 && d != 0 && std::llabs(d) <= 8);
                std::string cs = std::to_string(c);
                if (c < 0) cs = std::string("(") + cs + ")";
                const std::string f = (c < 0 ? "-ﾀ1/" : "ﾀ1/") + std::to_string(std::llabs(c)) + "ﾀ";
                EXPECT_EQ(p.first, f + "ﾀx=" + std::to_string(d));
                EXPECT_EQ(p.second, f + "ﾀx*" + cs + "=" + std::to_string(d) + "*" + cs);
                negative_c_type3 += c < 0;
            } else {
                EXPECT_TRUE(std::llabs(l.a.n) >= 2 && std::llabs(l.a.n) <= 9);
                EXPECT_TRUE(s->n != 0 && std::llabs(s->n) <= 8);
            }
        }
    }
    EXPECT_GT(negative_b_type2, 0);
    EXPECT_GT(negative_c_type3, 0);
}

TEST(SolveTopic2, DrillEndsOnOneAndRestartsAtTypeOne) {
    auto one = run_program_with("solvelesson", drill_keys(1) + "a", 3);
    ASSERT_EQ(drill_problems(one->rich_texts).size(), 1u);
    int hints = 0;
    for (const auto& t : one->rich_texts)
        hints += t.text == "教科書P95問3　をやろう。" && t.colour == 7;
    EXPECT_EQ(hints, 1);

    // An empty answer draws a new problem; choosing the drill again after
    // two problems starts at type 1, and every problem erases the drill area.
    auto twice = run_program_with("solvelesson", "2\\r7\\raa\\raa1\\r" + presses(8) + "7\\raa\\raa1\\r", 3);
    auto both = drill_problems(twice->rich_texts);
    ASSERT_EQ(both.size(), 4u);
    const int expected[] = {1, 2, 1, 2};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(type_of(both[k].first), expected[k]) << k;
    // Once the task line is drawn, the drill's erases hold its first line's
    // place but spare the task line.
    const RichText *task = nullptr, *line = nullptr;
    for (const auto& t : twice->rich_texts) {
        if (t.text == "練習　次の方程式を解きなさい。") task = &t;
        if (!line && t.text == both[0].first) line = &t;
    }
    ASSERT_TRUE(task && line);
    auto holds = [](const FillBox& b, const RichText& t) { return covers(b, t.x, t.y); };
    int erases = 0;
    bool started = false;
    for (const auto& r : twice->recorder.records) {
        const auto* op = std::get_if<DrawOp>(&r);
        if (const auto* t = op ? std::get_if<lk::DrawText>(op) : nullptr) started |= t->text == "練";
        if (const auto* b = op ? std::get_if<FillBox>(op) : nullptr)
            erases += started && b->fill == 15 && holds(*b, *line) && !holds(*b, *task);
    }
    EXPECT_EQ(erases, 4);
}

}  // namespace
