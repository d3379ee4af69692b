// The pointer overlay without a window: its targets' geometry, and what
// taps, swipes, pens and second fingers turn into.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "engine/present/answer_field.h"
#include "engine/present/headless/headless_platform.h"
#include "engine/present/overlay/overlay.h"
#include "engine/present/platform.h"
#include "engine/present/presenter.h"
#include "engine/present/probe.h"
#include "engine/shell/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/practice/program.h"
#include "lessons/solve/topics.h"

namespace lk::overlay {
namespace {

using Keys = std::vector<std::string>;

// The programs' answer field, where every number prompt shows its answer.
PromptEvent number_prompt(PromptKind kind = PromptKind::next_step) {
    PromptEvent p;
    p.kind = kind;
    p.field = Box{1008, 640, 1248, 670};
    return p;
}

Keys tap(Overlay& o, double x, double y, PointerType type = PointerType::touch, std::int64_t id = 1) {
    static std::uint64_t t = 1000;
    o.on_pointer({PointerPhase::down, type, id, x, y, t += 10});
    return o.on_pointer({PointerPhase::up, type, id, x, y, t += 10}).keys;
}

Keys drag(Overlay& o, double x1, double y1, double x2, double y2, PointerType type = PointerType::touch) {
    static std::uint64_t t = 50000;
    o.on_pointer({PointerPhase::down, type, 7, x1, y1, t += 10});
    for (int i = 1; i < 8; ++i)
        o.on_pointer({PointerPhase::move, type, 7, x1 + (x2 - x1) * i / 8, y1 + (y2 - y1) * i / 8, t += 10});
    return o.on_pointer({PointerPhase::up, type, 7, x2, y2, t += 10}).keys;
}

// Window pixels of a layout point.
double px(const Overlay& o, double lx) { return o.view().offset_x + lx * o.view().scale; }
double py(const Overlay& o, double ly) { return o.view().offset_y + ly * o.view().scale; }

TEST(Overlay, TargetsAreLargeEnoughAndKeepClearOfTheFieldAtEverySize) {
    struct View { double w, h, ratio; };
    const View views[] = {{kMinWindowWidth, kMinWindowHeight, 1}, {2 * kMinWindowWidth, 2 * kMinWindowHeight, 2},
                          {640, 480, 1}, {1024, 768, 1}, {1366, 768, 1}, {1920, 1080, 1},
                          {2048, 768, 1}, {2048, 1536, 2}, {kMinWindowWidth, 900, 1}};
    for (const auto& v : views) {
      for (const FieldSpec& spec : {kNumberField, kEquationField}) {
        SCOPED_TRACE(testing::Message() << v.w << "x" << v.h << " @" << v.ratio << " keypad "
                                        << static_cast<int>(spec.keypad));
        Overlay o;
        o.set_view(v.w, v.h, v.ratio);
        PromptEvent prompt = number_prompt();
        prompt.input = spec;
        o.on_prompt(prompt);
        ASSERT_TRUE(o.keypad_visible());  // no keyboard used yet
        std::vector<Button> all = o.toolbar_buttons();
        for (const auto& b : o.keypad_buttons()) all.push_back(b);
        EXPECT_EQ(all.size(), 9u + (spec.keypad == KeypadLayout::number ? 16u : 23u));
        const Rect field = o.field_rect();
        ASSERT_FALSE(field.empty());
        for (size_t i = 0; i < all.size(); ++i) {
            const Rect& r = all[i].rect;
            // Every button as large as the toolbar's.
            EXPECT_EQ(r.w, all[0].rect.w);
            EXPECT_EQ(r.h, all[0].rect.h);
            EXPECT_GE(r.w / v.ratio, kMinTarget);
            EXPECT_GE(r.h / v.ratio, kMinTarget);
            EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.w <= v.w && r.y + r.h <= v.h)
                << "target " << i << " leaves the window";
            for (size_t j = 0; j < i; ++j) EXPECT_FALSE(r.intersects(all[j].rect)) << i << " over " << j;
        }
        EXPECT_FALSE(o.keypad_rect().intersects(field));
        EXPECT_FALSE(o.keypad_rect().intersects(o.toolbar_rect()));
      }
    }
}

// The headless back end with its overlay's view in the test's hands.
struct SizedPlatform : HeadlessPlatform {
    using Backend::canvas;
    using Backend::mutable_overlay;
};

// Whether a w x h box fits somewhere in the window (a margin from its
// edges, as the overlay keeps) touching none of `taken`: every place on a
// pixel grid, each taken box covering every pixel it reaches into.
bool room_for(double w, double h, double width, double height, double margin, const std::vector<Rect>& taken) {
    const int cols = static_cast<int>(width), rows = static_cast<int>(height);
    std::vector<int> sum(static_cast<size_t>((cols + 1) * (rows + 1)), 0);
    auto at = [&](int x, int y) -> int& { return sum[static_cast<size_t>(y * (cols + 1) + x)]; };
    for (const auto& t : taken) {
        const int x1 = std::max(0, static_cast<int>(std::floor(t.x))), y1 = std::max(0, static_cast<int>(std::floor(t.y)));
        const int x2 = std::min(cols, static_cast<int>(std::ceil(t.x + t.w)));
        const int y2 = std::min(rows, static_cast<int>(std::ceil(t.y + t.h)));
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x) at(x + 1, y + 1) = 1;
    }
    for (int y = 1; y <= rows; ++y)
        for (int x = 1; x <= cols; ++x) at(x, y) += at(x - 1, y) + at(x, y - 1) - at(x - 1, y - 1);
    const int bw = static_cast<int>(std::ceil(w)), bh = static_cast<int>(std::ceil(h));
    const int lo = static_cast<int>(std::ceil(margin));
    for (int y = lo; y + bh <= rows - lo; ++y)
        for (int x = lo; x + bw <= cols - lo; ++x)
            if (at(x + bw, y + bh) - at(x, y + bh) - at(x + bw, y) + at(x, y) == 0) return true;
    return false;
}

