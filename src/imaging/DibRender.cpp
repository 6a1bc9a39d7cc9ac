#include "imaging/c32bppDIB.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <new>

namespace zr::imaging {

namespace {

// The source pixels one destination column (or row) is made of, with their weights.
struct AxisTaps {
    std::int32_t first = 0;
    std::vector<double> weights;
};

// Destination index `index` of `destLength` covers the source interval
// [index × scale, (index + 1) × scale). Shrinking averages every source pixel by its overlap
// (a box filter, so no source pixel is skipped); enlarging interpolates linearly between the
// two nearest source pixel centres. Equal lengths give exactly one tap of weight 1.
AxisTaps tapsFor(std::int64_t index, std::int32_t sourceLength, std::int32_t destLength) {
    AxisTaps taps;
    if (sourceLength == destLength) {
        taps.first = static_cast<std::int32_t>(index);
        taps.weights = {1.0};
        return taps;
    }
    const double scale = static_cast<double>(sourceLength) / destLength;
    if (scale > 1.0) {
        const double begin = static_cast<double>(index) * scale;
        const double end = begin + scale;
        const auto first = static_cast<std::int32_t>(std::floor(begin));
        const auto last = std::min(static_cast<std::int32_t>(std::ceil(end)), sourceLength);
        taps.first = first;
        for (std::int32_t source = first; source < last; ++source) {
            const double overlap =
                std::min<double>(end, source + 1) - std::max<double>(begin, source);
            taps.weights.push_back(overlap / scale);
        }
        return taps;
    }
    const double centre = (static_cast<double>(index) + 0.5) * scale - 0.5;
    const double clamped = std::clamp(centre, 0.0, static_cast<double>(sourceLength - 1));
    const auto first = static_cast<std::int32_t>(std::floor(clamped));
    const double fraction = clamped - first;
    taps.first = first;
    taps.weights = {1.0 - fraction};
    if (first + 1 < sourceLength) {
        taps.weights.push_back(fraction);
    }
    return taps;
}

using Pixel = std::array<std::uint8_t, 4>;

class Sampler {
  public:
    Sampler(std::span<const std::uint8_t> bits, std::int32_t width, std::int32_t height)
        : bits_(bits), width_(width), height_(height) {}

    // Pixel (x, y) counted from the top-left of the picture; the memory is bottom-up.
    const std::uint8_t* at(std::int32_t x, std::int32_t y) const {
        const auto row = static_cast<std::size_t>(height_ - 1 - y);
        return bits_.data() + (row * static_cast<std::size_t>(width_) + x) * 4;
    }

    Pixel sample(const AxisTaps& columns, const AxisTaps& rows) const {
        std::array<double, 4> sum{};
        for (std::size_t j = 0; j < rows.weights.size(); ++j) {
            for (std::size_t i = 0; i < columns.weights.size(); ++i) {
                const double weight = rows.weights[j] * columns.weights[i];
                const std::uint8_t* source = at(columns.first + static_cast<std::int32_t>(i),
                                                rows.first + static_cast<std::int32_t>(j));
                for (std::size_t c = 0; c < 4; ++c) {
                    sum[c] += weight * source[c];
                }
            }
        }
        Pixel result{};
        for (std::size_t c = 0; c < 4; ++c) {
            result[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c]), 0L, 255L));
        }
        return result;
    }

  private:
    std::span<const std::uint8_t> bits_;
    std::int32_t width_;
    std::int32_t height_;
};

std::uint8_t clampByte(std::uint32_t value) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(value, 255));
}

// d = s × k/255 + d × (1 − a × k / 255²), rounded to nearest.
void blendWithPixelAlpha(std::uint8_t* dest, const Pixel& source, std::uint32_t k) {
    const std::uint32_t keep = 255u * 255u - source[3] * k;
    for (std::size_t c = 0; c < 4; ++c) {
        const std::uint32_t numerator = source[c] * k * 255u + dest[c] * keep;
        dest[c] = clampByte((numerator + 255u * 255u / 2) / (255u * 255u));
    }
}

// d = s × k/255 + d × (1 − k/255), rounded to nearest. The image has no meaningful alpha, so
// it counts as opaque.
void blendConstant(std::uint8_t* dest, Pixel source, std::uint32_t k) {
    source[3] = 255;
    for (std::size_t c = 0; c < 4; ++c) {
        const std::uint32_t numerator = source[c] * k + dest[c] * (255u - k);
        dest[c] = clampByte((numerator + 127u) / 255u);
    }
}

} // namespace

bool c32bppDIB::Render(PixelSurface* destination, std::int32_t X, std::int32_t Y,
                       std::int32_t& destWidth, std::int32_t destHeight,
                       std::int32_t Opacity) const {
    if (!hasImage() || destination == nullptr || destination->isEmpty()) {
        return false;
    }
    if (Opacity == 0) {
        return true;
    }
    std::int64_t percent = std::llabs(static_cast<std::int64_t>(Opacity)) % 100;
    if (percent == 0) {
        percent = 100;
    }
    if (destWidth < 1) {
        destWidth = width_;
    }
    if (destHeight < 1) {
        destHeight = height_;
    }
    const auto k =
        static_cast<std::uint32_t>(std::nearbyint(static_cast<double>(percent) / 100.0 * 255.0));

    const std::int64_t left = std::max<std::int64_t>(X, 0);
    const std::int64_t top = std::max<std::int64_t>(Y, 0);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t{X} + destWidth, destination->width());
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{Y} + destHeight, destination->height());
    if (left >= right || top >= bottom) {
        return true;
    }
    try {
        std::vector<AxisTaps> columnTaps;
        columnTaps.reserve(static_cast<std::size_t>(right - left));
        for (std::int64_t x = left; x < right; ++x) {
            columnTaps.push_back(tapsFor(x - X, width_, destWidth));
        }
        const Sampler sampler(bits_, width_, height_);
        for (std::int64_t y = top; y < bottom; ++y) {
            const AxisTaps rowTaps = tapsFor(y - Y, height_, destHeight);
            std::uint8_t* dest = destination->row(static_cast<std::int32_t>(y)).data() + left * 4;
            for (const AxisTaps& columns : columnTaps) {
                const Pixel source = sampler.sample(columns, rowTaps);
                if (alpha_) {
                    blendWithPixelAlpha(dest, source, k);
                } else {
                    blendConstant(dest, source, k);
                }
                dest += 4;
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace zr::imaging
