#pragma once
// A teacher's request to the practice program, as the practice page's
// address carries it after "#" (and the desktop program's --request): the
// practice sets by their stable IDs and a number of problems, for
// 今日の問題. Short enough for a QR code and made only of characters an
// address keeps as they are:
//
//   v1;s=solve-x-plus-b,apply-ratio-whole;n=10
//
// The version comes first; the fields follow, each NAME=VALUE, separated by
// ";", in any order, each at most once. A field's value is everything after
// its first "=", so a later field may carry text of its own (a named list of
// equations). Version 1 has s (the sets, separated by ",", taken in turn),
// e (a teacher's list of equations, as one more set after them:
// e=NAME,4x-(x-3)=12,x:6=2:3, the name possibly empty, %XX escapes read)
// and n (the number of problems); one of s and e is needed. A field or a
// version this program does not know is refused, never skipped, so that a
// request is done as asked or not at all.
#include <string>
#include <string_view>
#include <vector>

#include "sets.h"

namespace lk::practice {

constexpr int kRequestVersion = 1;
constexpr int kMaxRequestProblems = 50;
constexpr std::size_t kMaxRequestSets = 12;  // entries of s (a set may come again)
constexpr std::size_t kMaxRequestChars = 1000;

struct PracticeRequest {
    std::vector<const PracticeSet*> sets;  // taken in turn, as listed
    int count = 0;                         // problems in all
};

// What reading a request gave: nothing asked (an empty text), a request, or
// a message in Japanese saying why it was refused.
struct RequestReading {
    bool asked = false;
    bool ok = false;
    PracticeRequest request;
    std::string error;
};

// Reads the text after "#" (a leading "#" is allowed too).
RequestReading read_request(std::string_view text);

// The request in words: the sets' names and the number of problems,
// "移項　x+b=d、比例式（答えが整数）　10問" (rich text).
std::string describe(const PracticeRequest& request);

}  // namespace lk::practice