// Every screen of the three programs at the sizes of a tablet, a laptop, a
// desktop and a high-density tablet, with touch (the keypad out): the
// keypad (at number prompts) and the toolbar cover nothing the program drew
// wherever a place free of drawing existed, and never the answer field.
// The screens where no place was free are listed.
TEST(Overlay, KeypadAndToolbarCoverNoDrawingWhereRoomExists) {
    struct Size { double w, h, ratio; };
    const Size sizes[] = {{1024, 768, 1}, {1366, 768, 1}, {1920, 1080, 1}, {2048, 1536, 2}};
    const std::pair<const char*, const ProgramDef*> programs[] = {
        {"applylesson", &applylesson_program()},
        {"solvelesson", &solvelesson_program()},
        {"practicelesson", &practicelesson_program()}};
    std::set<std::string> crowded;
    for (const auto& [name, program] : programs) {
        SizedPlatform platform;
        TourDriver driver(*program, 1);
        platform.set_key_source([&] { return driver.next_keys(); });
        int checked = 0, keypads = 0;
        platform.set_prompt_listener([&](const PromptEvent& prompt, bool) {
            if (prompt.kind == PromptKind::none) return;
            Overlay& o = platform.mutable_overlay();
            for (const auto& size : sizes) {
                o.set_view(size.w, size.h, size.ratio);
                const View& v = o.view();
                // What the screen shows, in window pixels; the paper and
                // erases in its colour are no drawing.
                std::vector<Rect> drawn;
                std::vector<std::string> texts;  // each drawn box's text, if a text
                std::string title;
                for (const auto& op : platform.canvas()->ops()) {
                    if (const auto* b = std::get_if<FillBox>(&op); b && b->colour == 15 && b->fill == 15) continue;
                    if (const auto* t = std::get_if<DrawText>(&op); t && title.size() < 24) title += t->text;
                    Box e = layout_extent(op);
                    e = {std::max(e.x1, 0.0f), std::max(e.y1, 0.0f), std::min(e.x2, kCanvasWidth),
                         std::min(e.y2, kCanvasHeight)};
                    if (e.x2 <= e.x1 || e.y2 <= e.y1) continue;
                    drawn.push_back({v.device_x(e.x1), v.device_y(e.y1), (e.x2 - e.x1) * v.scale,
                                     (e.y2 - e.y1) * v.scale});
                    const auto* t = std::get_if<DrawText>(&op);
                    texts.push_back(t ? t->text : "");
                }
                const Rect field = o.field_rect();
                const std::string where = std::string(name) + " " + std::to_string(static_cast<int>(size.w)) + "x" +
                                          std::to_string(static_cast<int>(size.h)) + " prompt " +
                                          std::to_string(static_cast<int>(prompt.kind)) + " \"" + title + "\"";
                auto check = [&](const char* what, const Rect& r, std::vector<Rect> keep_off) {
                    EXPECT_FALSE(r.intersects(field)) << where << ": " << what << " over the answer field";
                    bool covers = false;
                    std::string covered;
                    for (size_t i = 0; i < drawn.size(); ++i) {
                        if (!r.intersects(drawn[i])) continue;
                        covers = true;
                        covered += texts[i];
                    }
                    if (!covers) return;
                    keep_off.insert(keep_off.end(), drawn.begin(), drawn.end());
                    if (room_for(r.w, r.h, size.w, size.h, 4 * size.ratio, keep_off))
                        ADD_FAILURE() << where << ": the " << what << " covers drawing, and a free place existed";
                    else
                        crowded.insert(where + ": " + what + " over \"" + covered + "\"");
                };
                check("toolbar", o.toolbar_rect(), {field});
                if (prompt.reads_number()) {
                    EXPECT_TRUE(o.keypad_visible()) << where;
                    check("keypad", o.keypad_rect(), {field, o.toolbar_rect()});
                    ++keypads;
                }
                ++checked;
            }
        });
        Presenter presenter(platform);
        presenter.add_sink(&driver);
        EXPECT_EQ(lk::finished(run_program(*program, presenter, 1)), 0) << name;
        EXPECT_GT(driver.items_run() + driver.problems_shown(), 0) << name;
        EXPECT_GT(keypads, 10) << name;
        std::printf("%s: %d screens and sizes checked, %d with the keypad\n", name, checked, keypads);
    }
    for (const auto& c : crowded) std::printf("no free place: %s\n", c.c_str());
}

