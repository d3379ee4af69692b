#pragma once
// Watching pictures for text a class could not read: a glyph partly cut by a
// later erase or fill, a glyph outside the layout area (or the page), and two
// texts whose glyphs run into each other. Glyph boxes are the ink the cairo
// player really draws. The layout tour watches every item of the programs
// with it, the sheet tests every printed page.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/present/cairo/cairo_player.h"
#include "engine/present/presenter.h"

namespace lk::testing {

using lk::Box;
using lk::DrawText;

// Boxes that only touch (anti-aliased edges, a glyph set flush against the
// next) are not a collision.
constexpr float kTouch = 1.0f;

float overlap(float a1, float a2, float b1, float b2) { return std::min(a2, b2) - std::max(a1, b1); }
bool meets(const Box& a, const Box& b) {
    return overlap(a.x1, a.x2, b.x1, b.x2) > kTouch && overlap(a.y1, a.y2, b.y1, b.y2) > kTouch;
}
bool holds(const Box& outer, const Box& inner) {
    return inner.x1 >= outer.x1 - kTouch && inner.y1 >= outer.y1 - kTouch &&
           inner.x2 <= outer.x2 + kTouch && inner.y2 <= outer.y2 + kTouch;
}

struct Glyph {
    DrawText op;
    Box ink;
    int text = 0;      // which text it belongs to
    bool cut = false;  // partly covered by something drawn later
    std::string cut_by;
};

// Where the tour is: program, main-menu number, item number, waits answered
// (shown as the keys that bring lessonreplay there).
struct Place {
    std::string program;
    int topic = 0, item = 0, step = 0;
    std::string str() const {
        std::ostringstream o;
        o << program << " topic " << topic << " item " << item << " (keys '" << topic << "\\r";
        if (item > 0) o << item << "\\r";
        o << "' and " << step << " spaces)";
        return o.str();
    }
};

struct Finding {
    std::string kind;  // "cut", "outside", "overlap"
    Place at;
    std::string text_a, text_b;
    std::string detail;
};

// A collision the check lets pass, with the reason.
struct Exemption {
    std::string program;
    int topic;             // main-menu number
    int item;              // 0: every item of the topic
    std::string kind;
    std::string text_a;    // the text (as the lesson wrote it) of one side
    std::string text_b;    // of the other side; "" for any (and for a cut or an outside glyph)
    const char* reason;
};

bool same_shape(const DrawText& a, const DrawText& b) {
    return a.x == b.x && a.y == b.y && a.text == b.text && a.h == b.h && a.v == b.v &&
           a.font.face == b.font.face && a.font.size == b.font.size && a.font.bold == b.font.bold &&
           a.font.italic == b.font.italic;
}

// Whether a segment, thickened by half a pen, reaches into a box.
bool segment_meets(float x1, float y1, float x2, float y2, float half_pen, const Box& b) {
    Box grown{b.x1 - half_pen, b.y1 - half_pen, b.x2 + half_pen, b.y2 + half_pen};
    const int n = 1 + static_cast<int>(std::hypot(x2 - x1, y2 - y1));
    for (int i = 0; i <= n; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(n);
        float x = x1 + t * (x2 - x1), y = y1 + t * (y2 - y1);
        if (x > grown.x1 + kTouch && x < grown.x2 - kTouch && y > grown.y1 + kTouch &&
            y < grown.y2 - kTouch)
            return true;
    }
    return false;
}

// Watches every drawing operation and keeps the glyphs that are visible.
class LayoutWatch : public lk::OpSink {
public:
    // Watches a program's pictures on the lesson's layout area, or pages of
    // another size; the exemptions, when given, are findings let pass.
    explicit LayoutWatch(const std::string& program, const std::vector<Exemption>* exemptions = nullptr,
                         Box page = {0, 0, lk::kCanvasWidth, lk::kCanvasHeight})
        : exemptions_(exemptions), page_(page) {
        place_.program = program;
    }

    // Looks at the picture as it stands (a page when it is finished).
    void look_now() { look(); }

    // The engine's hook: a rich text is about to be drawn.
    void rich_text(const std::string& text) {
        rich_id_ = ++next_id_;
        texts_[rich_id_] = text;
        last_plain_.reset();
    }

