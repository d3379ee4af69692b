#include "presenter.h"

#include <algorithm>
#include <cmath>

namespace lk {

namespace {

// Colours and pen widths arrive as reals in the lesson code; a value that is
// not a valid colour draws in the background rather than failing.
int valid_colour(int c) { return (c >= 0 && c <= 15) ? c : 15; }
int valid_pen(int w) { return std::clamp(w, 0, 100); }

// One display frame: the longest an idle platform rests between polls.
constexpr int kIdleMs = 16;

}  // namespace

Presenter::Presenter(Platform& platform, float width, float height) : platform_(platform), canvas_(width, height) {
    platform_.attach(canvas_);
}

void Presenter::draw(DrawOp op) {
    ++statement_;
    // Glyphs on the canvas only: a measurement draws below it.
    if (const auto* t = std::get_if<DrawText>(&op); capturing_ && t && t->y < canvas_.height())
        capture_.push_back(*t);
    canvas_.add(op);
    if (replaying_) return;
    for (auto* s : sinks_) s->on_draw(op);
}

void Presenter::event(const Event& e) {
    ++statement_;
    if (replaying_) return;
    for (auto* s : sinks_) s->on_event(e);
}

void Presenter::set_font_face(const std::string& face) {
    font_.face = face;
    event(SetFontFace{face});
}
void Presenter::set_font_size(float size) {
    font_.size = size;
    event(SetFontSize{size});
}
void Presenter::set_font_bold(bool on) {
    font_.bold = on;
    event(SetFontBold{on});
}
void Presenter::set_font_italic(bool on) {
    font_.italic = on;
    event(SetFontItalic{on});
}
void Presenter::set_pen_width(int width) {
    pen_ = valid_pen(width);
    event(SetPenWidth{pen_});
}

void Presenter::draw_line(float x1, float y1, float x2, float y2, Coords coords, int colour) {
    if (coords == Coords::relative) x2 += x1, y2 += y1;
    draw(DrawLine{x1, y1, x2, y2, valid_colour(colour), pen_});
}

void Presenter::fill_box(float x1, float y1, float x2, float y2, Coords coords, int colour,
                         int fill) {
    if (coords == Coords::relative) x2 += x1, y2 += y1;
    draw(FillBox{x1, y1, x2, y2, valid_colour(colour), valid_colour(fill), pen_});
}

void Presenter::draw_circle(float cx, float cy, float r, int colour) {
    draw(DrawCircle{cx, cy, r, valid_colour(colour), pen_});
}

void Presenter::fill_circle(float cx, float cy, float r, int colour) {
    draw(FillCircle{cx, cy, r, valid_colour(colour), pen_});
}

void Presenter::draw_arc(float cx, float cy, float r, int colour, float start, float end) {
    draw(DrawArc{cx, cy, r, valid_colour(colour), start, end, pen_});
}

void Presenter::draw_polyline(const std::vector<Point>& points, int colour) {
    draw(DrawPolyline{points, valid_colour(colour), pen_});
}

void Presenter::fill_polygon(const std::vector<Point>& points, int colour, int fill) {
    draw(FillPolygon{points, valid_colour(colour), valid_colour(fill), pen_});
}

void Presenter::draw_text(float x, float y, const std::string& text, int h, int v, int colour) {
    draw(DrawText{x, y, text, std::clamp(h, 0, 64), std::clamp(v, 0, 64),
                  colour == kTextLayerColour ? colour : valid_colour(colour),
                  font_});
}

std::string Presenter::poll_key() {
    ++statement_;
    std::string key;
    if (replay_next_ < replay_.size()) {
        key = replay_[replay_next_++];
    } else {
        if (replaying_) {
            // Back at the wait the replay was for: show it, and tell
            // whoever follows the prompts which one is waiting.
            replaying_ = false;
            replay_.clear();
            replay_next_ = 0;
            announce(prompt_);
        }
        key = platform_.poll_key();
        if (key.empty()) platform_.idle(kIdleMs);
        else event(KeyEvent{key});
    }
    if (logging_ && !key.empty()) item_keys_.push_back(key);
    return key;
}

void Presenter::delay(int duration) {
    event(DelayEvent{duration});
    if (!replaying_) platform_.delay(duration);
}

void Presenter::announce(PromptEvent prompt) {
    prompt_ = std::move(prompt);
    if (prompt_.kind == PromptKind::step) prompt_.step = static_cast<int>(wait_answers_.size());
    if (replaying_) return;
    for (auto* s : sinks_) s->on_prompt(prompt_);
    platform_.on_prompt(prompt_);
}

void Presenter::hold() {
    announce(PromptEvent{});
    platform_.hold();
    throw ProgramEnd{0};
}

void Presenter::restore_state(const State& state) {
    font_ = state.font;
    pen_ = state.pen;
    random_ = state.random;
}

void Presenter::item_started() {
    for (auto* s : sinks_) s->on_item(true);
    platform_.on_item(true);
}

void Presenter::item_ended() {
    for (auto* s : sinks_) s->on_item(false);
    platform_.on_item(false);
}

void Presenter::begin_item_log() {
    logging_ = true;
    item_keys_.clear();
    wait_answers_.clear();
}

void Presenter::end_item_log() {
    logging_ = false;
    item_keys_.clear();
    wait_answers_.clear();
}

void Presenter::mark_wait_answered() {
    if (logging_ && !item_keys_.empty()) wait_answers_.push_back(item_keys_.size() - 1);
}

std::vector<std::string> Presenter::keys_before_previous_wait() const {
    if (wait_answers_.empty()) return {};
    return {item_keys_.begin(), item_keys_.begin() + static_cast<std::ptrdiff_t>(wait_answers_.back())};
}

void Presenter::replay_keys(std::vector<std::string> keys) {
    replay_ = std::move(keys);
    replay_next_ = 0;
    replaying_ = true;
}

void Presenter::end_program() {
    event(EndProgram{});
    platform_.end_program();
    throw ProgramEnd{0};
}

void Presenter::deliver_error(const RuntimeError& error) {
    error_code_ = error.code;
    error_location_ = error.location != 0 ? error.location : static_cast<int>(statement_);
    if (error_handler_) error_handler_();
}

}  // namespace lk
