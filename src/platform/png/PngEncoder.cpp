#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

namespace zr::platform {

bool encodePng(std::int32_t width, std::int32_t height,
               const std::uint8_t* topDownPremultipliedBgra, bool hasAlpha,
               std::vector<std::uint8_t>& out) {
    out.clear();
    if (width < 1 || height < 1 || topDownPremultipliedBgra == nullptr) {
        return false;
    }
    // On little-endian machines Qt's 32-bit formats hold exactly B, G, R, A in memory, so the
    // pixels are wrapped, not converted. The wrapper never outlives this call.
    const QImage wrapped(topDownPremultipliedBgra, width, height, static_cast<qsizetype>(width) * 4,
                         hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (wrapped.isNull()) {
        return false;
    }
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return false;
    }
    QImageWriter writer(&buffer, "png");
    if (!writer.write(wrapped)) {
        return false;
    }
    out.assign(encoded.begin(), encoded.end());
    return true;
}

} // namespace zr::platform