TEST(Overlay, GesturesBecomeTheKeyboardsKeys) {
    Overlay o;
    o.set_view(1366, 768);
    PromptEvent step;
    step.kind = PromptKind::step;
    o.on_prompt(step);
    const double y = py(o, 400);
    EXPECT_EQ(tap(o, px(o, 20), y), Keys{kKeyStepBack});   // the left quarter
    EXPECT_EQ(tap(o, px(o, 335), y), Keys{kKeyStepBack});
    EXPECT_EQ(tap(o, px(o, 348), y), Keys{kKeyForward});
    EXPECT_EQ(tap(o, px(o, 1300), y), Keys{kKeyForward});
    EXPECT_EQ(drag(o, 700, y, 640, y), Keys{kKeyForward});  // a swipe to the left
    EXPECT_EQ(drag(o, 640, y, 700, y), Keys{kKeyStepBack});
    EXPECT_EQ(drag(o, 700, y, 670, y), Keys{});             // too short for a swipe
    // A pen never navigates: it writes.
    EXPECT_EQ(tap(o, px(o, 1000), y, PointerType::pen), Keys{});
    EXPECT_EQ(drag(o, 700, y, 600, y, PointerType::pen), Keys{});
    EXPECT_EQ(o.strokes().size(), 2u);
    // Nor does a second finger, or the first once a second came down.
    o.on_pointer({PointerPhase::down, PointerType::touch, 1, px(o, 1000), y, 90000});
    o.on_pointer({PointerPhase::down, PointerType::touch, 2, px(o, 1100), y, 90010});
    EXPECT_EQ(o.on_pointer({PointerPhase::up, PointerType::touch, 2, px(o, 1100), y, 90020}).keys, Keys{});
    EXPECT_EQ(o.on_pointer({PointerPhase::up, PointerType::touch, 1, px(o, 1000), y, 90030}).keys, Keys{});

    // A menu: an entry is its number and Enter; between entries, nothing.
    PromptEvent menu = number_prompt(PromptKind::menu);
    menu.choices = {{3, Box{44, 100, 300, 116}}, {12, Box{44, 160, 300, 176}}};
    o.on_prompt(menu);
    EXPECT_EQ(tap(o, px(o, 100), py(o, 170)), (Keys{"\f", "1", "2", "\r"}));
    EXPECT_EQ(tap(o, px(o, 100), py(o, 140)), Keys{});
    EXPECT_EQ(tap(o, px(o, 100), py(o, 108), PointerType::pen), Keys{});
    // The keypad types the keyboard's keys.
    for (const auto& b : o.keypad_buttons())
        EXPECT_EQ(tap(o, b.rect.x + b.rect.w / 2, b.rect.y + b.rect.h / 2), Keys{b.key});
    // A typed key puts the keypad away; it is not there to be hit.
    o.on_key(100000);
    EXPECT_FALSE(o.keypad_visible());
    const Button one = o.keypad_buttons()[8];
    ASSERT_EQ(one.key, "1");
    EXPECT_EQ(tap(o, one.rect.x + one.rect.w / 2, one.rect.y + one.rect.h / 2), Keys{});
    EXPECT_TRUE(o.keypad_visible());  // back with the pointer
}

