#pragma once

#include "imaging/png/PngError.h"
#include "imaging/png/PngHeader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zr::imaging {

class ZlibRuntime;

inline constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 0x50, 0x4E, 0x47,
                                                           0x0D, 0x0A, 0x1A, 0x0A};

bool hasPngSignature(std::span<const std::uint8_t> data);

// What the chunk walk keeps of a PNG. The IDAT views point into the caller's bytes, which are
// never copied here.
struct PngChunks {
    PngHeader header;
    std::vector<std::uint8_t> palette; // red, green, blue triplets
    // tRNS for palette images: one alpha per index, missing entries 255.
    std::optional<std::array<std::uint8_t, 256>> paletteAlpha;
    // tRNS for grey (one sample) and RGB (three samples) images, as stored: 16 bits each.
    std::optional<std::array<std::uint16_t, 3>> colourKey;
    std::vector<std::span<const std::uint8_t>> imageData;
    std::size_t imageDataBytes = 0;
};

// Walks the chunks after the signature up to IEND (or the end of the data). CRCs are checked
// through `zlib` when it is given and exports crc32, and only when the stored CRC is not 0.
PngError walkPngChunks(std::span<const std::uint8_t> data, const ZlibRuntime* zlib,
                       PngChunks& chunks);

} // namespace zr::imaging
