#include "trace.h"

#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lk {

std::string json_string(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string json_number(float f) {
    if (!std::isfinite(f)) return "null";
    if (f == std::floor(f) && std::fabs(f) < 1e9) return std::to_string(static_cast<long long>(f));
    return shortest_text(f);
}

namespace {

std::string num(float f) { return json_number(f); }
std::string num(int i) { return std::to_string(i); }
std::string boolean(bool b) { return b ? "true" : "false"; }

std::string points(const std::vector<Point>& pts) {
    std::string out = "[";
    for (size_t i = 0; i < pts.size(); ++i) {
        if (i) out += ",";
        out += '[';
        out += num(pts[i].x);
        out += ',';
        out += num(pts[i].y);
        out += ']';
    }
    return out + "]";
}

}  // namespace

std::string trace_line(const DrawOp& op) {
    return std::visit(
        [](const auto& o) -> std::string {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, DrawText>) {
                return "{\"op\":\"draw_text\",\"x\":" + num(o.x) + ",\"y\":" + num(o.y) +
                       ",\"text\":" + json_string(o.text) + ",\"h\":" + num(o.h) +
                       ",\"v\":" + num(o.v) + ",\"colour\":" + num(o.colour) +
                       ",\"face\":" + json_string(o.font.face) + ",\"size\":" + num(o.font.size) +
                       ",\"bold\":" + boolean(o.font.bold) + ",\"italic\":" +
                       boolean(o.font.italic) + "}";
            } else if constexpr (std::is_same_v<T, DrawLine>) {
                return "{\"op\":\"draw_line\",\"x1\":" + num(o.x1) + ",\"y1\":" + num(o.y1) +
                       ",\"x2\":" + num(o.x2) + ",\"y2\":" + num(o.y2) +
                       ",\"colour\":" + num(o.colour) + ",\"pen\":" + num(o.pen) + "}";
            } else if constexpr (std::is_same_v<T, FillBox>) {
                return "{\"op\":\"fill_box\",\"x1\":" + num(o.x1) + ",\"y1\":" + num(o.y1) +
                       ",\"x2\":" + num(o.x2) + ",\"y2\":" + num(o.y2) +
                       ",\"colour\":" + num(o.colour) + ",\"fill\":" + num(o.fill) +
                       ",\"pen\":" + num(o.pen) + "}";
            } else if constexpr (std::is_same_v<T, DrawCircle> || std::is_same_v<T, FillCircle>) {
                const char* name = std::is_same_v<T, DrawCircle> ? "draw_circle" : "fill_circle";
                return std::string("{\"op\":\"") + name + "\",\"cx\":" + num(o.cx) +
                       ",\"cy\":" + num(o.cy) + ",\"r\":" + num(o.r) +
                       ",\"colour\":" + num(o.colour) + ",\"pen\":" + num(o.pen) + "}";
            } else if constexpr (std::is_same_v<T, DrawArc>) {
                return "{\"op\":\"draw_arc\",\"cx\":" + num(o.cx) + ",\"cy\":" + num(o.cy) +
                       ",\"r\":" + num(o.r) + ",\"colour\":" + num(o.colour) +
                       ",\"start\":" + num(o.start) + ",\"end\":" + num(o.end) +
                       ",\"pen\":" + num(o.pen) + "}";
            } else if constexpr (std::is_same_v<T, DrawPolyline>) {
                return "{\"op\":\"draw_polyline\",\"points\":" + points(o.points) +
                       ",\"colour\":" + num(o.colour) + ",\"pen\":" + num(o.pen) + "}";
            } else {
                return "{\"op\":\"fill_polygon\",\"points\":" + points(o.points) +
                       ",\"colour\":" + num(o.colour) + ",\"fill\":" + num(o.fill) +
                       ",\"pen\":" + num(o.pen) + "}";
            }
        },
        op);
}

std::string trace_line(const Event& e) {
    return std::visit(
        [](const auto& o) -> std::string {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, SetFontFace>)
                return "{\"op\":\"set_font_face\",\"face\":" + json_string(o.face) + "}";
            else if constexpr (std::is_same_v<T, SetFontSize>)
                return "{\"op\":\"set_font_size\",\"size\":" + num(o.size) + "}";
            else if constexpr (std::is_same_v<T, SetFontBold>)
                return "{\"op\":\"set_font_bold\",\"on\":" + boolean(o.on) + "}";
            else if constexpr (std::is_same_v<T, SetFontItalic>)
                return "{\"op\":\"set_font_italic\",\"on\":" + boolean(o.on) + "}";
            else if constexpr (std::is_same_v<T, SetPenWidth>)
                return "{\"op\":\"set_pen_width\",\"width\":" + num(o.width) + "}";
            else if constexpr (std::is_same_v<T, KeyEvent>)
                return "{\"op\":\"key\",\"key\":" + json_string(o.key) + "}";
            else if constexpr (std::is_same_v<T, DelayEvent>)
                return "{\"op\":\"delay\",\"duration\":" + num(o.duration) + "}";
            else
                return "{\"op\":\"end_program\"}";
        },
        e);
}

}  // namespace lk
