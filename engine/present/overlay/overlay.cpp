#include "overlay.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "../platform.h"
#include "overlay_shapes.h"

namespace lk::overlay {

namespace {

// Sizes in CSS px.
constexpr double kButton = 48;   // a button's side
constexpr double kGap = 4;       // between buttons
constexpr double kPad = 4;       // inside a bar's frame
constexpr double kMargin = 4;    // from the window's edge and from the picture
constexpr int kToolbarButtons = 9;
constexpr double kToolbarThick = kButton + 2 * kPad;
constexpr double kToolbarLong = kToolbarButtons * kButton + (kToolbarButtons - 1) * kGap + 2 * kPad;
// A keypad's side across `buttons` buttons.
constexpr double keypad_side(int buttons) { return buttons * kButton + (buttons - 1) * kGap + 2 * kPad; }
// A swipe, and the most a tap may move.
constexpr double kSwipe = 40;
constexpr double kTapSlop = 12;
// The toolbar stays this long after the last pointer activity, then fades.
constexpr std::uint64_t kToolbarShowMs = 3000;
constexpr std::uint64_t kToolbarFadeMs = 600;
// Ink: the least step between two of a stroke's points in window pixels
// (closer points only add noise to the curve).
constexpr double kInkMinStep = 1.5;

// A keypad, row by row: the key each button types ("" leaves its place
// empty).
struct KeypadGrid {
    int rows, columns;
    const char* const* keys;
    const char* key(int row, int column) const { return keys[row * columns + column]; }
};
// A number: digits as on a calculator, ⌫, C and ↵ down the right.
const char* const kNumberKeys[] = {
    "7", "8", "9", "\b",
    "4", "5", "6", "\f",
    "1", "2", "3", "/",
    "0", "-", ".", "\r",
};
// An equation: the digits where the number keypad has them, with "0 . ="
// under them as on a calculator; then the four operations top to bottom as
// a calculator has them (/ for ÷); x, the brackets and the ratio's ":";
// ⌫, C and ↵ down the right, with a gap before ↵.
const char* const kEquationKeys[] = {
    "7", "8", "9", "/", "x", "\b",
    "4", "5", "6", "*", "(", "\f",
    "1", "2", "3", "-", ")", "",
    "0", ".", "=", "+", ":", "\r",
};
KeypadGrid keypad_grid(KeypadLayout layout) {
    switch (layout) {
        case KeypadLayout::equation: return {4, 6, kEquationKeys};
        case KeypadLayout::number: break;
    }
    return {4, 4, kNumberKeys};
}

Rect points_rect(std::initializer_list<Point> points) {
    double x1 = 1e300, y1 = 1e300, x2 = -1e300, y2 = -1e300;
    for (const auto& p : points) {
        x1 = std::min(x1, static_cast<double>(p.x));
        y1 = std::min(y1, static_cast<double>(p.y));
        x2 = std::max(x2, static_cast<double>(p.x));
        y2 = std::max(y2, static_cast<double>(p.y));
    }
    return {x1, y1, x2 - x1, y2 - y1};
}

}  // namespace

Rect Rect::united(const Rect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    double x1 = std::min(x, o.x), y1 = std::min(y, o.y);
    double x2 = std::max(x + w, o.x + o.w), y2 = std::max(y + h, o.y + o.h);
    return {x1, y1, x2 - x1, y2 - y1};
}

std::vector<PathPiece> stroke_path(const Stroke& stroke) {
    const auto& p = stroke.points;
    std::vector<PathPiece> out;
    if (p.empty()) return out;
    out.push_back({PathPiece::move, {}, p[0]});
    if (p.size() == 1) {
        out.push_back({PathPiece::line, {}, p[0]});  // a dot, with round caps
        return out;
    }
    // Through the midpoints, each point the control of its curve: the
    // corners of a polyline become smooth arcs.
    for (size_t i = 1; i + 1 < p.size(); ++i) {
        Point mid{(p[i].x + p[i + 1].x) / 2, (p[i].y + p[i + 1].y) / 2};
        out.push_back({PathPiece::quad, p[i], mid});
    }
    out.push_back({PathPiece::line, {}, p.back()});
    return out;
}

void Overlay::set_view(double width, double height, double pixels_per_css_px) {
    width_ = std::max(width, 1.0);
    height_ = std::max(height, 1.0);
    ratio_ = pixels_per_css_px > 0 ? pixels_per_css_px : 1;
    box_ = fit_view(width_, height_, ratio_);
    layout_widgets();
    // A new view is painted whole by the back end.
    damaged_ = false;
}

Rect Overlay::field_rect() const {
    const Box& f = prompt_.field;
    if (!prompt_.reads_number() || f.x2 <= f.x1) return {};
    double x1 = box_.offset_x + f.x1 * box_.scale, y1 = box_.offset_y + f.y1 * box_.scale;
    return {x1, y1, (f.x2 - f.x1) * box_.scale, (f.y2 - f.y1) * box_.scale};
}

namespace {

// The paper's colour: a solid box in it erases.
constexpr int kPaperColour = 15;
// The steps a placement tries when no place is free, in CSS px.
constexpr double kPlacementStep = kButton / 4;

double overlap_area(const Rect& a, const Rect& b) {
    const double w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
    const double h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

Rect grown(const Rect& r, double by) { return {r.x - by, r.y - by, r.w + 2 * by, r.h + 2 * by}; }

double centre_distance(const Rect& a, const Rect& b) {
    return std::hypot(a.x + a.w / 2 - (b.x + b.w / 2), a.y + a.h / 2 - (b.y + b.h / 2));
}

// How much a place's distance may be off by rounding alone (device pixels).
constexpr double kSameDistance = 1e-9;

// Where a box w x h within [x0, x1] x [y0, y1] (its top left corner)
// touches none of `obstacles`, nearest `near`'s centre. Exact: a free place
// slid up (or down) until it meets an obstacle or the bounds keeps free, so
// the rows to try are the bounds and the obstacles' edges; in each row the
// free stretches are what the obstacles leave.
bool free_place(double w, double h, double x0, double x1, double y0, double y1,
                const std::vector<Rect>& obstacles, const Rect& near, Rect& out, double& distance) {
    const double want_x = std::clamp(near.x + near.w / 2 - w / 2, x0, x1);
    const double want_y = std::clamp(near.y + near.h / 2 - h / 2, y0, y1);
    // Obstacles on the same rows that overlap or touch block what their
    // union blocks: the glyphs of a line of text become one.
    std::vector<Rect> joined;
    joined.reserve(obstacles.size());
    for (const auto& o : obstacles)
        if (!o.empty()) joined.push_back(o);
    std::sort(joined.begin(), joined.end(), [](const Rect& a, const Rect& b) {
        return std::make_tuple(a.y, a.h, a.x) < std::make_tuple(b.y, b.h, b.x);
    });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        Rect& last = joined[kept > 0 ? kept - 1 : 0];
        if (kept > 0 && last.y == joined[i].y && last.h == joined[i].h && joined[i].x <= last.x + last.w) {
            last.w = std::max(last.x + last.w, joined[i].x + joined[i].w) - last.x;
            continue;
        }
        joined[kept++] = joined[i];
    }
    joined.resize(kept);
    std::vector<double> rows = {y0, y1, want_y};
    for (const auto& o : joined) rows.push_back(o.y + o.h), rows.push_back(o.y - h);
    // The rows nearest `near` first: a row no nearer than the place found
    // so far cannot hold a better one (a place is at least as far as its
    // row), so the rest are left. Of places as near, the one of the earlier
    // row in the list above is kept, as if each row were tried in turn.
    const double near_y = near.y + near.h / 2;
    auto row_distance = [&](double y) { return std::fabs(y + h / 2 - near_y); };
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::make_pair(row_distance(rows[a]), a) < std::make_pair(row_distance(rows[b]), b);
    });
    bool found = false;
    std::size_t found_row = 0;
    // The obstacles in the order of the stretches they block, once: each
    // row then takes its own in that order.
    std::vector<const Rect*> by_x;
    by_x.reserve(joined.size());
    for (const auto& o : joined) by_x.push_back(&o);
    std::sort(by_x.begin(), by_x.end(), [w](const Rect* a, const Rect* b) {
        return std::make_pair(a->x - w, a->x + a->w) < std::make_pair(b->x - w, b->x + b->w);
    });
    std::vector<std::pair<double, double>> blocked;
    for (const std::size_t row : order) {
        const double y = rows[row];
        if (found && row_distance(y) > distance + kSameDistance) break;
        if (y < y0 || y > y1) continue;
        blocked.clear();
        for (const Rect* o : by_x)
            if (o->y < y + h && y < o->y + o->h) blocked.emplace_back(o->x - w, o->x + o->w);
        auto consider = [&](double a, double b) {
            a = std::max(a, x0), b = std::min(b, x1);
            if (a > b) return;
            const Rect r{std::clamp(want_x, a, b), y, w, h};
            const double d = centre_distance(r, near);
            if (!found || d < distance || (d == distance && row < found_row))
                out = r, distance = d, found = true, found_row = row;
        };
        double from = x0;
        for (const auto& [s, e] : blocked) {
            // The obstacle blocks the open stretch (s, e).
            if (s >= from) consider(from, s);
            from = std::max(from, e);
        }
        consider(from, x1);
    }
    return found;
}

}  // namespace

