#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace zr::imaging::test {

using Bytes = std::vector<std::uint8_t>;

// A chunk with its length and CRC; `crc` overrides the computed CRC when given.
Bytes pngChunk(std::string_view type, const Bytes& data);
Bytes pngChunkWithCrc(std::string_view type, const Bytes& data, std::uint32_t crc);

Bytes ihdrData(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
               std::uint8_t colourType, std::uint8_t interlace = 0);

Bytes zlibCompress(const Bytes& raw);

// The signature followed by the given chunks.
Bytes assemblePng(std::initializer_list<Bytes> chunks);

// A complete PNG: IHDR, the extra chunks, one IDAT holding `scanlines` (filter bytes included)
// compressed, IEND.
Bytes simplePng(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                std::uint8_t colourType, const Bytes& scanlines,
                std::initializer_list<Bytes> extraChunks = {}, std::uint8_t interlace = 0);

} // namespace zr::imaging::test
