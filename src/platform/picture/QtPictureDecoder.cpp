#include "platform/picture/PictureDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <limits>
#include <new>

namespace zr::platform {

namespace {

bool fitsLimit(QSize size, std::size_t maxPixelBytes) {
    if (size.width() < 1 || size.height() < 1) {
        return false;
    }
    const auto bytes =
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) * 4U;
    return bytes <= maxPixelBytes;
}

std::int32_t pictureTypeOf(const QByteArray& format) {
    return format == "ico" || format == "cur" ? PictureType::Icon : PictureType::Bitmap;
}

} // namespace

std::optional<DecodedPicture> decodePicture(std::span<const std::uint8_t> bytes,
                                            std::size_t maxPixelBytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return std::nullopt;
    }
    try {
        // The reader only reads through the buffer, so the caller's bytes are not copied.
        const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<qsizetype>(bytes.size()));
        QBuffer buffer;
        buffer.setData(data);
        if (!buffer.open(QIODevice::ReadOnly)) {
            return std::nullopt;
        }
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        // The declared size is checked before the reader allocates anything for it.
        const QSize declared = reader.size();
        if (declared.isValid() && !fitsLimit(declared, maxPixelBytes)) {
            return std::nullopt;
        }
        const QByteArray format = reader.format();
        QImage image;
        if (!reader.read(&image) || image.isNull() || !fitsLimit(image.size(), maxPixelBytes)) {
            return std::nullopt;
        }
        DecodedPicture picture;
        picture.type = pictureTypeOf(format);
        picture.sourceBits = image.depth();
        // On little-endian machines ARGB32 is B, G, R, A in memory, and RGB32 the same with
        // alpha 255, so those two are copied as they are.
        const bool bgraAlready =
            image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_RGB32;
        const QImage straight = bgraAlready ? image : image.convertToFormat(QImage::Format_ARGB32);
        picture.width = straight.width();
        picture.height = straight.height();
        const auto rowBytes = static_cast<std::size_t>(picture.width) * 4U;
        picture.bgra.resize(rowBytes * static_cast<std::size_t>(picture.height));
        for (int y = 0; y < straight.height(); ++y) {
            std::memcpy(picture.bgra.data() + rowBytes * static_cast<std::size_t>(y),
                        straight.constScanLine(y), rowBytes);
        }
        return picture;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace zr::platform
