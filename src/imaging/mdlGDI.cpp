#include "imaging/mdlGDI.h"

#include "imaging/ImageLimits.h"

#include <atomic>

namespace zr::imaging::mdlGDI {

namespace {

std::optional<Picture> platformLoader(std::span<const std::uint8_t> bytes, PictureFormat format) {
    return platform::decodePicture(bytes, format, limits::kLoadBudgetBytes / 2);
}

std::atomic<PictureLoader> installedLoader{&platformLoader};

} // namespace

bool ArrayIsEmpty(std::span<const std::uint8_t> bytes) {
    return bytes.empty();
}

std::int32_t ScanlineBytes(std::uint8_t bitCount, std::int32_t width) {
    if (width < 0) {
        return 0;
    }
    const std::int64_t bits = std::int64_t{bitCount} * width + 31;
    const std::int64_t bytes = (bits & ~std::int64_t{31}) / 8;
    return bytes > INT32_MAX ? 0 : static_cast<std::int32_t>(bytes);
}

std::int32_t SwapLong(std::int32_t value) {
    return static_cast<std::int32_t>(__builtin_bswap32(static_cast<std::uint32_t>(value)));
}

void SetPictureLoader(PictureLoader loader) {
    installedLoader.store(loader == nullptr ? &platformLoader : loader);
}

std::optional<PictureFormat> PictureFormatOf(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return PictureFormat::Bmp;
    }
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return PictureFormat::Jpeg;
    }
    return std::nullopt;
}

std::optional<Picture> PictureFromBytes(std::span<const std::uint8_t> bytes) {
    const PictureLoader loader = installedLoader.load();
    const auto format = PictureFormatOf(bytes);
    if (!format) {
        return std::nullopt;
    }
    return loader(bytes, *format);
}

} // namespace zr::imaging::mdlGDI
