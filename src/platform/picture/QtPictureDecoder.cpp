#include "platform/picture/PictureDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <algorithm>
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

// The depth of the pixel data in the file: a BMP's bit count field (in an OS/2 header or a
// Windows one), 8 or 24 for a JPEG. A 32-bit file whose fourth byte the decoder found to carry
// nothing (no alpha mask) counts as 24: there is no alpha to classify.
std::int32_t sourceBitsOf(std::span<const std::uint8_t> bytes, PictureFormat format,
                          const QImage& image) {
    if (format == PictureFormat::Jpeg) {
        return image.format() == QImage::Format_Grayscale8 ? 8 : 24;
    }
    if (!image.hasAlphaChannel()) {
        return 24;
    }
    const std::size_t field = bytes.size() > 14 && bytes[14] == 12 ? 24 : 28;
    return bytes.size() > field + 1 ? bytes[field] | bytes[field + 1] << 8 : 0;
}

} // namespace

std::optional<DecodedPicture> decodePicture(std::span<const std::uint8_t> bytes,
                                            PictureFormat format, std::size_t maxPixelBytes) {
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
        // Only the named format's handler runs: no other installed plug-in is consulted.
        QImageReader reader(&buffer, format == PictureFormat::Bmp ? "bmp" : "jpeg");
        reader.setAutoDetectImageFormat(false);
        reader.setDecideFormatFromContent(false);
        // Bounds what the handler allocates even where it declares no size beforehand.
        reader.setAllocationLimit(
            static_cast<int>(std::max<std::size_t>(maxPixelBytes >> 20U, std::size_t{1})));
        const QSize declared = reader.size();
        if (declared.isValid() && !fitsLimit(declared, maxPixelBytes)) {
            return std::nullopt;
        }
        QImage image;
        if (!reader.read(&image) || image.isNull() || !fitsLimit(image.size(), maxPixelBytes)) {
            return std::nullopt;
        }
        DecodedPicture picture;
        picture.sourceBits = sourceBitsOf(bytes, format, image);
        // On little-endian machines ARGB32 is B, G, R, A in memory, and RGB32 the same with
        // alpha 255, so those two are copied as they are; others are converted in place so
        // that two copies of the picture never exist besides the one handed back.
        if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32) {
            image.convertTo(QImage::Format_ARGB32);
        }
        picture.width = image.width();
        picture.height = image.height();
        const auto rowBytes = static_cast<std::size_t>(picture.width) * 4U;
        picture.bgra.resize(rowBytes * static_cast<std::size_t>(picture.height));
        for (int y = 0; y < image.height(); ++y) {
            std::memcpy(picture.bgra.data() + rowBytes * static_cast<std::size_t>(y),
                        image.constScanLine(y), rowBytes);
        }
        return picture;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace zr::platform
