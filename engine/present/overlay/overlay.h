#pragma once
// The pointer overlay: what a back end needs to drive the programs with a
// mouse, a finger or a pen, and to let a teacher write on the picture. It is
// plain C++ with no window system and no renderer: a back end feeds it
// pointer events in window pixels, the prompts and items the program
// announces and the keys typed, pushes the keys it hands back into the
// program's key queue, and draws its geometry (buttons and ink strokes) on
// top of the rendered picture, as the shapes of overlay_shapes.h.
//
// Implemented features
//  - Gestures, from the prompt the program announced:
//    - at a step banner, a tap in the left quarter of the lesson area goes
//      back a step, a tap elsewhere goes on; a swipe of 40 px or more from
//      right to left goes on, from left to right goes back;
//    - at the main menu and an item bar, a tap on an entry types its number
//      and Enter; the entries' areas are the prompt's own choices (where
//      their text was drawn); a tap between entries does nothing;
//    - a pen, and a second finger, never navigate.
//  - An on-screen keypad at number prompts, feeding the keyboard's keys,
//    laid out as the prompt's field asks (FieldSpec::keypad): 0-9, "-",
//    "/", ".", backspace, clear and Enter for a number; those and x ( ) :
//    = + * for an equation. Shown when the last input was a pointer (or no
//    key was ever typed), never over the answer field.
//  - A toolbar (back, forward, pen, three ink colours, clear ink, keypad,
//    full screen); shown on pointer activity, fading a few seconds after
//    it, never shown to keyboard-only use.
//  - The toolbar and the keypad cover nothing the program drew: each goes
//    in the letterbox margin when it has room, else where the screen has no
//    drawing (the toolbar near the top right corner, the keypad near the
//    answer field), else where it covers the least drawing. Placed when a
//    prompt starts and when the view changes, from the screen's drawn boxes
//    (set_drawing), never per frame.
//  - Ink: smooth strokes kept in layout units (they survive a resize, full
//    screen and the palette key); a stylus draws even with the pen button
//    off; ink goes with a new item, with "clear ink", and when the user
//    steps back past the step it was drawn on.
//  - Damage tracking in window pixels, so that drawing ink repaints only
//    what a stroke touched.
//  - Every target at least 44 x 44 device-independent pixels (CSS px) at
//    any window size from kMinWindowWidth x kMinWindowHeight up.
//
// Not implemented: pressure, erasing single strokes, pinch zoom.
//
// The overlay never enters the canvas, a trace or a handout: the lesson's
// picture stays exactly what the lesson drew.
#include <cstdint>
#include <string>
#include <vector>

#include "../layout.h"
#include "../prompt.h"

namespace lk::overlay {

// The smallest window the overlay's geometry is made for, in CSS px.
inline constexpr double kMinWindowWidth = 480;
inline constexpr double kMinWindowHeight = 360;
// The smallest side of any target, in CSS px.
inline constexpr double kMinTarget = 44;

enum class PointerType { mouse, touch, pen };
enum class PointerPhase { down, move, up, cancel };

// One pointer event. Positions are window pixels of the drawing target (the
// same pixels the picture is rendered in). A mouse reports only its primary
// button; a hover (a move with nothing down) counts as activity only.
struct PointerEvent {
    PointerPhase phase = PointerPhase::down;
    PointerType type = PointerType::mouse;
    std::int64_t id = 0;  // a finger's or pen's id; any constant for the mouse
    double x = 0, y = 0;
    std::uint64_t time_ms = 0;
};

// The boxes (layout units) of what a canvas shows, for the overlay to keep
// off: every operation's extent except an erase (a solid box in the paper's
// colour, which leaves the paper as it was).
std::vector<Box> drawn_boxes(const std::vector<DrawOp>& ops);

// A rectangle in window pixels.
struct Rect {
    double x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool contains(double px, double py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
    bool intersects(const Rect& o) const {
        return !empty() && !o.empty() && x < o.x + o.w && o.x < x + w && y < o.y + o.h &&
               o.y < y + h;
    }
    Rect united(const Rect& o) const;
};

// The three ink colours: red, blue and the palette's own ink (colour 0, so
// it follows the projector palette).
enum class InkColour { red, blue, ink };
// The RGB (0xRRGGBB) of an ink colour in a palette, for every painter.
unsigned ink_rgb(InkColour colour, Palette palette);

enum class Action {
    back, forward, pen, colour, clear_ink, keypad, fullscreen,  // toolbar
    key,                                                        // keypad
};

// A target of the toolbar or the keypad, to draw and to hit.
struct Button {
    Action action = Action::key;
    Rect rect;
    std::string key;    // Action::key: the key it types ("0".."9", "-", "/", ".", "x", "=", "\b", "\f", "\r" ...)
    InkColour colour = InkColour::red;  // Action::colour
    bool on = false;       // a toggle that is on, or the chosen colour
    bool pressed = false;  // held down right now
    bool toolbar = false;  // part of the toolbar (drawn with toolbar_alpha())
};

// A stroke in layout units. Points are drawn as a smooth curve through the
// midpoints of successive points (see stroke_path).
struct Stroke {
    std::vector<Point> points;
    InkColour colour = InkColour::red;
    float width = 4;   // layout units
    int step = 0;      // the item's waits answered when it was drawn
    Box bounds{0, 0, 0, 0};
};

// One piece of a path: move_to, line_to, a quadratic curve to `to` with
// control point `control`, or closing the current sub-path.
struct PathPiece {
    enum Kind { move, line, quad, close } kind;
    Point control, to;
};
// A stroke's outline, in layout units.
std::vector<PathPiece> stroke_path(const Stroke& stroke);

// What a pointer event asks of the back end.
struct Response {
    std::vector<std::string> keys;  // into the program's key queue, in order
    bool toggle_fullscreen = false;
};

// Where a widget may go and how good that place is (overlay.cpp).
struct Placement;

class Overlay {
public:
    // A placement's passes: three that look for a free place (the margin,
    // the picture with room to spare, the picture), then the least covered.
    static constexpr int kLastPass = 3;

