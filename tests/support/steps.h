#pragma once
// Walking an applylesson item step by step: what the item drew, cut into
// steps at its wait banners, and checks of its waits and its goal text.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <variant>
#include <vector>

#include "engine/shell/program.h"
#include "lessons/apply/topics.h"
#include "support/replay.h"

namespace lk::testing {

// One step of an item: the rich texts it asked for and what it drew.
struct Step {
    std::vector<RichText> texts;
    std::vector<DrawOp> ops;
    template <typename T> std::vector<T> all() const {
        std::vector<T> out;
        for (const auto& op : ops)
            if (const auto* x = std::get_if<T>(&op)) out.push_back(*x);
        return out;
    }
    const RichText* find(const std::string& text) const {
        for (const auto& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
};

// Chooses an item, presses `keys` keys and cuts what the item drew into steps
// at the wait banners; `returned` tells whether the item bar came back.
struct Walk : OpSink {
    std::vector<Step> steps;
    bool returned = false, waiting = false;
    int waits() const { return static_cast<int>(steps.size()) - 1; }
    void on_event(const Event&) override {}
    // The wait banner is drawn and erased inside its prompt; the item
    // bar comes back once the item has ended.
    void on_prompt(const PromptEvent& prompt) override {
        if (steps.empty() || returned) return;
        if (prompt.kind == PromptKind::step) waiting = true, steps.emplace_back();
        if (prompt.kind == PromptKind::none) waiting = false;
    }
    void on_item(bool started) override {
        if (started && steps.empty()) steps.emplace_back();
        if (!started && !steps.empty()) returned = true;
    }
    void on_draw(const DrawOp& op) override {
        if (!steps.empty() && !returned && !waiting) steps.back().ops.push_back(op);
    }
};

// `keys` are in the key-script notation; a count is that many plain keys.
inline Walk walk(int topic, int item, const std::string& keys, std::uint64_t seed = 1) {
    Run run(std::to_string(topic) + "\r" + std::to_string(item) + "\r" + keys);
    Walk w;
    run.presenter.add_sink(&w);
    lk::finished(run_program(applylesson_program(), run.presenter, seed, [&](Engine& e) {
        e.on_rich_text = [&](const std::string& t, float x, float y, float c) {
            if (!w.steps.empty() && !w.returned && !w.waiting)
                w.steps.back().texts.push_back({t, x, y, c});
        };
    }));
    return w;
}
inline Walk walk(int topic, int item, int keys) {
    return walk(topic, item, std::string(static_cast<size_t>(keys), 'k'));
}

// The width the renderer gives a rich text, and where a drawn one ends or
// has its middle: labels are checked against what they name, not against
// coordinates restated from the lesson.
inline float width_of(const std::string& text) {
    Bench bench;
    bench.engine.run_text = text;
    bench.engine.measure_rich_text();
    return bench.engine.measured_width;
}
inline float end_of(const RichText& t) { return t.x + width_of(t.text); }
inline float middle_of(const RichText& t) { return t.x + width_of(t.text) / 2; }

// The first step that drew `text`, or -1.
inline int step_of(const Walk& w, const std::string& text) {
    for (size_t k = 0; k < w.steps.size(); ++k)
        if (w.steps[k].find(text)) return static_cast<int>(k);
    return -1;
}

// Lines that must come at their steps in their colours, in reading order:
// each one under the one before, or in a column right of where it ended.
struct Line {
    int step;
    std::string text;
    float colour;
};
inline void expect_lines(const Walk& w, const std::vector<Line>& lines) {
    const RichText* previous = nullptr;
    for (const auto& [step, text, colour] : lines) {
        ASSERT_LT(static_cast<size_t>(step), w.steps.size()) << text;
        const RichText* t = w.steps[static_cast<size_t>(step)].find(text);
        ASSERT_NE(t, nullptr) << "step " << step << ": " << text;
        EXPECT_EQ(t->colour, colour) << text;
        if (previous) {
            EXPECT_TRUE(t->y > previous->y || t->x >= end_of(*previous)) << text;
        }
        previous = t;
    }
}

// A ruled table as a step drew it: the edges of its columns and rows, read
// from the boxes framed in `frame`.
struct Grid {
    std::vector<float> xs, ys;
    int frame;
};
inline Grid grid_of(const Step& s, int frame = 3) {
    std::set<float> xs, ys;
    for (const auto& b : s.all<FillBox>())
        if (b.colour == frame) xs.insert({b.x1, b.x2}), ys.insert({b.y1, b.y2});
    return {{xs.begin(), xs.end()}, {ys.begin(), ys.end()}, frame};
}

// The label a step drew in the table's cell at column c and row r (from 0)
// with its colour, "" for an empty cell, or "?" when the step drew no such
// cell with that fill.
inline std::pair<std::string, float> cell(const Step& s, const Grid& g, size_t c, size_t r,
                                          int fill) {
    bool boxed = false;
    for (const auto& b : s.all<FillBox>())
        boxed |= b.x1 == g.xs.at(c) && b.x2 == g.xs.at(c + 1) && b.y1 == g.ys.at(r) &&
                 b.y2 == g.ys.at(r + 1) && b.colour == g.frame && b.fill == fill;
    if (!boxed) return {"?", -1};
    for (const auto& t : s.texts)
        if (t.x >= g.xs[c] && end_of(t) <= g.xs[c + 1] && t.y > g.ys[r] && t.y < g.ys[r + 1])
            return {t.text, t.colour};
    return {"", -1};
}

// The item's waits, and the item bar back after exactly that many keys.
inline void expect_waits(int topic, int item, int waits) {
    Walk w = walk(topic, item, waits);
    EXPECT_EQ(w.waits(), waits) << "item " << item;
    EXPECT_TRUE(w.returned) << "item " << item;
    EXPECT_FALSE(walk(topic, item, waits - 1).returned) << "item " << item;
}

// The topic's goal under its "<めあて>" heading (colour 3), one line under
// another in colour 0, none left of the heading.
inline void expect_goal(int topic, const std::vector<std::string>& lines) {
    auto run = run_program_with("applylesson", std::to_string(topic) + "\r");
    const RichText* above = nullptr;
    for (const auto& t : run->rich_texts)
        if (t.text == "<めあて>" && t.colour == 3) above = &t;
    ASSERT_NE(above, nullptr);
    const float left = above->x;
    for (const auto& line : lines) {
        const RichText* found = nullptr;
        for (const auto& t : run->rich_texts)
            if (t.text == line) found = &t;
        ASSERT_NE(found, nullptr) << line;
        EXPECT_EQ(found->colour, 0) << line;
        EXPECT_GT(found->y, above->y) << line;
        EXPECT_GE(found->x, left) << line;
        above = found;
    }
}
inline void expect_goal(int topic, const std::string& goal) {
    expect_goal(topic, std::vector<std::string>{goal});
}

}  // namespace lk::testing
