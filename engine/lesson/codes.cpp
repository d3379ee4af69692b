// A QR code drawn as boxes through the canvas, so that it is in the trace,
// the pictures and a printed page like everything else the program draws.
#include "codes.h"

namespace lk {

float qr_side(const QrCode& code, float module) {
    return static_cast<float>(code.size + 2 * kQrQuietZone) * module;
}

void draw_qr(Painter& p, float x, float y, float module, const QrCode& code) {
    const float side = qr_side(code, module);
    const int pen = p.get_pen_width();
    // A box's border is drawn in the pen's width around its edge: every box
    // is set in by half of it, so that each module covers its own square.
    const float in = static_cast<float>(pen) / 2;
    p.fill_box(x + in, y + in, x + side - in, y + side - in, Coords::absolute, kCodeLightColour,
               kCodeLightColour);
    const float left = x + kQrQuietZone * module, top = y + kQrQuietZone * module;
    // One box for each run of dark modules along a row.
    for (int row = 0; row < code.size; ++row) {
        for (int col = 0; col < code.size;) {
            if (!code.at(col, row)) {
                ++col;
                continue;
            }
            int end = col;
            while (end < code.size && code.at(end, row)) ++end;
            p.fill_box(left + col * module + in, top + row * module + in, left + end * module - in,
                       top + (row + 1) * module - in, Coords::absolute, kCodeDarkColour, kCodeDarkColour);
            col = end;
        }
    }
}

}  // namespace lk