// A place found for a widget, and how good it is: the earlier pass (the
// margin, free paper with room to spare, free paper, else the least
// covered), covering none of the prompt's choices (what the user taps), the
// least drawing covered, a preferred place (the earlier the better), the
// nearest to where it is wanted.
struct Placement {
    Rect rect;
    int pass = 0;
    bool covers_choice = false;
    double covered = 0;
    int rank = 0;  // which preferred place (their count for any other)
    double distance = 0;
    bool found = false;
    bool better_than(const Placement& o) const {
        if (!o.found) return found;
        if (!found) return false;
        if (pass != o.pass) return pass < o.pass;
        if (covers_choice != o.covers_choice) return !covers_choice;
        if (covered != o.covered) return covered < o.covered;
        if (rank != o.rank) return rank < o.rank;
        return distance < o.distance;
    }
};
// The passes that look for a free place come before the last.
constexpr int kPassesFree = Overlay::kLastPass;

std::vector<Box> drawn_boxes(const std::vector<DrawOp>& ops) {
    std::vector<Box> out;
    out.reserve(ops.size());
    for (const auto& op : ops) {
        if (const auto* b = std::get_if<FillBox>(&op);
            b && b->colour == kPaperColour && b->fill == kPaperColour)
            continue;
        const Box box = layout_extent(op);
        // A glyph that stands against the one before it on the same line
        // makes one box with it: the same drawing, in fewer boxes for the
        // places to be weighed against.
        if (!out.empty()) {
            Box& last = out.back();
            if (box.x1 == last.x2 && box.y1 == last.y1 && box.y2 == last.y2 && box.x2 > box.x1) {
                last.x2 = box.x2;
                continue;
            }
        }
        out.push_back(box);
    }
    return out;
}

