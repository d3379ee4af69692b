// 方程式の練習: the student answers first. A menu of practice sets, each
// with its progress and ★; a problem typeset as in the teacher's drill, an
// answer field that shows the answer typeset as it is typed, an exact
// verdict, hints line by line, and the record kept on this device only.
#include "program.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>

#include "engine/practice/judge.h"
#include "engine/practice/progress.h"
#include "engine/present/keys.h"
#include "engine/present/storage.h"
#include "engine/present/strings.h"
#include "lessons/problems/mistakes.h"
#include "request.h"
#include "sets.h"
#include "sheet.h"
#include "show_teacher.h"

namespace lk::practice {

namespace {

using problems::Line;
using problems::Problem;

// Colours (the palette's numbers).
constexpr float kInk = 0, kTitle = 3, kAnswerInk = 5, kHintInk = 7, kPaper = 15, kPanel = 10;
constexpr float kPanelText = 15, kPanelEntry = 13, kButtonFill = 11;

// The menu: two columns of entries on the panel (eight rows, a little
// closer, when プリント makes it fifteen; nine, closer still, with a
// teacher's list and 今日の問題).
constexpr float kMenuTop = 100, kMenuPitch = 66, kMenuPitchLong = 62, kMenuPitchLonger = 56;
constexpr float kMenuColumnX[2] = {88, 730};
constexpr float kMenuProgressDx = 440;  // where an entry's progress stands
constexpr float kMenuStarDx = -44;      // a mastered set's ★, before its number

// A problem's screen, top to bottom.
constexpr float kLeft = 60;
constexpr float kHeaderY = 24;
constexpr float kProblemTop = 96, kProblemPitch = 62;
constexpr float kAnswerTop = 230, kAnswerHeight = 96, kAnswerWidth = 560;
constexpr float kMessageY = 350;
constexpr float kWorkedTop = 410, kWorkedPitch = 56, kWorkedBottom = 650;
constexpr float kFractionPitch = 72;       // a line with a stacked fraction
constexpr float kSecondColumnX = 700;      // worked lines that do not fit below
// The buttons beside the header, drawn on the picture so that a tap works.
constexpr float kButtonTop = 12, kButtonHeight = 52;

// The keys of the answer field besides what is typed into it.
const char* const kHintKeys[] = {"h", "H", "?", "ｈ", "Ｈ", "？"};
const std::string kHintKey = "h";

// The verdict on a wrong answer, before what a typical mistake says.
constexpr std::string_view kWrong = "ちがいます。";

// How many of a set's last problems are not given again.
constexpr std::uint64_t kRecentProblems = 10;

// The largest seed a sheet can be asked for by (the clock's are at most a
// million, and a request's further sheets count on from its seed).
constexpr int kMaxSheetSeed = 9999999;

// Menu numbers after the sets: 今日の問題 (while a teacher's request is in
// force), プリント (where the platform can print), 先生に見せる, 記録を消す
// and 終わり.
int sets_count() { return static_cast<int>(practice_sets().size()); }
int today_number(bool, bool asked) { return asked ? sets_count() + 1 : 0; }
int print_number(bool printing, bool asked) { return printing ? sets_count() + (asked ? 2 : 1) : 0; }
int teacher_number(bool printing, bool asked) { return sets_count() + (asked ? 1 : 0) + (printing ? 2 : 1); }
int erase_number(bool printing, bool asked) { return teacher_number(printing, asked) + 1; }
int quit_number(bool printing, bool asked) { return erase_number(printing, asked) + 1; }

// 今日の問題's own entry in the record, beside the sets' (a record with it is
// read by a program that predates it as one more set it does not list).
const std::string kTodayRecord = "today";
// The request's words on 今日の問題's first screen: lines of at most this
// many characters (a rich text's are about 36 units wide), broken between
// sets.
constexpr int kWordsLineChars = 32;
// The menu's notice lines, under the panel: the second one below the
// menu's number prompt.
constexpr float kNoticeY = 620, kNoticePitch = 68;

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // (Not strftime: in the browser build that is a slow library routine,
    // and a day is asked for at every answer.)
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

bool is_hint_key(const std::string& key) {
    return std::any_of(std::begin(kHintKeys), std::end(kHintKeys), [&](const char* k) { return key == k; });
}

// A typed answer as rich text: spaces dropped, a fraction stacked once its
// "/" is typed, the sign in front of the bar.
std::string typeset(const std::string& typed) {
    std::string t;
    for (char c : typed)
        if (c != ' ') t += c;
    std::string prefix;
    if (t.rfind("x=", 0) == 0 || t.rfind("X=", 0) == 0) {
        prefix = "x=";
        t.erase(0, 2);
    }
    const auto slash = t.find('/');
    if (slash == std::string::npos) return prefix + t;
    std::string sign;
    while (!t.empty() && (t[0] == '-' || t[0] == '+')) {
        sign += t[0];
        t.erase(0, 1);
    }
    return prefix + sign + "ﾀ" + t + "ﾀ";
}

struct Button {
    float x, width;
    std::string label;
    std::string key;
};

class Practice {
public:
    Practice(Engine& e, SheetPrinter printer, const RequestReading& reading)
        : e_(e), s_(e), storage_(e.presenter().platform().storage()), printer_(std::move(printer)) {
        if (reading.ok) request_ = reading.request;
        else request_line_ = reading.error;
    }
    Task<> run();

private:
    enum class Ending { next, menu };

