#pragma once
// The verdict on a typed answer, exact: the text is read as a rational number
// and compared with the exact answer, and whatever the student typed that is
// not yet an answer (not simplest, a rounded decimal, not a number) is told
// apart from a wrong answer, since only a wrong answer counts against them.
#include <optional>
#include <string>
#include <string_view>

#include "../present/answer_field.h"
#include "../present/keys.h"
#include "rational.h"

namespace lk::practice {

// The longest answer text read, as long as the answer field; longer texts
// are not a number.
constexpr std::size_t kMaxAnswerChars = kAnswerField.max_chars;

// What a typed text says, before it is compared with anything.
struct Reading {
    enum class Status {
        number,            // a number: value and how it was written below
        empty,             // nothing typed
        malformed,         // "-", "3/", "/3", "1.2.3", "--3", letters ...
        zero_denominator,  // "3/0"
    };
    Status status = Status::empty;
    Rational value;
    // How it was written: a simplest form is a whole number without leading
    // zeros and not "-0", a fraction in lowest terms with a positive
    // denominator other than 1, or a decimal without trailing zeros.
    bool simplest = false;
    bool decimal = false;    // written with a point
    bool fraction = false;   // written with "/"
};
// Reads a typed answer. A leading "x=", a leading "+" and spaces are allowed
// and change nothing (except a space inside a number: "1 2" is malformed);
// full-width characters read as their plain keys (plain_key). "3." is
// malformed. Each part of a number has at most 9 digits, so every value
// stays below 10^9.
Reading read_typed(std::string_view typed);

enum class Verdict {
    correct,         // equal and in simplest form
    not_simplest,    // equal, but to be simplified (not counted as wrong)
    need_fraction,   // a decimal that only rounds a non-terminating answer
    not_a_number,    // nothing to judge (not counted)
    wrong,
};
struct Judgement {
    Verdict verdict = Verdict::not_a_number;
    // What the student reads, in Japanese: "正解", "約分…", "分数で…",
    // "0 で割ることはできません", "ちがいます" …
    std::string message;
    // Whether this answer counts as a try (correct or wrong).
    bool counts() const { return verdict == Verdict::correct || verdict == Verdict::wrong; }
};
Judgement judge(std::string_view typed, const Rational& answer);

}  // namespace lk::practice
