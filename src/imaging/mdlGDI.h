#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zr::imaging::mdlGDI {

// True when the byte array holds nothing (the readers test this before indexing).
bool ArrayIsEmpty(std::span<const std::uint8_t> bytes);

// Bytes of one scan line of `width` pixels at `bitCount` bits, padded to a multiple of 4;
// 0 when the size does not fit in 32 bits or an argument is negative.
std::int32_t ScanlineBytes(std::uint8_t bitCount, std::int32_t width);

// Reverses the byte order of a 32-bit value, sign bit included.
std::int32_t SwapLong(std::int32_t value);

// A picture decoded by the platform's picture loader: straight 8-bit B, G, R, A rows, top-down.
struct Picture {
    std::int32_t type = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgraTopDown;
};

using PictureLoader = std::optional<Picture> (*)(std::span<const std::uint8_t> bytes);

// The platform layer installs its loader at start-up; until then there is none.
void SetPictureLoader(PictureLoader loader);

// Asks the platform picture loader to decode `bytes`; nothing when there is no loader or it
// does not accept the data.
std::optional<Picture> PictureFromBytes(std::span<const std::uint8_t> bytes);

} // namespace zr::imaging::mdlGDI
