#include "show_teacher.h"

#include <algorithm>
#include <cmath>

#include "engine/lesson/codes.h"
#include "engine/present/keys.h"
#include "engine/present/qr/qr.h"
#include "engine/present/strings.h"
#include "engine/shell/script.h"
#include "lessons/problems/mistakes.h"

namespace lk::practice {

namespace {

// Colours (the palette's numbers).
constexpr float kInk = 0, kTitle = 3, kAnswerInk = 5, kHintInk = 7, kPaper = 15;
constexpr float kEntryInk = 13;

// The screen: the code on the left, as large as the height allows, the
// words on the right and the choices under them.
constexpr float kLeft = 60, kTitleY = 24;
constexpr float kCodeX = 40, kCodeY = 84, kCodeMost = 560;
constexpr float kWordsX = 640, kWordsY = 96, kWordsPitch = 30, kWordsBottom = 470;
constexpr int kWordsChars = 42;  // full-width characters on a line of words
// The choices in two rows under the words, clear of the number prompt at
// the bottom right.
constexpr float kChoicesY = 500, kChoicePitchY = 64, kChoicePitchX = 340;
// What handing in said, under the code; the file's place below it, in the
// small type of file names, cut to its end.
constexpr float kMessageY = 614, kFileY = 648;
constexpr std::size_t kFileChars = 90;
// Where a seat or a label is asked: the field's box and its text.
constexpr float kFieldX = 560, kFieldY = 300, kFieldWidth = 300, kFieldHeight = 84;

enum Choice { kChangeSeat = 1, kChangeLabel, kHandIn, kBack };

std::string count_text(int n, const char* unit) { return std::to_string(n) + unit; }

std::string seat_line(const Progress& who, const std::string& day) {
    std::string line = "出席番号 " + std::to_string(who.seat);
    if (!who.class_label.empty()) line += "　クラス " + who.class_label;
    return line + "　" + day;
}

// Breaks words into lines of at most kWordsChars, between pieces.
void add_pieces(std::vector<std::string>& lines, const std::vector<std::string>& pieces, const std::string& indent) {
    std::string line;
    for (const auto& piece : pieces) {
        if (!line.empty() && char_length(line + "　" + piece) > kWordsChars) {
            lines.push_back(line);
            line = indent;
        }
        line += (line.empty() || line == indent ? "" : "　") + piece;
    }
    if (!line.empty() && line != indent) lines.push_back(line);
}

class TeacherScreen {
public:
    TeacherScreen(Engine& e, Progress& who, std::function<void()> keep, std::string today)
        : e_(e), s_(e), who_(who), keep_(std::move(keep)), today_(std::move(today)) {}

    Task<> run() {
        if (who_.seat == 0 && !co_await ask_seat()) co_return;
        for (;;) {
            draw();
            co_await e_.ask_menu_number();
            const float v = e_.answer_value;
            const int choice = v == std::floor(v) ? static_cast<int>(v) : 0;
            if (choice == kChangeSeat) co_await ask_seat();
            else if (choice == kChangeLabel) co_await ask_label();
            else if (choice == kHandIn) hand_in();
            else if (choice == kBack) co_return;
        }
    }

private:
    void blank(const std::string& title) {
        e_.clear_stage();
        e_.p.fill_box(0, 0, 1760, 1800, Coords::relative, kPaper);
        s_.text(kLeft, kTitleY, kTitle, title);
    }

    // The field of a seat or a label, with what is typed so far.
    void draw_field(const std::string& typed) {
        s_.erase(kFieldX - 4, kFieldY - 4, kFieldWidth + 8, kFieldHeight + 8);
        s_.pen(3);
        s_.box(kFieldX, kFieldY, kFieldX + kFieldWidth, kFieldY + kFieldHeight, kTitle, kPaper);
        s_.text(kFieldX + 24, kFieldY + 24, kAnswerInk, typed);
        s_.box(s_.end_x() + 6, kFieldY + 16, s_.end_x() + 10, kFieldY + kFieldHeight - 16, kAnswerInk, kAnswerInk);
    }

