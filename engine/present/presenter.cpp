#include "presenter.h"

namespace lk {

namespace {

// One display frame: the longest an idle platform rests between polls.
constexpr int kIdleMs = 16;

}  // namespace

Presenter::Presenter(Platform& platform, PageSize page) : platform_(platform), painter_(page) {
    platform_.attach(painter_.canvas());
}

Task<std::string> Presenter::poll_key() {
    painter_.count_statement();
    std::string key;
    if (replay_next_ < replay_.size()) {
        key = replay_[replay_next_++];
    } else {
        if (replaying_) {
            // Back at the wait the replay was for: show it, and tell
            // whoever follows the prompts which one is waiting.
            replaying_ = false;
            painter_.set_quiet(false);
            replay_.clear();
            replay_next_ = 0;
            announce(prompt_);
        }
        key = platform_.poll_key();
        if (key.empty()) {
            platform_.idle(kIdleMs);
            co_await RestOver{platform_};
        } else {
            painter_.event(KeyEvent{key});
        }
    }
    if (logging_ && !key.empty()) item_keys_.push_back(key);
    co_return key;
}

Task<> Presenter::delay(int duration) {
    painter_.event(DelayEvent{duration});
    if (replaying_) co_return;
    platform_.delay(duration);
    co_await RestOver{platform_};
}

void Presenter::announce(PromptEvent prompt) {
    prompt_ = std::move(prompt);
    if (prompt_.kind == PromptKind::step) prompt_.step = static_cast<int>(wait_answers_.size());
    if (replaying_) return;
    for (auto* s : painter_.sinks()) s->on_prompt(prompt_);
    platform_.on_prompt(prompt_);
}

Task<> Presenter::hold() {
    announce(PromptEvent{});
    platform_.hold();
    co_await RestOver{platform_};
    throw ProgramEnd{0};
}

Task<bool> Presenter::print(const std::vector<const Canvas*>& pages) {
    if (!platform_.print_pages(pages)) co_return false;
    co_await RestOver{platform_};
    co_return true;
}

void Presenter::item_started() {
    for (auto* s : painter_.sinks()) s->on_item(true);
    platform_.on_item(true);
}

void Presenter::item_ended() {
    for (auto* s : painter_.sinks()) s->on_item(false);
    platform_.on_item(false);
}

void Presenter::begin_item_log() {
    logging_ = true;
    item_keys_.clear();
    wait_answers_.clear();
}

void Presenter::end_item_log() {
    logging_ = false;
    item_keys_.clear();
    wait_answers_.clear();
}

void Presenter::mark_wait_answered() {
    if (logging_ && !item_keys_.empty()) wait_answers_.push_back(item_keys_.size() - 1);
}

std::vector<std::string> Presenter::keys_before_previous_wait() const {
    if (wait_answers_.empty()) return {};
    return {item_keys_.begin(), item_keys_.begin() + static_cast<std::ptrdiff_t>(wait_answers_.back())};
}

void Presenter::replay_keys(std::vector<std::string> keys) {
    replay_ = std::move(keys);
    replay_next_ = 0;
    replaying_ = true;
    painter_.set_quiet(true);
}

void Presenter::end_program() {
    painter_.event(EndProgram{});
    platform_.end_program();
    throw ProgramEnd{0};
}

void Presenter::deliver_error(const RuntimeError& error) {
    error_code_ = error.code;
    error_location_ = error.location != 0 ? error.location : static_cast<int>(painter_.statement());
    if (error_handler_) error_handler_();
}

}  // namespace lk
