#pragma once
// QR codes, made by a maintained encoder: on the desktop the C++ library of
// the distribution (qrcodegen), in the page the same library's JavaScript
// edition, handed to the program through one call (qr_web.cpp). Both are
// asked for the same thing, so that one record gives one picture everywhere:
// the bytes as one byte-mode segment, error correction level M, the smallest
// version from 1 to kQrMaxVersion that holds them, the level never raised,
// the mask the encoder chooses by its penalty rule.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lk {

// Version 10 at level M holds 213 bytes: a code that a tablet's camera still
// reads from across a desk.
inline constexpr int kQrMaxVersion = 10;
inline constexpr int kQrMaxBytes = 213;
// The light margin every reader needs around the modules, in modules.
inline constexpr int kQrQuietZone = 4;

struct QrCode {
    int size = 0;                      // modules per side
    std::vector<std::uint8_t> dark;    // size × size, row by row: 1 dark, 0 light
    bool at(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)] != 0; }
};

// The code of the bytes, or nothing when they do not fit kQrMaxVersion.
std::optional<QrCode> encode_qr(std::span<const std::uint8_t> bytes);

}  // namespace lk
