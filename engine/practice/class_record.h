#pragma once
// What a student shows the teacher: the seat, the class label, the day and
// per practice set the figures of the device's record, in a compact binary
// form with a check value that fits one QR code (docs/class-record.md). The
// student's program writes it (先生に見せる); the class page reads it with
// this same code, compiled into the page.
//
// Sets and typical mistakes travel as small stable numbers; what they are
// called is the lessons' business (lessons/practice/handin.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
// Set codes are 0..63 (six bits); mistake codes 1..255.
inline constexpr int kMaxSetCode = 63;
inline constexpr int kMaxMistakeCode = 255;
// The endings kept per set.
inline constexpr std::size_t kLastEndings = 3;

// How one of the last problems of a set ended.
enum class Ending : std::uint8_t { first_try = 0, after_help = 1, answer_shown = 2 };

struct SetFigures {
    int set = 0;  // the set's stable code
    int tried = 0, solved = 0, streak = 0;
    bool mastered = false;
    bool review_due = false;      // a ★ set whose review day has come
    bool practise_again = false;  // a review was missed
    int hints = 0;                // hints used
    int shown = 0;                // problems that ended with the answer shown
    int today_tried = 0, today_solved = 0;  // solved today: at the first try
    std::vector<Ending> last;  // the last (up to three) endings, oldest first
    // The typical mistakes counted: (stable code, count).
    std::vector<std::pair<int, int>> mistakes;

    bool operator==(const SetFigures&) const = default;
};

struct ClassRecord {
    int seat = 0;
    std::string label;  // "" when none
    std::string day;    // "2026-12-09"
    // Most recently practised first: when the record is too long for one
    // code, the sets at the end are the ones left out.
    std::vector<SetFigures> sets;

    bool operator==(const ClassRecord&) const = default;
};

// The binary form. When the record would not fit kClassRecordMaxBytes, the
// least telling figures are left out first: the rarest mistakes, then the
// sets at the end. `dropped`, when given, counts the mistakes and sets left
// out. Values beyond what the form holds are clamped.
std::vector<std::uint8_t> encode_class_record(const ClassRecord& record, int* dropped = nullptr);

// Reads the binary form; nothing, with a message in Japanese in `error`,
// for anything else: another app's code, a damaged or cut record, an
// unknown form version.
std::optional<ClassRecord> decode_class_record(const std::vector<std::uint8_t>& bytes, std::string& error);

// The text file for the school's hand-in route: the given lines (the
// figures in words), then the binary form on a line of its own, which is
// what a reader reads.
std::string class_record_file(const ClassRecord& record, const std::vector<std::string>& words);
// The file's name: CLASS-SEAT-DATE.txt ("1-3-12-2026-12-09.txt"; without a
// class label, "SEAT-DATE.txt").
std::string class_record_file_name(const ClassRecord& record);
// Reads a file of class_record_file's form.
std::optional<ClassRecord> read_class_record_file(std::string_view text, std::string& error);

// Whether a label is acceptable: digits and "-", at most kMaxClassLabel.
bool valid_class_label(std::string_view label);

// Days since 1970-01-01 of a "YYYY-MM-DD" day, and back; nothing for a text
// that is not a day.
std::optional<int> day_number_of(std::string_view day);
std::string day_of_number(int days);

}  // namespace lk::practice
