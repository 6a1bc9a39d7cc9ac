#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zr::imaging {

// One colour channel of 16- or 32-bit pixels described by a bit mask (BMP and icon bitmaps
// with bit fields). A mask of 0 names no channel.
struct ChannelField {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    unsigned bits = 0;

    // The channel of `pixel` as 8 bits: a narrower value repeats its bits (a full 5-bit or
    // 1-bit value is 255, like a full 8-bit one), a wider one keeps its top 8 bits.
    std::uint8_t value(std::uint32_t pixel) const {
        if (bits == 0) {
            return 0;
        }
        const std::uint32_t raw = (pixel & mask) >> shift;
        if (bits >= 8) {
            return static_cast<std::uint8_t>(raw >> (bits - 8));
        }
        std::uint32_t repeated = raw;
        unsigned filled = bits;
        while (filled < 8) {
            repeated = repeated << bits | raw;
            filled += bits;
        }
        return static_cast<std::uint8_t>(repeated >> (filled - 8));
    }
};

struct BitFields {
    ChannelField red;
    ChannelField green;
    ChannelField blue;
    ChannelField alpha;

    bool hasAlpha() const { return alpha.mask != 0; }
};

// The channels of these masks, or nothing when a mask is not one run of bits, reaches past
// `bitCount` (16 or 32) or overlaps another, or no colour channel is named.
std::optional<BitFields> makeBitFields(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                                       std::uint32_t alpha, std::uint16_t bitCount);

// Unpacks `count` little-endian pixels of bitCount / 8 bytes into straight B, G, R, A; alpha
// is 255 where the fields name no alpha channel.
void unpackBitFields(const std::uint8_t* in, std::uint8_t* out, std::size_t count,
                     const BitFields& fields, std::uint16_t bitCount);

} // namespace zr::imaging
