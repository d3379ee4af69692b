// The page's encoder, through qr_page.js.
#include "qr.h"

extern "C" int lk_qr_encode(const std::uint8_t* bytes, int length, int max_version, std::uint8_t* out);

namespace lk {

namespace {
// Version 10 is 57 modules a side.
constexpr int kMaxSide = 17 + 4 * kQrMaxVersion;
}  // namespace

std::optional<QrCode> encode_qr(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(kQrMaxBytes)) return std::nullopt;
    QrCode out;
    out.dark.resize(static_cast<std::size_t>(kMaxSide * kMaxSide));
    out.size = lk_qr_encode(bytes.data(), static_cast<int>(bytes.size()), kQrMaxVersion, out.dark.data());
    if (out.size <= 0 || out.size > kMaxSide) return std::nullopt;
    out.dark.resize(static_cast<std::size_t>(out.size * out.size));
    return out;
}

}  // namespace lk
