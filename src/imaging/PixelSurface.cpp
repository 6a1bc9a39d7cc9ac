#include "imaging/PixelSurface.h"

#include "imaging/ImageLimits.h"

namespace zr::imaging {

PixelSurface::PixelSurface(std::int32_t width, std::int32_t height) {
    const auto byteCount = limits::surfaceBytes(width, height);
    if (!byteCount) {
        return;
    }
    width_ = width;
    height_ = height;
    bytes_.assign(*byteCount, 0);
}

void PixelSurface::fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red,
                        std::uint8_t alpha) {
    for (std::size_t i = 0; i + 3 < bytes_.size(); i += 4) {
        bytes_[i] = blue;
        bytes_[i + 1] = green;
        bytes_[i + 2] = red;
        bytes_[i + 3] = alpha;
    }
}

} // namespace zr::imaging
