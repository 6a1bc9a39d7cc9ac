#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zr::imaging {

// The first image of a GIF file, as found by walking its blocks. Spans point into the input.
struct GifFrame {
    std::uint16_t left = 0; // position on the logical screen (not used for the surface)
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    bool interlaced = false;
    bool localTable = false;
    std::span<const std::uint8_t> colourTable; // red, green, blue triplets; may be empty
    std::int32_t transparentIndex = -1;        // -1: none
    std::uint8_t minimumCodeSize = 0;
    std::vector<std::uint8_t> codes; // the LZW data, sub-blocks joined
    std::size_t imageDataBytes = 0;  // the image data as stored, size bytes included
};

enum class GifScan {
    NotGif,  // the signature is not "GIF87a" / "GIF89a" in any case
    NoImage, // a GIF, but without a usable first image
    Image,
};

// Checks the signature and walks the blocks up to the first image descriptor.
GifScan scanGif(std::span<const std::uint8_t> data, GifFrame& frame);

} // namespace zr::imaging
