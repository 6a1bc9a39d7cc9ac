#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// Decodes a bitmap icon or cursor image (information header, colour table, colour rows, AND
// mask rows, all bottom-up) into the surface. Depths 1, 4, 8, 16 and 24 go through the AND
// mask (a set bit is a transparent pixel, image kind 3 / 5); depth 32 through its own alpha
// (kind 8 / 12), or through the mask when every alpha byte is 0. `bitCount` is the depth the
// directory settled on. False, surface empty, on anything that does not fit.
bool decodeIcoBitmap(std::span<const std::uint8_t> image, std::uint16_t bitCount, bool cursor,
                     c32bppDIB& surface);

} // namespace zr::imaging