Placement Overlay::place(double w, double h, const std::vector<Rect>& keep_off, const Rect& near,
                         const std::vector<Rect>& preferred, int first, int last) const {
    const double m = kMargin * ratio_;
    const double x0 = m, x1 = width_ - m - w, y0 = m, y1 = height_ - m - h;
    const bool room = x1 >= x0 && y1 >= y0;  // for a place a margin from the edges
    const Rect area{box_.offset_x, box_.offset_y, kCanvasWidth * box_.scale, kCanvasHeight * box_.scale};
    std::vector<Rect> drawn;
    for (const Box& b : drawn_) {
        const double bx1 = std::max(box_.device_x(b.x1), area.x), by1 = std::max(box_.device_y(b.y1), area.y);
        const double bx2 = std::min(box_.device_x(b.x2), area.x + area.w);
        const double by2 = std::min(box_.device_y(b.y2), area.y + area.h);
        if (bx2 > bx1 && by2 > by1) drawn.push_back({bx1, by1, bx2 - bx1, by2 - by1});
    }
    auto in_window = [&](const Rect& r) {
        return r.x >= 0 && r.y >= 0 && r.x + r.w <= width_ + 1e-9 && r.y + r.h <= height_ + 1e-9;
    };
    auto clear_of = [](const Rect& r, const std::vector<Rect>& obstacles) {
        return std::none_of(obstacles.begin(), obstacles.end(), [&](const Rect& o) { return r.intersects(o); });
    };
    // The margin beside the picture; then the picture where nothing is
    // drawn, a margin's width away from any drawing; then touching it. In
    // each, the preferred places first, in their order.
    std::vector<Rect> obstacles;
    for (int pass = first; pass < kPassesFree && pass <= last; ++pass) {
        obstacles = keep_off;
        if (pass == 0) obstacles.push_back(grown(area, m));
        else
            for (const auto& d : drawn) obstacles.push_back(pass == 1 ? grown(d, m) : d);
        Placement p;
        p.pass = pass;
        for (size_t i = 0; i < preferred.size(); ++i) {
            if (!in_window(preferred[i]) || !clear_of(preferred[i], obstacles)) continue;
            p.rect = preferred[i];
            p.rank = static_cast<int>(i);
            p.found = true;
            return p;
        }
        p.rank = static_cast<int>(preferred.size());
        if (room && (p.found = free_place(w, h, x0, x1, y0, y1, obstacles, near, p.rect, p.distance))) return p;
    }
    // Nowhere free: the least drawing covered, on a grid of places, and
    // the prompt's choices (what the user taps) left uncovered if possible.
    if (last < kPassesFree) return {};
    std::vector<Rect> choices;
    for (const auto& c : prompt_.choices)
        choices.push_back({box_.device_x(c.area.x1), box_.device_y(c.area.y1), (c.area.x2 - c.area.x1) * box_.scale,
                           (c.area.y2 - c.area.y1) * box_.scale});
    Placement best;
    auto consider = [&](const Rect& r, int rank, double covered) {
        // Worse than a place that covers no choice and less drawing,
        // whatever else.
        if (best.found && best.pass == kPassesFree && !best.covers_choice && covered > best.covered) return;
        if (!in_window(r) || !clear_of(r, keep_off)) return;
        Placement p;
        p.pass = kPassesFree;
        p.rect = r;
        p.rank = rank;
        p.covers_choice = !clear_of(r, choices);
        p.covered = covered;
        // The distance only settles what all else leaves even.
        if (best.found && p.pass == best.pass &&
            (p.covers_choice != best.covers_choice ? p.covers_choice
             : p.covered != best.covered          ? p.covered > best.covered
                                                  : p.rank > best.rank))
            return;
        p.distance = centre_distance(r, near);
        p.found = true;
        if (p.better_than(best)) best = p;
    };
    auto covered_by = [&](const Rect& r) {
        double sum = 0;
        for (const auto& d : drawn) sum += overlap_area(r, d);
        return sum;
    };
    for (size_t i = 0; i < preferred.size(); ++i)
        consider(preferred[i], static_cast<int>(i), covered_by(preferred[i]));
    if (!room) return best;
    const double step = kPlacementStep * ratio_;
    auto grid = [step](double from, double to) {
        std::vector<double> at;
        for (double v = from;; v = std::min(v + step, to)) {
            at.push_back(v);
            if (v >= to) break;
        }
        return at;
    };
    const std::vector<double> xs = grid(x0, x1), ys = grid(y0, y1);
    // What each place of the grid covers: each drawn box adds its overlap
    // to the places it can meet only (one more on each side, for rounding),
    // in the drawing's order, so that each sum is the one added up place by
    // place over the whole drawing (the rest adds nothing).
    std::vector<double> covered(xs.size() * ys.size(), 0.0);
    auto meeting = [](const std::vector<double>& at, double from, double to) {
        const std::ptrdiff_t first = std::upper_bound(at.begin(), at.end(), from) - at.begin();
        const std::ptrdiff_t last = std::lower_bound(at.begin(), at.end(), to) - at.begin();
        return std::pair<std::size_t, std::size_t>(std::max<std::ptrdiff_t>(first - 1, 0),
                                                   std::min<std::ptrdiff_t>(last + 1, static_cast<std::ptrdiff_t>(at.size())));
    };
    // A box overlaps a column of places by one width and a row by one
    // height (as overlap_area works them out), and a place by their product.
    std::vector<double> across, down;
    for (const auto& d : drawn) {
        const auto [ix0, ix1] = meeting(xs, d.x - w, d.x + d.w);
        const auto [iy0, iy1] = meeting(ys, d.y - h, d.y + d.h);
        across.clear();
        for (std::size_t ix = ix0; ix < ix1; ++ix)
            across.push_back(std::min(xs[ix] + w, d.x + d.w) - std::max(xs[ix], d.x));
        down.clear();
        for (std::size_t iy = iy0; iy < iy1; ++iy)
            down.push_back(std::min(ys[iy] + h, d.y + d.h) - std::max(ys[iy], d.y));
        for (std::size_t iy = iy0; iy < iy1; ++iy) {
            const double dh = down[iy - iy0];
            if (dh <= 0) continue;
            double* row = &covered[iy * xs.size()];
            for (std::size_t ix = ix0; ix < ix1; ++ix)
                if (const double dw = across[ix - ix0]; dw > 0) row[ix] += dw * dh;
        }
    }
    for (std::size_t iy = 0; iy < ys.size(); ++iy)
        for (std::size_t ix = 0; ix < xs.size(); ++ix)
            consider({xs[ix], ys[iy], w, h}, static_cast<int>(preferred.size()), covered[iy * xs.size() + ix]);
    return best;
}

