#pragma once
// Drawing without a platform: the canvas, the font, the pen and the random
// numbers the lessons draw with. Each drawing call takes effect at once: it
// goes onto the canvas and to every attached sink (such as a trace). A
// printed page or a measurement draws with a painter alone; a running program
// draws with its presenter's painter.
#include <string>
#include <vector>

#include "canvas.h"
#include "numbers.h"
#include "ops.h"
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

class Painter {
public:
    // Draws onto a canvas of the lesson's layout area, or of the given page.
    explicit Painter(PageSize page = {}) : canvas_(page) {}

    void add_sink(OpSink* sink) { sinks_.push_back(sink); }
    const std::vector<OpSink*>& sinks() const { return sinks_; }
    const Canvas& canvas() const { return canvas_; }

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

    // The glyphs drawn between start_capture and take_capture are handed
    // back, so that a menu knows where each entry stands.
    void start_capture() { capture_.clear(), capturing_ = true; }
    std::vector<DrawText> take_capture() {
        capturing_ = false;
        return std::move(capture_);
    }

    // Numbers: the random draws of the problem generators.
    void seed_random(std::uint64_t seed) { random_.seed(seed); }
    float random_unit() { return random_.unit(); }

    // What going back a step restores: the font, the pen, the random draws
    // and the picture.
    struct State {
        Font font;
        int pen;
        Random random;
    };
    State save_state() const { return {font_, pen_, random_}; }
    void restore_state(const State& state);
    void restore_canvas(const Canvas& canvas) { canvas_.replace_with(canvas); }

    // Tells the sinks of an event that is not a drawing (a key, a delay).
    void event(const Event& e);
    // Counts a step that neither draws nor tells (an empty poll).
    void count_statement() { ++statement_; }
    // A number identifying the statement in progress: the count of
    // operations carried out so far.
    unsigned statement() const { return statement_; }
    // While quiet (replaying a step back), the canvas still changes but no
    // sink hears of it.
    void set_quiet(bool quiet) { quiet_ = quiet; }
    bool quiet() const { return quiet_; }

    // Draws what follows smaller (or larger) by `factor` around (x, y):
    // positions, text sizes and pens, so that a long formula fits its
    // place as it would be drawn at full size. A factor of 1 draws as
    // given; each call replaces the last.
    void set_scale(float factor, float x = 0, float y = 0);
    float scale() const { return scale_; }

private:
    void draw(DrawOp op);

    Canvas canvas_;
    std::vector<OpSink*> sinks_;
    Font font_;
    int pen_ = 1;
    Random random_;
    unsigned statement_ = 0;
    bool quiet_ = false;
    float scale_ = 1, scale_x_ = 0, scale_y_ = 0;
    bool capturing_ = false;
    std::vector<DrawText> capture_;
};

}  // namespace lk
