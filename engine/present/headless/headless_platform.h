#pragma once
// The headless back end: keys come from a script, time is a virtual clock,
// and the canvas is shown to whoever asks for a snapshot. It needs no display
// and is what tests and the replay tool drive.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "../canvas.h"
#include "../platform.h"
#include "key_source.h"

namespace lk {

// Decodes a key script: "\r" or "\n" is Enter (13), "\b" Backspace (8),
// "\f" code 12, "\\" a backslash; every other character is itself.
std::string decode_key_script(std::string_view script);

class HeadlessPlatform : public Platform {
public:
    explicit HeadlessPlatform(std::string keys = {});

    // Called each time the program starts to wait for a key after drawing
    // something new (the picture of one step).
    void on_step(std::function<void(const Canvas&)> fn) { on_step_ = std::move(fn); }

    void attach(const Canvas& canvas) override { canvas_ = &canvas; }
    ~HeadlessPlatform() override = default;
    void maximize_window() override {}
    std::string poll_key() override;
    // Nothing to wait for: the next key is always there, or the run ends.
    void idle(int) override {}
    void delay(int duration) override { clock_ms_ += duration; }
    void hold() override { snapshot_if_changed(); }
    void end_program() override {}

    // Shows the canvas as a last step if it changed since the last one.
    void finish() { snapshot_if_changed(); }

    std::uint64_t clock() const { return clock_ms_; }
    size_t keys_left() const { return keys_.size() - next_; }
    void add_keys(std::string_view keys) { keys_ += keys; }
    // Asked for keys once the script is used up (a driver that answers what
    // the program asks); without one the run ends there.
    void set_key_source(KeySource source) { key_source_ = std::move(source); }

private:
    void snapshot_if_changed();

    std::string keys_;
    size_t next_ = 0;
    const Canvas* canvas_ = nullptr;
    std::uint64_t shown_revision_ = 0;
    std::uint64_t clock_ms_ = 0;
    std::function<void(const Canvas&)> on_step_;
    KeySource key_source_;
};

}  // namespace lk