Rect Overlay::answer_field() const {
    Rect field = field_rect();
    if (field.empty()) {
        // No number prompt: where the programs' answer field stands.
        const double fx = 1008, fy = 640, fw = 240, fh = 30;
        field = {box_.offset_x + fx * box_.scale, box_.offset_y + fy * box_.scale,
                 fw * box_.scale, fh * box_.scale};
    }
    return field;
}

void Overlay::layout_widgets() {
    // Each is placed when it is first shown or asked for: on a keyboard
    // neither may ever be, and the toolbar's two places were the costliest
    // part of a prompt (and of the program's first picture).
    toolbar_placed_ = false;
    keypad_placed_ = false;
    if (keypad_visible()) place_keypad();
}

void Overlay::place_toolbar() const {
    const double r = ratio_, m = kMargin * r, thick = kToolbarThick * r, len = kToolbarLong * r;
    const Rect field = answer_field();

    // The toolbar: at the top right corner, standing in a side margin or
    // lying in the top one when that has room, else lying there where it
    // covers no drawing; else nearest that corner, standing or lying.
    const Rect corner{width_, 0, 0, 0};
    const Rect standing_corner{width_ - m - thick, m, thick, len};
    const Rect lying_corner{std::max(0.0, width_ - m - len), m, len, thick};
    // The two are tried pass by pass: once one is found, the other can do
    // as well only in the same pass, and the later passes are left.
    Placement standing, lying;
    for (int pass = 0; pass <= kLastPass && !standing.found && !lying.found; ++pass) {
        standing = place(thick, len, {field}, corner, {standing_corner}, pass, pass);
        lying = place(len, thick, {field}, corner, {lying_corner}, pass, pass);
    }
    const bool as_good = !standing.better_than(lying) && !lying.better_than(standing);
    if (standing.found && (standing.better_than(lying) || (as_good && standing.pass == 0))) {
        toolbar_vertical_ = true;
        toolbar_rect_ = standing.rect;
    } else if (lying.found) {
        toolbar_vertical_ = false;
        toolbar_rect_ = lying.rect;
    } else {
        // A window smaller than the overlay is made for: the top right corner.
        toolbar_vertical_ = false;
        toolbar_rect_ = lying_corner;
    }
    toolbar_placed_ = true;
}

