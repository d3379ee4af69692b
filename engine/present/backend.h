#pragma once
// What every back end shares, whatever it shows on and takes input from.
//
// A back end derives from Backend and does two things only:
//  - translates its own events into `typed`, `named` and `pointer` calls
//    (from `pump`, from `rest`, or from its own event handlers), and
//  - paints: `show` puts the canvas and the overlay on its surface.
// The rules are here, once: the key queue and a driver's keys, what a named
// key does (the palette and full screen never reach the program), the
// overlay's wiring (a tap becomes keys here, in C++), the delay unit, and how
// long a prompt whose picture did not change rests.
//
// Implemented features
//  - Keys in one queue, in the order they came, from the keyboard, the
//    overlay (taps, swipes, the keypad) and a driver (a tour, a test).
//  - The named keys of keys.h: Backspace, Enter, Delete/Clear, step back and
//    forward and Escape for the program; F2 (projector palette) and F11 (full screen)
//    for the back end.
//  - The overlay told every prompt, item, typed key and pointer event, with
//    its keys queued and its full-screen requests passed on.
//  - The program's waits: poll (never waits), idle (shows, then rests until
//    an event; longer when nothing on screen changes), delay (in units of
//    kDelayUnitMs; events keep coming meanwhile). A back end that cannot
//    block (`blocks` false) returns from `rest` and `pause` at once and
//    calls `delay_over` each time a pause of a delay ends.
#include <cstdint>
#include <deque>
#include <memory>
#include <functional>
#include <string>
#include <string_view>

#include "canvas.h"
#include "keys.h"
#include "ops.h"
#include "overlay/overlay.h"
#include "platform.h"
#include "storage.h"

namespace lk {

// One unit of the lessons' delay, in milliseconds: an animation frame of 30
// units takes 45 ms, nine frames about 0.4 s.
inline constexpr double kDelayUnitMs = 1.5;
// How long a program waiting at a prompt rests when nothing on screen
// changed since it last rested (it redraws only its answer cursor, where it
// already is). Any event still ends the rest at once, so this costs no
// responsiveness; it only keeps a waiting program from waking needlessly.
inline constexpr int kQuietRestMs = 500;
// After a run-time error the picture stays; the back end looks this often
// whether the user ended the program.
inline constexpr int kHoldRestMs = 100;

// Keys a driver supplies when nobody typed one: the next keys, or "" for
// "none now" (a headless run ends there).
using KeySource = std::function<std::string()>;

// Splits a run of keys into single keys: a UTF-8 character each, and the
// character-less step keys whole.
std::deque<std::string> split_keys(std::string_view keys);

class Backend : public Platform {
public:
    // The program's side, the same on every back end.
    void attach(const Canvas& canvas) override { canvas_ = &canvas; }
    std::string poll_key() override;
    void idle(int max_ms) override;
    void delay(int duration) override;
    void on_prompt(const PromptEvent& prompt) override;
    void on_item(bool started) override;

    // The translator's side: what the user did.
    // Printable characters typed on a keyboard (or an input method).
    void typed(std::string_view text, std::uint64_t now_ms);
    // A key without a character.
    void named(NamedKey key, std::uint64_t now_ms);
    // A mouse, finger or pen event in the surface's pixels.
    void pointer(const overlay::PointerEvent& event);
    // Keys that come as they are (a key script).
    void queue(std::string_view keys);

    void set_key_source(KeySource source) { key_source_ = std::move(source); }
    // Where the program keeps its record between runs; none by default.
    void set_storage(std::unique_ptr<Storage> storage) { storage_ = std::move(storage); }
    Storage* storage() override { return storage_.get(); }
    // Where hand_in writes its files; none by default.
    void set_hand_in_folder(std::string folder) { hand_in_folder_ = std::move(folder); }
    HandInOutcome hand_in(const std::string& name, const std::string& text) override;
    // Hears each prompt after the overlay did (test probes), and the prompt
    // waiting again (`moved`) when the view changed and its places with it.
    void set_prompt_listener(std::function<void(const PromptEvent&, bool moved)> listener) {
        prompt_listener_ = std::move(listener);
    }

    // Hears the end of each pointer gesture, once the overlay took it (test
    // probes: whether the pen is on, how many strokes stand).
    void set_pointer_listener(std::function<void()> listener) { pointer_listener_ = std::move(listener); }

    const overlay::Overlay& overlay() const { return overlay_; }
    Palette palette() const { return palette_; }
    size_t keys_waiting() const { return keys_.size(); }

protected:
    // A delay in progress pauses again until its end: true once it is
    // over. A back end that blocks never needs to call it.
    bool delay_over();
    bool delaying() const { return delaying_; }
    // Translates the events waiting, if the back end polls for them. Never
    // waits. Throws ProgramEnd once the user ended the program.
    virtual void pump() {}
    // Shows what changed on the canvas and the overlay. `now` asks for it at
    // once; otherwise a back end may wait for its next frame.
    virtual void show(bool now) = 0;
    // Waits until an event arrives (translating it) or `ms` pass.
    virtual void rest(int ms) = 0;
    // Lets `ms` pass for an animation; events may be translated meanwhile,
    // and their keys wait their turn.
    virtual void pause(int ms) { rest(ms); }
    // A clock in milliseconds.
    virtual std::uint64_t now_ms() = 0;
    virtual void toggle_fullscreen() {}
    // The palette changed: everything is to be painted again.
    virtual void palette_changed() {}
    // Something on screen still moves without the program (a window
    // settling): a waiting program must not rest long.
    virtual bool settling() const { return false; }
    // A key came into the queue, or the picture is to be painted again,
    // from outside the program's own calls (a page's event handler while
    // the program sleeps): end its rest.
    virtual void wake() {}
    // Nothing in the queue and nothing from the driver.
    virtual void out_of_keys() {}

    // The view changed: the prompt waiting is told again with its new places.
    void view_moved();

    const Canvas* canvas() const { return canvas_; }
    overlay::Overlay& mutable_overlay() { return overlay_; }

private:
    const Canvas* canvas_ = nullptr;
    std::deque<std::string> keys_;
    KeySource key_source_;
    overlay::Overlay overlay_;
    Palette palette_ = Palette::original;
    std::uint64_t idle_fingerprint_ = 0;  // the picture at the last rest
    bool delaying_ = false;
    std::uint64_t delay_end_ = 0;
    std::function<void(const PromptEvent&, bool moved)> prompt_listener_;
    std::function<void()> pointer_listener_;
    PromptEvent waiting_;  // the prompt waiting, if any
    std::unique_ptr<Storage> storage_;
    std::string hand_in_folder_;
};

}  // namespace lk
