#pragma once

#include "imaging/png/PngError.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zr::imaging {

class ZlibRuntime;

// Inflates the IDAT pieces into `output`: through zlib when `zlib` is given and has it, falling
// back to the own inflater when zlib is absent or fails. Data that inflates past the output,
// or holds more deflate blocks than its output size allows, is a failure; a complete stream
// that ends short leaves the rest of the output zero. A single piece is inflated in place;
// several are first joined.
PngError inflateImageData(const std::vector<std::span<const std::uint8_t>>& pieces,
                          std::size_t totalBytes, std::span<std::uint8_t> output,
                          const ZlibRuntime* zlib);

} // namespace zr::imaging