void Overlay::place_keypad() const {
    const double r = ratio_, m = kMargin * r, thick = kToolbarThick * r;
    const Rect field = answer_field();
    const Rect toolbar = toolbar_rect();
    // The keypad: beside the picture when a margin has room for it, else
    // near the answer field (these places in this order, where they cover
    // no drawing; else nearest the field); never over the field nor the
    // toolbar.
    const KeypadGrid grid = keypad_grid(prompt_.input.keypad);
    const double side_w = keypad_side(grid.columns) * r, side = keypad_side(grid.rows) * r;
    const double area_w = kCanvasWidth * box_.scale;
    auto clamp_y = [&](double y) { return std::clamp(y, m, std::max(m, height_ - m - side)); };
    const double bottom_y = clamp_y(field.y + field.h - side);
    const double area_right = box_.offset_x + area_w;
    const double beside_toolbar = toolbar_vertical_ ? thick + m : 0;
    const double above_field_x = std::clamp(field.x + field.w - side_w, m, std::max(m, width_ - m - side_w));
    const std::vector<Rect> near_field = {
        {area_right + m, bottom_y, side_w, side},                                  // right margin
        {width_ - m - side_w - beside_toolbar, bottom_y, side_w, side},
        {box_.offset_x - m - side_w, bottom_y, side_w, side},                      // left margin
        {above_field_x, field.y - m - side, side_w, side},                         // above the field
        {width_ - m - side_w - beside_toolbar, field.y - m - side, side_w, side},
        {field.x - m - side_w, bottom_y, side_w, side},                            // left of the field
        {field.x - m - side_w, clamp_y(toolbar.y + toolbar.h + m), side_w, side},
        {above_field_x, field.y + field.h + m, side_w, side},                      // below the field
    };
    const Placement keypad = place(side_w, side, {field, toolbar}, field, near_field);
    keypad_placed_ = true;
    keypad_rect_ = keypad.found ? keypad.rect : Rect{m, height_ - m - side, side_w, side};
}

std::vector<Button> Overlay::toolbar_buttons() const {
    std::vector<Button> out;
    const double r = ratio_, b = kButton * r, step = (kButton + kGap) * r, pad = kPad * r;
    const Rect bar = toolbar_rect();
    auto add = [&](Action a, int index) {
        Button btn;
        btn.action = a;
        btn.toolbar = true;
        double along = pad + index * step;
        btn.rect = toolbar_vertical_
                       ? Rect{bar.x + pad, bar.y + along, b, b}
                       : Rect{bar.x + along, bar.y + pad, b, b};
        out.push_back(btn);
        return &out.back();
    };
    add(Action::back, 0);
    add(Action::forward, 1);
    add(Action::pen, 2)->on = pen_on_;
    const InkColour colours[] = {InkColour::red, InkColour::blue, InkColour::ink};
    for (int i = 0; i < 3; ++i) {
        Button* c = add(Action::colour, 3 + i);
        c->colour = colours[i];
        c->on = pen_on_ && colour_ == colours[i];
    }
    add(Action::clear_ink, 6);
    add(Action::keypad, 7)->on = keypad_visible();
    add(Action::fullscreen, 8);
    return out;
}

std::vector<Button> Overlay::keypad_buttons() const {
    std::vector<Button> out;
    const double r = ratio_, b = kButton * r, step = (kButton + kGap) * r, pad = kPad * r;
    const KeypadGrid grid = keypad_grid(prompt_.input.keypad);
    const Rect keypad = keypad_rect();
    for (int row = 0; row < grid.rows; ++row) {
        for (int col = 0; col < grid.columns; ++col) {
            if (*grid.key(row, col) == '\0') continue;
            Button btn;
            btn.action = Action::key;
            btn.key = grid.key(row, col);
            btn.rect = {keypad.x + pad + col * step, keypad.y + pad + row * step, b, b};
            out.push_back(btn);
        }
    }
    return out;
}