    void load();
    void save();
    void draw_menu();
    Task<> confirm_erase();
    Task<> print();
    // Asks for a number at the answer field, after a label; 0 when the
    // answer is not a whole number from 1 to `most`. It announces itself as
    // a menu's number field (a touch screen shows the keypad), whose
    // `choices` a tap chooses.
    Task<int> ask_number(const std::string& label, int most, std::vector<PromptChoice> choices = {});
    Task<> practise(const PracticeSet& set);
    // The set's problems, kept while the program runs.
    ProblemSource& source(const PracticeSet& set);
    // 今日の問題: the request in words, then its problems, the sets in turn.
    Task<> practise_today();
    int menu_number(int (*number)(bool printing, bool asked)) const {
        return number(static_cast<bool>(printer_), request_.has_value());
    }
    Task<Ending> solve(const PracticeSet& set, const Problem& problem, SetProgress& record);

    void draw_header(const PracticeSet& set, const SetProgress& record);
    void draw_lines(const std::vector<Line>& lines, size_t count, float top, float pitch);
    std::vector<PromptChoice> draw_buttons(const std::vector<Button>& buttons);
    void draw_field(const std::string& typed);
    void show_message(const std::string& message, float colour);
    // Waits at a verdict: any key goes on; Escape (or the menu button) leaves.
    Task<Ending> wait_verdict();

