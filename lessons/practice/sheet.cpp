// Printed practice sheets. Every line is measured before it is placed: it is
// drawn once on a wide scratch canvas and its glyph cells and strokes give
// its extent. A problem's cell takes what its lines, its room to work and its
// answer blank need; two cells share a row unless one needs the full width,
// and rows flow onto further pages.
#include "sheet.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "engine/present/prompt.h"

namespace lk::practice {

namespace {

using problems::Line;
using problems::Problem;
using problems::Run;

// Colours (the palette's numbers).
constexpr int kInk = 0, kTitleInk = 3, kAnswerInk = 5, kRuleInk = 14, kPaper = 15;

// The page, in layout units (A4: 0.4358 pt a unit, rich text about 14 pt).
constexpr float kMarginX = 90;
constexpr float kContentWidth = kSheetWidth - 2 * kMarginX;
constexpr float kGutter = 40;
constexpr float kColumnWidth = (kContentWidth - kGutter) / 2;
constexpr float kTitleY = 64;
constexpr float kNameY = 150;
constexpr float kInstructionY = 230;
constexpr float kFirstRuleY = 306, kRuleY = 136;  // under the header
constexpr float kFooterY = kSheetHeight - 64;
constexpr float kCellsBottom = kSheetHeight - 96;

// Inside a cell. Lines follow each other at the practice program's pitches
// (a little wider): a glyph's cell reaches above and below its ink, so cells
// of neighbouring lines may meet while their ink stays apart.
constexpr float kPad = 10;            // above and below its content
constexpr float kPitch = 60;          // from one line to the next
constexpr float kFractionPitch = 76;  // from a line with a stacked fraction
constexpr float kFractionRise = 8;    // more before a line with a stacked fraction
constexpr float kTopReach = 22;       // an italic x's cell above its line
constexpr float kIndent = 58;         // the problem, after its number
constexpr float kRowGap = 30;         // between two rows of cells (the rule in the middle)
// Room to work: a line of the worked solution takes this much.
constexpr float kRoomLine = 56, kRoomFractionLine = 72;
// The yes/no kind's room: the two substitutions, two lines each.
constexpr float kYesNoRoom = 4 * kRoomLine;
// The answer blank: "x=" and a line to write on, at the cell's right.
constexpr float kBlankWidth = 220;

const char* const kFraction = "ﾀ";

Line line_of(int colour, const std::string& text) { return Line{{Run{colour, text}}}; }

bool has_fraction(const Line& line) { return line.joined().find(kFraction) != std::string::npos; }

// The answer as the key states it: "x=" and the value, a fraction stacked
// with its sign in front.
Line answer_line(const Problem& problem) {
    if (const problems::YesNo* verdict = problem.yes_no())
        return line_of(kAnswerInk, verdict->yes ? "解である" : "解ではない");
    const Rational& a = problem.solution();
    std::string text = "x=";
    if (a.n < 0) text += "-";
    const std::string whole = std::to_string(a.n < 0 ? -a.n : a.n);
    text += a.d == 1 ? whole : kFraction + whole + "/" + std::to_string(a.d) + kFraction;
    return line_of(kAnswerInk, text);
}

// Measures lines by drawing them on a scratch canvas wide enough for any.
class Measure {
public:
    // Measured as the page draws them.
    Measure() { engine_.page_equals = true; }

