#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zr::imaging {

class c32bppDIB;
struct IcoEntry;

// The size of a bitmap icon or cursor image as its own information header gives it (the
// header's height counts the colour rows and the mask rows together), or nothing when the
// image cannot be drawn: an unknown depth or compression, colour rows (and, for an image
// without its own alpha, mask rows) not all inside the data, or a surface beyond the load
// budget. `bitCount` is the depth the directory settled on.
struct IcoBitmapSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
std::optional<IcoBitmapSize> measureIcoBitmap(std::span<const std::uint8_t> image,
                                              std::uint16_t bitCount);

// Decodes a bitmap icon or cursor image (information header, colour table or bit-field masks,
// colour rows, AND mask rows, all bottom-up) into a surface of its own size. Depths 1, 4, 8,
// 16 and 24, and 32-bit bit fields without an alpha mask, go through the AND mask (a set bit
// is a transparent pixel, image kind 3 / 5); other 32-bit images through their own alpha
// (kind 8 / 12), the mask unread. False, surface empty, on anything that does not fit.
bool decodeIcoBitmap(std::span<const std::uint8_t> image, const IcoEntry& entry, bool cursor,
                     c32bppDIB& surface);

} // namespace zr::imaging
