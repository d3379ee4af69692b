#pragma once
// What the program is waiting for. Every prompt announces itself when it
// starts to wait, so that a driver, a test or an overlay (tap areas, a
// keypad) knows the prompt without guessing it from what was drawn.
#include <string>
#include <vector>

#include "answer_field.h"
#include "ops.h"

namespace lk {

enum class PromptKind {
    none,       // not waiting: the program is drawing, or a prompt was answered
    menu,       // the main menu's number field
    bar,        // a topic's item bar
    step,       // the wait banner between steps: any key goes on
    next_step,  // a practice problem: 1 goes on, another number shows a new one
    answer,     // a student's answer field: a number, a fraction or a decimal
    verdict,    // a verdict stands: any key or a tap anywhere goes on
};

// One entry of a menu or an item bar: typing `number` and Enter chooses it.
// `area` is where its text was really drawn, in layout units.
struct PromptChoice {
    int number = 0;
    Box area{0, 0, 0, 0};
    // When set, choosing it is this one key (a button drawn beside an answer
    // field: ヒント), not its number typed.
    std::string key = {};
};

struct PromptEvent {
    PromptKind kind = PromptKind::none;
    std::vector<PromptChoice> choices = {};  // menu, bar and buttons beside an answer
    Box field{0, 0, 0, 0};              // a number prompt: where the typed answer shows
    // A prompt that reads typed text: what its field takes, and so which
    // keypad the overlay shows.
    FieldSpec input = kNumberField;
    // A wait banner inside an item: how many of the item's waits were
    // answered before this one (0 at its first), so that what belongs to a
    // step can go when the user steps back past it.
    int step = 0;
    // An answer field: what a driver (a tour, a test) types to answer it.
    // Never drawn; the page hands it only to its test object.
    std::string expected = {};
    bool reads_number() const {
        return kind == PromptKind::menu || kind == PromptKind::bar || kind == PromptKind::next_step ||
               kind == PromptKind::answer;
    }
};

// The cell a drawn glyph stands in: one em high and, for a full-width
// character, one em wide (half an em for ASCII and half-width kana).
Box glyph_cell(const DrawText& glyph);
// The area the cells of drawn glyphs cover together (a menu entry's, from
// Painter::take_capture); an empty box for none.
Box glyphs_area(const std::vector<DrawText>& glyphs);
// The area an operation takes up in a layout: a glyph's cell, a line, a
// polyline or a box with half its pen around it, a circle or arc with its
// pen. What a layout measures and keeps apart (a sheet's cells).
Box layout_extent(const DrawOp& op);

}  // namespace lk