    // The extent of a line drawn at (0, 0).
    Box line(const Line& line) {
        painter_.restore_canvas(Canvas(kScratchWidth, kScratchHeight));
        problems::draw_line(script_, kOrigin, kOrigin, line);
        Box out{0, 0, 0, 0};
        bool first = true;
        for (const auto& op : painter_.canvas().ops()) {
            const Box b = layout_extent(op);
            out = first ? b : Box{std::min(out.x1, b.x1), std::min(out.y1, b.y1), std::max(out.x2, b.x2),
                                  std::max(out.y2, b.y2)};
            first = false;
        }
        return {out.x1 - kOrigin, out.y1 - kOrigin, out.x2 - kOrigin, out.y2 - kOrigin};
    }

private:
    static constexpr float kScratchWidth = 20000, kScratchHeight = 2000, kOrigin = 500;
    Painter painter_{PageSize{kScratchWidth, kScratchHeight}};
    Engine engine_{painter_};
    Script script_{engine_};
};

// A line broken at its blanks into lines no wider than `width` (a word wider
// than that stays whole, on a line of its own).
std::vector<Line> wrap(const Line& line, float width, Measure& measure) {
    if (measure.line(line).x2 <= width) return {line};
    // The words: runs split at the blanks.
    std::vector<Line> words(1);
    for (const auto& run : line.runs) {
        size_t start = 0;
        for (;;) {
            const size_t blank = run.text.find(' ', start);
            const std::string piece = run.text.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
            if (!piece.empty()) words.back().runs.push_back({run.colour, piece});
            if (blank == std::string::npos) break;
            if (!words.back().runs.empty()) words.emplace_back();
            start = blank + 1;
        }
    }
    if (words.back().runs.empty()) words.pop_back();
    std::vector<Line> out;
    Line current;
    for (const auto& word : words) {
        if (current.runs.empty()) {
            current = word;
            continue;
        }
        Line longer = current;
        longer.runs.back().text += " ";
        longer.runs.insert(longer.runs.end(), word.runs.begin(), word.runs.end());
        if (measure.line(longer).x2 <= width) {
            current = std::move(longer);
        } else {
            out.push_back(std::move(current));
            current = word;
        }
    }
    if (!current.runs.empty()) out.push_back(std::move(current));
    return out;
}

// What one cell draws, relative to its top-left corner.
struct Placed {
    Line line;
    float dx, dy;  // where the line's text starts
};
struct Rule {
    float dx1, dy1, dx2, dy2;
};
struct CellPlan {
    int number = 0;
    bool full = false;  // takes a row's full width
    float height = 0;
    std::vector<Placed> texts;
    std::vector<Rule> rules;
};

// Builds a cell top-down, a row of lines at a time. The cell's top and
// bottom come from what its lines really take up.
class CellBuilder {
public:
    CellBuilder(Measure& measure, float width) : measure_(measure), width_(width) {}

    // Lines beside each other on one line: (dx, line), and rules drawn with
    // them (relative to the line's y).
    void row(const std::vector<std::pair<float, Line>>& lines, const std::vector<Rule>& rules = {}) {
        float top = 0, bottom = 0;
        bool fraction = false;
        for (const auto& [dx, line] : lines) {
            const Box e = measure_.line(line);
            top = std::min(top, e.y1);
            bottom = std::max(bottom, e.y2);
            right_ = std::max(right_, dx + e.x2);
            left_ = std::min(left_, dx + e.x1);
            fraction = fraction || has_fraction(line);
        }
        for (const auto& r : rules) {
            top = std::min({top, r.dy1 - 1, r.dy2 - 1});
            bottom = std::max({bottom, r.dy1 + 1, r.dy2 + 1});
        }
        // The first line stands where an italic x of it would just fit (so
        // that two cells of a row start alike); every other one at its pitch.
        const float y = first_ ? kPad + std::max(kTopReach, -top) : next_ + (fraction ? kFractionRise : 0);
        first_ = false;
        for (const auto& [dx, line] : lines) plan.texts.push_back({line, dx, y});
        for (const auto& r : rules) plan.rules.push_back({r.dx1, y + r.dy1, r.dx2, y + r.dy2});
        bottom_ = std::max(bottom_, y + bottom);
        next_ = y + (fraction ? kFractionPitch : kPitch);
    }
    void space(float height) { next_ += height; }
    // Whether everything stayed inside the width.
    bool fits() const { return right_ <= width_ && left_ >= 0; }
    CellPlan finish() {
        plan.height = bottom_ + kPad;
        return std::move(plan);
    }