    // Reads a field until Enter; nothing on Escape.
    Task<std::optional<std::string>> read_field(FieldSpec spec, std::string start) {
        AnswerField field(spec);
        for (char c : start) field.key(std::string(1, c));
        draw_field(field.text());
        PromptEvent prompt{PromptKind::answer};
        prompt.field = Box{kFieldX, kFieldY, kFieldX + kFieldWidth, kFieldY + kFieldHeight};
        prompt.input = spec;
        e_.prompt = prompt;
        e_.presenter().announce(prompt);
        std::optional<std::string> out;
        for (;;) {
            const std::string pressed = co_await e_.presenter().poll_key();
            const std::string key = plain_key(pressed);
            if (key.empty()) continue;
            if (key == kKeyEscape) break;
            if (key == "\r") {
                out = field.text();
                break;
            }
            if (field.key(key) != FieldChange::refused) draw_field(field.text());
        }
        e_.prompt = {};
        e_.presenter().announce(e_.prompt);
        co_return out;
    }

    // True when a seat stands afterwards.
    Task<bool> ask_seat() {
        std::string problem;
        for (;;) {
            blank("先生に見せる　出席番号");
            s_.text(kLeft, 120, kInk, "出席番号を入力してください（1～" + std::to_string(kMaxSeat) + "）。");
            s_.plain(kLeft, 200, kHintInk, "名前は入れません。Esc でもどります。");
            if (!problem.empty()) s_.plain(kLeft, kFieldY + kFieldHeight + 40, kTitle, problem);
            // (Named before the wait: a temporary of a conditional in a
            // co_await is not safe with every compiler.)
            std::string start;
            if (who_.seat) start = std::to_string(who_.seat);
            const std::optional<std::string> typed = co_await read_field(kSeatField, start);
            if (!typed) co_return who_.seat != 0;
            int seat = 0;
            for (char c : *typed) seat = seat * 10 + (c - '0');
            if (seat < 1 || seat > kMaxSeat) {
                problem = "1 から " + std::to_string(kMaxSeat) + " までの数を入力してください。";
                continue;
            }
            who_.seat = seat;
            keep_();
            co_return true;
        }
    }

    Task<> ask_label() {
        blank("先生に見せる　クラス");
        s_.text(kLeft, 120, kInk, "クラスを入力してください（例　1-3）。");
        s_.plain(kLeft, 200, kHintInk, "数字と「-」だけです。空のまま Enter で、クラスなしになります。");
        const auto typed = co_await read_field(kClassLabelField, who_.class_label);
        if (!typed || !(typed->empty() || valid_class_label(*typed))) co_return;
        who_.class_label = *typed;
        keep_();
    }

    void hand_in() {
        const ClassRecord record = class_record_of(who_, today_);
        const HandInOutcome outcome = e_.presenter().platform().hand_in(
            class_record_file_name(record), class_record_file(record, describe(record)));
        handed_in_ = outcome.done;
        message_ = outcome.message;
        file_ = outcome.file;
    }

    void draw() {
        const ClassRecord record = class_record_of(who_, today_);
        blank("先生に見せる");
        s_.plain(kLeft + 240, kTitleY + 8, kInk, seat_line(who_, record.day));
        int dropped = 0;
        const auto bytes = encode_class_record(record, &dropped);
        if (const auto code = encode_qr(bytes)) {
            const float module = std::floor(kCodeMost / static_cast<float>(code->size + 2 * kQrQuietZone));
            draw_qr(e_.p, kCodeX, kCodeY, module, *code);
        }
        float y = kWordsY;
        auto lines = describe(record);
        if (lines.empty()) lines.push_back("まだ練習していません。");
        if (dropped > 0) lines.push_back("（コードに入りきらない分は、ファイルで提出してください。）");
        for (size_t i = 0; i < lines.size(); ++i) {
            if (y + kWordsPitch > kWordsBottom && i + 1 < lines.size()) {
                s_.plain(kWordsX, y, kHintInk, "（続きはファイルで提出すると見られます。）");
                break;
            }
            s_.plain(kWordsX, y, lines[i].rfind("　", 0) == 0 ? kInk : kTitle, lines[i]);
            y += kWordsPitch;
        }
        if (!message_.empty()) s_.plain(kLeft, kMessageY, handed_in_ ? kAnswerInk : kTitle, message_);
        if (!file_.empty()) {
            e_.p.set_font_bold(false);
            e_.p.draw_text(kLeft, kFileY, ending_of(file_, kFileChars), 1, 1, static_cast<int>(kInk));
        }
        e_.prompt = {PromptKind::menu};
        int n = 0;
        for (const char* label : {"出席番号", "クラス", "ファイルで提出", "メニューへ"}) {
            ++n;
            e_.p.start_capture();
            s_.text(kWordsX + static_cast<float>((n - 1) % 2) * kChoicePitchX,
                    kChoicesY + static_cast<float>((n - 1) / 2) * kChoicePitchY, n % 2 ? kEntryInk : kInk,
                    std::to_string(n) + "　" + label);
            e_.prompt.choices.push_back({n, glyphs_area(e_.p.take_capture())});
        }
    }

