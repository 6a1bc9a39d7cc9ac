#include "imaging/png/PngChunks.h"

#include "imaging/ByteView.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <algorithm>
#include <cstring>

namespace zr::imaging {

namespace {

constexpr std::size_t kChunkOverhead = 12; // length, type, CRC
constexpr std::size_t kMaxPaletteEntries = 256;

bool isType(const std::uint8_t* type, const char (&name)[5]) {
    return std::memcmp(type, name, 4) == 0;
}

struct Chunk {
    const std::uint8_t* type = nullptr;
    std::span<const std::uint8_t> data;
    std::span<const std::uint8_t> typeAndData;
    std::uint32_t storedCrc = 0;
};

bool crcMatches(const Chunk& chunk, const ZlibRuntime* zlib) {
    if (zlib == nullptr || chunk.storedCrc == 0) {
        return true;
    }
    const auto computed = zlib->crc32(chunk.typeAndData);
    return !computed || *computed == chunk.storedCrc;
}

PngError readPalette(const Chunk& chunk, PngChunks& chunks) {
    const std::uint8_t colourType = chunks.header.colourType;
    if (colourType == PngColourType::Grey || colourType == PngColourType::GreyAlpha) {
        return PngError::None;
    }
    if (chunk.data.size() % 3 != 0 || chunk.data.size() > 3 * kMaxPaletteEntries) {
        return PngError::BadPalette;
    }
    chunks.palette.assign(chunk.data.begin(), chunk.data.end());
    return PngError::None;
}

// A transparency chunk that is short or damaged is ignored rather than failing the image.
void readTransparency(const Chunk& chunk, PngChunks& chunks) {
    const std::span<const std::uint8_t> data = chunk.data;
    const ByteView view(data);
    switch (chunks.header.colourType) {
    case PngColourType::Grey:
        if (const auto grey = view.u16be(0)) {
            chunks.colourKey = std::array<std::uint16_t, 3>{*grey, 0, 0};
        }
        break;
    case PngColourType::Rgb:
        if (view.holds(0, 6)) {
            chunks.colourKey =
                std::array<std::uint16_t, 3>{*view.u16be(0), *view.u16be(2), *view.u16be(4)};
        }
        break;
    case PngColourType::Palette: {
        std::array<std::uint8_t, 256> alpha;
        alpha.fill(255);
        std::copy_n(data.begin(), std::min(data.size(), alpha.size()), alpha.begin());
        chunks.paletteAlpha = alpha;
        break;
    }
    default:
        break;
    }
}

} // namespace

bool hasPngSignature(std::span<const std::uint8_t> data) {
    return data.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), data.begin());
}

PngError walkPngChunks(std::span<const std::uint8_t> data, const ZlibRuntime* zlib,
                       PngChunks& chunks) {
    const ByteView view(data);
    std::size_t position = kPngSignature.size();
    bool seenHeader = false;
    while (position < data.size()) {
        const std::size_t remaining = data.size() - position;
        if (remaining < kChunkOverhead) {
            return PngError::ChunkOutOfBounds;
        }
        const std::uint32_t length = *view.u32be(position);
        if (length > INT32_MAX || length > remaining - kChunkOverhead) {
            return PngError::ChunkOutOfBounds;
        }
        Chunk chunk;
        chunk.type = data.data() + position + 4;
        chunk.data = data.subspan(position + 8, length);
        chunk.typeAndData = data.subspan(position + 4, length + std::size_t{4});
        chunk.storedCrc = *view.u32be(position + 8 + length);
        position += length + kChunkOverhead;

        if (isType(chunk.type, "IEND")) {
            break;
        }
        if (length == 0) {
            continue;
        }
        // A later IHDR replaces an earlier one: the image is decoded by the last header seen.
        if (isType(chunk.type, "IHDR")) {
            if (!crcMatches(chunk, zlib)) {
                return PngError::CrcMismatch;
            }
            if (const PngError error = parsePngHeader(chunk.data, chunks.header);
                error != PngError::None) {
                return error;
            }
            seenHeader = true;
        } else if (isType(chunk.type, "PLTE")) {
            if (!crcMatches(chunk, zlib)) {
                return PngError::CrcMismatch;
            }
            if (const PngError error = readPalette(chunk, chunks); error != PngError::None) {
                return error;
            }
        } else if (isType(chunk.type, "tRNS")) {
            if (crcMatches(chunk, zlib)) {
                readTransparency(chunk, chunks);
            }
        } else if (isType(chunk.type, "IDAT")) {
            if (!crcMatches(chunk, zlib)) {
                return PngError::CrcMismatch;
            }
            chunks.imageData.push_back(chunk.data);
            chunks.imageDataBytes += chunk.data.size();
        }
    }
    if (!seenHeader) {
        return PngError::MissingHeader;
    }
    return chunks.imageDataBytes == 0 ? PngError::NoImageData : PngError::None;
}

} // namespace zr::imaging