    CellPlan plan;

private:
    Measure& measure_;
    float width_;
    bool first_ = true;
    float next_ = 0, bottom_ = 0;
    float right_ = 0, left_ = 0;
};

Line mark_line(int number) { return line_of(kTitleInk, circled_number(number)); }

// The problem's cell on the sheet: its lines, room to work, and the answer
// blank (or, for the yes/no kind, the two verdicts to circle).
CellPlan sheet_cell(int number, const Problem& problem, float width, Measure& measure) {
    CellBuilder b(measure, width);
    std::vector<Line> lines;
    for (const auto& l : problem.shown)
        for (auto& piece : wrap(l, width - kIndent, measure)) lines.push_back(std::move(piece));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) b.row({{0, mark_line(number)}, {kIndent, lines[i]}});
        else b.row({{kIndent, lines[i]}});
    }
    if (problem.yes_no()) {
        b.space(kRoomLine / 4);
        b.row({{kIndent, line_of(kInk, "解である　・　解ではない")}});
        b.space(kYesNoRoom);
    } else {
        // Room for as many lines as the worked solution takes before its answer.
        float room = 0;
        for (size_t i = 0; i + 1 < problem.worked.size(); ++i)
            room += has_fraction(problem.worked[i]) ? kRoomFractionLine : kRoomLine;
        room = std::max(room, kRoomLine);
        b.space(room);
        const Line blank = line_of(kInk, "x=");
        const float right = width - 4;
        const float text_x = right - kBlankWidth - measure.line(blank).x2 - 6;
        b.row({{text_x, blank}}, {{right - kBlankWidth, 46, right, 46}});
    }
    CellPlan plan = b.finish();
    plan.number = number;
    plan.full = !b.fits();
    return plan;
}

// The problem's cell in the key: its number and answer, then every line of
// its worked solution.
CellPlan key_cell(int number, const Problem& problem, float width, Measure& measure) {
    CellBuilder b(measure, width);
    b.row({{0, mark_line(number)}, {kIndent, answer_line(problem)}});
    for (const auto& l : problem.worked)
        for (auto& piece : wrap(l, width - kIndent, measure)) b.row({{kIndent, piece}});
    CellPlan plan = b.finish();
    plan.number = number;
    plan.full = !b.fits();
    return plan;
}

// Draws the pages of a sheet or of a key with the painter, one at a time.
class PageWriter {
public:
    PageWriter(Painter& p, Script& s, const SheetWatch& watch, std::vector<SheetPage>& pages)
        : p_(p), s_(s), watch_(watch), pages_(pages) {}

    struct Part {
        const PracticeSet* set;
        std::uint64_t seed;
        int count;
        int sheet;
        bool key;
        bool all_it_makes;  // fewer problems than asked for: all the set makes
    };

    void write(const Part& part, std::vector<CellPlan> cells) {
        // Rows: two cells side by side, a cell that needs the full width alone.
        std::vector<std::vector<CellPlan>> rows;
        for (size_t i = 0; i < cells.size();) {
            if (!cells[i].full && i + 1 < cells.size() && !cells[i + 1].full) {
                rows.push_back({cells[i], cells[i + 1]});
                i += 2;
            } else {
                rows.push_back({cells[i]});
                i += 1;
            }
        }
        // Pages: rows from the top until the next one would not fit.
        struct PlacedRow {
            size_t row;
            float top, height;
        };
        std::vector<std::vector<PlacedRow>> pages(1);
        float y = cells_top(part, 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            float height = 0;
            for (const auto& c : rows[r]) height = std::max(height, c.height);
            if (y + height > kCellsBottom && !pages.back().empty()) {
                pages.emplace_back();
                y = cells_top(part, pages.size() - 1);
            }
            pages.back().push_back({r, y, height});
            y += height + kRowGap;
        }
        for (size_t n = 0; n < pages.size(); ++n) {
            SheetPage page{Canvas(kSheetPage), part.key, part.sheet, {}};
            p_.restore_canvas(page.canvas);
            p_.fill_box(0, 0, kSheetWidth, kSheetHeight, Coords::absolute, kPaper, kPaper);
            header(part, n);
            footer(part, n, pages.size());
            for (size_t i = 0; i < pages[n].size(); ++i) {
                const PlacedRow& placed = pages[n][i];
                const auto& row = rows[placed.row];
                for (size_t c = 0; c < row.size(); ++c) {
                    const float x = kMarginX + static_cast<float>(c) * (kColumnWidth + kGutter);
                    const float width = row[c].full ? kContentWidth : kColumnWidth;
                    draw_cell(row[c], x, placed.top);
                    page.cells.push_back({row[c].number, Box{x, placed.top, x + width, placed.top + row[c].height}});
                }
                // Rules between the rows and between the columns.
                p_.set_pen_width(1);
                if (row.size() == 2) {
                    const float gx = kMarginX + kColumnWidth + kGutter / 2;
                    p_.draw_line(gx, placed.top, gx, placed.top + placed.height, Coords::absolute, kRuleInk);
                }
                if (i + 1 < pages[n].size()) {
                    const float ry = placed.top + placed.height + kRowGap / 2;
                    p_.draw_line(kMarginX, ry, kMarginX + kContentWidth, ry, Coords::absolute, kRuleInk);
                }
            }
            page.canvas = p_.canvas();
            pages_.push_back(std::move(page));
            if (watch_.on_page) watch_.on_page(pages_.back());
        }
    }

private:
    Painter& p_;
    Script& s_;
    const SheetWatch& watch_;
    std::vector<SheetPage>& pages_;

