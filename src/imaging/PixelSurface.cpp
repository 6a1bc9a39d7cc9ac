#include "imaging/PixelSurface.h"

#include "imaging/CheckedMath.h"
#include "imaging/ImageLimits.h"

namespace zr::imaging {

PixelSurface::PixelSurface(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > limits::kMaxSurfaceDimension ||
        height > limits::kMaxSurfaceDimension) {
        return;
    }
    const auto byteCount = surfaceByteCount(width, height);
    if (!byteCount || static_cast<std::size_t>(*byteCount) > limits::kMaxSurfaceBytes) {
        return;
    }
    width_ = width;
    height_ = height;
    bytes_.assign(static_cast<std::size_t>(*byteCount), 0);
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
