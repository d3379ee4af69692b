// Readability of both palettes beyond what the tour of every item
// (test_contrast_tour) checks: the run-time error line, which no tour draws;
// pairs the colour roles allow that no item draws today; and pairs the items
// draw only in large bold text, held here to the level of small text. The
// inks that tell roles apart are checked to be clearly different colours.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/present/ops.h"
#include "support/contrast.h"

namespace {

using lk::Palette;
using lk::testing::contrast;
using lk::testing::luminance;

double distance(unsigned a, unsigned b) {
    double sum = 0;
    for (int shift : {16, 8, 0}) {
        double d = static_cast<double>((a >> shift) & 0xFF) - static_cast<double>((b >> shift) & 0xFF);
        sum += d * d;
    }
    return std::sqrt(sum);
}

// WCAG 2 levels: 4.5:1 for text, 3:1 for large text (bold and at least
// 18.7 px).
constexpr double kText = 4.5;

struct Pair {
    int ink, ground;
    double level;
    const char* what;
};

constexpr Pair kPairs[] = {
    {13, 15, kText, "the run-time error line (small text) on the background"},
    {3, 15, kText, "titles on the background"},
    {7, 15, kText, "sub-headings on the background"},
    {9, 15, kText, "banner text on the background"},
    {15, 10, kText, "the menu title on the menu panel"},
    {0, 13, kText, "labels in header columns"},
    {0, 11, kText, "labels in header rows"},
    {5, 11, kText, "answers in header rows"},
};

class PaletteTest : public ::testing::TestWithParam<Palette> {};

TEST_P(PaletteTest, TextIsReadableOnItsGround) {
    const Palette palette = GetParam();
    for (const Pair& pair : kPairs) {
        const unsigned ink = lk::palette_rgb(pair.ink, palette);
        const unsigned ground = lk::palette_rgb(pair.ground, palette);
        EXPECT_GE(contrast(ink, ground), pair.level)
            << pair.what << ": colour " << pair.ink << " (" << std::hex << ink << ") on colour "
            << std::dec << pair.ground << " (" << std::hex << ground << ")";
    }
}

TEST_P(PaletteTest, RoleInksAreClearlyDifferent) {
    const Palette palette = GetParam();
    const int inks[] = {3, 5, 7, 9};
    for (int i : inks)
        for (int j : inks)
            if (i < j) {
                EXPECT_GE(distance(lk::palette_rgb(i, palette), lk::palette_rgb(j, palette)), 60.0)
                    << "colours " << i << " and " << j;
            }
    // Answers must also stand apart from the plain ink.
    EXPECT_GE(distance(lk::palette_rgb(0, palette), lk::palette_rgb(5, palette)), 60.0);
}

TEST(Palette, OriginalIsPaperAndProjectorIsDarkGround) {
    EXPECT_GT(luminance(lk::palette_rgb(15, Palette::original)), 0.8);
    EXPECT_LT(luminance(lk::palette_rgb(0, Palette::original)), 0.05);
    EXPECT_LT(luminance(lk::palette_rgb(15, Palette::projector)), 0.05);
    EXPECT_GT(luminance(lk::palette_rgb(0, Palette::projector)), 0.8);
    EXPECT_NE(lk::palette_rgb(15, Palette::original), lk::palette_rgb(15, Palette::projector));
}

TEST(Palette, ContrastFormulaMatchesKnownValues) {
    EXPECT_NEAR(contrast(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrast(0x777777, 0xFFFFFF), 4.48, 0.01);
    EXPECT_NEAR(contrast(0x767676, 0xFFFFFF), 4.54, 0.01);
    EXPECT_NEAR(contrast(0xFFFFFF, 0xFFFFFF), 1.0, 1e-9);
}

TEST(Palette, OutOfRangeColourIsTheBackground) {
    for (Palette p : {Palette::original, Palette::projector}) {
        EXPECT_EQ(lk::palette_rgb(-1, p), lk::palette_rgb(15, p));
        EXPECT_EQ(lk::palette_rgb(16, p), lk::palette_rgb(15, p));
    }
}

INSTANTIATE_TEST_SUITE_P(BothPalettes, PaletteTest,
                         ::testing::Values(Palette::original, Palette::projector),
                         [](const ::testing::TestParamInfo<Palette>& info) {
                             return std::string(info.param == Palette::original ? "Original"
                                                                                : "Projector");
                         });

}  // namespace
