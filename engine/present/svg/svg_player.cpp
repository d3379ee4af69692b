#include "svg_player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "../faces.h"
#include "../strings.h"

namespace lk {

namespace {

constexpr double kTurn = 2 * M_PI;

// A number as SVG writes it: at most three decimals, no trailing zeros.
std::string num(double v) {
    if (!std::isfinite(v)) return "0";
    char text[40];
    std::snprintf(text, sizeof text, "%.3f", v);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    if (out == "-0") out = "0";
    return out;
}

std::string colour(int c, Palette palette) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", palette_rgb(c, palette) & 0xFFFFFF);
    return text;
}

double pen_width(int pen) { return pen > 0 ? pen : 1; }

// A text as XML character data: the markup characters escaped, and what XML
// cannot hold (control characters, malformed bytes) as U+FFFD.
std::string escaped(const std::string& text) {
    std::string out;
    for (const auto& ch : split_chars(text)) {
        const auto c = static_cast<unsigned char>(ch[0]);
        if (ch == "&") out += "&amp;";
        else if (ch == "<") out += "&lt;";
        else if (ch == ">") out += "&gt;";
        else if (ch.size() == 1 && c < 0x20) out += c == '\t' || c == '\n' || c == '\r' ? " " : "\uFFFD";
        else if (ch.size() == 1 && c >= 0x80) out += "\uFFFD";
        else if (ch == "\uFFFE" || ch == "\uFFFF") out += "\uFFFD";
        else out += ch;
    }
    return out;
}

// The families of a face: the page's name first, then the system's.
std::string families(const FaceStyle& style) {
    std::string out = "'";
    out += web_family(style.family);
    out += '\'';
    if (web_family(style.family) != style.family) {
        out += ",'";
        out += style.family;
        out += '\'';
    }
    return out;
}

std::string stroke(int c, int pen, Palette palette) {
    return " stroke=\"" + colour(c, palette) + "\" stroke-width=\"" + num(pen_width(pen)) + "\"";
}

}  // namespace

std::string svg_element(const DrawOp& op, Palette palette) {
    return std::visit(
        [&](const auto& o) -> std::string {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, DrawText>) {
                if (o.h <= 0 || o.v <= 0 || o.text.empty()) return {};
                const FaceStyle style = style_for(o.font.face);
                // The glyph's cell magnified about its baseline's start, as
                // the other players set their font matrix.
                std::string out = "<text xml:space=\"preserve\" transform=\"matrix(" +
                                  num(o.h * style.width_factor) + " 0 0 " + num(o.v) + " " + num(o.x) + " " +
                                  num(o.y + o.font.size * o.v * style.baseline) + ")\" font-family=\"" +
                                  families(style) + "\" font-size=\"" + num(o.font.size) + "\"";
                if (o.font.bold) out += " font-weight=\"bold\"";
                if (o.font.italic) out += " font-style=\"italic\"";
                // The text layer: a text a print keeps as text, never seen.
                if (o.colour == kTextLayerColour) out += " fill-opacity=\"0.004\"";
                return out + " fill=\"" + colour(o.colour, palette) + "\">" +
                       escaped(displayed_text(style, o.text)) + "</text>";
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                return "<line x1=\"" + num(o.x1) + "\" y1=\"" + num(o.y1) + "\" x2=\"" + num(o.x2) + "\" y2=\"" +
                       num(o.y2) + "\"" + stroke(o.colour, o.pen, palette) + "/>";
            } else if constexpr (std::is_same_v<T, FillBox>) {
                const double x = std::min(o.x1, o.x2), y = std::min(o.y1, o.y2);
                return "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::fabs(o.x2 - o.x1)) +
                       "\" height=\"" + num(std::fabs(o.y2 - o.y1)) + "\" fill=\"" + colour(o.fill, palette) +
                       "\"" + stroke(o.colour, o.pen, palette) +
                       " stroke-linejoin=\"miter\" stroke-linecap=\"square\" shape-rendering=\"crispEdges\"/>";
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle>) {
                if (o.r <= 0) return {};
                const bool filled = std::is_same_v<T, FillCircle>;
                return "<circle cx=\"" + num(o.cx) + "\" cy=\"" + num(o.cy) + "\" r=\"" + num(o.r) + "\"" +
                       (filled ? " fill=\"" + colour(o.colour, palette) + "\"" : std::string()) +
                       stroke(o.colour, o.pen, palette) + "/>";
            } else if constexpr (std::is_same_v<T, DrawArc>) {
                if (o.r <= 0) return {};
                // From start to end turns, the way the angle grows (clockwise
                // on the page); the end comes after the start, as cairo_arc
                // takes it, and equal ends are a whole circle.
                const double a1 = kTurn * o.start;
                double a2 = kTurn * o.end;
                if (o.start == o.end) a2 = a1 + kTurn;
                while (a2 < a1) a2 += kTurn;
                if (a2 - a1 >= kTurn)
                    return "<circle cx=\"" + num(o.cx) + "\" cy=\"" + num(o.cy) + "\" r=\"" + num(o.r) + "\"" +
                           stroke(o.colour, o.pen, palette) + "/>";
                return "<path d=\"M" + num(o.cx + o.r * std::cos(a1)) + " " + num(o.cy + o.r * std::sin(a1)) +
                       "A" + num(o.r) + " " + num(o.r) + " 0 " + (a2 - a1 > M_PI ? "1" : "0") + " 1 " +
                       num(o.cx + o.r * std::cos(a2)) + " " + num(o.cy + o.r * std::sin(a2)) + "\"" +
                       stroke(o.colour, o.pen, palette) + "/>";
            } else {
                if (o.points.empty()) return {};
                constexpr bool polygon = std::is_same_v<T, FillPolygon>;
                std::string points;
                for (const auto& p : o.points) {
                    if (!points.empty()) points += ' ';
                    points += num(p.x);
                    points += ',';
                    points += num(p.y);
                }
                std::string fill;
                if constexpr (polygon) fill = " fill=\"" + colour(o.fill, palette) + "\"";
                return std::string(polygon ? "<polygon" : "<polyline") + " points=\"" + points + "\"" + fill +
                       stroke(o.colour, o.pen, palette) + "/>";
            }
        },
        op);
}

std::string svg_document(const Canvas& canvas, Palette palette) {
    const std::string w = num(canvas.width()), h = num(canvas.height());
    // A printed page's document is its paper's size; any other, the
    // canvas's size in px.
    const auto& paper = canvas.page().paper;
    const std::string size_w = paper ? num(paper->width_mm) + "mm" : w;
    const std::string size_h = paper ? num(paper->height_mm) + "mm" : h;
    // Shapes are outlines unless they say otherwise, with round caps and
    // joins; a text's own fill paints it.
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + size_w + "\" height=\"" + size_h +
                      "\" viewBox=\"0 0 " + w + " " + h + "\">\n<rect width=\"" + w + "\" height=\"" + h +
                      "\" fill=\"" + colour(15, palette) +
                      "\"/>\n<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    for (const auto& op : canvas.ops()) {
        std::string element = svg_element(op, palette);
        if (element.empty()) continue;
        out += element;
        out += '\n';
    }
    return out + "</g>\n</svg>\n";
}

}  // namespace lk