    // The drawing target's size in pixels and its pixels per CSS px.
    void set_view(double width, double height, double pixels_per_css_px = 1);
    double width() const { return width_; }
    double height() const { return height_; }
    // Where the layout area lies on the target (its palette is not the
    // overlay's concern).
    const View& view() const { return box_; }

    // Whether the keypad shows before any input at all (the default): a
    // device that may have no keyboard (a tablet, a touch board) wants it
    // from the first prompt; a back end that knows a keyboard is the likely
    // first input passes false, and the keypad then waits for a pointer.
    void set_keypad_at_start(bool on);

    // What the screen shows, in layout units (drawn_boxes of its canvas):
    // the toolbar and the keypad keep off it from the next placement on (the
    // first time either is needed after the next on_prompt or set_view).
    void set_drawing(std::vector<Box> drawn) { drawn_ = std::move(drawn); }
    const std::vector<Box>& drawing() const { return drawn_; }

    // What the program announces (Platform::on_prompt, Platform::on_item).
    void on_prompt(const PromptEvent& prompt);
    void on_item(bool started);
    // A key was typed on a keyboard: the keypad goes, the toolbar fades.
    void on_key(std::uint64_t now_ms);
    Response on_pointer(const PointerEvent& event);
    // Advances the toolbar's fading; call once a frame with the time.
    void tick(std::uint64_t now_ms);
    // Whether tick has work to do (the toolbar is fading or about to).
    bool animating() const;

    // The area to repaint since the last call, in window pixels.
    bool take_damage(Rect& out);

    // What to draw, in this order, over the picture.
    const std::vector<Stroke>& strokes() const { return strokes_; }
    std::vector<Button> buttons() const;
    double toolbar_alpha() const;
    bool keypad_visible() const;
    bool toolbar_visible() const { return toolbar_alpha() > 0; }
    bool pen_on() const { return pen_on_; }
    InkColour ink_colour() const { return colour_; }

    // The geometry, also when hidden.
    std::vector<Button> toolbar_buttons() const;
    std::vector<Button> keypad_buttons() const;
    Rect toolbar_rect() const {
        if (!toolbar_placed_) place_toolbar();
        return toolbar_rect_;
    }
    Rect keypad_rect() const {
        if (!keypad_placed_) place_keypad();
        return keypad_rect_;
    }
    // The prompt's answer field in window pixels (empty when none).
    Rect field_rect() const;
    // A stroke's bounds in window pixels, with its width and a pixel to spare.
    Rect stroke_rect(const Stroke& stroke) const;

private:
    struct Active {
        bool down = false;
        std::int64_t id = 0;
        PointerType type = PointerType::mouse;
        double x0 = 0, y0 = 0;
        enum Target { none, button, picture, ink } target = none;
        Button pressed;
        bool cancelled = false;
    };

    void layout_widgets();
    void place_toolbar() const;
    void place_keypad() const;
    // The prompt's answer field, or where the programs' stands when none.
    Rect answer_field() const;
    // The best place for a w x h widget off `keep_off`: one of `preferred`
    // (in their order) where it does as well as any, else nearest `near`.
    // Only the passes from `first` to `last` are tried (the last of all is
    // the least covered place); by default all of them.
    Placement place(double w, double h, const std::vector<Rect>& keep_off, const Rect& near,
                    const std::vector<Rect>& preferred, int first = 0, int last = kLastPass) const;
    void damage(const Rect& r);
    void activity(std::uint64_t now_ms);
    double alpha_at(std::uint64_t now_ms) const;
    void refresh_toolbar();
    template <typename F>
    void keypad_change(F&& change);
    void pointer_input();
    void add_ink_point(double x, double y);
    void activate(const Button& b, Response& out);
    void navigate(const PointerEvent& up, Response& out);
    void clear_ink();
    void drop_strokes_after(int step);
    double css(double px) const { return px / ratio_; }

    double width_ = 0, height_ = 0, ratio_ = 1;
    View box_;
    std::vector<Box> drawn_;  // layout units
    mutable Rect toolbar_rect_;
    mutable bool toolbar_vertical_ = false;
    mutable bool toolbar_placed_ = false;
    mutable Rect keypad_rect_;
    mutable bool keypad_placed_ = false;
    PromptEvent prompt_;
    int answered_ = 0;  // the item's waits answered so far
    std::vector<Stroke> strokes_;
    Active active_;
    std::vector<std::int64_t> touches_;  // fingers now down
    bool pen_on_ = false;
    InkColour colour_ = InkColour::red;
    bool pointer_last_ = true;     // the last input was a pointer (or nothing yet)
    bool any_input_ = false;
    bool keypad_hidden_ = false;   // put away with the keypad button
    bool toolbar_shown_ = false;   // any pointer activity yet
    std::uint64_t now_ = 0, last_activity_ = 0;
    double painted_alpha_ = 0;     // the toolbar's opacity as last damaged
    double hover_x_ = -1, hover_y_ = -1;
    bool damaged_ = false;
    Rect damage_;
};

}  // namespace lk::overlay
