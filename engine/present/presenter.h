#pragma once
// The presentation operations every lesson draws, reads keys, waits and
// computes with. Each call takes effect at once: drawing goes onto the canvas
// and to any attached sink (such as a trace), keys and time go to the
// platform.
#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "errors.h"
#include "numbers.h"
#include "ops.h"
#include "platform.h"
#include "prompt.h"

namespace lk {

// Receives every operation in call order.
class OpSink {
public:
    virtual ~OpSink() = default;
    virtual void on_draw(const DrawOp& op) = 0;
    virtual void on_event(const Event& event) = 0;
    // A prompt starts to wait (or, with PromptKind::none, was answered).
    virtual void on_prompt(const PromptEvent&) {}
    // An item of a topic starts, or ends with its picture on the canvas.
    virtual void on_item(bool started) { (void)started; }
};

enum class Coords { absolute, relative };

class Presenter {
public:
    // Draws onto a canvas of the lesson's layout area, or of the given size
    // (a printed page's).
    explicit Presenter(Platform& platform, float width = kCanvasWidth, float height = kCanvasHeight);

    void add_sink(OpSink* sink) { sinks_.push_back(sink); }
    const Canvas& canvas() const { return canvas_; }
    Platform& platform() { return platform_; }

    // Window and canvas.
    void set_pixel_mapping() {}
    void maximize_window() { platform_.maximize_window(); }

    // Font and pen.
    void set_font_face(const std::string& face);
    void set_font_size(float size);
    void set_font_bold(bool on);
    void set_font_italic(bool on);
    void set_pen_width(int width);
    int get_pen_width() const { return pen_; }
    const Font& font() const { return font_; }

    // Drawing.
    void draw_line(float x1, float y1, float x2, float y2, Coords coords, int colour);
    void fill_box(float x1, float y1, float x2, float y2, Coords coords, int colour, int fill);
    void fill_box(float x1, float y1, float x2, float y2, Coords coords, int colour) {
        fill_box(x1, y1, x2, y2, coords, colour, colour);
    }
    void draw_circle(float cx, float cy, float r, int colour);
    void fill_circle(float cx, float cy, float r, int colour);
    void draw_arc(float cx, float cy, float r, int colour, float start, float end);
    void draw_polyline(const std::vector<Point>& points, int colour);
    void fill_polygon(const std::vector<Point>& points, int colour, int fill);
    void draw_text(float x, float y, const std::string& text, int h, int v, int colour);

    // Keyboard and time. An empty poll lets the platform rest until the next
    // event, at most one display frame, so a waiting program costs nothing.
    std::string poll_key();
    void delay(int duration);

    // Prompts. A prompt announces itself as it starts to wait; the glyphs
    // drawn between start_capture and take_capture are handed back, so that
    // a menu knows where each entry stands.
    void announce(PromptEvent prompt);
    const PromptEvent& prompt() const { return prompt_; }
    void start_capture() { capture_.clear(), capturing_ = true; }
    std::vector<DrawText> take_capture() {
        capturing_ = false;
        return std::move(capture_);
    }
    // After a run-time error: keeps the picture until the user ends the
    // program, then ends the run.
    [[noreturn]] void hold();

    // Program control.
    [[noreturn]] void end_program();
    void set_error_handler(std::function<void()> handler) { error_handler_ = std::move(handler); }
    // Delivers a run-time error to the installed routine (the shell calls this
    // from the place that caught it).
    void deliver_error(const RuntimeError& error);
    int error_code() const { return error_code_; }
    int error_location() const { return error_location_; }
    // A number identifying the statement in progress: the count of
    // operations carried out so far.
    unsigned statement() const { return statement_; }

    // Numbers.
    void seed_random(std::uint64_t seed) { random_.seed(seed); }
    float random_unit() { return random_.unit(); }

    // Going back a step. The shell keeps the state at the start of an item
    // and logs the keys the item consumed; to go back it restores that state
    // and replays the keys up to the previous wait, without showing or
    // tracing anything until the program waits again.
    struct State {
        Font font;
        int pen;
        Random random;
    };
    State save_state() const { return {font_, pen_, random_}; }
    void restore_state(const State& state);
    void restore_canvas(const Canvas& canvas) { canvas_.replace_with(canvas); }
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
    void draw(DrawOp op);
    void event(const Event& e);

    Platform& platform_;
    Canvas canvas_;
    std::vector<OpSink*> sinks_;
    Font font_;
    int pen_ = 1;
    Random random_;
    std::function<void()> error_handler_;
    int error_code_ = 0;
    int error_location_ = 0;
    unsigned statement_ = 0;
    bool logging_ = false;
    bool replaying_ = false;
    std::vector<std::string> item_keys_;
    std::vector<size_t> wait_answers_;
    std::vector<std::string> replay_;
    size_t replay_next_ = 0;
    PromptEvent prompt_;
    bool capturing_ = false;
    std::vector<DrawText> capture_;
};

}  // namespace lk
