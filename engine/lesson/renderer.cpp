// The formula text renderer: rich text (large Gothic glyphs, italic letters,
// operators as strokes, stacked fractions, radicals) and the plain text of
// prompts and menus.
#include <string>

#include "../present/strings.h"
#include "engine.h"

namespace lk {

namespace {

const char* const kGothic = "ゴシック";

bool contains(const std::string& s, const char* t) { return s.find(t) != std::string::npos; }

}  // namespace

void Engine::draw_rich_text() {
    if (on_rich_text && !text.empty() && text_y < measure_y()) on_rich_text(text, text_x, text_y, text_colour);
    saved_pen_width = pen();
    for (;;) {
        if (text.empty()) {
            set_pen(saved_pen_width);
            return;
        }
        std::string c = text.substr(0, char_size_at(text, 0));
        int length = char_length(text);
        text = text.substr(c.size());

        if (c == "ﾀ") {
            int n = char_find(1, text, "ﾀ");
            // An opening bar without a closing one is dropped; the rest is
            // drawn as ordinary text.
            if (n == 0) continue;
            run_text = char_left(text, n - 1);
            std::string remainder = char_right(text, length - n - 1);
            draw_fraction();
            text = remainder;
            continue;
        }
        if (c == "#") {
            float x = text_x, y = text_y;
            set_pen(3);
            p.draw_polyline({{x + 4, y + 36}, {x + 8, y + 24}, {x + 16, y + 60}, {x + 30, y - 14},
                             {x + 38, y - 14}},
                            colour(text_colour));
            radical_mode = 22;
            set_pen(saved_pen_width);
            text_x += 32;
            radical_start_x = text_x;
            continue;
        }
        if (c == "^") {
            superscript_pending = 1;
            continue;
        }
        run_text = c;
        draw_glyph_run();
    }
}

void Engine::draw_fraction() {
    float fx = text_x, fy = text_y;
    std::string body = run_text;
    bool body_has_radical = contains(body, "!") || contains(body, "√");

    // A body without "/" has no numerator: the whole body is drawn as the
    // denominator under an empty numerator, so nothing typed is lost.
    std::string numerator, denominator;
    int slash = char_find(1, body, "/");
    if (slash == 0) {
        denominator = body;
    } else {
        numerator = char_left(body, slash - 1);
        denominator = char_right(body, char_length(body) - slash);
    }

    in_fraction = 1;
    run_text = numerator;
    measure_rich_text();
    float numerator_width = measured_width;
    in_fraction = 1;
    run_text = denominator;
    measure_rich_text();
    float denominator_width = measured_width;
    float w = numerator_width > denominator_width ? numerator_width : denominator_width;
    float numerator_offset = (w - numerator_width) / 2;
    float denominator_offset = (w - denominator_width) / 2;

    set_pen(4);
    p.draw_line(fx, fy + 25, fx + w, fy + 25, Coords::absolute, colour(text_colour));
    set_pen(saved_pen_width);
    if (radical_mode == 22) {
        set_pen(3);
        p.draw_line(fx, fy - 14, fx + w, fy - 14, Coords::absolute, colour(text_colour));
        set_pen(saved_pen_width);
    }

    float denominator_top = (contains(denominator, "√") || contains(denominator, "^")) ? fy + 36
                                                                                       : fy + 28;
    if (body_has_radical) denominator_top += 8;

    text_x = fx + denominator_offset;
    text_y = denominator_top;
    in_fraction = 1;
    run_text = denominator;
    draw_glyph_run();

    text_x = fx + numerator_offset;
    text_y = fy - 10;
    in_fraction = 1;
    run_text = numerator;
    draw_glyph_run();

    in_fraction = 0;
    text_x = fx + w;
    text_y = fy;
}

void Engine::draw_glyph_run() {
    float gx = text_x, gy = text_y;
    saved_pen_width = pen();
    p.set_font_face(kGothic);
    p.set_font_size(16);
    p.set_font_bold(true);
    const int ink = colour(text_colour);

    auto face_back = [&] {
        p.set_font_face(kGothic);
        p.set_font_size(16);
        p.set_font_italic(false);
    };
    auto glyph = [&](float x, float y, const std::string& s, int h, int v) {
        p.draw_text(x, y, s, h, v, ink);
    };
    auto line = [&](float x1, float y1, float x2, float y2) {
        p.draw_line(x1, y1, x2, y2, Coords::absolute, ink);
    };
    // A sign drawn as strokes, written in the text layer where a digit of
    // the same place would stand.
    auto sign = [&](const std::string& s, int h, int v) {
        if (sign_text) p.draw_text(gx, gy, s, h, v, kTextLayerColour);
    };

    for (std::string c : split_chars(run_text)) {
        if (c == "%") c = "°";
        else if (c == "*") c = "×";
        else if (c == "/") c = "÷";
        else if (c == "@") c = "±";
        else if (c == "!") c = "√";
        const bool fraction = in_fraction == 1;

        if (c == "^") {
            superscript_pending = 1;
            continue;
        }
        if (c == "\\") {
            raised_pending = 1;
            continue;
        }
        if (c == "ﾝ") {
            radical_mode = 0;
            continue;
        }
        if (c == "√" && fraction) {
            set_pen(3);
            p.draw_polyline({{gx + 4, gy + 24}, {gx + 8, gy + 13}, {gx + 16, gy + 29},
                             {gx + 24, gy - 6}, {gx + 26, gy - 6}},
                            ink);
            radical_mode = 11;
            set_pen(3);
            gx += 26;
            radical_start_x = gx;
            continue;
        }
        if (c == "√") {
            set_pen(3);
            p.draw_polyline({{gx + 4, gy + 36}, {gx + 8, gy + 24}, {gx + 16, gy + 40},
                             {gx + 24, gy - 4}, {gx + 32, gy - 4}},
                            ink);
            radical_mode = 1;
            set_pen(3);
            gx += 28;
            radical_start_x = gx;
            continue;
        }
        if (c == "&") {
            set_pen(5);
            p.draw_polyline({{gx + 4, gy + 40}, {gx + 25, gy + 40}, {gx + 32, gy + 8},
                             {gx + 11, gy + 8}, {gx + 4, gy + 40}},
                            ink);
            set_pen(3);
            gx += 36;
            radical_start_x = gx;
            continue;
        }
        if (c == "＃") {
            set_pen(5);
            p.draw_polyline({{gx + 10, gy + 8}, {gx + 4, gy + 36}, {gx + 26, gy + 36},
                             {gx + 32, gy + 8}, {gx + 10, gy + 8}},
                            ink);
            set_pen(3);
            gx += 36;
            radical_start_x = gx;
            continue;
        }

        if (c == ".") {
            glyph(gx - 3, gy + 14, c, 3, 2);
            gx += 8;
        } else if (c == "'" || c == "°") {
            glyph(gx, gy, c, 3, 3);
            gx += 12;
        } else if (c == "=" && page_equals) {
            // Centred between a sign's stroke (22 below the top) and a
            // fraction's bar (25), the same in a fraction as beside one.
            constexpr float kAxis = 24, kHalfGap = 5, kSpace = 10, kLength = 22;
            sign(c, 3, 3);
            set_pen(5);
            line(gx + kSpace, gy + kAxis - kHalfGap, gx + kSpace + kLength, gy + kAxis - kHalfGap);
            line(gx + kSpace, gy + kAxis + kHalfGap, gx + kSpace + kLength, gy + kAxis + kHalfGap);
            set_pen(3);
            gx += kLength + 2 * kSpace;
        } else if (c == "=") {
            p.set_font_size(14);
            p.set_font_bold(true);
            glyph(gx + 4, gy, c, 3, 3);
            p.set_font_size(16);
            gx += 32;
        } else if (raised_pending == 1) {
            p.set_font_size(8);
            glyph(gx, gy - 10, c, 6, 3);
            p.set_font_size(16);
            raised_pending = 0;
            gx += 24;
        } else if (superscript_pending == 1 && fraction) {
            p.set_font_size(8);
            glyph(gx, gy - 4, c, 6, 3);
            p.set_font_size(16);
            superscript_pending = 0;
            gx += 24;
        } else if (superscript_pending == 1) {
            glyph(gx, gy, c, 3, 2);
            superscript_pending = 0;
            gx += 24;
        } else if ((c == "a" || c == "x" || c == "c") && fraction) {
            p.set_font_face("Times New Roman");
            p.set_font_size(8);
            p.set_font_italic(true);
            glyph(gx + 4, gy - 16, c, 12, 5);
            face_back();
            gx += 32;
        } else if (c == "a" || c == "x" || c == "c") {
            p.set_font_face("Times New Roman");
            p.set_font_size(8);
            p.set_font_italic(true);
            glyph(gx + 4, gy - 22, c, 10, 7);
            face_back();
            gx += 27;
        } else if (c == "l") {
            p.set_font_face("MT Extra");
            p.set_font_size(16);
            p.set_font_bold(true);
            glyph(gx, gy, c, 6, 3);
            face_back();
            p.set_font_bold(false);
            gx += 32;
        } else if (c == "-" && fraction) {
            sign(c, 4, 2);
            set_pen(5);
            line(gx + 6, gy + 14, gx + 26, gy + 14);
            set_pen(3);
            gx += 32;
        } else if (c == "+" && fraction) {
            sign(c, 4, 2);
            set_pen(5);
            line(gx + 6, gy + 14, gx + 26, gy + 14);
            line(gx + 16, gy + 4, gx + 16, gy + 24);
            set_pen(3);
            gx += 32;
        } else if (c == "-") {
            sign(c, 3, 3);
            set_pen(5);
            line(gx + 4, gy + 20, gx + 23, gy + 20);
            set_pen(3);
            gx += 27;
        } else if (c == "+") {
            sign(c, 3, 3);
            set_pen(5);
            line(gx + 4, gy + 22, gx + 23, gy + 22);
            line(gx + 13, gy + 10, gx + 13, gy + 34);
            set_pen(3);
            gx += 27;
        } else if ((c == "×" || c == "÷" || c == "±") && !fraction) {
            glyph(gx - 4, gy, c, 2, 3);
            gx += 27;
        } else if (c == " ") {
            gx += 27;
        } else if (is_double_byte(c) && fraction) {
            p.set_font_size(11);
            glyph(gx, gy, c, 3, 3);
            p.set_font_size(16);
            gx += 38;
        } else if (is_double_byte(c)) {
            glyph(gx, gy, c, 2, 3);
            gx += 34;
        } else if (fraction) {
            glyph(gx, gy, c, 4, 2);
            gx += 32;
        } else {
            glyph(gx, gy, c, 3, 3);
            gx += 27;
        }

        // The overline of an open radical grows to the end of every glyph.
        if (radical_mode == 1) {
            set_pen(3);
            line(radical_start_x, gy - 4, gx, gy - 4);
        } else if (radical_mode == 11) {
            set_pen(3);
            line(radical_start_x, gy - 6, gx, gy - 6);
        } else if (radical_mode == 22 && in_fraction != 1) {
            set_pen(3);
            line(radical_start_x, gy - 14, gx, gy - 14);
        } else {
            radical_start_x = gx;
        }
    }
    text_x = gx;
    text_y = gy;
    p.set_font_bold(false);
    set_pen(saved_pen_width);
}

void Engine::measure_rich_text() {
    float keep_x = text_x, keep_y = text_y;
    std::string keep_run = run_text;
    text_x = 0;
    text_y = measure_y();
    text = run_text;
    draw_rich_text();
    measured_width = text_x;
    text_x = keep_x;
    text_y = keep_y;
    run_text = keep_run;
}

void Engine::draw_plain_text() {
    while (!text.empty()) {
        run_text = text.substr(0, char_size_at(text, 0));
        text.erase(0, run_text.size());
        if (run_text == "^") {
            superscript_pending = 1;
        } else {
            draw_plain_run();
            text_x = plain_end_x;
        }
    }
}

void Engine::draw_plain_run() {
    strip_spaces();
    float x = text_x;
    p.set_font_bold(true);
    for (std::string c : split_chars(run_text)) {
        if (c == "^") {
            superscript_pending = 1;
            continue;
        }
        if (superscript_pending != 1) {
            plain_char = c;
            to_fullwidth_char();
            c = plain_char;
        } else {
            superscript_pending = 0;
        }
        float raise = is_double_byte(c) ? 0 : 4;
        if (c == "．") x -= 4;
        p.draw_text(x, text_y - raise, c, 1, 1, colour(text_colour));
        if (c == "．") x -= 12;
        x += 16;
    }
    plain_end_x = x;
}

void Engine::to_fullwidth_char() {
    static const std::string capital_keys = " XYABCDEFGHIJKLMNOPQRSTUVWZ";
    static const std::string capital_values =
        "　ＸＹΑＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＺ";
    static const std::string other_keys =
        " 0123456789 */+-ﾀ=.?()!$@&'[]<>,%xyabcdefghijklmnopqrstuvw~:";
    static const std::string other_values =
        "　０１２３４５６７８９　×÷＋－―＝．∽（）√≡±π∠≦≧＜＞，°χｙａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗ△：";
    int n = char_find(1, capital_keys, plain_char);
    if (n > 0 && char_length(plain_char) == 1) plain_char = char_mid(capital_values, n, 1);
    n = char_find(1, other_keys, plain_char);
    if (n > 0 && char_length(plain_char) == 1) plain_char = char_mid(other_values, n, 1);
}

void Engine::strip_spaces() {
    std::string out;
    for (char c : run_text)
        if (c != ' ') out += c;
    run_text = out;
}

void Engine::strip_markup() {
    for (const char* mark : {"^", "ﾝ", "ﾀ", "="}) {
        size_t at;
        while ((at = run_text.find(mark)) != std::string::npos)
            run_text.erase(at, std::char_traits<char>::length(mark));
    }
}

void Engine::strip_leading_plus() {
    if (!run_text.empty() && run_text.front() == '+') run_text.erase(0, 1);
}

}  // namespace lk