    static float cells_top(const Part& part, size_t page) {
        return (page == 0 && !part.key ? kFirstRuleY : kRuleY) + kRowGap / 2;
    }

    void header(const Part& part, size_t page) {
        const bool first = page == 0 && !part.key;
        std::string title = part.set->name;
        if (part.key) title = "解答　" + title;
        if (page > 0) title += "（つづき）";
        s_.text(kMarginX, kTitleY, kTitleInk, title);
        if (first) {
            // 組, 番 and 氏名, each after (or before) a line to write on.
            const float right = kMarginX + kContentWidth;
            p_.set_pen_width(2);
            const float foot = kNameY + 46;
            p_.draw_line(right - 680, foot, right - 590, foot, Coords::absolute, kInk);
            s_.text(right - 584, kNameY, kInk, "組");
            p_.draw_line(right - 540, foot, right - 450, foot, Coords::absolute, kInk);
            s_.text(right - 444, kNameY, kInk, "番");
            s_.text(right - 380, kNameY, kInk, "氏名");
            p_.draw_line(right - 304, foot, right, foot, Coords::absolute, kInk);
            s_.text(kMarginX, kInstructionY, kInk, part.set->instruction);
        }
        p_.set_pen_width(2);
        const float rule = first ? kFirstRuleY : kRuleY;
        p_.draw_line(kMarginX, rule, kMarginX + kContentWidth, rule, Coords::absolute, kRuleInk);
    }

    // In small print: the set's ID and the seed (what makes the same sheet
    // again), the count, and the page.
    void footer(const Part& part, size_t page, size_t pages) {
        p_.set_font_face("ゴシック");
        p_.set_font_size(16);
        p_.set_font_bold(false);
        p_.set_font_italic(false);
        std::string left = "ID " + part.set->id + "  seed " + std::to_string(part.seed) + "  " +
                           std::to_string(part.count) + "問";
        if (part.all_it_makes) left += "　" + all_it_makes_note(part.count);
        p_.draw_text(kMarginX, kFooterY, left, 1, 1, kInk);
        const std::string right =
            (part.key ? "解答 " : "") + std::to_string(page + 1) + "/" + std::to_string(pages);
        DrawText measured{kMarginX, kFooterY, right, 1, 1, kInk, p_.font()};
        const Box cell = glyph_cell(measured);
        p_.draw_text(kMarginX + kContentWidth - (cell.x2 - cell.x1), kFooterY, right, 1, 1, kInk);
    }

