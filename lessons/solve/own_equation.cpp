// 方程式を入力: an equation the teacher types, worked as the lessons work
// theirs. One step a key, the step's name beside its line; a term that 移項
// moves travels to the other side key by key and changes its sign on the
// way, as in the transposition topic. The last equations typed are kept on
// this device, to be chosen again by their number.
#include <algorithm>
#include <cmath>

#include "engine/present/keys.h"
#include "engine/present/storage.h"
#include "engine/present/strings.h"
#include "engine/steps/steps.h"
#include "topics.h"

namespace lk::solve {

namespace {

// Colours (the palette's numbers).
constexpr float kInk = 0, kTitle = 3, kAnswer = 5, kNameInk = 7, kTyped = 5, kPaper = 15;

// The screen where the equation is typed.
constexpr float kLeft = 40, kTitleY = 30, kAskY = 100, kExampleY = 160;
constexpr float kExampleSize = 22, kTextSize = 16;
constexpr float kFieldX1 = 40, kFieldY1 = 210, kFieldX2 = 1320, kFieldY2 = 280;
constexpr float kTypedX = 60, kTypedY = 226;
constexpr float kRefusalY = 310;
constexpr float kHistoryTitleY = 360, kHistoryTop = 400, kHistoryPitch = 25, kHistorySize = 20;
constexpr float kHistoryColumnX[2] = {40, 700};
constexpr int kHistoryRows = 10;
constexpr std::size_t kHistoryShownChars = 56;  // of an equation in the list
// What a tour or a test types at the field.
const char* const kSampleEquation = "4x-(x-3)=12";

// The worked solution: a step's name, then its line.
constexpr float kNameX = 40, kFormulaX = 380, kFormulaRight = 1330, kNameGap = 20;
constexpr float kLinesTop = 100, kLinePitch = 62, kFractionPitch = 78;
// A line that 移項 makes stands further down, leaving a lane for the
// travelling terms.
constexpr float kTransposeGap = 44;
constexpr float kLinesBottom = 640;  // above the wait banner
constexpr float kLinesClear = 20;    // above the first line: a numerator's room
// The smallest a long line is set.
constexpr float kSmallestScale = 0.5f;
// The travelling term: down into the lane, across in steps of about this
// many units (at least two, at most eight), then onto its place.
constexpr float kTravelStep = 40;
constexpr int kFewestSteps = 2, kMostSteps = 8;

// The record: the last equations typed, newest first.
constexpr std::size_t kHistoryMost = 20;
const std::string kHistoryHeader = "lessonkit-equations 1";

const std::string kFraction = "ﾀ";

// The file: {"version":1,"equations":["4x-(x-3)=12",...]}. An equation
// holds only what the equation field takes, so no character needs escaping.
const std::string kHistoryStart = "{\"version\":1,\"equations\":[";
const std::string kHistoryEnd = "]}";

bool equation_text(const std::string& text) {
    return !text.empty() && text.size() <= kEquationField.max_chars &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return kEquationField.takes.find(c) != std::string_view::npos; });
}

// The list kept on this device; nothing when there is none, or when the
// file is not one this program wrote (`damaged` then says so: it is set
// aside, never overwritten).
std::vector<std::string> read_history(Storage* storage, bool& damaged) {
    damaged = false;
    std::vector<std::string> out;
    std::string text;
    if (!storage || !storage->available() || storage->read(text) != Storage::ReadResult::ok) return out;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    damaged = true;
    if (text.rfind(kHistoryStart, 0) != 0 || text.size() < kHistoryStart.size() + kHistoryEnd.size() ||
        text.compare(text.size() - kHistoryEnd.size(), kHistoryEnd.size(), kHistoryEnd) != 0)
        return {};
    std::string_view list(text);
    list = list.substr(kHistoryStart.size(), list.size() - kHistoryStart.size() - kHistoryEnd.size());
    while (!list.empty()) {
        if (list.front() != '"') return {};
        const auto close = list.find('"', 1);
        if (close == std::string_view::npos) return {};
        std::string equation(list.substr(1, close - 1));
        if (!equation_text(equation)) return {};
        if (out.size() < kHistoryMost) out.push_back(std::move(equation));
        list.remove_prefix(close + 1);
        if (!list.empty()) {
            if (list.front() != ',' || list.size() == 1) return {};
            list.remove_prefix(1);
        }
    }
    damaged = false;
    return out;
}

