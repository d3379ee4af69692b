#pragma once
// A student's progress, kept on the device only: per practice set, how many
// problems were tried and solved, the current run of first-try solutions,
// whether the set is mastered (★), the last day practised, the help used,
// the typical mistakes made, today's figures and the last few endings, and
// when a mastered set comes back for review. Besides the sets: a seat number
// and a class label, given for the teacher; nothing names the student.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lk::practice {

// Version 2 added the help, the mistakes, today's figures, the last endings,
// the reviews, the seat and the class label; a version 1 file is read as a
// version 2 record without them, and written back as version 2.
constexpr int kProgressVersion = 2;

// A ★ set comes back for review after this many days without practice, and
// once it has been reviewed, after this many.
constexpr int kFirstReviewDays = 7, kLaterReviewDays = 30;
// The endings kept per set.
constexpr std::size_t kKeptEndings = 3;

// How one problem ended.
enum class ProblemEnding { first_try = 0, after_help = 1, answer_shown = 2 };

struct SetProgress {
    int tried = 0;
    int solved = 0;
    int streak = 0;         // problems solved in a row at the first try, no hint
    bool mastered = false;  // once earned, it stays
    std::string last_day;   // "2026-12-08", empty when never practised
    int hints = 0;          // hints shown
    int shown = 0;          // problems that ended with the answer shown
    // Typical mistakes made: the mistake's code and how many problems had it.
    std::map<int, int> mistakes;
    // Tried, and solved at the first try, on the day practised last only.
    int today_tried = 0, today_solved = 0;
    std::vector<ProblemEnding> last;  // the last endings, oldest first
    int reviews = 0;                  // reviews passed since the ★
    bool practise_again = false;      // a review was missed: the ★ stays

    bool operator==(const SetProgress&) const = default;
};

struct Progress {
    int seat = 0;             // 出席番号 1..50, 0 when not given
    std::string class_label;  // "1-3", "" when not given
    std::map<std::string, SetProgress> sets;  // by the set's stable ID

    bool operator==(const Progress&) const = default;
};

// How a problem ended for the record.
struct Outcome {
    bool solved = false;     // the student gave the answer (possibly after hints)
    bool first_try = false;  // right at the first counted answer, no hint
    int hints = 0;           // hints shown
    bool answer_shown = false;
    std::vector<int> mistakes;  // the typical mistakes made, each once
};
// Adds one finished problem to a set's record: a first-try solution lengthens
// the streak, anything else ends it; `needed` in a row earns the ★. A problem
// of a review (review_due before it) passes the review when solved at the
// first try, and marks the set to practise again otherwise.
void record(SetProgress& set, const Outcome& outcome, int needed, const std::string& today);

// A review problem of a set due for review (one of まとめ's, say): solved at
// the first try it moves the set's date on; otherwise the ★ stays and the
// set is marked to practise again.
void review(SetProgress& set, bool first_try, const std::string& today);
// Whether a ★ set is due for review on `today`: practised last at least 7
// days before (30 once it has been reviewed).
bool review_due(const SetProgress& set, const std::string& today);
// Today's figures of a set (tried, solved at the first try): nothing when it
// was last practised on another day.
int tried_today(const SetProgress& set, const std::string& today);
int solved_today(const SetProgress& set, const std::string& today);

// The file's text: JSON with a version number.
std::string to_json(const Progress& progress);
// Reads the file's text. False, with a message in Japanese in `error`, for
// anything that is not a progress file of a known version; `progress` is
// then left as it was.
bool from_json(std::string_view text, Progress& progress, std::string& error);
// The same, telling a record of a later version (which a later program
// wrote, and which must be left as it is) from a damaged one: its version in
// `newer`, 0 otherwise.
bool from_json(std::string_view text, Progress& progress, std::string& error, int& newer);
// What the program says of such a record.
std::string newer_record_notice(int newer);

}  // namespace lk::practice
