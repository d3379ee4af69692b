#pragma once
// What the program is waiting for. Every prompt announces itself when it
// starts to wait, so that a driver, a test or an overlay (tap areas, a
// keypad) knows the prompt without guessing it from what was drawn.
#include <vector>

#include "ops.h"

namespace lk {

enum class PromptKind {
    none,       // not waiting: the program is drawing, or a prompt was answered
    menu,       // the main menu's number field
    bar,        // a topic's item bar
    step,       // the wait banner between steps: any key goes on
    next_step,  // a practice problem: 1 goes on, another number shows a new one
};

// One entry of a menu or an item bar: typing `number` and Enter chooses it.
// `area` is where its text was really drawn, in layout units.
struct PromptChoice {
    int number = 0;
    Box area{0, 0, 0, 0};
};

struct PromptEvent {
    PromptKind kind = PromptKind::none;
    std::vector<PromptChoice> choices;  // menu and bar
    Box field{0, 0, 0, 0};              // a number prompt: where the typed answer shows
    // A wait banner inside an item: how many of the item's waits were
    // answered before this one (0 at its first), so that what belongs to a
    // step can go when the user steps back past it.
    int step = 0;
    bool reads_number() const {
        return kind == PromptKind::menu || kind == PromptKind::bar || kind == PromptKind::next_step;
    }
};

// The cell a drawn glyph stands in: one em high and, for a full-width
// character, one em wide (half an em for ASCII and half-width kana).
Box glyph_cell(const DrawText& glyph);

}  // namespace lk
