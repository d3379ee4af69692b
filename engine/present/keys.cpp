#include "keys.h"

namespace lk {

namespace {

// What an input method commits for a key, and the plain key it stands for.
struct WideForm {
    std::string_view wide;
    const char* plain;
};
constexpr WideForm kWideForms[] = {
    {"０", "0"}, {"１", "1"}, {"２", "2"}, {"３", "3"}, {"４", "4"},
    {"５", "5"}, {"６", "6"}, {"７", "7"}, {"８", "8"}, {"９", "9"},
    {"＋", "+"},
    {"ー", "-"},  // the long vowel mark, next to the minus key
    {"ｰ", "-"},   // its half-width form
    {"－", "-"}, {"−", "-"}, {"‐", "-"},
    {"／", "/"}, {"÷", "/"},
    {"＊", "*"}, {"×", "*"},
    {"．", "."}, {"＝", "="}, {"：", ":"},
    {"（", "("}, {"）", ")"},
    {"ｘ", "x"}, {"Ｘ", "X"},
    {"　", " "},  // the full-width space
};

}  // namespace

std::string plain_key(std::string_view key) {
    for (const auto& form : kWideForms)
        if (key == form.wide) return form.plain;
    return std::string(key);
}

}  // namespace lk
