#pragma once
// Small pictures for the players' reference tests: one kind of operation
// each, drawn by the cairo player and by the Canvas 2D player and compared
// with the same committed reference picture (reference/NAME.png, made by
// the cairo player at kScale).
#include <string>
#include <vector>

#include "engine/present/ops.h"

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

}  // namespace lk::testing
