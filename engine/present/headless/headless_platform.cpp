#include "headless_platform.h"

#include "../errors.h"
#include "../strings.h"

namespace lk {

std::string decode_key_script(std::string_view script) {
    std::string keys;
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\\' && i + 1 < script.size()) {
            char c = script[i + 1];
            switch (c) {
                case 'r':
                case 'n': keys += '\r'; ++i; continue;
                case 'b': keys += '\b'; ++i; continue;
                case 'f': keys += '\f'; ++i; continue;
                case '\\': keys += '\\'; ++i; continue;
                default: break;
            }
        }
        keys += script[i] == '\n' ? '\r' : script[i];
    }
    return keys;
}

HeadlessPlatform::HeadlessPlatform(std::string keys) : keys_(std::move(keys)) {}

void HeadlessPlatform::snapshot_if_changed() {
    if (canvas_ && canvas_->revision() != shown_revision_) {
        shown_revision_ = canvas_->revision();
        if (on_step_) on_step_(*canvas_);
    }
}

std::string HeadlessPlatform::poll_key() {
    snapshot_if_changed();
    if (next_ >= keys_.size() && key_source_) {
        std::string more = key_source_();
        keys_.erase(0, next_);
        next_ = 0;
        keys_ += more;
    }
    if (next_ >= keys_.size()) throw ProgramEnd{0};
    // The keys that produce no character arrive whole.
    for (const char* token : {kKeyStepBack, kKeyForward}) {
        if (std::string_view(keys_).substr(next_).starts_with(token)) {
            next_ += std::char_traits<char>::length(token);
            return token;
        }
    }
    // A key is one character of the script (a UTF-8 sequence stays whole).
    auto chars = split_chars(std::string_view(keys_).substr(next_, 4));
    std::string key = chars.empty() ? std::string(1, keys_[next_]) : chars.front();
    next_ += key.size();
    return key;
}

}  // namespace lk
