// Readable from the back row: a tour of every item of both programs, and for
// every glyph and every line, arc, circle and polygon outline drawn, the
// colour beneath it taken from the canvas at that moment (the last fill that
// covers the point, or the paper). In both palettes, text needs 4.5:1 against
// its ground (3:1 when bold and at least 18.7 px high) and lines and shapes
// 3:1 (WCAG 2.2, 1.4.3 and 1.4.11). Erasing (15 on the paper) and the fills
// themselves are exempt. The worst pairs are printed with where they occur.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/present/headless/headless_platform.h"
#include "engine/shell/tour.h"
#include "lessons/apply/topics.h"
#include "lessons/solve/topics.h"
#include "support/contrast.h"

namespace {

using lk::Palette;
using lk::testing::contrast;

constexpr double kText = 4.5;
constexpr double kLargeText = 3.0;
constexpr double kGraphic = 3.0;
constexpr float kLargePx = 18.7f;

enum class Kind { text, large_text, graphic };

const char* kind_name(Kind k) {
    switch (k) {
        case Kind::text: return "text";
        case Kind::large_text: return "large bold text";
        case Kind::graphic: return "line or shape";
    }
    return "";
}

double level_of(Kind k) {
    return k == Kind::text ? kText : k == Kind::large_text ? kLargeText : kGraphic;
}

// One ink on one ground, as drawn somewhere in the tour.
struct Seen {
    std::string where;  // the first place it was drawn
    std::string what;   // the first operation that drew it
    int count = 0;
};
using PairKey = std::tuple<Kind, int, int>;  // kind, ink, ground

bool inside_polygon(const std::vector<lk::Point>& pts, float x, float y) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const auto& a = pts[i];
        const auto& b = pts[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// The colour painted at (x, y) by the last fill among `ops` (a box or a
// filled polygon), or the paper. A box's border is its edge, not a ground:
// ink that starts on a frame (a curve leaving a cell's corner) is seen against
// what lies around the box. Discs are dots of ink, not grounds.
int ground_at(const std::vector<lk::DrawOp>& ops, float x, float y) {
    for (size_t i = ops.size(); i-- > 0;) {
        const lk::DrawOp& op = ops[i];
        if (const auto* b = std::get_if<lk::FillBox>(&op)) {
            float half = std::max(b->pen, 1) / 2.0f;
            float x1 = std::min(b->x1, b->x2), x2 = std::max(b->x1, b->x2);
            float y1 = std::min(b->y1, b->y2), y2 = std::max(b->y1, b->y2);
            if (x > x1 + half && x < x2 - half && y > y1 + half && y < y2 - half) return b->fill;
        } else if (const auto* p = std::get_if<lk::FillPolygon>(&op)) {
            if (p->points.size() >= 3 && inside_polygon(p->points, x, y)) return p->fill;
        }
    }
    return 15;
}

// Points along a segment, about two units apart, both ends included.
void sample_segment(float x1, float y1, float x2, float y2, std::vector<lk::Point>& out) {
    int n = std::max(1, static_cast<int>(std::hypot(x2 - x1, y2 - y1) / 2));
    for (int k = 0; k <= n; ++k) {
        float t = static_cast<float>(k) / static_cast<float>(n);
        out.push_back({x1 + (x2 - x1) * t, y1 + (y2 - y1) * t});
    }
}

void sample_arc(float cx, float cy, float r, double a1, double a2, std::vector<lk::Point>& out) {
    r = std::fabs(r);
    int n = std::max(4, static_cast<int>(r * std::fabs(a2 - a1) / 2));
    for (int k = 0; k <= n; ++k) {
        double a = a1 + (a2 - a1) * k / n;
        out.push_back({cx + r * static_cast<float>(std::cos(a)), cy + r * static_cast<float>(std::sin(a))});
    }
}

// The length in bytes of the UTF-8 character starting with `lead`.
size_t char_bytes(unsigned char lead) {
    return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Half-width: ASCII and the half-width katakana (U+FF61 to U+FF9F).
bool half_width(const std::string& s, size_t at, size_t len) {
    if (len == 1) return true;
    if (len != 3) return false;
    unsigned cp = ((s[at] & 0x0Fu) << 12) | ((s[at + 1] & 0x3Fu) << 6) | (s[at + 2] & 0x3Fu);
    return cp >= 0xFF61 && cp <= 0xFF9F;
}

// Watches everything drawn, keeping its own copy of the canvas, and notes
// each ink on its ground.
class ContrastSink : public lk::OpSink {
public:
    explicit ContrastSink(const std::string& program) : where_(program + " main menu") {}

    void on_draw(const lk::DrawOp& op) override {
        std::visit([&](const auto& o) { look_at(o); }, op);
        canvas_.add(op);
    }
    void on_event(const lk::Event&) override {}

    void set_where(const std::string& where) { where_ = where; }
    std::map<PairKey, Seen> seen;

private:
    void note(Kind kind, int ink, int ground, const std::string& what) {
        if (ink == 15 && ground == 15) return;  // erasing
        Seen& s = seen[{kind, ink, ground}];
        if (s.count++ == 0) {
            s.where = where_;
            s.what = what;
        }
    }

    void note_points(int ink, const std::vector<lk::Point>& pts, const std::string& what) {
        std::vector<int> grounds;
        for (const auto& p : pts) {
            if (p.x < 0 || p.y < 0 || p.x > lk::kCanvasWidth || p.y > lk::kCanvasHeight) continue;
            int g = ground_at(canvas_.ops(), p.x, p.y);
            if (std::find(grounds.begin(), grounds.end(), g) == grounds.end()) grounds.push_back(g);
        }
        for (int g : grounds) note(Kind::graphic, ink, g, what);
    }

    static std::string at(float x, float y) {
        char buf[48];
        std::snprintf(buf, sizeof buf, " at (%g, %g)", x, y);
        return buf;
    }

    void look_at(const lk::DrawText& t) {
        if (t.h <= 0 || t.v <= 0 || t.text.empty()) return;
        const float em_w = t.font.size * static_cast<float>(t.h);
        const float em_h = t.font.size * static_cast<float>(t.v);
        const Kind kind = t.font.bold && em_h >= kLargePx ? Kind::large_text : Kind::text;
        // Each character's cell: half an em wide for ASCII and half-width
        // kana, a full em otherwise; its ground is what lies at its centre.
        float x = t.x;
        for (size_t i = 0; i < t.text.size();) {
            size_t len = std::min(char_bytes(static_cast<unsigned char>(t.text[i])), t.text.size() - i);
            float w = half_width(t.text, i, len) ? em_w / 2 : em_w;
            float cx = x + w / 2, cy = t.y + em_h / 2;
            if (t.text[i] != ' ' && cx >= 0 && cy >= 0 && cx <= lk::kCanvasWidth &&
                cy <= lk::kCanvasHeight) {
                char size[32];
                std::snprintf(size, sizeof size, ", %g px%s", em_h, t.font.bold ? " bold" : "");
                note(kind, t.colour, ground_at(canvas_.ops(), cx, cy),
                     "text \"" + t.text.substr(i, len) + "\"" + at(t.x, t.y) + size);
            }
            x += w;
            i += len;
        }
    }
    void look_at(const lk::DrawLine& l) {
        std::vector<lk::Point> pts;
        sample_segment(l.x1, l.y1, l.x2, l.y2, pts);
        note_points(l.colour, pts, "line" + at(l.x1, l.y1) + "-" + at(l.x2, l.y2).substr(4));
    }
    void look_at(const lk::DrawCircle& c) {
        std::vector<lk::Point> pts;
        sample_arc(c.cx, c.cy, c.r, 0, 2 * M_PI, pts);
        note_points(c.colour, pts, "circle" + at(c.cx, c.cy));
    }
    void look_at(const lk::DrawArc& a) {
        std::vector<lk::Point> pts;
        double a1 = 2 * M_PI * a.start, a2 = 2 * M_PI * a.end;
        if (a.start == a.end) a2 = a1 + 2 * M_PI;
        sample_arc(a.cx, a.cy, a.r, a1, a2, pts);
        note_points(a.colour, pts, "arc" + at(a.cx, a.cy));
    }
    void look_at(const lk::DrawPolyline& p) {
        std::vector<lk::Point> pts;
        for (size_t i = 1; i < p.points.size(); ++i)
            sample_segment(p.points[i - 1].x, p.points[i - 1].y, p.points[i].x, p.points[i].y, pts);
        if (!p.points.empty()) note_points(p.colour, pts, "polyline" + at(p.points[0].x, p.points[0].y));
    }
    void look_at(const lk::FillPolygon& p) {
        // A filled shape with an outline of another colour: the outline
        // against what lies around the shape.
        if (p.colour == p.fill || p.points.size() < 2) return;
        std::vector<lk::Point> pts;
        for (size_t i = 0; i < p.points.size(); ++i) {
            const auto& a = p.points[i];
            const auto& b = p.points[(i + 1) % p.points.size()];
            sample_segment(a.x, a.y, b.x, b.y, pts);
        }
        note_points(p.colour, pts, "polygon outline" + at(p.points[0].x, p.points[0].y));
    }
    void look_at(const lk::FillCircle& c) {
        // Discs are dots: marker dots, the answer cursor, and the dots of
        // half a pixel that lay down curves with a wide pen.
        std::vector<lk::Point> pts;
        sample_arc(c.cx, c.cy, c.r, 0, 2 * M_PI, pts);
        pts.push_back({c.cx, c.cy});
        note_points(c.colour, pts, "dot" + at(c.cx, c.cy));
    }
    // Boxes are fills.
    void look_at(const lk::FillBox&) {}

    lk::Canvas canvas_;
    std::string where_;
};

// Tours a whole program, naming the place of each operation: the menu, a
// topic's goal screen, or a step of an item.
std::map<PairKey, Seen> tour(const std::string& name, const lk::ProgramDef& program) {
    lk::HeadlessPlatform platform;
    lk::TourDriver driver(program, 2);
    ContrastSink sink(name);
    int topic = 0, item = 0, step = 0, entries = 0;
    platform.set_key_source([&] {
        const auto prompt = driver.prompt();
        std::string keys = driver.next_keys();
        const int number = keys.empty() ? 0 : std::atoi(keys.c_str());
        const std::string topic_name = name + " topic " + std::to_string(topic);
        switch (prompt) {
            case lk::TourDriver::Prompt::menu:
                if (number >= 1 && static_cast<size_t>(number) <= program.menu.size() &&
                    program.menu[static_cast<size_t>(number - 1)].topic >= 0) {
                    topic = number;
                    entries = program.topics[static_cast<size_t>(program.menu[static_cast<size_t>(number - 1)].topic)]
                                  .entries;
                    sink.set_where(name + " topic " + std::to_string(topic) + " goal screen");
                }
                break;
            case lk::TourDriver::Prompt::bar:
                item = number, step = 1;
                if (item >= entries) sink.set_where(name + " main menu");
                else sink.set_where(topic_name + " item " + std::to_string(item) + " step 1");
                break;
            case lk::TourDriver::Prompt::step:
            case lk::TourDriver::Prompt::next_step:
                sink.set_where(topic_name + " item " + std::to_string(item) + " step " +
                               std::to_string(++step));
                break;
            case lk::TourDriver::Prompt::answer:
            case lk::TourDriver::Prompt::verdict:
                sink.set_where(name + " practice set " + std::to_string(topic) + " problem");
                break;
            case lk::TourDriver::Prompt::none: break;
        }
        return keys;
    });
    lk::Presenter presenter(platform);
    presenter.add_sink(&driver);
    presenter.add_sink(&sink);
    EXPECT_EQ(lk::finished(lk::run_program(program, presenter, 1)), 0) << name;
    EXPECT_GT(driver.items_run(), 20) << name << ": the tour went through too few items";
    return sink.seen;
}

const std::map<PairKey, Seen>& everything_drawn() {
    static const std::map<PairKey, Seen> all = [] {
        std::map<PairKey, Seen> out;
        for (const auto& [name, program] :
             {std::pair<std::string, const lk::ProgramDef*>{"applylesson", &lk::applylesson_program()},
              {"solvelesson", &lk::solvelesson_program()}}) {
            for (auto& [key, seen] : tour(name, *program)) {
                auto [at, fresh] = out.emplace(key, seen);
                if (!fresh) at->second.count += seen.count;
            }
        }
        return out;
    }();
    return all;
}

class ContrastTour : public ::testing::TestWithParam<Palette> {};

TEST_P(ContrastTour, EveryInkStandsOutFromItsGround) {
    const Palette palette = GetParam();
    const auto& all = everything_drawn();
    // Both programs draw text, lines and fills in many colours: a tour that
    // saw only a handful of pairs did not look.
    ASSERT_GE(all.size(), 15u);

    struct Row {
        double ratio, level;
        PairKey key;
        const Seen* seen;
    };
    std::vector<Row> rows;
    for (const auto& [key, seen] : all) {
        const auto& [kind, ink, ground] = key;
        rows.push_back({contrast(lk::palette_rgb(ink, palette), lk::palette_rgb(ground, palette)),
                        level_of(kind), key, &seen});
    }
    // Worst first, as a share of what each pair needs.
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.ratio / a.level < b.ratio / b.level; });

    const char* name = palette == Palette::original ? "original" : "projector";
    std::printf("%s palette: %zu ink/ground pairs drawn; the worst:\n", name, rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const auto& [kind, ink, ground] = r.key;
        const bool fails = r.ratio < r.level;
        if (i >= 8 && !fails) break;
        std::printf("  %s %5.2f:1 (needs %.1f) %s colour %d on %d, %d times; first: %s, %s\n",
                    fails ? "FAIL" : "ok  ", r.ratio, r.level, kind_name(kind), ink, ground,
                    r.seen->count, r.seen->where.c_str(), r.seen->what.c_str());
        EXPECT_GE(r.ratio, r.level)
            << name << " palette: " << kind_name(kind) << " colour " << ink << " (" << std::hex
            << lk::palette_rgb(ink, palette) << ") on colour " << std::dec << ground << " ("
            << std::hex << lk::palette_rgb(ground, palette) << std::dec << ") at " << r.seen->where
            << ": " << r.seen->what;
    }
}

INSTANTIATE_TEST_SUITE_P(BothPalettes, ContrastTour,
                         ::testing::Values(Palette::original, Palette::projector),
                         [](const ::testing::TestParamInfo<Palette>& info) {
                             return std::string(info.param == Palette::original ? "Original"
                                                                                : "Projector");
                         });

}  // namespace
