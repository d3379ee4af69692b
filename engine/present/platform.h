#pragma once
// What a platform back end provides: keys, time and a place to show the
// canvas. The SDL window, the browser tab and the headless key script each
// implement it; the lesson code never sees which one runs.
//
// The program is one loop: it draws, polls for a key and, when none is
// there, lets the platform rest. A platform that can block rests inside its
// call (idle, delay, hold, print_pages) and needs no thread and no callback
// of its own into the program. One that cannot (a browser tab) starts the
// rest and returns at once; the program's task then suspends (task.h), and
// the platform resumes it when the rest is over.
#include <string>
#include <vector>

#include "task.h"

namespace lk {

class Canvas;
class Storage;
struct PromptEvent;

// What became of a small file offered for handing in (a record for the
// teacher): where it went, or why it did not, in words.
struct HandInOutcome {
    bool done = false;
    std::string message;  // Japanese, for the screen
    std::string file;     // where it was written, when that is a path
};

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
    // The next pending key, or "" when none. Never waits. Throws ProgramEnd
    // when the user ended the program (or a key script is used up).
    virtual std::string poll_key() = 0;
    // Called after an empty poll: show what changed, then rest until an
    // event arrives or `max_ms` pass. A key must end the rest at once.
    // Only a prompt polls, and between two polls it only redraws its answer
    // cursor: a platform may rest longer when the picture did not change.
    // Throws ProgramEnd like poll_key.
    virtual void idle(int max_ms) = 0;
    // The lessons' delay, in units of the animation clock.
    virtual void delay(int duration) = 0;
    // After a run-time error the picture stays as it is until the user ends
    // the program: returns then. (A browser tab ends only by being closed,
    // so there it never returns.)
    virtual void hold() = 0;
    virtual void end_program() = 0;
    // A prompt starts to wait, or (PromptKind::none) was answered: where its
    // choices and answer field are, for tap areas and an on-screen keypad.
    virtual void on_prompt(const PromptEvent&) {}
    // An item starts (its picture is about to be erased) or ends.
    virtual void on_item(bool started) { (void)started; }
    // Where the program may keep a record between runs (storage.h); none
    // when nothing is to be kept.
    virtual Storage* storage() { return nullptr; }
    // Shows pages to print, each canvas (its whole area) one sheet of its
    // page's paper (A4 portrait where it names none), until the user closes the view; false (nothing shown) where
    // the platform has no such view.
    virtual bool print_pages(const std::vector<const Canvas*>& pages) {
        (void)pages;
        return false;
    }
    // Offers a small text file for the school's own hand-in route: written
    // into the documents folder, handed to the device's share sheet, or
    // downloaded. Never waits.
    virtual HandInOutcome hand_in(const std::string& name, const std::string& text) {
        (void)name, (void)text;
        return {false, "この端末ではファイルを作れません。", ""};
    }
    // Whether idle, delay, hold and print_pages return only once the rest is
    // over. Where not, the program suspends after each of them and the
    // platform resumes `waiting` when it is over.
    virtual bool blocks() const { return true; }
    virtual void resume_after_rest(std::coroutine_handle<> waiting) { resume_task(waiting); }
};

// Awaited after each rest: goes on at once where the platform blocked.
struct RestOver {
    Platform& platform;
    bool await_ready() const { return platform.blocks(); }
    void await_suspend(std::coroutine_handle<> waiting) { platform.resume_after_rest(waiting); }
    void await_resume() const {}
};

}  // namespace lk
