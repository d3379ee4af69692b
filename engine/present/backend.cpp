#include "backend.h"

#include <algorithm>
#include <cmath>

#include "strings.h"

namespace lk {

std::deque<std::string> split_keys(std::string_view keys) {
    std::deque<std::string> out;
    while (!keys.empty()) {
        bool whole = false;
        for (const char* token : {kKeyStepBack, kKeyForward}) {
            if (keys.starts_with(token)) {
                out.emplace_back(token);
                keys.remove_prefix(std::char_traits<char>::length(token));
                whole = true;
                break;
            }
        }
        if (whole) continue;
        // A UTF-8 sequence stays whole; a stray byte is a key of its own.
        auto chars = split_chars(keys.substr(0, 4));
        std::string key = chars.empty() ? std::string(1, keys.front()) : chars.front();
        keys.remove_prefix(key.size());
        out.push_back(std::move(key));
    }
    return out;
}

void Backend::queue(std::string_view keys) {
    for (auto& key : split_keys(keys)) keys_.push_back(std::move(key));
}

std::string Backend::poll_key() {
    pump();
    show(false);
    if (keys_.empty() && key_source_) {
        // A driven run: the picture of each step is shown before its key.
        show(true);
        queue(key_source_());
    }
    if (keys_.empty()) {
        out_of_keys();
        return {};
    }
    std::string key = std::move(keys_.front());
    keys_.pop_front();
    return key;
}

void Backend::idle(int max_ms) {
    overlay_.tick(now_ms());
    show(true);
    // A prompt redraws its cursor dot on every poll: while the picture
    // stays the same and nothing on screen moves, the rest is longer.
    const std::uint64_t shown = canvas_ ? canvas_->fingerprint() : 0;
    const bool quiet = shown == idle_fingerprint_ && !overlay_.animating() && !settling();
    idle_fingerprint_ = shown;
    rest(quiet ? kQuietRestMs : std::max(max_ms, 1));
}

void Backend::delay(int duration) {
    delay_end_ = now_ms() + static_cast<std::uint64_t>(std::max(0.0, std::ceil(duration * kDelayUnitMs)));
    delaying_ = true;
    show(true);
    // Where nothing blocks, the program's task waits for a resume after
    // this returns: a delay already over (showing took longer, on a busy
    // device) still gets one, on the next turn, or the task would wait on.
    if (delay_over() && !blocks()) pause(0);
}

bool Backend::delay_over() {
    for (;;) {
        pump();
        const std::uint64_t now = now_ms();
        if (now >= delay_end_) break;
        pause(static_cast<int>(delay_end_ - now));
        if (!blocks()) return false;
    }
    delaying_ = false;
    return true;
}

void Backend::on_prompt(const PromptEvent& prompt) {
    // The toolbar and the keypad keep off what this screen shows; placed
    // now and when the view changes, not per frame.
    overlay_.set_drawing(canvas_ ? overlay::drawn_boxes(canvas_->ops()) : std::vector<Box>{});
    overlay_.on_prompt(prompt);
    waiting_ = prompt;
    if (prompt_listener_) prompt_listener_(prompt, false);
}

void Backend::view_moved() {
    if (prompt_listener_ && waiting_.kind != PromptKind::none) prompt_listener_(waiting_, true);
}

void Backend::on_item(bool started) { overlay_.on_item(started); }

HandInOutcome Backend::hand_in(const std::string& name, const std::string& text) {
#if defined(__EMSCRIPTEN__)
    // The page hands a file in its own way (WebPlatform::hand_in); leaving
    // the file writing out keeps the C library's file system out of it.
    return Platform::hand_in(name, text);
#else
    if (hand_in_folder_.empty()) return Platform::hand_in(name, text);
    const std::string path = hand_in_folder_ + "/" + name;
    if (!file_storage(path)->write(text)) return {false, "ファイルを保存できませんでした。", path};
    return {true, "ファイルを保存しました。学校の提出先に出してください。", path};
#endif
}

void Backend::typed(std::string_view text, std::uint64_t now_ms) {
    overlay_.on_key(now_ms);
    if (text.empty()) return;
    queue(text);
    wake();
}

void Backend::named(NamedKey key, std::uint64_t now_ms) {
    overlay_.on_key(now_ms);
    switch (key) {
        case NamedKey::fullscreen: toggle_fullscreen(); return;
        case NamedKey::palette:
            palette_ = palette_ == Palette::original ? Palette::projector : Palette::original;
            palette_changed();
            wake();
            return;
        default:
            keys_.push_back(program_key(key));
            wake();
            return;
    }
}

void Backend::pointer(const overlay::PointerEvent& event) {
    overlay::Response response = overlay_.on_pointer(event);
    for (auto& key : response.keys) keys_.push_back(std::move(key));
    if (!response.keys.empty()) wake();
    if (response.toggle_fullscreen) toggle_fullscreen();
    if (pointer_listener_ && (event.phase == overlay::PointerPhase::up || event.phase == overlay::PointerPhase::cancel))
        pointer_listener_();
}

}  // namespace lk