std::vector<Button> Overlay::buttons() const {
    std::vector<Button> out;
    auto mark = [&](Button& b) {
        b.pressed = active_.down && active_.target == Active::button && !active_.cancelled &&
                    active_.pressed.action == b.action && active_.pressed.key == b.key &&
                    active_.pressed.colour == b.colour && active_.pressed.toolbar == b.toolbar;
    };
    if (toolbar_alpha() > 0)
        for (auto& b : toolbar_buttons()) mark(b), out.push_back(b);
    if (keypad_visible())
        for (auto& b : keypad_buttons()) mark(b), out.push_back(b);
    return out;
}

double Overlay::toolbar_alpha() const { return painted_alpha_; }

double Overlay::alpha_at(std::uint64_t now) const {
    if (!toolbar_shown_) return 0;
    if (active_.down) return 1;
    std::uint64_t elapsed = now > last_activity_ ? now - last_activity_ : 0;
    if (elapsed <= kToolbarShowMs) return 1;
    if (elapsed >= kToolbarShowMs + kToolbarFadeMs) return 0;
    return 1.0 - static_cast<double>(elapsed - kToolbarShowMs) / kToolbarFadeMs;
}

void Overlay::refresh_toolbar() {
    double alpha = alpha_at(now_);
    if (alpha != painted_alpha_) {
        painted_alpha_ = alpha;
        damage(toolbar_rect());
    }
}

bool Overlay::keypad_visible() const {
    return prompt_.reads_number() && pointer_last_ && !keypad_hidden_;
}

void Overlay::damage(const Rect& r) {
    Rect clipped = r;
    double x2 = std::min(r.x + r.w, width_), y2 = std::min(r.y + r.h, height_);
    clipped.x = std::max(r.x, 0.0);
    clipped.y = std::max(r.y, 0.0);
    clipped.w = x2 - clipped.x;
    clipped.h = y2 - clipped.y;
    if (clipped.empty()) return;
    damage_ = damaged_ ? damage_.united(clipped) : clipped;
    damaged_ = true;
}

bool Overlay::take_damage(Rect& out) {
    if (!damaged_) return false;
    out = damage_;
    damaged_ = false;
    damage_ = {};
    return true;
}

void Overlay::activity(std::uint64_t now_ms) {
    now_ = std::max(now_, now_ms);
    last_activity_ = now_;
    toolbar_shown_ = true;
    refresh_toolbar();
}

void Overlay::tick(std::uint64_t now_ms) {
    now_ = std::max(now_, now_ms);
    refresh_toolbar();
}

bool Overlay::animating() const { return painted_alpha_ > 0; }

// Anything that may show or hide the keypad: repaint it when it did.
template <typename F>
void Overlay::keypad_change(F&& change) {
    bool was = keypad_visible();
    // (A hidden keypad's place is not worked out for this, before or
    // after: on a keyboard it is never needed.)
    const Rect before = was ? keypad_rect() : Rect{};
    const KeypadLayout layout = prompt_.input.keypad;
    bool toolbar_on = keypad_visible();
    change();
    const Rect after = keypad_visible() ? keypad_rect() : Rect{};
    const bool moved = !(before.x == after.x && before.y == after.y && before.w == after.w);
    if (was != keypad_visible() || (was && (moved || layout != prompt_.input.keypad))) {
        damage(before);
        damage(after);
    }
    // The toolbar's keypad button shows whether the keypad is out.
    if (toolbar_on != keypad_visible() && painted_alpha_ > 0) damage(toolbar_rect());
}

void Overlay::set_keypad_at_start(bool on) {
    if (!any_input_) keypad_change([&] { pointer_last_ = on; });
}

void Overlay::on_key(std::uint64_t now_ms) {
    now_ = std::max(now_, now_ms);
    any_input_ = true;
    keypad_change([&] { pointer_last_ = false; });
    // The toolbar starts to fade at once.
    if (toolbar_shown_ && !active_.down && now_ - last_activity_ < kToolbarShowMs)
        last_activity_ = now_ > kToolbarShowMs ? now_ - kToolbarShowMs : 0;
    refresh_toolbar();
}