// A field as each prompt configures it: every character it takes typed on
// the keyboard, as an input method commits it and on the keypad the prompt
// announces; keys it refuses; Backspace, clear, Enter and the length limit.
struct FieldCase {
    FieldSpec spec;
    std::string keypad;  // what the keypad types besides ⌫, C and ↵
    std::vector<std::pair<std::string, std::string>> wide;  // besides "０".."９"
    std::vector<std::string> refused;
};

void check_field(const FieldCase& c) {
    const std::string takes(c.spec.takes);
    auto typed = [&](const std::string& key) {
        AnswerField f(c.spec);
        return std::pair{f.key(key), f.text()};
    };
    // The keyboard, one character at a time and all together.
    for (char ch : takes) EXPECT_EQ(typed({ch}), std::pair(FieldChange::taken, std::string{ch}));
    AnswerField all(c.spec);
    const std::string fits = takes.substr(0, c.spec.max_chars);
    for (char ch : fits) all.key(std::string{ch});
    EXPECT_EQ(all.text(), fits);
    // An input method's full-width forms.
    auto wide = c.wide;
    const char* const digits[] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
    for (int d = 0; d < 10; ++d) wide.emplace_back(digits[d], std::to_string(d));
    for (const auto& [form, plain] : wide)
        EXPECT_EQ(typed(form), std::pair(FieldChange::taken, plain)) << form;
    for (const auto& key : c.refused) EXPECT_EQ(typed(key), std::pair(FieldChange::refused, std::string())) << key;

    // The keypad the prompt asks for: each key typed into a field.
    Overlay o;
    o.set_view(1366, 768);
    PromptEvent prompt = number_prompt(PromptKind::answer);
    prompt.input = c.spec;
    o.on_prompt(prompt);
    ASSERT_TRUE(o.keypad_visible());
    std::string on_keypad;
    AnswerField f(c.spec);
    for (const char* k : {"1", "2"}) f.key(k);
    for (const auto& b : o.keypad_buttons()) {
        const Keys keys = tap(o, b.rect.x + b.rect.w / 2, b.rect.y + b.rect.h / 2);
        ASSERT_EQ(keys, Keys{b.key});
        const bool one_char = c.spec.backspace == FieldSpec::Backspace::delete_one;
        if (b.key == "\b") {
            EXPECT_EQ(f.key(keys[0]), one_char ? FieldChange::deleted : FieldChange::cleared);
            EXPECT_EQ(f.text(), one_char ? "1" : "");
        } else if (b.key == "\f") {
            EXPECT_EQ(f.key(keys[0]), FieldChange::cleared);
            EXPECT_EQ(f.text(), "");
        } else if (b.key == "\r") {
            EXPECT_EQ(f.key(keys[0]), FieldChange::submitted);
        } else {
            on_keypad += b.key;
            EXPECT_EQ(typed(keys[0]), std::pair(FieldChange::taken, b.key));
        }
    }
    std::sort(on_keypad.begin(), on_keypad.end());
    std::string keypad = c.keypad;
    std::sort(keypad.begin(), keypad.end());
    EXPECT_EQ(on_keypad, keypad);
    // A page's probe names every key in a word of its own.
    std::istringstream words(describe_overlay(o));
    for (std::string word; words >> word;) EXPECT_EQ(std::count(word.begin(), word.end(), '='), 1) << word;

    // Full: the number prompts clear at any next key, Enter too; the others
    // refuse a character and still take Backspace and Enter.
    AnswerField full(c.spec);
    for (size_t i = 0; i < c.spec.max_chars; ++i) EXPECT_EQ(full.key("1"), FieldChange::taken);
    const std::string ones(c.spec.max_chars, '1');
    if (c.spec.at_limit == FieldSpec::AtLimit::clear) {
        for (const char* key : {"1", "\r", "a"}) {
            AnswerField again = full;
            EXPECT_EQ(again.key(key), FieldChange::cleared) << key;
            EXPECT_EQ(again.text(), "");
        }
    } else {
        EXPECT_EQ(full.key("2"), FieldChange::refused);
        EXPECT_EQ(full.text(), ones);
        EXPECT_EQ(full.key("\b"), FieldChange::deleted);
        EXPECT_EQ(full.key("2"), FieldChange::taken);
        EXPECT_EQ(full.key("\r"), FieldChange::submitted);
        EXPECT_EQ(full.text(), ones.substr(1) + "2");
    }
}

