#include "imaging/BitFields.h"

#include <bit>

namespace zr::imaging {

namespace {

std::optional<ChannelField> channel(std::uint32_t mask, std::uint16_t bitCount) {
    if (mask == 0) {
        return ChannelField{};
    }
    const auto shift = static_cast<unsigned>(std::countr_zero(mask));
    const std::uint32_t run = mask >> shift;
    const bool contiguous = (run & (run + 1)) == 0;
    const bool insidePixel = bitCount == 32 || (mask >> bitCount) == 0;
    if (!contiguous || !insidePixel) {
        return std::nullopt;
    }
    return ChannelField{mask, shift, static_cast<unsigned>(std::popcount(run))};
}

} // namespace

std::optional<BitFields> makeBitFields(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                                       std::uint32_t alpha, std::uint16_t bitCount) {
    if (bitCount != 16 && bitCount != 32) {
        return std::nullopt;
    }
    const auto r = channel(red, bitCount);
    const auto g = channel(green, bitCount);
    const auto b = channel(blue, bitCount);
    const auto a = channel(alpha, bitCount);
    const bool overlap = (red & green) != 0 || (red & blue) != 0 || (green & blue) != 0 ||
                         ((red | green | blue) & alpha) != 0;
    if (!r || !g || !b || !a || overlap || (red | green | blue) == 0) {
        return std::nullopt;
    }
    return BitFields{*r, *g, *b, *a};
}

void unpackBitFields(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                     const BitFields& fields, std::uint16_t bitCount) {
    const std::size_t step = bitCount / 8U;
    for (std::size_t i = 0; i < count; ++i, in += step, out += 4) {
        std::uint32_t pixel = static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1])
                                                                      << 8;
        if (step == 4) {
            pixel |= static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3])
                                                                   << 24;
        }
        out[0] = fields.blue.value(pixel);
        out[1] = fields.green.value(pixel);
        out[2] = fields.red.value(pixel);
        out[3] = fields.hasAlpha() ? fields.alpha.value(pixel) : 255;
    }
}

} // namespace zr::imaging
