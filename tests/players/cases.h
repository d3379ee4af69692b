#pragma once
// Small pictures for the players' reference tests: one kind of operation
// each, drawn by the cairo player and by the Canvas 2D player and compared
// with the same committed reference picture (reference/NAME.png, made by
// the cairo player at kScale). The pointer overlay has one case of its own,
// drawn by either overlay painter over its player's picture.
#include <cmath>
#include <string>
#include <vector>

#include "engine/present/ops.h"
#include "engine/present/overlay/overlay.h"

namespace lk::testing {

struct PlayerCase {
    std::string name;
    float width, height;  // layout units, from (0, 0)
    std::vector<DrawOp> ops;
};

inline constexpr double kPlayerScale = 2;

inline std::vector<PlayerCase> player_cases() {
    const Font gothic{"ｺﾞｼｯｸ", 16, true, false};
    const Font serif{"Times New Roman", 16, true, true};
    return {
        // A Gothic glyph magnified three times, as the lessons draw digits.
        {"magnified_glyph", 80, 56, {DrawText{8, 4, "式", 3, 3, 3, gothic}}},
        // The italic unknown, in the serif, beside a Gothic digit.
        {"italic_x", 80, 64,
         {DrawText{6, 4, "2", 3, 3, 0, gothic}, DrawText{30, 4, "x", 3, 3, 0, serif}}},
        // A stacked fraction: numerator, bar, denominator.
        {"fraction_bar", 56, 80,
         {DrawText{14, 2, "1", 2, 2, 5, gothic}, DrawLine{6, 38, 46, 38, 5, 3},
          DrawText{14, 42, "3", 2, 2, 5, gothic}}},
        // A heavy pen: round caps at both ends.
        {"pen_12_line", 96, 48, {DrawLine{14, 34, 82, 12, 1, 12}}},
        // An arc of a quarter turn and a bit, and a thin full circle.
        {"arc", 96, 96,
         {DrawArc{48, 48, 36, 7, 0.05f, 0.4f, 3}, DrawCircle{48, 48, 12, 3, 1}}},
        // A filled polygon with a frame, over a framed box.
        {"filled_polygon", 96, 80,
         {FillBox{8, 8, 88, 72, 13, 8, 3},
          FillPolygon{{{48, 14}, {82, 66}, {14, 66}}, 3, 11, 2}}},
    };
}

// The overlay at a number prompt in a window of the smallest size: the
// keypad with a key held down, the toolbar with the pen on and blue chosen,
// and a stroke of blue ink across a framed box of the picture.
struct OverlayCase {
    std::string name;
    double width, height;  // window pixels
    std::vector<DrawOp> ops;
    overlay::Overlay overlay;
};

inline OverlayCase overlay_case() {
    using namespace overlay;
    OverlayCase c{"overlay", kMinWindowWidth, kMinWindowHeight,
                  {FillBox{60, 230, 640, 420, 3, 11, 3}}, {}};
    Overlay& o = c.overlay;
    o.set_view(c.width, c.height, 1);
    PromptEvent prompt;
    prompt.kind = PromptKind::next_step;
    prompt.field = Box{1008, 640, 1248, 670};
    o.on_prompt(prompt);
    std::uint64_t t = 1000;
    auto button = [&](Action action, const std::string& key, InkColour colour) {
        for (const auto& b : o.buttons())
            if (b.action == action && b.key == key && b.colour == colour) return b.rect;
        return Rect{};
    };
    auto centre_down = [&](const Rect& r) {
        o.on_pointer({PointerPhase::down, PointerType::mouse, 0, r.x + r.w / 2, r.y + r.h / 2, t += 50});
    };
    auto up = [&](double x, double y) { o.on_pointer({PointerPhase::up, PointerType::mouse, 0, x, y, t += 50}); };
    // The first click only brings the toolbar; the second chooses blue.
    o.on_pointer({PointerPhase::down, PointerType::mouse, 0, 20, 200, t += 50});
    up(20, 200);
    const Rect blue = button(Action::colour, "", InkColour::blue);
    centre_down(blue);
    up(blue.x + blue.w / 2, blue.y + blue.h / 2);
    // A wave across the picture.
    o.on_pointer({PointerPhase::down, PointerType::mouse, 0, 30, 150, t += 50});
    for (int i = 1; i <= 24; ++i)
        o.on_pointer({PointerPhase::move, PointerType::mouse, 0, 30 + 9.0 * i,
                      150 + 30 * std::sin(i / 3.0), t += 16});
    up(30 + 9.0 * 24, 150 + 30 * std::sin(8.0));
    // The key 5, held down.
    centre_down(button(Action::key, "5", InkColour::red));
    return c;
}

}  // namespace lk::testing
