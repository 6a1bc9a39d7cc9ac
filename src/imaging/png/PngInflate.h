#pragma once

#include "imaging/png/PngError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zr::imaging {

class ZlibRuntime;

// Inflates the IDAT pieces into exactly `output`: through zlib's uncompress when `zlib` is
// given and has it, falling back to the own inflater when zlib is absent or fails. Anything
// other than exactly output.size() bytes is a failure. A single piece is inflated in place;
// several are first joined.
PngError inflateImageData(const std::vector<std::span<const std::uint8_t>>& pieces,
                          std::size_t totalBytes, std::span<std::uint8_t> output,
                          const ZlibRuntime* zlib);

} // namespace zr::imaging
