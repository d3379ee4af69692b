#pragma once
// Printed practice sheets: N problems of a practice set (or まとめ) on A4
// portrait pages, numbered ①, ②, … in two columns with room to work, then
// the answer key with each answer and its worked lines. The problems come
// from the same generators as the practice program, drawn with the same
// rich text, onto page canvases of their own size.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/present/canvas.h"
#include "sets.h"

namespace lk::practice {

enum class KeyPages { none, only, after };

struct SheetRequest {
    const PracticeSet* set = nullptr;
    int count = 20;           // problems per sheet, 1 to 40
    std::uint64_t seed = 1;
    int sheets = 1;           // different sheets (one per student), each with its key
    KeyPages key = KeyPages::after;
};

// One printed page: its operations on a canvas of the page's size.
struct SheetPage {
    Canvas canvas;
    bool key = false;  // a page of the answer key
};

// The pages of the request, in print order. Throws std::invalid_argument
// with a Japanese message for a request out of range.
std::vector<SheetPage> make_sheets(const SheetRequest& request);

}  // namespace lk::practice
