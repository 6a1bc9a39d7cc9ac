#pragma once

#include "imaging/png/PngError.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zr::imaging {

namespace PngColourType {
inline constexpr std::uint8_t Grey = 0;
inline constexpr std::uint8_t Rgb = 2;
inline constexpr std::uint8_t Palette = 3;
inline constexpr std::uint8_t GreyAlpha = 4;
inline constexpr std::uint8_t Rgba = 6;
} // namespace PngColourType

struct PngHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint8_t bitDepth = 0;
    std::uint8_t colourType = 0;
    bool interlaced = false;
};

inline constexpr std::size_t kPngHeaderLength = 13;

// Reads and validates the first 13 data bytes of IHDR: sizes of at least 1 (and at most 2^31 − 1),
// compression and filter method 0, interlace 0 or 1, and a bit depth that PNG allows for the
// colour type.
PngError parsePngHeader(std::span<const std::uint8_t> data, PngHeader& header);

unsigned bitsPerPixel(const PngHeader& header);
// Bytes per complete pixel, at least 1: the distance the Sub, Average and Paeth filters look
// back.
std::size_t filterStride(const PngHeader& header);

// One Adam7 pass (or, for a non-interlaced image, the whole image).
struct PngPass {
    std::int32_t firstColumn = 0;
    std::int32_t firstRow = 0;
    std::int32_t columnStep = 1;
    std::int32_t rowStep = 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t rowBytes = 0; // without the filter byte
};

// The passes in the order their data appears: seven for Adam7 (passes of zero width or height
// included, with no data), one otherwise.
struct PngPassList {
    std::array<PngPass, 7> passes{};
    std::size_t count = 0;
};

PngPassList pngPasses(const PngHeader& header);

// Bytes the image data must inflate to: every pass's rows with their filter bytes. Nothing on
// overflow.
std::optional<std::size_t> expectedInflatedSize(const PngHeader& header);

} // namespace zr::imaging
