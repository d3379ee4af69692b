#include "answer_field.h"

#include "keys.h"
#include "strings.h"

namespace lk {

FieldChange AnswerField::key(std::string_view typed) {
    const std::string key = plain_key(typed);
    if (key.empty()) return FieldChange::refused;
    const std::vector<std::string> chars = split_chars(text_);
    if (spec_.at_limit == FieldSpec::AtLimit::clear && chars.size() >= spec_.max_chars) {
        text_.clear();
        return FieldChange::cleared;
    }
    if (key == "\r") return FieldChange::submitted;
    const bool one_char = key.size() == 1;
    if (key == "\f" || (one_char && spec_.clear_keys.find(key[0]) != std::string_view::npos) ||
        (key == "\b" && spec_.backspace == FieldSpec::Backspace::clear_all)) {
        text_.clear();
        return FieldChange::cleared;
    }
    if (key == "\b") {
        if (chars.empty()) return FieldChange::refused;
        text_.resize(text_.size() - chars.back().size());
        return FieldChange::deleted;
    }
    if (!one_char || spec_.takes.find(key[0]) == std::string_view::npos) return FieldChange::refused;
    if (chars.size() >= spec_.max_chars) return FieldChange::refused;
    text_ += key;
    return FieldChange::taken;
}

}  // namespace lk
