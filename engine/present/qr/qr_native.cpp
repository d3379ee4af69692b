// The desktop's encoder: the distribution's qrcodegen library.
#include <qrcodegen/qrcodegen.hpp>

#include "qr.h"

namespace lk {

std::optional<QrCode> encode_qr(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > static_cast<std::size_t>(kQrMaxBytes)) return std::nullopt;
    using qrcodegen::QrSegment;
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    try {
        const auto code = qrcodegen::QrCode::encodeSegments({QrSegment::makeBytes(data)},
                                                            qrcodegen::QrCode::Ecc::MEDIUM, 1, kQrMaxVersion,
                                                            -1, false);
        QrCode out;
        out.size = code.getSize();
        out.dark.resize(static_cast<std::size_t>(out.size * out.size));
        for (int y = 0; y < out.size; ++y)
            for (int x = 0; x < out.size; ++x)
                out.dark[static_cast<std::size_t>(y * out.size + x)] = code.getModule(x, y) ? 1 : 0;
        return out;
    } catch (const qrcodegen::data_too_long&) {
        return std::nullopt;
    }
}

}  // namespace lk
