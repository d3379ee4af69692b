#pragma once
// What a student shows the teacher: the seat, the class label, the day and
// per practice set the figures of the device's record, in a compact binary
// form with a check value that fits one QR code (docs/class-record.md), and
// in words. The student's program writes it (先生に見せる); the class page
// reads it with this same code, compiled into the page.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lk::practice {

// The form's own version, the first byte after the mark. A reader refuses
// any other version, with a message.
inline constexpr int kClassRecordForm = 1;
// What fits one code of version 10 at level M in byte mode.
inline constexpr std::size_t kClassRecordMaxBytes = 213;
// Seats 1..50; 0 when none is set.
inline constexpr int kMaxSeat = 50;
// A class label: digits and "-", as "1-3", at most this long.
inline constexpr std::size_t kMaxClassLabel = 8;

// How one of the last problems of a set ended.
enum class Ending : std::uint8_t { first_try = 0, after_help = 1, answer_shown = 2 };

struct SetFigures {
    std::string id;  // the practice set's stable ID
    int tried = 0, solved = 0, streak = 0;
    bool mastered = false;
    bool review_due = false;     // a ★ set whose review day has come
    bool practise_again = false; // a review was missed
    int hints = 0;               // hints used
    int shown = 0;               // problems that ended with the answer shown
    int today_tried = 0, today_solved = 0;
    std::vector<Ending> last;    // the last (up to three) endings, oldest first
    // The typical mistakes counted, by their stable tags.
    std::vector<std::pair<std::string, int>> mistakes;
};

struct ClassRecord {
    int seat = 0;
    std::string label;  // "" when none
    std::string day;    // "2026-12-09"
    std::vector<SetFigures> sets;
};

// The binary form. When the record would not fit kClassRecordMaxBytes, the
// least telling figures are left out first (docs/class-record.md says
// which); `dropped`, when given, counts what was left out.
std::vector<std::uint8_t> encode_class_record(const ClassRecord& record, int* dropped = nullptr);

// Reads the binary form; nothing, with a message in Japanese in `error`,
// for anything else: another app's code, a damaged or cut record, an
// unknown form version.
std::optional<ClassRecord> decode_class_record(const std::vector<std::uint8_t>& bytes, std::string& error);

// The record as a text file for the school's hand-in route: its figures in
// words, and the binary form on a line of its own that the class page reads.
std::string class_record_file(const ClassRecord& record);
// The file's name: CLASS-SEAT-DATE.txt ("1-3-12-2026-12-09.txt").
std::string class_record_file_name(const ClassRecord& record);
// Reads a file of class_record_file's form.
std::optional<ClassRecord> read_class_record_file(std::string_view text, std::string& error);

// The figures in words, one line a set (for the screen and the file).
std::vector<std::string> describe(const ClassRecord& record);

// Whether a label is acceptable: digits and "-", at most kMaxClassLabel.
bool valid_class_label(std::string_view label);

// The stable tag of a set or a mistake, and the small number the binary form
// writes for it; both lists only ever grow at their ends.
int set_code(std::string_view id);
int mistake_code(std::string_view tag);

}  // namespace lk::practice