    Engine& e_;
    Script s_;
    Storage* storage_;
    SheetPrinter printer_;
    Progress progress_;
    bool kept_ = false;    // the record is kept on this device
    std::string notice_;   // a word about the record, shown on the menu
    std::map<std::string, ProblemSource> sources_;
    std::optional<PracticeRequest> request_;  // the teacher's request, when one was read
    std::string request_line_;                // a word about it on the menu (refused, or done)
    int today_turn_ = 0;                      // 今日の問題's problem being solved (from 1), or 0
    int today_tried_ = 0, today_solved_ = 0;  // in its latest round
};

void Practice::load() {
    if (!storage_ || !storage_->available()) {
        notice_ = "この端末では記録が残りません。練習はできます。";
        return;
    }
    kept_ = true;
    std::string text;
    switch (storage_->read(text)) {
        case Storage::ReadResult::missing: return;
        case Storage::ReadResult::failed:
            notice_ = "記録を読めませんでした。記録は残りません。";
            kept_ = false;
            return;
        case Storage::ReadResult::ok: break;
    }
    std::string error;
    int newer = 0;
    if (from_json(text, progress_, error, newer)) return;
    if (newer > 0) {
        // A later version of this program wrote it: it stays exactly as it
        // is, for that program, and this run keeps nothing.
        notice_ = newer_record_notice(newer);
        kept_ = false;
        return;
    }
    // A damaged record is kept aside, never emptied in place.
    std::string where;
    if (storage_->set_aside(where)) {
        notice_ = "記録が壊れていたので " + where + " に移し、新しく始めます。";
    } else {
        notice_ = "記録が壊れていて読めません（" + error + "）。記録は残りません。";
        kept_ = false;
    }
}

void Practice::save() {
    if (!kept_) return;
    if (!storage_->write(to_json(progress_))) notice_ = "記録を保存できませんでした。";
}

Task<> Practice::run() {
    load();
    if (request_) co_await practise_today();
    for (;;) {
        draw_menu();
        co_await e_.ask_menu_number();
        const float v = e_.answer_value;
        const int quit = menu_number(quit_number);
        if (v == static_cast<float>(quit)) e_.presenter().end_program();
        if (!(v >= 1 && v < static_cast<float>(quit))) continue;
        const int number = to_integer(v);
        if (number == menu_number(erase_number)) {
            co_await confirm_erase();
            continue;
        }
        if (number == menu_number(print_number)) {
            co_await print();
            continue;
        }
        if (number == menu_number(teacher_number)) {
            co_await show_teacher(e_, progress_, [this] { save(); }, today());
            continue;
        }
        if (number == menu_number(today_number)) {
            co_await practise_today();
            continue;
        }
        co_await practise(practice_sets()[static_cast<size_t>(number - 1)]);
    }
}

void Practice::draw_menu() {
    e_.clear_stage();
    e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
    e_.p.fill_box(22, 10, 1320, 600, Coords::relative, kPaper, kPanel);
    s_.text(264, 30, kPanelText, "＜方程式の練習　メニュー＞");
    e_.prompt = {PromptKind::menu};
    const auto& sets = practice_sets();
    const std::string day = today();
    const int entries = menu_number(quit_number);
    const int rows = (entries + 1) / 2;
    const float pitch = rows > 8 ? kMenuPitchLonger : rows > 7 ? kMenuPitchLong : kMenuPitch;
    for (int n = 1; n <= entries; ++n) {
        const int column = (n - 1) / rows;
        const float x = kMenuColumnX[column];
        const float y = kMenuTop + static_cast<float>((n - 1) % rows) * pitch;
        std::string label = std::to_string(n) + "　";
        if (n <= static_cast<int>(sets.size()))
            label += sets[static_cast<size_t>(n - 1)].name;
        else
            label += n == menu_number(today_number) ? "今日の問題"
                     : n == menu_number(print_number) ? "プリント"
                     : n == menu_number(teacher_number) ? "先生に見せる"
                     : n == menu_number(erase_number) ? "記録を消す"
                                                      : "終わり";
        const float colour = n % 2 ? kPanelEntry : kPanelText;
        e_.p.start_capture();
        s_.text(x, y, colour, label);
        e_.prompt.choices.push_back({n, glyphs_area(e_.p.take_capture())});
        if (n == menu_number(today_number) && today_tried_ > 0)
            s_.plain(x + kMenuProgressDx, y + 8, kPanelText,
                     std::to_string(today_tried_) + "問中" + std::to_string(today_solved_) + "問正解");
        if (n > static_cast<int>(sets.size())) continue;
        const PracticeSet& set = sets[static_cast<size_t>(n - 1)];
        auto found = progress_.sets.find(set.id);
        if (found == progress_.sets.end() || found->second.tried == 0) continue;
        const SetProgress& p = found->second;
        std::string figures = std::to_string(p.tried) + "問中" + std::to_string(p.solved) + "問正解";
        if (review_due(p, day)) figures += "　復習";
        else if (p.practise_again) figures += "　もう一度";
        s_.plain(x + kMenuProgressDx, y + 8, kPanelText, figures);
        if (p.mastered) s_.text(x + kMenuStarDx, y, colour, "★");
    }
    float y = kNoticeY;
    for (const std::string* line : {&notice_, &request_line_}) {
        if (line->empty()) continue;
        s_.plain(44, y, kHintInk, *line);
        y += kNoticePitch;
    }
}

Task<> Practice::confirm_erase() {
    e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
    s_.text(kLeft, 120, kTitle, "記録をすべて消しますか。");
    e_.prompt = {PromptKind::menu};
    int number = 0;
    for (const char* label : {"1　消す", "2　消さない"}) {
        e_.p.start_capture();
        s_.text(kLeft + static_cast<float>(number) * 300, 200, kInk, label);
        e_.prompt.choices.push_back({++number, glyphs_area(e_.p.take_capture())});
    }
    co_await e_.ask_menu_number();
    if (e_.answer_value != 1) co_return;
    // Everything, the seat and the class too: the device may go to
    // another student.
    progress_ = Progress{};
    if (kept_ && !storage_->write(to_json(progress_))) notice_ = "記録を消せませんでした。";
    else notice_ = kept_ ? "記録を消しました。" : notice_;
}

Task<int> Practice::ask_number(const std::string& label, int most, std::vector<PromptChoice> choices) {
    e_.prompt = {PromptKind::menu, std::move(choices)};
    e_.text_colour = kInk;
    e_.text_x = e_.answer_x - 64 - 16 * static_cast<float>(char_length(label));
    e_.text_y = e_.answer_y;
    e_.text = label;
    e_.draw_plain_text();
    e_.text.clear();
    co_await e_.ask_inline();
    e_.erase_inline_answer();
    const float v = e_.answer_value;
    if (!(v >= 1 && v <= static_cast<float>(most)) || v != static_cast<float>(to_integer(v))) co_return 0;
    co_return to_integer(v);
}

// プリント: the set, the number of problems and of sheets, and the seed (0
// for new sheets), one number prompt each; then the platform's printer makes
// the sheets and says where they went.
Task<> Practice::print() {
    e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
    s_.text(kLeft, 24, kTitle, "プリントを作る");
    s_.plain(kLeft + 300, 40, kHintInk, "問題と解答のプリントを作ります。0 を入力するとメニューへ戻ります。");
    const auto& sets = practice_sets();
    const int count = static_cast<int>(sets.size());
    const int rows = (count + 1) / 2;
    std::vector<PromptChoice> choices;
    for (int n = 1; n <= count; ++n) {
        const float x = kLeft + static_cast<float>((n - 1) / rows) * 620;
        const float y = 110 + static_cast<float>((n - 1) % rows) * 56;
        e_.p.start_capture();
        s_.text(x, y, n % 2 ? kPanelEntry : kInk, std::to_string(n) + "　" + sets[static_cast<size_t>(n - 1)].name);
        choices.push_back({n, glyphs_area(e_.p.take_capture())});
    }
    // What has been chosen, on one line under the sets.
    const float chosen_y = 110 + static_cast<float>(rows) * 56 + 24;
    std::string chosen;
    const auto show_chosen = [&](const std::string& more) {
        chosen += more;
        s_.erase(0, chosen_y - 26, 1760, 84);
        s_.text(kLeft, chosen_y, kAnswerInk, chosen);
    };
    const int set = co_await ask_number("セットの番号（1～" + std::to_string(count) + "）", count, std::move(choices));
    if (set == 0) co_return;
    show_chosen(std::to_string(set) + "　" + sets[static_cast<size_t>(set - 1)].name);
    const int problems = co_await ask_number("問題の数（1～" + std::to_string(kMaxSheetProblems) + "）", kMaxSheetProblems);
    if (problems == 0) co_return;
    show_chosen("　" + std::to_string(problems) + "問");
    const int sheets = co_await ask_number("枚数（1～" + std::to_string(kMaxSheets) + "）", kMaxSheets);
    if (sheets == 0) co_return;
    show_chosen("　" + std::to_string(sheets) + "枚");
    // The seed printed on a sheet makes that sheet again; 0 (or nothing)
    // makes new ones.
    const int seed = co_await ask_number("シード（0 なら新しく）", kMaxSheetSeed);
    if (seed > 0) show_chosen("　シード　" + std::to_string(seed));

    SheetRequest request;
    request.set = &sets[static_cast<size_t>(set - 1)];
    request.count = problems;
    request.sheets = sheets;
    // Otherwise a new seed each time, from the clock: the practice
    // problems' draws stay as they are.
    request.seed = seed > 0 ? static_cast<std::uint64_t>(seed)
                            : static_cast<std::uint64_t>(
                                  std::chrono::system_clock::now().time_since_epoch().count() / 1000) % 1000000 + 1;
    const float message_y = chosen_y + 80;
    s_.plain(kLeft, message_y, kHintInk, "作っています…");
    const PrintOutcome outcome = printer_(request);
    if (!outcome.pages.empty()) {
        std::vector<const Canvas*> pages;
        for (const auto& page : outcome.pages) pages.push_back(&page.canvas);
        co_await e_.presenter().print(pages);
    }
    // A printer whose pages were shown in the print view (closed by now)
    // has nothing more to say: back to the menu.
    if (outcome.done && outcome.message.empty()) co_return;
    s_.erase(0, message_y - 8, 1760, 32);
    s_.plain(kLeft, message_y, outcome.done ? kAnswerInk : kTitle, outcome.message);
    if (!outcome.file.empty()) {
        // The file's name as it is spelled (plain text would widen it).
        e_.p.set_font_bold(false);
        const size_t most = 150;  // half-width characters on a line
        e_.p.draw_text(kLeft, message_y + 32, ending_of(outcome.file, most), 1, 1, kInk);
    }
    co_await e_.wait_any_key();
}

void Practice::draw_header(const PracticeSet& set, const SetProgress& record) {
    s_.erase(0, 0, 1760, kProblemTop - 10);
    if (today_turn_ > 0) {
        // 今日の問題: which problem of how many, and its set.
        s_.text(kLeft, kHeaderY, kTitle,
                "今日の問題　" + std::to_string(today_turn_) + "／" + std::to_string(request_->count) + "　" +
                    set.name);
        return;
    }
    const auto& sets = practice_sets();
    const auto number = static_cast<int>(&set - sets.data()) + 1;
    s_.text(kLeft, kHeaderY, kTitle, std::to_string(number) + "　" + set.name);
    std::string status = std::to_string(record.tried) + "問中" + std::to_string(record.solved) + "問正解" +
                         "　連続" + std::to_string(record.streak);
    if (record.mastered) status += "　★";
    s_.plain(660, kHeaderY + 8, kInk, status);
}

void Practice::draw_lines(const std::vector<Line>& lines, size_t count, float top, float pitch) {
    float x = kLeft + 20, y = top;
    for (size_t i = 0; i < lines.size() && i < count; ++i) {
        const float height = lines[i].joined().find("ﾀ") != std::string::npos ? std::max(pitch, kFractionPitch) : pitch;
        // The worked lines go on in a second column rather than below the
        // picture.
        if (top == kWorkedTop && y + height > kWorkedBottom && x < kSecondColumnX) {
            x = kSecondColumnX;
            y = top;
        }
        bool first = true;
        for (const auto& run : lines[i].runs) {
            if (first)
                s_.text(x, y, static_cast<float>(run.colour), run.text);
            else
                s_.more(static_cast<float>(run.colour), run.text);
            first = false;
        }
        y += height;
    }
}

std::vector<PromptChoice> Practice::draw_buttons(const std::vector<Button>& buttons) {
    std::vector<PromptChoice> out;
    // Numbered apart from the choices of a yes/no answer.
    int number = 100;
    for (const auto& b : buttons) {
        s_.pen(2);
        s_.box(b.x, kButtonTop, b.x + b.width, kButtonTop + kButtonHeight, kTitle, kButtonFill);
        e_.p.start_capture();
        s_.plain(b.x + 16, kButtonTop + 18, kTitle, b.label);
        e_.p.take_capture();
        out.push_back({++number, Box{b.x, kButtonTop, b.x + b.width, kButtonTop + kButtonHeight}, b.key});
    }
    return out;
}

void Practice::draw_field(const std::string& typed) {
    const float x1 = kLeft, y1 = kAnswerTop, x2 = kLeft + kAnswerWidth, y2 = kAnswerTop + kAnswerHeight;
    s_.pen(3);
    s_.box(x1, y1, x2, y2, kTitle, kPaper);
    s_.text(x1 + 24, y1 + 28, kInk, "x=");
    s_.more(kAnswerInk, typeset(typed));
    // Where the next character goes.
    s_.box(s_.end_x() + 6, y1 + 20, s_.end_x() + 10, y2 - 20, kAnswerInk, kAnswerInk);
}

void Practice::show_message(const std::string& message, float colour) {
    s_.erase(0, kMessageY - 8, 1760, kWorkedTop - kMessageY);
    if (!message.empty()) s_.text(kLeft, kMessageY, colour, message);
}

Task<Practice::Ending> Practice::wait_verdict() {
    e_.prompt = {PromptKind::verdict};
    e_.prompt.choices = draw_buttons({{1130, 200, "メニューへ", kKeyEscape}});
    s_.plain(kLeft, 672, kHintInk, "何かキーを押すか、タップすると次の問題へ進みます。");
    e_.presenter().announce(e_.prompt);
    std::string key;
    while ((key = co_await e_.presenter().poll_key()).empty()) {
    }
    e_.prompt = {};
    e_.presenter().announce(e_.prompt);
    co_return key == kKeyEscape ? Ending::menu : Ending::next;
}

ProblemSource& Practice::source(const PracticeSet& set) {
    auto found = sources_.find(set.id);
    if (found != sources_.end()) return found->second;
    // A problem met among the last few of the set (all but one, for a set of
    // fewer than eleven) is not given again while the program runs.
    const std::uint64_t makes = problem_count(set);
    const std::size_t memory = static_cast<std::size_t>(std::min<std::uint64_t>(kRecentProblems, makes - 1));
    return sources_.emplace(set.id, ProblemSource(set, memory)).first->second;
}

Task<> Practice::practise(const PracticeSet& set) {
    ProblemSource& source = this->source(set);
    if (set.kinds.size() > 1) {
        // まとめ: the sets due for review come first.
        std::vector<const problems::Kind*> due;
        const std::string day = today();
        for (const auto* kind : set.kinds) {
            const PracticeSet* own = set_of_kind(kind);
            const auto found = own ? progress_.sets.find(own->id) : progress_.sets.end();
            if (found != progress_.sets.end() && review_due(found->second, day)) due.push_back(kind);
        }
        source.put_first(due);
    }
    for (;;) {
        e_.presenter().item_started();
        e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
        const Problem problem = source.next(s_);
        SetProgress& record = progress_.sets[set.id];
        const Ending ending = co_await solve(set, problem, record);
        e_.presenter().item_ended();
        if (ending == Ending::menu) co_return;
    }
}

Task<> Practice::practise_today() {
    const PracticeRequest& request = *request_;
    // The request in words, the sets' names on as few lines as they fit.
    e_.presenter().item_started();
    e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
    s_.text(kLeft, kHeaderY, kTitle, "今日の問題");
    std::vector<std::string> lines{"先生からの今日の問題："};
    for (size_t i = 0; i < request.sets.size(); ++i) {
        const std::string piece = request.sets[i]->name + (i + 1 < request.sets.size() ? "、" : "");
        if (char_length(lines.back() + piece) > kWordsLineChars) lines.emplace_back();
        lines.back() += piece;
    }
    lines.back() += "　" + std::to_string(request.count) + "問";
    float y = kProblemTop;
    for (const auto& line : lines) {
        s_.text(kLeft, y, kInk, line);
        y += kProblemPitch;
    }
    const Ending start = co_await wait_verdict();
    e_.presenter().item_ended();
    if (start == Ending::menu) co_return;

    // The sets' own problems, so that none comes again soon here either.
    std::vector<ProblemSource*> sources;
    for (const PracticeSet* set : request.sets) sources.push_back(&source(*set));
    today_tried_ = today_solved_ = 0;
    request_line_.clear();
    Ending ending = Ending::next;
    for (int i = 0; i < request.count && ending == Ending::next; ++i) {
        const size_t turn = static_cast<size_t>(i) % sources.size();
        e_.presenter().item_started();
        e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
        const Problem problem = sources[turn]->next(s_);
        SetProgress& record = progress_.sets[kTodayRecord];
        const int tried = record.tried, solved = record.solved;
        today_turn_ = i + 1;
        ending = co_await solve(*request.sets[turn], problem, record);
        today_turn_ = 0;
        today_tried_ += record.tried - tried;
        today_solved_ += record.solved - solved;
        e_.presenter().item_ended();
    }
    if (ending == Ending::next)
        request_line_ = "今日の問題が終わりました。" + std::to_string(today_tried_) + "問中" +
                        std::to_string(today_solved_) + "問正解でした。";
}

Task<Practice::Ending> Practice::solve(const PracticeSet& set, const Problem& problem, SetProgress& record) {
    draw_header(set, record);
    draw_lines(problem.shown, problem.shown.size(), kProblemTop, kProblemPitch);
    const float worked_pitch = kWorkedPitch;
    size_t hints = 0;          // worked lines shown as hints
    bool counted_try = false;  // a correct or wrong answer was given
    bool first_try = false;
    AnswerField field(kAnswerField);
    const std::string& typed = field.text();
    std::string expected = problem.yes_no() ? (problem.yes_no()->yes ? "1" : "2") : problem.solution().text();

    std::vector<int> mistakes;  // the typical mistakes named, each once

    const auto finish = [&](bool solved) {
        Outcome outcome;
        outcome.solved = solved;
        outcome.first_try = first_try;
        outcome.hints = static_cast<int>(hints);
        // The answer is shown by the last hint, or by the checks after a
        // wrong choice of two.
        outcome.answer_shown = hints >= problem.worked.size() || (problem.yes_no() && !solved);
        outcome.mistakes = mistakes;
        practice::record(record, outcome, set.streak_for_star, today());
        // A まとめ problem of a set due for review is that set's review.
        if (set.kinds.size() > 1) {
            const PracticeSet* own = set_of_kind(problem.kind);
            const auto found = own ? progress_.sets.find(own->id) : progress_.sets.end();
            if (found != progress_.sets.end() && review_due(found->second, today()))
                review(found->second, solved && first_try, today());
        }
        save();
        draw_header(set, record);
    };

    for (;;) {
        // The prompt: the field (or the two choices), ヒント and メニューへ.
        PromptEvent prompt{PromptKind::answer};
        prompt.expected = expected;
        std::vector<Button> buttons{{880, 220, "ヒント（H）", kHintKey}, {1130, 200, "メニューへ", kKeyEscape}};
        prompt.choices = draw_buttons(buttons);
        if (problem.yes_no()) {
            s_.erase(0, kAnswerTop - 10, 1760, kAnswerHeight + 20);
            for (int choice = 1; choice <= 2; ++choice) {
                const float x = kLeft + static_cast<float>(choice - 1) * 420;
                s_.pen(3);
                s_.box(x, kAnswerTop, x + 380, kAnswerTop + kAnswerHeight, kTitle, kPaper);
                e_.p.start_capture();
                s_.text(x + 30, kAnswerTop + 28, kInk, choice == 1 ? "1　解である" : "2　解ではない");
                e_.p.take_capture();
                prompt.choices.push_back(
                    {choice, Box{x, kAnswerTop, x + 380, kAnswerTop + kAnswerHeight}, std::to_string(choice)});
            }
        } else {
            draw_field(typed);
            prompt.field = Box{kLeft, kAnswerTop, kLeft + kAnswerWidth, kAnswerTop + kAnswerHeight};
            prompt.input = field.spec();
        }
        e_.prompt = prompt;
        e_.presenter().announce(prompt);

        // Keys until an answer is given, a hint asked for, or the menu.
        std::string key;
        for (;;) {
            key = plain_key(co_await e_.presenter().poll_key());
            if (key.empty()) continue;
            if (key == kKeyEscape || key == "\r" || is_hint_key(key)) break;
            if (problem.yes_no()) {
                if (key == "1" || key == "2") break;
                continue;
            }
            if (field.key(key) == FieldChange::refused) continue;
            s_.erase(kLeft - 4, kAnswerTop - 4, kAnswerWidth + 8, kAnswerHeight + 8);
            draw_field(typed);
        }
        e_.prompt = {};
        e_.presenter().announce(e_.prompt);
        if (key == kKeyEscape) co_return Ending::menu;

        const bool out_of_hints = hints >= problem.worked.size();
        if (is_hint_key(key)) {
            if (!out_of_hints) ++hints;
            show_message(hints >= problem.worked.size() ? "答えを入力して次へ進みましょう。" : "ヒント", kHintInk);
            s_.erase(0, kWorkedTop - 8, 1760, 1800);
            draw_lines(problem.worked, hints, kWorkedTop, worked_pitch);
            continue;
        }

        Judgement judgement;
        if (problem.yes_no()) {
            const bool right = (key == "1") == problem.yes_no()->yes;
            judgement.verdict = right ? Verdict::correct : Verdict::wrong;
            judgement.message = right ? "正解です。" : "ちがいます。";
        } else {
            judgement = judge(typed, problem.solution());
            // A wrong answer that one typical mistake gives says which step
            // to look at.
            const Reading reading = read_typed(typed);
            if (judgement.verdict == Verdict::wrong && reading.status == Reading::Status::number) {
                if (const auto* mistake = problems::diagnose(problem, reading.value)) {
                    judgement.message = std::string(kWrong) + std::string(mistake->message);
                    if (std::find(mistakes.begin(), mistakes.end(), mistake->code) == mistakes.end())
                        mistakes.push_back(mistake->code);
                }
            }
        }
        // The first counted answer decides the first try; a hint spoils it.
        if (judgement.counts() && !counted_try) {
            counted_try = true;
            first_try = judgement.verdict == Verdict::correct && hints == 0;
        }
        if (judgement.verdict == Verdict::correct) {
            // Solved unless the last hint (the answer itself) was shown first.
            const bool solved = hints < problem.worked.size();
            show_message(solved ? judgement.message : "正解です。この問題は、もう一度練習しましょう。",
                         solved ? kAnswerInk : kHintInk);
            s_.erase(0, kWorkedTop - 8, 1760, 1800);
            draw_lines(problem.worked, problem.worked.size(), kWorkedTop, worked_pitch);
            finish(solved);
            co_return co_await wait_verdict();
        }
        if (judgement.verdict == Verdict::wrong) {
            if (problem.yes_no()) {
                // Two choices: the other one is the answer; the checks show why.
                show_message(judgement.message, kTitle);
                s_.erase(0, kWorkedTop - 8, 1760, 1800);
                draw_lines(problem.worked, problem.worked.size(), kWorkedTop, worked_pitch);
                finish(false);
                co_return co_await wait_verdict();
            }
            if (!out_of_hints) ++hints;
            show_message(judgement.message, kTitle);
            s_.erase(0, kWorkedTop - 8, 1760, 1800);
            draw_lines(problem.worked, hints, kWorkedTop, worked_pitch);
            continue;
        }
        // Not simplest, a rounded decimal, not a number: the typed text
        // stays to be mended, and nothing counts.
        show_message(judgement.message, kTitle);
    }
}

}  // namespace

Task<> run_practice(Engine& e, const SheetPrinter& printer, const RequestReading& request) {
    Practice practice(e, printer, request);
    co_await practice.run();
}

}  // namespace lk::practice

namespace lk {

ProgramDef practicelesson_program(practice::SheetPrinter printer, std::string_view request) {
    ProgramDef p;
    p.title = "practicelesson";
    const practice::RequestReading reading = practice::read_request(request);
    p.quit_number = practice::quit_number(static_cast<bool>(printer), reading.ok);
    p.name = "方程式の練習";
    p.main = [printer, reading](Engine& e) { return practice::run_practice(e, printer, reading); };
    for (int n = 1; n <= static_cast<int>(practice::practice_sets().size()); ++n) p.tour_entries.push_back(n);
    return p;
}

const ProgramDef& practicelesson_program() {
    static const ProgramDef program = practicelesson_program(nullptr);
    return program;
}

}  // namespace lk
