#pragma once
// The browser back end: the program runs in a page, compiled to WebAssembly,
// and draws into one HTML canvas with the Canvas 2D player.
//
// Implemented features
//  - The layout area scaled to fit the page and letterboxed, drawn at the
//    device's pixel ratio, drawn again after a resize or a rotation.
//  - Only what changed is drawn again, when the program waits; a picture
//    identical to the one shown is not drawn again.
//  - Keys: the page hands every keydown to `key` (KeyboardEvent.key), which
//    says whether the program took it, so that the page keeps it from the
//    browser (Backspace never navigates, F11 goes through the Fullscreen
//    API).
//  - Mouse, touch and pen: the page hands every Pointer Event to `pointer`
//    (device pixels of the overlay canvas); taps become keys here. The
//    overlay is painted on a second, transparent canvas above the lesson's
//    (overlay_2d.h), so it never enters the picture, the trace or the item
//    pictures. The keypad shows from the start on a touch device.
//  - Waiting costs nothing: the program's task suspends (task.h) and its
//    first call returns to the page, which resumes it (`resume`) when an
//    event wakes it or a timer ends; a key wakes it at once.
//  - Printing: pages the program hands over are shown in the page's print
//    view as SVG (text stays text), each on its canvas's paper, until the
//    user goes back.
//  - Test probes: each prompt, the trace and each item's picture go to the
//    page's test object (page.js), which exists only in a test run.
//
// The page's side is web_page.js (a library of the calls this file makes)
// and page.js (the page script: fonts, canvases, events).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "../backend.h"
#include "../canvas.h"
#include "../ops.h"
#include "../prompt.h"
#include "canvas2d_player.h"

namespace lk {

class WebPlatform : public Backend {
public:
    WebPlatform();
    ~WebPlatform() override;

    // The page is the window: nothing to maximise.
    void maximize_window() override {}
    // A tab ends only by being closed: the program is never resumed.
    void hold() override;
    void end_program() override;

    // The page's calls, from its event handlers while the program sleeps
    // or before it starts; none of them waits.
    // A keydown (KeyboardEvent.key): whether the program took it.
    bool key(std::string_view name, double time_ms);
    void pointer_event(overlay::PointerPhase phase, overlay::PointerType type, std::int64_t id,
                       double x, double y, double time_ms);
    // A frame of the toolbar's fading: whether another is wanted.
    bool tick(double time_ms);
    // The page changed size: everything is drawn again at the next rest.
    void resized();
    // The page's print view (page.js): each page as an SVG document (the
    // SVG player), in the original colours; the program is resumed once it
    // is closed.
    bool print_pages(const std::vector<const Canvas*>& pages) override;
    HandInOutcome hand_in(const std::string& name, const std::string& text) override;

    // The page cannot block: each rest returns at once, and the page calls
    // `resume` when it is over.
    bool blocks() const override { return false; }
    void resume_after_rest(std::coroutine_handle<> waiting) override { waiting_ = waiting; }
    // A rest is over (a timer, a key, the print view closed): the program
    // goes on until it rests again, unless a delay still runs or the
    // picture is held after an error. Then `after_resume` is told.
    void resume();
    void set_after_resume(std::function<void()> after) { after_resume_ = std::move(after); }

    // The platform of the running program, for the page's calls; null
    // before it starts and after it ends.
    static WebPlatform* current();
    // The page address's fragment (after "#") as the page read it when it
    // opened: a teacher's request to the practice program. Empty for none.
    static std::string address_request();

    // Draws what changed (everything after a resize or a palette change);
    // false when the picture is the one already shown.
    bool present();
    const View& view() const { return view_; }
    // The prompt waiting and its number, as the page's test object reads it.
    std::string describe_waiting() const;

protected:
    void show(bool now) override;
    void rest(int ms) override;
    void pause(int ms) override;
    std::uint64_t now_ms() override;
    void toggle_fullscreen() override;
    void palette_changed() override { needs_full_render_ = true; }
    void wake() override;

private:
    // Paints what the overlay reported changed; whether it animates.
    bool paint_overlay();
    // Sizes the canvases to the page and the view to them; whether the
    // size changed.
    bool fit();

    bool overlay_viewed_ = false;  // set_view called for the current size
    View view_;
    bool needs_full_render_ = true;
    std::uint64_t shown_ = 0;  // the fingerprint of the picture shown
    PromptEvent prompt_;       // the last prompt announced, and its number
    int prompts_ = 0;
    bool holding_ = false;
    std::coroutine_handle<> waiting_;  // the program's innermost waiting task
    std::function<void()> after_resume_;
};

}  // namespace lk
