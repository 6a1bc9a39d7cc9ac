#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;
struct IcoEntry;

// Decodes a bitmap icon or cursor image (information header, colour table, colour rows, AND
// mask rows, all bottom-up) into a surface of the entry's size. Depths 1, 4, 8, 16 and 24 go
// through the AND mask (a set bit is a transparent pixel, image kind 3 / 5); depth 32 through
// its own alpha (kind 8 / 12), the mask unread. The entry's bit count is the depth the directory
// settled on. False, surface empty, on a header whose size is not the entry's or on anything
// that does not fit.
bool decodeIcoBitmap(std::span<const std::uint8_t> image, const IcoEntry& entry, bool cursor,
                     c32bppDIB& surface);

} // namespace zr::imaging
