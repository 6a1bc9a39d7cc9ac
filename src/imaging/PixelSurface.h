#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zr::imaging {

// A toolkit-free destination for c32bppDIB::Render: width × height pixels of premultiplied
// blue, green, red, alpha, rows top-down as on a screen. The widget layer copies it to (or
// wraps it around) whatever its toolkit paints with.
class PixelSurface {
  public:
    PixelSurface() = default;
    // Sizes outside 1 .. limits::kMaxSurfaceDimension, or beyond the load budget, give
    // an empty surface.
    PixelSurface(std::int32_t width, std::int32_t height);

    bool isEmpty() const { return bytes_.empty(); }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 4; }

    std::span<std::uint8_t> row(std::int32_t y) {
        return std::span(bytes_).subspan(static_cast<std::size_t>(y) * stride(), stride());
    }
    std::span<const std::uint8_t> row(std::int32_t y) const {
        return std::span(bytes_).subspan(static_cast<std::size_t>(y) * stride(), stride());
    }
    std::span<std::uint8_t> bytes() { return bytes_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    void fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red, std::uint8_t alpha);

  private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

} // namespace zr::imaging
