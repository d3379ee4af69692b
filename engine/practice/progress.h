#pragma once
// A student's progress, kept on the device only: per practice set, how many
// problems were tried and solved, the current run of first-try solutions,
// whether the set is mastered (★) and the last day practised. Nothing names
// the student.
#include <map>
#include <string>
#include <string_view>

namespace lk::practice {

constexpr int kProgressVersion = 1;

struct SetProgress {
    int tried = 0;
    int solved = 0;
    int streak = 0;         // problems solved in a row at the first try, no hint
    bool mastered = false;  // once earned, it stays
    std::string last_day;   // "2026-12-08", empty when never practised
};

struct Progress {
    std::map<std::string, SetProgress> sets;  // by the set's stable ID
};

// How a problem ended for the record.
struct Outcome {
    bool solved = false;     // the student gave the answer (possibly after hints)
    bool first_try = false;  // right at the first counted answer, no hint
};
// Adds one finished problem to a set's record: a first-try solution lengthens
// the streak, anything else ends it; `needed` in a row earns the ★.
void record(SetProgress& set, const Outcome& outcome, int needed, const std::string& today);

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
