#pragma once
// Drawing operations as plain data. Every operation a lesson draws becomes one
// of these small structs; the canvas keeps them and players replay them.
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lk {

struct Point {
    float x = 0, y = 0;
};

// The font in effect when a text was drawn, carried by the text itself so
// that a player never needs the state of the moment of drawing.
struct Font {
    std::string face = "ｺﾞｼｯｸ";
    float size = 16;
    bool bold = false;
    bool italic = false;
};

struct DrawText {
    float x, y;
    std::string text;
    int h, v;
    int colour;
    Font font;
};
struct DrawLine {
    float x1, y1, x2, y2;
    int colour;
    int pen;
};
struct FillBox {
    float x1, y1, x2, y2;
    int colour;
    int fill;
    int pen;
};
struct DrawCircle {
    float cx, cy, r;
    int colour;
    int pen;
};
struct FillCircle {
    float cx, cy, r;
    int colour;
    int pen;
};
struct DrawArc {
    float cx, cy, r;
    int colour;
    float start, end;
    int pen;
};
struct DrawPolyline {
    std::vector<Point> points;
    int colour;
    int pen;
};
struct FillPolygon {
    std::vector<Point> points;
    int colour;
    int fill;
    int pen;
};

using DrawOp = std::variant<DrawText, DrawLine, FillBox, DrawCircle, FillCircle,
                            DrawArc, DrawPolyline, FillPolygon>;

// State changes and events: not drawn, but part of what a trace records.
struct SetFontFace { std::string face; };
struct SetFontSize { float size; };
struct SetFontBold { bool on; };
struct SetFontItalic { bool on; };
struct SetPenWidth { int width; };
struct KeyEvent { std::string key; };
struct DelayEvent { int duration; };
struct EndProgram {};

using Event = std::variant<SetFontFace, SetFontSize, SetFontBold, SetFontItalic,
                           SetPenWidth, KeyEvent, DelayEvent, EndProgram>;

struct Box {
    float x1, y1, x2, y2;
    bool contains(const Box& o) const {
        return o.x1 >= x1 && o.y1 >= y1 && o.x2 <= x2 && o.y2 <= y2;
    }
    bool intersects(const Box& o) const {
        return o.x1 < x2 && o.x2 > x1 && o.y1 < y2 && o.y2 > y1;
    }
};

// A conservative bounding box of what an operation can paint.
Box bounds_of(const DrawOp& op);

// The sixteen palette colours as 0xRRGGBB.
enum class Palette { original, projector };

// Beside the palette, for texts only: the text layer of a printed page, text
// for search and copy only; not seen. Where the formula renderer draws a sign
// as strokes it can also write the sign here, so that a PDF's text holds it.
// The PDF and SVG players write such text all but transparent, the others
// draw nothing; palette_rgb takes it for the paper.
inline constexpr int kTextLayerColour = 16;
// Beside the palette, for a QR code: a reader needs dark modules on a light
// ground, so these two are black and white in either palette.
inline constexpr int kCodeDarkColour = 17;
inline constexpr int kCodeLightColour = 18;
unsigned palette_rgb(int colour, Palette palette = Palette::original);

}  // namespace lk