    void draw_cell(const CellPlan& cell, float x, float top) {
        for (const auto& t : cell.texts) problems::draw_line(s_, x + t.dx, top + t.dy, t.line);
        p_.set_pen_width(2);
        for (const auto& r : cell.rules)
            p_.draw_line(x + r.dx1, top + r.dy1, x + r.dx2, top + r.dy2, Coords::absolute, kInk);
    }
};

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string circled_number(int n) {
    std::string out;
    if (n >= 1 && n <= 20) append_utf8(out, 0x2460 + static_cast<char32_t>(n - 1));
    else if (n >= 21 && n <= 35) append_utf8(out, 0x3251 + static_cast<char32_t>(n - 21));
    else if (n >= 36 && n <= 50) append_utf8(out, 0x32B1 + static_cast<char32_t>(n - 36));
    else out = "(" + std::to_string(n) + ")";
    return out;
}

int sheet_problem_count(const SheetRequest& request) {
    if (!request.set) return 0;
    const std::uint64_t makes = problem_count(*request.set);
    return makes < static_cast<std::uint64_t>(request.count) ? static_cast<int>(makes) : request.count;
}

std::string all_it_makes_note(int count) { return "この問題集で作れる問題は " + std::to_string(count) + " 問です"; }

std::vector<SheetPage> make_sheets(const SheetRequest& request, const SheetWatch& watch) {
    if (!request.set) throw std::invalid_argument("練習セットが指定されていません。");
    if (request.count < 1 || request.count > kMaxSheetProblems)
        throw std::invalid_argument("問題の数は 1 から " + std::to_string(kMaxSheetProblems) + " までです。");
    if (request.sheets < 1 || request.sheets > kMaxSheets)
        throw std::invalid_argument("枚数は 1 から " + std::to_string(kMaxSheets) + " までです。");

    Painter painter(kSheetPage);
    if (watch.sink) painter.add_sink(watch.sink);
    Engine engine(painter);
    engine.on_rich_text = watch.on_rich_text;
    // The signs drawn as strokes also go in the page's text, for search and
    // copy (not in Measure: what they measure is what is seen).
    engine.sign_text = true;
    engine.page_equals = true;
    Script s(engine);
    painter.set_font_face("ゴシック");
    painter.set_font_size(16);
    painter.set_pen_width(3);
    Measure measure;

    std::vector<SheetPage> pages;
    PageWriter writer(painter, s, watch, pages);
    // No problem twice on a sheet: a set that makes fewer different problems
    // than asked for prints them all, and says so at the foot.
    const int count = sheet_problem_count(request);
    const bool all_it_makes = count < request.count;
    // The sheets' problems in order, so that no two sheets are the same.
    std::set<std::vector<std::string>> made;
    for (int k = 0; k < request.sheets; ++k) {
        const std::uint64_t seed = request.seed + static_cast<std::uint64_t>(k);
        painter.seed_random(seed);
        std::vector<Problem> problems;
        // A sheet like an earlier one is drawn again from where its draws
        // ended (a set of fewer problems than the sheet: in another order).
        constexpr int kMostRedraws = 100;
        for (int redraw = 0; redraw < kMostRedraws; ++redraw) {
            ProblemSource source(*request.set, static_cast<size_t>(count));
            problems.clear();
            std::vector<std::string> order;
            for (int n = 0; n < count; ++n) {
                problems.push_back(source.next(s));
                order.push_back(problems::identity(problems.back()));
            }
            if (made.insert(order).second) break;
        }

        // A cell that does not fit its column takes the full width.
        const auto plans = [&](auto cell) {
            std::vector<CellPlan> out;
            for (size_t i = 0; i < problems.size(); ++i) {
                const int number = static_cast<int>(i) + 1;
                CellPlan plan = cell(number, problems[i], kColumnWidth, measure);
                if (plan.full) {
                    plan = cell(number, problems[i], kContentWidth, measure);
                    plan.full = true;
                }
                out.push_back(std::move(plan));
            }
            return out;
        };
        const PageWriter::Part part{request.set, seed, count, k + 1, false, all_it_makes};
        if (request.key != KeyPages::only) writer.write(part, plans(sheet_cell));
        if (request.key != KeyPages::none) {
            PageWriter::Part key = part;
            key.key = true;
            writer.write(key, plans(key_cell));
        }
    }
    return pages;
}

}  // namespace lk::practice
