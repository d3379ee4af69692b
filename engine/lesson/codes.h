#pragma once
// Drawing a QR code (engine/present/qr/qr.h) through the canvas.
#include "../present/painter.h"
#include "../present/qr/qr.h"

namespace lk {

// The side of the code with its quiet zone, `module` layout units a module.
float qr_side(const QrCode& code, float module);
// The code with its quiet zone, the zone's top-left corner at (x, y): black
// modules on white in either palette.
void draw_qr(Painter& p, float x, float y, float module, const QrCode& code);

}  // namespace lk
