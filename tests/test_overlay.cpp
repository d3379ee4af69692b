// The pointer overlay without a window: its targets' geometry, and what
// taps, swipes, pens and second fingers turn into.
#include <gtest/gtest.h>

#include "engine/present/overlay/overlay.h"
#include "engine/present/platform.h"

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
        SCOPED_TRACE(testing::Message() << v.w << "x" << v.h << " @" << v.ratio);
        Overlay o;
        o.set_view(v.w, v.h, v.ratio);
        o.on_prompt(number_prompt());
        ASSERT_TRUE(o.keypad_visible());  // no keyboard used yet
        std::vector<Button> all = o.toolbar_buttons();
        for (const auto& b : o.keypad_buttons()) all.push_back(b);
        EXPECT_EQ(all.size(), 9u + 16u);
        const Rect field = o.field_rect();
        ASSERT_FALSE(field.empty());
        for (size_t i = 0; i < all.size(); ++i) {
            const Rect& r = all[i].rect;
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
