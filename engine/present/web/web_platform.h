#pragma once
// The browser back end: the program runs in a page, compiled to WebAssembly,
// and draws into one HTML canvas with the Canvas 2D player.
//
// Implemented features:
//   [x] The layout area scaled to fit the page and letterboxed, drawn at the
//       device's pixel ratio, drawn again after a resize or a rotation.
//   [x] Only what changed is drawn again, when the program waits.
//   [x] The desktop's keys: digits, "-", "/", ".", Enter, Backspace, Delete as
//       clear, Left/Page Up back, Right/Page Down/Space forward, F2 projector
//       colours, F11 full screen (Fullscreen API). None of them reaches the
//       browser.
//   [x] Waiting costs nothing: the program sleeps until an event or a timer,
//       and a key wakes it at once (the page resolves the sleep from the key
//       event itself).
//   [x] The trace of a run, for tests: the same JSON Lines as the desktop.
//   [x] Each prompt announced to the page with its choices and answer field.
//   [ ] Pointer input and ink are the overlay's (engine/present/overlay/).
//
// The blocking program loop stays as it is: the calls that wait suspend the
// WebAssembly stack (ASYNCIFY) and give the browser its turn.
#include <cstdint>
#include <deque>
#include <string>

#include "../canvas.h"
#include "../headless/key_source.h"
#include "../ops.h"
#include "../platform.h"
#include "canvas2d_player.h"

namespace lk {

class WebPlatform : public Platform {
public:
    WebPlatform();

    void attach(const Canvas& canvas) override { canvas_ = &canvas; }
    // The page is the window: nothing to maximise.
    void maximize_window() override {}
    std::string poll_key() override;
    void idle(int max_ms) override;
    void delay(int duration) override;
    // A tab ends only by being closed: never returns.
    void hold() override;
    void end_program() override;
    // The page follows the prompts (Module.lkPrompt): what a tap or a test
    // driver can answer, and where.
    void on_prompt(const PromptEvent& prompt) override;

    // Keys to use when nobody typed one (a driver for tests); "" means
    // "nothing yet".
    void set_key_source(KeySource source) { key_source_ = std::move(source); }

    // Draws what changed (everything after a resize or a palette change);
    // false when the picture is the one already shown.
    bool present(bool everything = false);
    const Canvas2dView& view() const { return view_; }

private:
    void handle_named_key(const std::string& name);

    const Canvas* canvas_ = nullptr;
    Canvas2dView view_;
    bool needs_full_render_ = true;
    std::uint64_t shown_ = 0;  // the fingerprint of the picture shown
    KeySource key_source_;
    std::deque<std::string> pending_;  // the rest of a driver's keys
};

}  // namespace lk