void write_history(Storage* storage, const std::vector<std::string>& history, bool damaged) {
    if (!storage || !storage->available()) return;
    std::string where;
    if (damaged && !storage->set_aside(where)) return;
    std::string text = kHistoryStart;
    for (size_t i = 0; i < history.size(); ++i) text += (i ? ",\"" : "\"") + history[i] + "\"";
    storage->write(text + kHistoryEnd + "\n");
}

// The terms of a rich line, in order, each with its side: a term starts at
// a sign outside parentheses and fractions, or after "=" or ":".
struct Piece {
    std::string text;
    int side = 0;   // 0 left of "=", 1 right
    int place = 0;  // among its side's terms, from 0; -1 for "=" and ":"
};

std::vector<Piece> pieces_of(const std::string& rich) {
    std::vector<Piece> out;
    int depth = 0, side = 0, place = 0;
    bool in_fraction = false;
    auto open = [&](int at_place) {
        out.push_back({"", side, at_place});
    };
    for (const std::string& c : split_chars(rich)) {
        const bool top = depth == 0 && !in_fraction;
        if (top && (c == "=" || c == ":")) {
            out.push_back({c, side, -1});
            if (c == "=") side = 1, place = 0;
            continue;
        }
        if (top && (c == "+" || c == "-") && !out.empty() && out.back().place >= 0 && !out.back().text.empty()) {
            open(place++);
        } else if (out.empty() || out.back().place < 0) {
            open(place++);
        }
        out.back().text += c;
        if (c == "(") ++depth;
        if (c == ")") --depth;
        if (c == kFraction) in_fraction = !in_fraction;
    }
    return out;
}

std::string signed_term(char sign, const std::string& text) { return std::string(1, sign) + text; }

class OwnEquation {
public:
    explicit OwnEquation(Script& s) : s_(s), e_(s.e), storage_(e_.presenter().platform().storage()) {}

