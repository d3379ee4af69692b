#pragma once
// What a platform back end provides: keys, time and a place to show the
// canvas. The SDL window and the headless key script both implement it; the
// lesson code never sees which one runs.
#include <string>

namespace lk {

class Canvas;

// Keys that produce no character: going back one step and going forward (a
// presentation remote's "previous" and "next"). Nothing the lessons read
// takes them for a typed character.
inline constexpr const char* kKeyStepBack = "\x1b[back]";
inline constexpr const char* kKeyForward = "\x1b[forward]";

class Platform {
public:
    virtual ~Platform() = default;
    // Called once before the first drawing, with the canvas to show.
    virtual void attach(const Canvas& canvas) = 0;
    virtual void maximize_window() = 0;
    // The next pending key, or "" when none; never waits. Throws ProgramEnd
    // when the window was closed (or a key script is used up).
    virtual std::string poll_key() = 0;
    virtual void delay(int duration) = 0;
    // The error routine's endless wait: returns only by throwing ProgramEnd.
    virtual void wait_until_closed() = 0;
    virtual void end_program() = 0;
};

}  // namespace lk
