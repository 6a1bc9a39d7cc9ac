#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// A format reader: returns true as soon as it recognises `data` as its format, whether or not
// decoding then succeeds (success shows as an image in `surface`); false lets the next reader
// try. Only the icon reader uses the requested icon size.
using ImageReader = bool (*)(std::span<const std::uint8_t> data, c32bppDIB& surface,
                             std::int32_t iconCx, std::int32_t iconCy);

// The readers in the order the loader tries them.
std::span<const ImageReader> imageReaders();

} // namespace zr::imaging