    void on_draw(const lk::DrawOp& op) override {
        if (const auto* t = std::get_if<DrawText>(&op)) {
            // The text layer is not seen: it neither collides nor is cut,
            // and it does not break a run of plain text.
            if (t->colour == lk::kTextLayerColour) return;
            return text(*t);
        }
        last_plain_.reset();
        if (const auto* b = std::get_if<lk::FillBox>(&op)) {
            float half = static_cast<float>(b->pen) / 2;
            Box cover{std::min(b->x1, b->x2) - half, std::min(b->y1, b->y2) - half,
                      std::max(b->x1, b->x2) + half, std::max(b->y1, b->y2) + half};
            if (b->fill != 15 || b->colour != 15) coloured_.push_back(cover);
            else std::erase_if(coloured_, [&](const Box& c) { return holds(cover, c); });
            // Kept on purpose: a table rule over the foot of a label. A cell
            // is 50 high and its label's 48-unit glyphs stand 3 below the
            // cell top, so a stroke reaching the glyph's foot meets the rule
            // of the row drawn below by at most the rule's half width. That
            // is the one cell layout of every table; only a box whose fill
            // reaches the glyph cuts it.
            Box inside{std::min(b->x1, b->x2) + half, std::min(b->y1, b->y2) + half,
                       std::max(b->x1, b->x2) - half, std::max(b->y1, b->y2) - half};
            const bool framed = b->colour != b->fill;
            cover_by(cover, describe("box", cover),
                     [&](const Box& g) { return !framed || meets(inside, g); });
        } else if (const auto* c = std::get_if<lk::FillCircle>(&op)) {
            float r = c->r + static_cast<float>(c->pen) / 2;
            Box cover{c->cx - r, c->cy - r, c->cx + r, c->cy + r};
            cover_by(cover, describe("disc", cover), [&](const Box& g) {
                float nx = std::clamp(c->cx, g.x1, g.x2), ny = std::clamp(c->cy, g.y1, g.y2);
                return std::hypot(nx - c->cx, ny - c->cy) < r - kTouch;
            });
        } else if (std::holds_alternative<lk::FillPolygon>(op)) {
            cover_by(lk::bounds_of(op), "a filled polygon", [](const Box&) { return true; });
        } else if (const auto* l = std::get_if<lk::DrawLine>(&op); l && l->colour == 15) {
            // A line in the background colour erases along its way.
            float half = static_cast<float>(l->pen) / 2;
            Box reach{std::min(l->x1, l->x2) - half, std::min(l->y1, l->y2) - half,
                      std::max(l->x1, l->x2) + half, std::max(l->y1, l->y2) + half};
            cover_by(reach, describe("erasing line", reach), [&](const Box& g) {
                return segment_meets(l->x1, l->y1, l->x2, l->y2, half, g);
            });
        }
    }

    void on_event(const lk::Event& e) override {
        // The picture stands still while the program reads a key or waits
        // out an animation frame.
        if (std::holds_alternative<lk::DelayEvent>(e)) look();
        if (std::holds_alternative<lk::KeyEvent>(e)) {
            look();
            // The answer to a prompt is read: from here on the tour is where
            // that answer leads.
            if (keys_pending_ > 0 && --keys_pending_ == 0) place_ = next_place_;
        }
    }

    // The keys just given to the program, and where they lead.
    void answering(const std::string& keys, const Place& next) {
        keys_pending_ = static_cast<int>(keys.size());
        next_place_ = next;
        if (keys_pending_ == 0) place_ = next;
    }
    const Place& place() const { return place_; }

    std::vector<Finding> findings;
    std::map<const Exemption*, int> used;
    int looks = 0;
    size_t most_glyphs = 0;

private:
    const std::vector<Exemption>* exemptions_;
    Box page_;
    Place place_, next_place_;
    int keys_pending_ = 0;
    std::vector<Glyph> shown_;
    std::vector<Box> coloured_;  // areas filled in a colour other than the background
    std::map<int, std::string> texts_;
    int next_id_ = 0, rich_id_ = 0;
    std::optional<DrawText> last_plain_;
    int plain_id_ = 0;
    std::set<std::string> reported_;

    static std::string describe(const char* what, const Box& b) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s (%g, %g)-(%g, %g)", what, b.x1, b.y1, b.x2, b.y2);
        return buf;
    }