    Engine& e_;
    Script s_;
    Progress& who_;
    std::function<void()> keep_;
    std::string today_;
    bool handed_in_ = false;
    std::string message_, file_;
};

}  // namespace

std::vector<std::string> describe(const ClassRecord& record) {
    std::vector<std::string> lines;
    for (const auto& s : record.sets) {
        const PracticeSet* set = set_of_code(s.set);
        std::string head = set ? set->name : "セット " + std::to_string(s.set);
        if (s.mastered) head += "　★";
        if (s.review_due) head += "　復習";
        if (s.practise_again) head += "　もう一度";
        lines.push_back(head);
        std::vector<std::string> pieces{count_text(s.tried, "問中") + count_text(s.solved, "問正解"),
                                        "連続" + std::to_string(s.streak)};
        if (s.today_tried > 0)
            pieces.push_back("今日" + count_text(s.today_tried, "問") + "（一度で正解" + count_text(s.today_solved, "問") + "）");
        if (s.hints > 0) pieces.push_back("ヒント" + count_text(s.hints, "回"));
        if (s.shown > 0) pieces.push_back("答えを見た" + count_text(s.shown, "問"));
        if (!s.last.empty()) {
            std::string last = "最近";
            for (Ending ending : s.last)
                last += ending == Ending::first_try ? "○" : ending == Ending::after_help ? "△" : "×";
            pieces.push_back(last);
        }
        for (const auto& [code, count] : s.mistakes)
            if (const auto* mistake = problems::mistake_of_code(code))
                pieces.push_back(std::string(mistake->name) + " " + count_text(count, "回"));
        add_pieces(lines, pieces, "　");
    }
    return lines;
}

ClassRecord class_record_of(const Progress& progress, const std::string& today) {
    ClassRecord record;
    record.seat = progress.seat;
    record.label = progress.class_label;
    record.day = today;
    for (const auto& set : practice_sets()) {
        const int code = set_code(set);
        const auto found = progress.sets.find(set.id);
        if (code < 0 || found == progress.sets.end() || found->second.tried == 0) continue;
        const SetProgress& p = found->second;
        SetFigures f;
        f.set = code;
        f.tried = p.tried;
        f.solved = p.solved;
        f.streak = p.streak;
        f.mastered = p.mastered;
        f.review_due = review_due(p, today);
        f.practise_again = p.practise_again;
        f.hints = p.hints;
        f.shown = p.shown;
        f.today_tried = tried_today(p, today);
        f.today_solved = solved_today(p, today);
        for (const ProblemEnding ending : p.last) f.last.push_back(static_cast<Ending>(ending));
        for (const auto& [mistake, count] : p.mistakes) f.mistakes.emplace_back(mistake, count);
        record.sets.push_back(std::move(f));
    }
    // The most recently practised first (days as "YYYY-MM-DD" sort as text);
    // sets of one day in the menu's order.
    std::stable_sort(record.sets.begin(), record.sets.end(), [&](const SetFigures& a, const SetFigures& b) {
        return progress.sets.at(set_of_code(a.set)->id).last_day > progress.sets.at(set_of_code(b.set)->id).last_day;
    });
    return record;
}

Task<> show_teacher(Engine& e, Progress& progress, std::function<void()> keep, std::string today) {
    TeacherScreen screen(e, progress, std::move(keep), std::move(today));
    co_await screen.run();
}

}  // namespace lk::practice