void Overlay::on_prompt(const PromptEvent& prompt) {
    const PromptKind before = prompt_.kind;
    const int before_step = prompt_.step;
    // (A toolbar not on the screen moves unseen.)
    const bool shown = painted_alpha_ > 0;
    const Rect toolbar_before = shown ? toolbar_rect() : Rect{};
    keypad_change([&] {
        prompt_ = prompt;
        layout_widgets();
    });
    if (shown) {
        const Rect after = toolbar_rect();
        if (toolbar_before.x != after.x || toolbar_before.y != after.y || toolbar_before.w != after.w) {
            damage(toolbar_before);
            damage(after);
        }
    }
    if (prompt.kind == PromptKind::step) {
        // Back at an earlier step (or at this one again): what was written
        // on the steps after it goes with them.
        answered_ = prompt.step;
        drop_strokes_after(prompt.step);
    } else if (prompt.kind == PromptKind::none && before == PromptKind::step) {
        answered_ = before_step + 1;
    } else if (prompt.kind == PromptKind::menu) {
        // The main menu erases the whole picture.
        clear_ink();
    }
}

void Overlay::on_item(bool started) {
    if (!started) return;
    answered_ = 0;
    clear_ink();
}

Rect Overlay::stroke_rect(const Stroke& s) const {
    double half = s.width * box_.scale / 2 + 2;
    double x1 = box_.offset_x + s.bounds.x1 * box_.scale, y1 = box_.offset_y + s.bounds.y1 * box_.scale;
    double x2 = box_.offset_x + s.bounds.x2 * box_.scale, y2 = box_.offset_y + s.bounds.y2 * box_.scale;
    return {x1 - half, y1 - half, x2 - x1 + 2 * half, y2 - y1 + 2 * half};
}

void Overlay::clear_ink() {
    for (const auto& s : strokes_) damage(stroke_rect(s));
    strokes_.clear();
    if (active_.target == Active::ink) active_.target = Active::none;
}

void Overlay::drop_strokes_after(int step) {
    auto gone = [step](const Stroke& s) { return s.step > step; };
    for (const auto& s : strokes_)
        if (gone(s)) damage(stroke_rect(s));
    strokes_.erase(std::remove_if(strokes_.begin(), strokes_.end(), gone), strokes_.end());
    if (active_.target == Active::ink && strokes_.empty()) active_.target = Active::none;
}

void Overlay::add_ink_point(double x, double y) {
    if (strokes_.empty()) return;
    Stroke& s = strokes_.back();
    Point p{static_cast<float>(box_.layout_x(x)), static_cast<float>(box_.layout_y(y))};
    if (!s.points.empty()) {
        double dx = (p.x - s.points.back().x) * box_.scale, dy = (p.y - s.points.back().y) * box_.scale;
        if (std::hypot(dx, dy) < kInkMinStep) return;
    }
    s.points.push_back(p);
    s.bounds = s.points.size() == 1
                   ? Box{p.x, p.y, p.x, p.y}
                   : Box{std::min(s.bounds.x1, p.x), std::min(s.bounds.y1, p.y),
                         std::max(s.bounds.x2, p.x), std::max(s.bounds.y2, p.y)};
    // Appending a point changes the curve only between the last three points.
    size_t n = s.points.size();
    Rect touched = points_rect({s.points[n >= 3 ? n - 3 : 0], s.points[n >= 2 ? n - 2 : 0], p});
    double half = s.width * box_.scale / 2 + 2;
    damage({box_.offset_x + touched.x * box_.scale - half, box_.offset_y + touched.y * box_.scale - half,
            touched.w * box_.scale + 2 * half, touched.h * box_.scale + 2 * half});
}

void Overlay::activate(const Button& b, Response& out) {
    switch (b.action) {
        case Action::back: out.keys.emplace_back(kKeyStepBack); break;
        case Action::forward: out.keys.emplace_back(kKeyForward); break;
        case Action::pen:
            pen_on_ = !pen_on_;
            damage(toolbar_rect());
            break;
        case Action::colour:
            colour_ = b.colour;
            pen_on_ = true;
            damage(toolbar_rect());
            break;
        case Action::clear_ink: clear_ink(); break;
        case Action::keypad:
            keypad_change([&] {
                if (keypad_visible()) {
                    keypad_hidden_ = true;
                } else {
                    keypad_hidden_ = false;
                    pointer_last_ = true;
                }
            });
            damage(toolbar_rect());
            break;
        case Action::fullscreen: out.toggle_fullscreen = true; break;
        case Action::key: out.keys.push_back(b.key); break;
    }
}

