#include "QtReference.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>

namespace zr::imaging::test {

std::optional<QtImage> qtDecode(const std::vector<std::uint8_t>& bytes, int index) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (index > 0 && !reader.jumpToImage(index)) {
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        return std::nullopt;
    }
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    QtImage result;
    result.premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    result.width = straight.width();
    result.height = straight.height();
    const auto rowBytes = static_cast<std::size_t>(result.width) * 4;
    result.bgra.resize(rowBytes * static_cast<std::size_t>(result.height));
    for (int y = 0; y < result.height; ++y) {
        std::memcpy(result.bgra.data() + rowBytes * static_cast<std::size_t>(y),
                    straight.constScanLine(y), rowBytes);
    }
    return result;
}

void premultiplyStraight(std::uint8_t* bgra) {
    const unsigned alpha = bgra[3];
    for (int c = 0; c < 3; ++c) {
        bgra[c] = static_cast<std::uint8_t>(bgra[c] * alpha / 255U);
    }
}

} // namespace zr::imaging::test
