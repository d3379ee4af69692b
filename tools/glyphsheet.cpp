// glyphsheet: draws one line of every glyph kind of the formula renderer on
// ruled lines, so that baselines and advances can be checked by eye.
//   glyphsheet OUT.png [SCALE]
#include <cstdlib>
#include <string>

#include "engine/lesson/engine.h"
#include "engine/present/cairo/cairo_player.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    double scale = argc > 2 ? std::atof(argv[2]) : 1;
    lk::Painter painter;
    lk::Engine e(painter);
    painter.set_font_face("ｺﾞｼｯｸ");
    painter.set_font_size(16);
    painter.set_pen_width(3);
    const char* lines[] = {
        "ﾀx/120ﾀ=ﾀ2/3ﾀ", "x=ﾀ146/8ﾀ",      "=18ﾀ1/4ﾀ",       "#ﾀ1/2ﾀ+1ﾝ",
        "10*9=90",       "a:b=m:n ならば an=bm", "3x-5=+7c 1.5% 6/2@1",
        "!2ﾝ+1 x^2 \\3 &＃ l=5ﾝ", "交代の時間をx分間とする。",
    };
    float y = 40;
    for (const char* line : lines) {
        // Guide lines: the line's top and the 50-unit pitch.
        painter.set_pen_width(1);
        painter.draw_line(20, y, 1340, y, lk::Coords::absolute, 11);
        painter.draw_line(20, y + 42, 1340, y + 42, lk::Coords::absolute, 14);
        painter.set_pen_width(3);
        e.text = line;
        e.text_x = 40;
        e.text_y = y;
        e.text_colour = 0;
        e.draw_rich_text();
        y += 78;
    }
    return lk::write_png(painter.canvas(), argv[1], scale) ? 0 : 1;
}
