#include "ops.h"

namespace lk {

namespace {

// Paper and ink for a printed page: 15 is the paper, 0 the ink, 3/5/7/9
// distinct inks readable on paper, 13 and 15 readable on the panel colour 10,
// 9 readable on the banner fills 4 and 12.
constexpr unsigned kOriginal[16] = {
    0x1A1A1A,  // 0 ink
    0x00838F,  // 1 diagram lines
    0x2E7D32,  // 2
    0x0D47A1,  // 3 titles, frames
    0xDCEDC8,  // 4 wait banner fill
    0xC62828,  // 5 answers
    0x6D4C41,  // 6
    0x1B5E20,  // 7 sub-headings, difference arcs
    0xFFCC80,  // 8 the x box on the balance
    0x4A148C,  // 9 banner text
    0x0D1B4A,  // 10 menu panel
    0xB3E5FC,  // 11 header rows
    0xFCE4EC,  // 12 next-step banner fill
    0xFF9E80,  // 13 header columns, value boxes, banner borders
    0x9E9E9E,  // 14 heavy grid lines
    0xFFFFFF,  // 15 paper
};

// Dark room, back row: light inks on a dark ground, the same roles kept
// apart.
constexpr unsigned kProjector[16] = {
    0xF5F5F5, 0x4DD0E1, 0x81C784, 0x82B1FF, 0x1B3A1B, 0xFF8A80, 0xBCAAA4, 0xB9F6CA,
    0x8D5A00, 0xFFE082, 0xE8EAF6, 0x0D3B66, 0x4A1030, 0xFFAB91, 0x616161, 0x101418,
};

}  // namespace

unsigned palette_rgb(int colour, Palette palette) {
    if (colour < 0 || colour > 15) colour = 15;
    return palette == Palette::projector ? kProjector[colour] : kOriginal[colour];
}

}  // namespace lk