void Overlay::navigate(const PointerEvent& up, Response& out) {
    const double dx = css(up.x - active_.x0), dy = css(up.y - active_.y0);
    const bool tap = std::hypot(dx, dy) <= kTapSlop;
    const double lx = box_.layout_x(active_.x0), ly = box_.layout_y(active_.y0);
    switch (prompt_.kind) {
        case PromptKind::step:
            if (std::abs(dx) >= kSwipe && std::abs(dx) > std::abs(dy))
                out.keys.emplace_back(dx < 0 ? kKeyForward : kKeyStepBack);
            else if (tap)
                out.keys.emplace_back(lx < kCanvasWidth / 4 ? kKeyStepBack : kKeyForward);
            break;
        case PromptKind::menu:
        case PromptKind::bar:
        case PromptKind::answer:
        case PromptKind::verdict: {
            if (!tap) break;
            bool chosen = false;
            for (const auto& c : prompt_.choices) {
                if (lx >= c.area.x1 && lx < c.area.x2 && ly >= c.area.y1 && ly < c.area.y2) {
                    chosen = true;
                    if (!c.key.empty()) {
                        out.keys.push_back(c.key);
                        break;
                    }
                    // Exactly as typed: the field cleared, the number, Enter.
                    out.keys.emplace_back("\f");
                    for (char d : std::to_string(c.number)) out.keys.emplace_back(1, d);
                    out.keys.emplace_back("\r");
                    break;
                }
            }
            // At a verdict a tap anywhere else goes on (the left quarter
            // too: there is no step to go back to).
            if (!chosen && prompt_.kind == PromptKind::verdict) out.keys.emplace_back(kKeyForward);
            break;
        }
        default: break;
    }
}

Response Overlay::on_pointer(const PointerEvent& e) {
    Response out;
    now_ = std::max(now_, e.time_ms);
    const bool same = active_.down && e.id == active_.id && e.type == active_.type;
    switch (e.phase) {
        case PointerPhase::down: {
            if (e.type == PointerType::touch &&
                std::find(touches_.begin(), touches_.end(), e.id) == touches_.end())
                touches_.push_back(e.id);
            any_input_ = true;
            // What was on screen when the pointer came down: an event
            // handled late (a busy machine) still counts at its own time,
            // so a press on the toolbar just before it faded is a press.
            const bool toolbar_was_visible = painted_alpha_ > 0 || alpha_at(e.time_ms) > 0;
            const bool keypad_was_visible = keypad_visible();
            activity(e.time_ms);
            keypad_change([&] { pointer_last_ = true; });
            if (active_.down) {
                // A second pointer: it does nothing, and a gesture under
                // way navigates no more (a resting wrist, a pinch). Ink
                // goes on.
                if (active_.target != Active::ink) {
                    if (active_.target == Active::button) damage(active_.pressed.rect);
                    active_.cancelled = true;
                }
                break;
            }
            active_ = Active{};
            active_.down = true;
            active_.id = e.id;
            active_.type = e.type;
            active_.x0 = e.x;
            active_.y0 = e.y;
            for (const auto& b : buttons()) {
                // Only what was on screen when the pointer came down.
                if ((b.toolbar ? !toolbar_was_visible : !keypad_was_visible) ||
                    !b.rect.contains(e.x, e.y))
                    continue;
                active_.target = Active::button;
                active_.pressed = b;
                damage(b.rect);
                break;
            }
            if (active_.target == Active::button) break;
            if (e.type == PointerType::pen || pen_on_) {
                Stroke s;
                s.colour = colour_;
                s.width = kInkWidth;
                s.step = answered_;
                strokes_.push_back(s);
                active_.target = Active::ink;
                add_ink_point(e.x, e.y);
            } else {
                active_.target = Active::picture;
            }
            break;
        }
        case PointerPhase::move:
            if (!same) {
                // A hover counts as activity once the pointer really moved
                // (a window appearing under a resting mouse reports a move).
                if (!active_.down && e.type == PointerType::mouse) {
                    if (hover_x_ >= 0 && (e.x != hover_x_ || e.y != hover_y_)) activity(e.time_ms);
                    hover_x_ = e.x;
                    hover_y_ = e.y;
                }
                break;
            }
            activity(e.time_ms);
            if (active_.target == Active::ink) add_ink_point(e.x, e.y);
            break;
        case PointerPhase::up:
        case PointerPhase::cancel: {
            touches_.erase(std::remove(touches_.begin(), touches_.end(), e.id), touches_.end());
            if (!same) break;
            const Active done = active_;
            active_ = Active{};
            hover_x_ = e.x;
            hover_y_ = e.y;
            activity(e.time_ms);
            if (e.phase == PointerPhase::cancel || done.cancelled) {
                if (done.target == Active::button) damage(done.pressed.rect);
                break;
            }
            if (done.target == Active::button) {
                damage(done.pressed.rect);
                if (done.pressed.rect.contains(e.x, e.y)) activate(done.pressed, out);
            } else if (done.target == Active::ink) {
                add_ink_point(e.x, e.y);
            } else if (done.target == Active::picture && done.type != PointerType::pen) {
                active_ = done;  // navigate reads where the gesture started
                navigate(e, out);
                active_ = Active{};
            }
            break;
        }
    }
    return out;
}

}  // namespace lk::overlay