    void text(const DrawText& t) {
        // Plain text (prompts, typed answers) is one glyph per call, 16 units
        // apart; rich text announces itself through the engine's hook.
        int id = rich_id_;
        if (t.h == 1 && t.v == 1) {
            bool continues = last_plain_ && last_plain_->colour == t.colour &&
                             std::fabs(last_plain_->y - t.y) <= 4 && t.x - last_plain_->x >= -8 &&
                             t.x - last_plain_->x <= 20;
            if (!continues) {
                plain_id_ = ++next_id_;
                texts_[plain_id_].clear();
            }
            texts_[plain_id_] += t.text;
            id = plain_id_;
            last_plain_ = t;
        } else {
            last_plain_.reset();
        }
        Box ink = lk::ink_box(t);
        bool removed = false;
        for (size_t i = shown_.size(); i-- > 0;) {
            if (same_shape(shown_[i].op, t)) {
                shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
                removed = true;
            }
        }
        if (ink.x2 <= ink.x1 || !ink.intersects(page_)) return;  // nothing inked on screen
        // Drawn again in the background colour: the earlier one is erased.
        if (t.colour == 15 && (removed || !on_colour(ink))) return;
        shown_.push_back({t, ink, id, false, {}});
        if (!holds(page_, ink))
            report({"outside", place_, texts_[id], "",
                    describe(("\"" + t.text + "\" inks").c_str(), ink)});
    }

    bool on_colour(const Box& ink) const {
        for (const auto& c : coloured_)
            if (holds(c, ink)) return true;
        return false;
    }

    template <typename Reach>
    void cover_by(const Box& cover, const std::string& what, Reach reaches) {
        for (size_t i = shown_.size(); i-- > 0;) {
            Glyph& g = shown_[i];
            // What lies off the canvas is never seen, so it cannot be left.
            Box seen{std::max(g.ink.x1, page_.x1), std::max(g.ink.y1, page_.y1),
                     std::min(g.ink.x2, page_.x2), std::min(g.ink.y2, page_.y2)};
            if (holds(cover, seen)) {
                shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
            } else if (meets(cover, g.ink) && reaches(g.ink)) {
                g.cut = true;
                g.cut_by = what;
            }
        }
    }

    void look() {
        ++looks;
        most_glyphs = std::max(most_glyphs, shown_.size());
        for (const auto& g : shown_)
            if (g.cut)
                report({"cut", place_, texts_[g.text], "",
                        describe(("\"" + g.op.text + "\" inks").c_str(), g.ink) + ", cut by " + g.cut_by});
        for (size_t i = 0; i < shown_.size(); ++i) {
            for (size_t j = i + 1; j < shown_.size(); ++j) {
                const Glyph& a = shown_[i];
                const Glyph& b = shown_[j];
                if (a.text == b.text || !meets(a.ink, b.ink)) continue;
                report({"overlap", place_, texts_[a.text], texts_[b.text],
                        describe(("\"" + a.op.text + "\"").c_str(), a.ink) + " and " +
                            describe(("\"" + b.op.text + "\"").c_str(), b.ink)});
            }
        }
    }

    bool exempt(const Finding& f) {
        if (!exemptions_) return false;
        for (const auto& e : *exemptions_) {
            if (e.program != f.at.program || e.topic != f.at.topic || e.kind != f.kind) continue;
            if (e.item != 0 && e.item != f.at.item) continue;
            auto is = [](const std::string& pattern, const std::string& text) {
                return pattern.empty() || pattern == text;
            };
            if ((is(e.text_a, f.text_a) && is(e.text_b, f.text_b)) ||
                (is(e.text_a, f.text_b) && is(e.text_b, f.text_a))) {
                ++used[&e];
                return true;
            }
        }
        return false;
    }

    void report(Finding f) {
        if (exempt(f)) return;
        // Once per item and pair of texts: a collision stays on screen for
        // many steps.
        std::string key = f.kind + "|" + f.at.program + "|" + std::to_string(f.at.topic) + "|" +
                          std::to_string(f.at.item) + "|" + f.text_a + "|" + f.text_b;
        if (!reported_.insert(key).second) return;
        findings.push_back(std::move(f));
    }
};

std::string listing(const std::vector<Finding>& findings) {
    std::ostringstream o;
    for (const auto& f : findings) {
        o << f.kind << ": " << f.at.str() << ": \"" << f.text_a << "\"";
        if (!f.text_b.empty()) o << " / \"" << f.text_b << "\"";
        o << ": " << f.detail << "\n";
    }
    return o.str();
}

}  // namespace lk::testing
