#pragma once
// Printed practice sheets: N problems of a practice set (or まとめ) on A4
// portrait pages, numbered ①, ②, … in two columns with room to work, then
// the answer key with each answer and its worked lines. The problems come
// from the same generators as the practice program, drawn with the same
// rich text, onto page canvases of their own size.
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/present/canvas.h"
#include "engine/present/painter.h"
#include "sets.h"

namespace lk::practice {

// A page: A4 portrait, the lesson's layout width across (canvas.h).
inline constexpr PageSize kSheetPage = kA4Page;
inline constexpr float kSheetWidth = kSheetPage.width;
inline constexpr float kSheetHeight = kSheetPage.height;

inline constexpr int kMaxSheetProblems = 40;
inline constexpr int kMaxSheets = 50;

enum class KeyPages { none, only, after };

struct SheetRequest {
    const PracticeSet* set = nullptr;
    int count = 20;           // problems per sheet, 1 to 40
    std::uint64_t seed = 1;
    int sheets = 1;           // different sheets (one per student), each with its key
    KeyPages key = KeyPages::after;
};

// Where one problem (or its answer) stands on a page: everything drawn for
// it lies inside `area`, and nothing else reaches into it.
struct SheetCell {
    int number = 0;  // 1 for ①
    Box area{0, 0, 0, 0};
};

// One printed page: its operations on a canvas of the page's size.
struct SheetPage {
    Canvas canvas;
    bool key = false;  // a page of the answer key
    int sheet = 1;     // which of the request's sheets (1 for the first)
    std::vector<SheetCell> cells;
};

// Looks on while the pages are drawn (checks of what a sheet shows): every
// operation and event as it is drawn, every rich text as a whole before it
// is drawn, and the end of each page (the next page starts on a new canvas).
struct SheetWatch {
    OpSink* sink = nullptr;
    std::function<void(const std::string& text, float x, float y, float colour)> on_rich_text;
    std::function<void(const SheetPage& page)> on_page;
};

// The pages of the request, in print order: each sheet's problem pages,
// then (KeyPages::after) its key pages. Sheet k (from 0) draws its problems
// from seed + k, and prints that seed and the set's ID in small print, so
// that the same sheet can be made again. Throws std::invalid_argument with a
// Japanese message for a request out of range.
std::vector<SheetPage> make_sheets(const SheetRequest& request, const SheetWatch& watch = {});

// How many problems each sheet of the request holds: as many as asked for,
// or all the set makes where that is fewer (no problem is on a sheet twice),
// which the sheet's foot then says in these words.
int sheet_problem_count(const SheetRequest& request);
std::string all_it_makes_note(int count);

// The circled number of a problem: ① to ⑳, ㉑ to ㉟, ㊱ to ㊵.
std::string circled_number(int n);

// How this platform hands sheets to the user: the desktop writes a PDF and
// opens it, a browser can show a print view of its own. The program's menu
// offers プリント only where one is given. The message is shown on the
// screen: where the file went, or what went wrong. A printer with a view of
// its own (the browser's) hands back the pages, which the program shows there
// until the user closes it.
struct PrintOutcome {
    bool done = false;
    std::string message;  // in Japanese
    std::string file;     // the file written, if any, as its name is spelled
    std::vector<SheetPage> pages = {};  // to show in the platform's print view
};
using SheetPrinter = std::function<PrintOutcome(const SheetRequest&)>;

}  // namespace lk::practice
