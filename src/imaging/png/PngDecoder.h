#pragma once

#include "imaging/png/PngError.h"

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;
class ZlibRuntime;

// Decodes PNG `data` (signature included) into `surface`: on success the surface holds the
// image with its alpha flag and image kind set; on failure it is empty. `zlib` may be null
// (own inflater, no CRC checks).
PngError decodePng(std::span<const std::uint8_t> data, c32bppDIB& surface, const ZlibRuntime* zlib);

} // namespace zr::imaging