    Task<> run() {
        // The solver's first run, done while the equation is typed rather
        // than after its Enter (a browser compiles code as it is first used).
        (void)steps::solve(kSampleEquation);
        history_ = read_history(storage_, damaged_);
        std::string typed;
        std::string refusal;
        steps::Solution solution;
        for (;;) {
            draw_entry(typed, refusal);
            auto entered = co_await read_equation(typed);
            // Escape leaves for the item bar.
            if (!entered) co_return;
            typed = *entered;
            if (const int chosen = history_number(typed); chosen > 0) typed = history_[static_cast<size_t>(chosen - 1)];
            auto result = steps::solve(typed);
            if (const auto* no = std::get_if<steps::Refusal>(&result)) {
                refusal = no->message;
                continue;
            }
            solution = std::get<steps::Solution>(std::move(result));
            break;
        }
        co_await show(solution);
        // Kept only once the solution has been shown: going back a step
        // replays the typing against the same list.
        history_.erase(std::remove(history_.begin(), history_.end(), typed), history_.end());
        history_.insert(history_.begin(), typed);
        if (history_.size() > kHistoryMost) history_.resize(kHistoryMost);
        write_history(storage_, history_, damaged_);
    }

private:
    // A number from 1 to the list's length picks that equation.
    int history_number(const std::string& typed) const {
        if (typed.empty() || typed.size() > 2 ||
            !std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return 0;
        const int n = std::stoi(typed);
        return n >= 1 && n <= static_cast<int>(history_.size()) ? n : 0;
    }

    // The typed equation as the lessons write it, set smaller when long.
    void draw_typed(const std::string& typed) {
        s_.erase(kFieldX1 + 4, kFieldY1 + 4, kFieldX2 - kFieldX1 - 8, kFieldY2 - kFieldY1 - 8);
        const float width = typed.empty() ? 0 : width_of(typed);
        const float room = kFieldX2 - kTypedX - 24;
        const float scale = width > room ? std::max(kSmallestScale, room / width) : 1.0f;
        float end = kTypedX;
        if (!typed.empty()) {
            e_.p.set_scale(scale, kTypedX, kTypedY);
            s_.text(kTypedX, kTypedY, kTyped, typed);
            e_.p.set_scale(1);
            end = kTypedX + (s_.end_x() - kTypedX) * scale;
        }
        // Where the next character goes.
        s_.box(end + 4, kFieldY1 + 14, end + 8, kFieldY2 - 14, kTyped, kTyped);
    }

    void draw_entry(const std::string& typed, const std::string& refusal) {
        s_.erase(0, 0, 1760, 1800);
        s_.text(kLeft, kTitleY, kTitle, "方程式を入力");
        s_.text(kLeft, kAskY, kInk, "方程式を入力して、Enterを押して下さい。");
        s_.text(kLeft, kExampleY, kNameInk, "例");
        // What to type, as it is typed.
        e_.p.set_font_bold(false);
        e_.p.set_font_size(kExampleSize);
        e_.p.draw_text(kLeft + 64, kExampleY + 4, "4x-(x-3)=12     (2x-1)/3=(x+2)/4     x:6=2:3", 1, 1,
                       static_cast<int>(kNameInk));
        e_.p.set_font_size(kTextSize);
        s_.pen(3);
        s_.box(kFieldX1, kFieldY1, kFieldX2, kFieldY2, kTitle, kPaper);
        draw_typed(typed);
        if (!refusal.empty()) fit_text(kLeft, kRefusalY, kFieldX2, kTitle, refusal);
        if (history_.empty()) return;
        s_.plain(kLeft, kHistoryTitleY, kNameInk, "これまでの方程式（番号を入力すると、もう一度使えます）");
        e_.p.set_font_bold(false);
        e_.p.set_font_size(kHistorySize);
        for (size_t i = 0; i < history_.size(); ++i) {
            std::string line = history_[i];
            if (line.size() > kHistoryShownChars) line = line.substr(0, kHistoryShownChars - 3) + "...";
            const float x = kHistoryColumnX[i / kHistoryRows];
            const float y = kHistoryTop + static_cast<float>(i % kHistoryRows) * kHistoryPitch;
            e_.p.draw_text(x, y, std::to_string(i + 1) + "  " + line, 1, 1, static_cast<int>(kInk));
        }
        e_.p.set_font_size(kTextSize);
    }

    Task<std::optional<std::string>> read_equation(const std::string& start) {
        AnswerField field(kEquationField);
        for (char c : start) field.key(std::string(1, c));
        PromptEvent prompt{PromptKind::answer};
        prompt.field = Box{kFieldX1, kFieldY1, kFieldX2, kFieldY2};
        prompt.input = kEquationField;
        prompt.expected = kSampleEquation;
        e_.prompt = prompt;
        e_.presenter().announce(prompt);
        for (;;) {
            const std::string key = plain_key(co_await e_.presenter().poll_key());
            if (key.empty()) continue;
            if (key == kKeyEscape) {
                e_.prompt = {};
                e_.presenter().announce(e_.prompt);
                co_return std::nullopt;
            }
            const FieldChange change = field.key(key);
            if (change == FieldChange::submitted && !field.text().empty()) break;
            if (change != FieldChange::refused) draw_typed(field.text());
        }
        e_.prompt = {};
        e_.presenter().announce(e_.prompt);
        co_return field.text();
    }

    // One line of the solution as drawn: where each piece starts, at the
    // line's scale.
    struct Drawn {
        float y = 0, scale = 1;
        std::vector<Piece> pieces;
        std::vector<float> piece_x;  // in layout units, before scaling
    };

    float width_of(const std::string& rich) {
        e_.run_text = rich;
        e_.measure_rich_text();
        return e_.measured_width;
    }

    float height_of(const std::string& rich) const {
        return rich.find(kFraction) != std::string::npos ? kFractionPitch : kLinePitch;
    }

    // Draws a line's pieces at y (the answer after a second "=" in the
    // answer's colour), set smaller when it is too long for its place.
    Drawn draw_formula(const std::string& rich, float y, float colour) {
        Drawn d;
        d.y = y;
        d.pieces = pieces_of(rich);
        const float width = width_of(rich);
        const float room = kFormulaRight - kFormulaX;
        d.scale = width > room ? std::max(kSmallestScale, room / width) : 1.0f;
        e_.p.set_scale(d.scale, kFormulaX, y);
        int equals = 0;
        for (const auto& piece : d.pieces) equals += piece.text == "=";
        bool first = true;
        int seen = 0;
        for (const auto& piece : d.pieces) {
            seen += piece.text == "=";
            const float ink = equals >= 2 ? (seen >= 2 && piece.text != "=" ? kAnswer : kInk) : colour;
            d.piece_x.push_back(first ? kFormulaX : s_.end_x());
            if (first) s_.text(kFormulaX, y, ink, piece.text);
            else s_.more(ink, piece.text);
            first = false;
        }
        e_.p.set_scale(1);
        return d;
    }

    // Where a piece stands on the canvas.
    static float canvas_x(const Drawn& d, size_t i) { return kFormulaX + (d.piece_x[i] - kFormulaX) * d.scale; }

    // The term at a side and place of a drawn line.
    static std::optional<size_t> piece_at(const Drawn& d, steps::Side side, int place) {
        const int wanted = side == steps::Side::left ? 0 : 1;
        for (size_t i = 0; i < d.pieces.size(); ++i)
            if (d.pieces[i].side == wanted && d.pieces[i].place == place) return i;
        return std::nullopt;
    }

    // A term drawn at a place of the canvas, at a scale.
    void term_at(float x, float y, float scale, float ink, char sign, const std::string& body, float sign_ink) {
        e_.p.set_scale(scale, x, y);
        s_.text(x, y, sign_ink, std::string(1, sign));
        s_.more(ink, body);
        e_.p.set_scale(1);
    }

    // 移項: each moved term travels from its place on the line before to
    // its place on the new line, a position a key: down into the lane,
    // across (its sign turning halfway), then onto its place, where it
    // stays in the title colour, as it does at its start.
    Task<> travel(const Drawn& from, const Drawn& to, const std::vector<steps::Move>& moves) {
        for (const auto& move : moves) {
            const auto a = piece_at(from, move.from, move.place_before);
            const auto b = piece_at(to, move.to, move.place_after);
            if (!a || !b) continue;
            const float x1 = canvas_x(from, *a);
            const float x2 = canvas_x(to, *b);
            const float lane = to.y - kTransposeGap;
            const float scale = std::min(from.scale, to.scale);
            // Never past the right edge, whichever form it has on the way.
            // (Measured one at a time: a measurement draws, so the order counts.)
            const float wide_before = width_of(signed_term(move.sign_before, move.text_before));
            const float wide_after = width_of(signed_term(move.sign_after, move.text_after));
            const float wide = std::max(wide_before, wide_after) * scale;
            const auto inside = [&](float x) { return std::min(x, kFormulaRight - wide); };
            const int across = std::clamp(static_cast<int>(std::lround(std::abs(x2 - x1) / kTravelStep)),
                                          kFewestSteps, kMostSteps);
            std::vector<std::pair<float, float>> path{{inside(x1), lane}};
            for (int i = 1; i <= across; ++i)
                path.push_back({inside(x1 + (x2 - x1) * static_cast<float>(i) / static_cast<float>(across)), lane});
            const size_t turn = 1 + static_cast<size_t>(across) / 2;
            float last_x = x1, last_y = lane;
            char last_sign = move.sign_before;
            std::string last_body = move.text_before;
            bool drawn = false;
            for (size_t i = 0; i < path.size(); ++i) {
                co_await s_.wait();
                if (drawn) term_at(last_x, last_y, scale, kPaper, last_sign, last_body, kPaper);
                const bool turned = i >= turn;
                last_sign = turned ? move.sign_after : move.sign_before;
                last_body = turned ? move.text_after : move.text_before;
                last_x = path[i].first, last_y = path[i].second;
                term_at(last_x, last_y, scale, kInk, last_sign, last_body, turned ? kTitle : kInk);
                drawn = true;
            }
            co_await s_.wait();
            if (drawn) term_at(last_x, last_y, scale, kPaper, last_sign, last_body, kPaper);
            // On its place, and at its start, in the title colour.
            e_.p.set_scale(to.scale, kFormulaX, to.y);
            s_.text(to.piece_x[*b], to.y, kTitle, to.pieces[*b].text);
            e_.p.set_scale(from.scale, kFormulaX, from.y);
            s_.text(from.piece_x[*a], from.y, kTitle, from.pieces[*a].text);
            e_.p.set_scale(1);
        }
    }

    // A text set smaller when it would run past `right`.
    void fit_text(float x, float y, float right, float colour, const std::string& text) {
        const float width = width_of(text);
        e_.p.set_scale(width > right - x ? (right - x) / width : 1.0f, x, y);
        s_.text(x, y, colour, text);
        e_.p.set_scale(1);
    }

    // A step's name, set smaller when it would run into its line.
    void draw_name(const std::string& name, float y) { fit_text(kNameX, y, kFormulaX - kNameGap, kNameInk, name); }

    struct Shown {
        std::string name, rich;
        float colour;
        bool transposed;
    };

    // Lines from `first` on, from the top: earlier lines have moved up
    // when the next one would not fit.
    std::vector<Drawn> redraw(const std::vector<Shown>& lines, size_t first) {
        s_.erase(0, kLinesTop - kLinesClear, 1760, kLinesBottom + 4 - (kLinesTop - kLinesClear));
        std::vector<Drawn> out;
        float y = kLinesTop;
        for (size_t i = first; i < lines.size(); ++i) {
            if (lines[i].transposed && i > first) y += kTransposeGap;
            draw_name(lines[i].name, y);
            out.push_back(draw_formula(lines[i].rich, y, lines[i].colour));
            y += height_of(lines[i].rich);
        }
        return out;
    }

    float bottom_of(const std::vector<Shown>& lines, size_t first) const {
        float y = kLinesTop;
        for (size_t i = first; i < lines.size(); ++i) {
            if (lines[i].transposed && i > first) y += kTransposeGap;
            y += height_of(lines[i].rich);
        }
        return y;
    }

    Task<> show(const steps::Solution& solution) {
        s_.erase(0, 0, 1760, 1800);
        s_.text(kLeft, kTitleY, kTitle, "方程式を入力");
        std::vector<Shown> lines{{"方程式", solution.given_rich, kInk, false}};
        size_t first = 0;
        std::vector<Drawn> drawn = redraw(lines, first);
        for (const auto& step : solution.steps) {
            co_await s_.wait();
            const bool moves = step.kind == steps::StepKind::transpose && !step.moves.empty();
            lines.push_back({step.name, step.rich, step.colour == steps::kAnswerColour ? kAnswer : kInk, moves});
            while (bottom_of(lines, first) > kLinesBottom && first + 1 < lines.size()) ++first;
            drawn = redraw(lines, first);
            if (moves && drawn.size() >= 2) co_await travel(drawn[drawn.size() - 2], drawn.back(), step.moves);
        }
        co_await s_.wait();
    }

    Script& s_;
    Engine& e_;
    Storage* storage_;
    std::vector<std::string> history_;
    bool damaged_ = false;
};

Task<> item_own_equation(Script& s) {
    OwnEquation own(s);
    co_await own.run();
}

}  // namespace

Topic own_equation() {
    Topic t;
    t.bar = "①方程式を入力　②終了";
    t.entries = 2;
    t.items = {item_own_equation};
    return t;
}

}  // namespace lk::solve
