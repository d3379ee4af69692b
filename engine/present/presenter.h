#pragma once
// A running program's side of the presentation: keys, time, prompts, errors,
// the end of the program and going back a step, through the platform. Its
// painter draws (painter.h); the platform shows the painter's canvas.
#include <functional>
#include <string>
#include <vector>

#include "errors.h"
#include "painter.h"
#include "platform.h"
#include "prompt.h"
#include "task.h"

namespace lk {

class Presenter {
public:
    // Draws onto a canvas of the lesson's layout area, or of the given page.
    explicit Presenter(Platform& platform, PageSize page = {});

    Painter& painter() { return painter_; }
    void add_sink(OpSink* sink) { painter_.add_sink(sink); }
    const Canvas& canvas() const { return painter_.canvas(); }
    Platform& platform() { return platform_; }

    // Window.
    void maximize_window() { platform_.maximize_window(); }

    // Keyboard and time. An empty poll lets the platform rest until the next
    // event, at most one display frame, so a waiting program costs nothing.
    Task<std::string> poll_key();
    Task<> delay(int duration);

    // Prompts. A prompt announces itself as it starts to wait.
    void announce(PromptEvent prompt);
    const PromptEvent& prompt() const { return prompt_; }
    // After a run-time error: keeps the picture until the user ends the
    // program, then ends the run (throws ProgramEnd).
    Task<> hold();
    // Shows pages to print until the user closes the view; false where the
    // platform has no such view.
    Task<bool> print(const std::vector<const Canvas*>& pages);

    // Program control.
    [[noreturn]] void end_program();
    void set_error_handler(std::function<void()> handler) { error_handler_ = std::move(handler); }
    // Delivers a run-time error to the installed routine (the shell calls this
    // from the place that caught it).
    void deliver_error(const RuntimeError& error);
    int error_code() const { return error_code_; }
    int error_location() const { return error_location_; }
    // A number identifying the statement in progress (the painter's count).
    unsigned statement() const { return painter_.statement(); }

    // Going back a step. The shell keeps the painter's state and canvas at
    // the start of an item and the presenter logs the keys the item
    // consumed; to go back the shell restores them and replays the keys up
    // to the previous wait, without showing or tracing anything until the
    // program waits again.
    // An item starts or ends (told to the sinks).
    void item_started();
    void item_ended();
    void begin_item_log();
    void end_item_log();
    bool logging_item() const { return logging_; }
    // The key just returned answered a wait banner.
    void mark_wait_answered();
    // The keys of the item up to (not including) the answer to its last
    // answered wait: replaying them brings the item back to that wait.
    std::vector<std::string> keys_before_previous_wait() const;
    void replay_keys(std::vector<std::string> keys);
    bool replaying() const { return replaying_; }

private:
    Platform& platform_;
    Painter painter_;
    std::function<void()> error_handler_;
    int error_code_ = 0;
    int error_location_ = 0;
    bool logging_ = false;
    bool replaying_ = false;
    std::vector<std::string> item_keys_;
    std::vector<size_t> wait_answers_;
    std::vector<std::string> replay_;
    size_t replay_next_ = 0;
    PromptEvent prompt_;
};

}  // namespace lk
