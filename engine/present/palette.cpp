#include "ops.h"

namespace lk {

namespace {

// Paper and ink for a printed page: 15 is the paper, 0 the ink, 3/5/7/9
// distinct inks readable on paper, 13 and 15 readable on the panel colour 10,
// 9 readable on the banner fills 4 and 12.
//
// Colour 13 is both a text colour (the run-time error line, small, on the
// paper; the menu entries on the panel; the numbers on the colour-3 badges)
// and a fill (header columns and value boxes, labelled in 0 and 5). That pins
// it to a mid tone whose contrast with the paper and with the ink is 4.5:1
// either way, which in turn needs a black ink, keeps the answer colour 5 a
// deep red, dark enough for its large labels on 13 (3:1), and the title
// colour 3 a navy dark enough for 13 written on it (3:1).
//
// Colour 4 is the wait banner's fill and also the balance beam drawn on the
// paper, so it is a mid green: 3:1 against the paper for the beam, and the
// banner text 9 a near-black purple that still reads on it (4.5:1).
constexpr unsigned kOriginal[16] = {
    0x000000,  // 0 ink
    0x00838F,  // 1 diagram lines
    0x2E7D32,  // 2
    0x0A2463,  // 3 titles, frames, badges
    0x6F9A55,  // 4 wait banner fill, balance stand and beam
    0x600000,  // 5 answers
    0x6D4C41,  // 6
    0x1B5E20,  // 7 sub-headings, difference arcs
    0xFFCC80,  // 8 the x box on the balance
    0x3E0050,  // 9 banner text
    0x0D1B4A,  // 10 menu panel
    0xB3E5FC,  // 11 header rows
    0xFCE4EC,  // 12 next-step banner fill
    0xC85000,  // 13 header columns, value boxes, banner borders, error line
    0x9E9E9E,  // 14 heavy grid lines
    0xFFFFFF,  // 15 paper
};

// Dark room, back row: light inks on a dark ground, the same roles kept
// apart. As in the paper palette, 13 is the mid tone between ground and ink
// (4.5:1 to both), so the ground is black, the ink white and the answers 5 a
// pale rose that still stands out on 13 (3:1, large labels); the menu panel
// 10 is light, with 15 and 13 written on it. What 13 is written on is light
// enough for it (3:1): the titles and badges 3 a pale sky blue, the x box 8
// on the balance a pale amber. The beam and banner colour 4 is a green just
// bright enough to show on the ground (3:1) with the banner text 9 on it.
constexpr unsigned kProjector[16] = {
    0xFFFFFF, 0x4DD0E1, 0x81C784, 0x96E2FF, 0x436839, 0xFFC8C8, 0xBCAAA4, 0xB9F6CA,
    0xFFD59A, 0xFFE082, 0xE8EAF6, 0x0D3B66, 0x4A1030, 0xC85000, 0x616161, 0x000000,
};

}  // namespace

unsigned palette_rgb(int colour, Palette palette) {
    if (colour == kCodeDarkColour) return 0x000000;
    if (colour == kCodeLightColour) return 0xFFFFFF;
    if (colour < 0 || colour > 15) colour = 15;
    return palette == Palette::projector ? kProjector[colour] : kOriginal[colour];
}

}  // namespace lk