TEST(AnswerField, TheTeacherProgramsNumber) {
    check_field({kNumberField, "-./0123456789",
                 {{"ー", "-"}, {"－", "-"}, {"−", "-"}, {"／", "/"}, {"÷", "/"}, {"．", "."}},
                 {"+", "x", "=", "(", "*", "c", " ", "a", "あ", "＋", "×", "\x1b[back]"}});
}

TEST(AnswerField, ThePracticeAnswer) {
    check_field({kAnswerField, "-./0123456789",
                 {{"＋", "+"}, {"ー", "-"}, {"ｰ", "-"}, {"‐", "-"}, {"／", "/"}, {"．", "."},
                  {"ｘ", "x"}, {"Ｘ", "X"}, {"＝", "="}, {"　", " "}},
                 {"(", ")", "*", ":", "a", "y", "あ", "×", "（", "："}});
    // "c" clears it, as Delete does.
    AnswerField f(kAnswerField);
    f.key("3");
    EXPECT_EQ(f.key("c"), FieldChange::cleared);
    EXPECT_EQ(f.text(), "");
}

TEST(AnswerField, AnEquation) {
    check_field({kEquationField, "0123456789.x():=+-*/",
                 {{"ｘ", "x"}, {"（", "("}, {"）", ")"}, {"：", ":"}, {"＝", "="}, {"＋", "+"},
                  {"＊", "*"}, {"×", "*"}, {"÷", "/"}, {"ー", "-"}, {"－", "-"}, {"／", "/"}, {"．", "."}},
                 {"X", "Ｘ", " ", "　", "a", "c", "y", "あ", "[", "\x1b[forward]"}});
}

TEST(Overlay, InkGoesWithTheStepsItWasDrawnOn) {
    Overlay o;
    o.set_view(1366, 768);
    o.on_item(true);
    PromptEvent step;
    step.kind = PromptKind::step;
    for (int s = 0; s < 3; ++s) {
        step.step = s;
        o.on_prompt(step);
        drag(o, 600, 200 + 50 * s, 700, 200 + 50 * s, PointerType::pen);
        o.on_prompt({});
    }
    ASSERT_EQ(o.strokes().size(), 3u);
    Rect damage;
    o.take_damage(damage);
    // Back to the second step: the third step's ink goes, and only its place
    // is repainted.
    step.step = 1;
    o.on_prompt(step);
    ASSERT_EQ(o.strokes().size(), 2u);
    ASSERT_TRUE(o.take_damage(damage));
    EXPECT_GT(damage.y + damage.h, 300);
    EXPECT_LT(damage.y, 300);
    EXPECT_LT(damage.h, 30);
    // The ink is kept in layout units: a new window size keeps it in place.
    const Point first = o.strokes()[0].points[0];
    o.set_view(800, 600);
    EXPECT_EQ(o.strokes()[0].points[0].x, first.x);
    o.on_item(true);
    EXPECT_TRUE(o.strokes().empty());
}

}  // namespace
}  // namespace lk::overlay
