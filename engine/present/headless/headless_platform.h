#pragma once
// The headless back end: keys come from a script, time is a virtual clock,
// and the canvas is shown to whoever asks for a snapshot. It needs no display
// and is what tests and the replay tool drive.
//
// Implemented features
//  - Keys from a script (decode_key_script), then from a driver, if any; the
//    run ends (ProgramEnd) when both are used up.
//  - A virtual clock that only the lessons' delays advance, in delay units.
//  - A snapshot callback each time the program starts to wait after drawing
//    something new (the picture of one step).
//  - Pointer events, through the same overlay as every other back end, for
//    tests that tap without a window (no painting).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "../backend.h"
#include "../canvas.h"

namespace lk {

// Decodes a key script: "\r", "\n" or a line break is Enter (13), "\b"
// Backspace (8), "\f" code 12, "\e" Escape (27), "\\" a backslash; every
// other character is itself.
std::string decode_key_script(std::string_view script);

class HeadlessPlatform : public Backend {
public:
    explicit HeadlessPlatform(std::string_view keys = {}) { queue(keys); }

    // Called each time the program starts to wait for a key after drawing
    // something new (the picture of one step).
    void on_step(std::function<void(const Canvas&)> fn) { on_step_ = std::move(fn); }

    void maximize_window() override {}
    // The virtual clock counts delay units.
    void delay(int duration) override { clock_ += static_cast<std::uint64_t>(std::max(duration, 0)); }
    void hold() override { snapshot_if_changed(); }
    void end_program() override {}

    // Shows the canvas as a last step if it changed since the last one.
    void finish() { snapshot_if_changed(); }

    std::uint64_t clock() const { return clock_; }
    size_t keys_left() const { return keys_waiting(); }
    void add_keys(std::string_view keys) { queue(keys); }

protected:
    void show(bool) override { snapshot_if_changed(); }
    // The next key is always there, or the run ends: nothing to wait for.
    void rest(int) override {}
    std::uint64_t now_ms() override { return clock_; }
    void out_of_keys() override;

private:
    void snapshot_if_changed();

    std::uint64_t shown_revision_ = 0;
    std::uint64_t clock_ = 0;
    std::function<void(const Canvas&)> on_step_;
};

}  // namespace lk
