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
//   [x] Mouse, touch and pen (Pointer Events, in the canvas's device pixels)
//       through the platform-free overlay (engine/present/overlay/): taps and
//       swipes, the on-screen keypad, the toolbar and ink. Its keys go into
//       the keyboard's queue and wake the program at once; the keypad shows
//       from the start on a touch device. The overlay is drawn on a second,
//       transparent canvas above the lesson's (overlay_2d.h), repainting only
//       what changed, so it never enters the picture, the trace or the item
//       pictures. Full screen is the toolbar's button or F11 (a mouse's
//       double-click is a tap twice, not full screen).
//
// The blocking program loop stays as it is: the calls that wait suspend the
// WebAssembly stack (ASYNCIFY) and give the browser its turn.
#include <cstdint>
#include <deque>
#include <string>

#include "../canvas.h"
#include "../headless/key_source.h"
#include "../ops.h"
#include "../overlay/overlay.h"
#include "../platform.h"
#include "canvas2d_player.h"

namespace lk {

class WebPlatform : public Platform {
public:
    WebPlatform();
    ~WebPlatform() override;

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
    void on_item(bool started) override;

    // The page's calls (from its event handlers, while the program sleeps
    // or before it starts): a pointer event in device pixels, a key typed
    // on a keyboard, a frame of the toolbar's fading. Each returns whether
    // the overlay wants another frame (tick) soon.
    void pointer(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id, double x,
                 double y, double time_ms);
    void key_typed(double time_ms);
    bool tick(double time_ms);
    // Repaints what the overlay reported changed; whether it animates.
    bool paint_overlay();
    const overlay::Overlay& overlay() const { return overlay_; }
    // The platform of the running program, for the page's calls; null
    // before it starts and after it ends.
    static WebPlatform* current();

    // Keys to use when nobody typed one (a driver for tests); "" means
    // "nothing yet".
    void set_key_source(KeySource source) { key_source_ = std::move(source); }

    // Draws what changed (everything after a resize or a palette change);
    // false when the picture is the one already shown.
    bool present(bool everything = false);
    const Canvas2dView& view() const { return view_; }

private:
    void handle_named_key(const std::string& name);
    void announce_prompt(const PromptEvent& prompt);

    const Canvas* canvas_ = nullptr;
    overlay::Overlay overlay_;
    bool overlay_viewed_ = false;  // set_view called for the current size
    Canvas2dView view_;
    bool needs_full_render_ = true;
    std::uint64_t shown_ = 0;  // the fingerprint of the picture shown
    KeySource key_source_;
    std::deque<std::string> pending_;  // the rest of a driver's keys
};

}  // namespace lk
