#pragma once

#include <cstdint>
#include <vector>

namespace zr::platform {

// Encodes width × height premultiplied B, G, R, A pixels (rows top-down, no padding) as PNG
// into `out`. With hasAlpha false the alpha bytes are ignored and the PNG is opaque RGB.
// False (and `out` empty) on bad sizes or when the encoder fails.
bool encodePng(std::int32_t width, std::int32_t height,
               const std::uint8_t* topDownPremultipliedBgra, bool hasAlpha,
               std::vector<std::uint8_t>& out);

} // namespace zr::platform
