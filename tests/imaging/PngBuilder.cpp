#include "PngBuilder.h"

#include <zlib.h>

namespace zr::imaging::test {

namespace {

void appendBigEndian32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

} // namespace

Bytes pngChunkWithCrc(std::string_view type, const Bytes& data, std::uint32_t crc) {
    Bytes out;
    out.reserve(data.size() + 12);
    appendBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    for (const char letter : type) {
        out.push_back(static_cast<std::uint8_t>(letter));
    }
    for (const std::uint8_t byte : data) {
        out.push_back(byte);
    }
    appendBigEndian32(out, crc);
    return out;
}

Bytes pngChunk(std::string_view type, const Bytes& data) {
    const Bytes chunk = pngChunkWithCrc(type, data, 0);
    const auto crc = ::crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 8));
    return pngChunkWithCrc(type, data, static_cast<std::uint32_t>(crc));
}

Bytes ihdrData(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
               std::uint8_t colourType, std::uint8_t interlace) {
    Bytes data;
    data.reserve(13);
    appendBigEndian32(data, width);
    appendBigEndian32(data, height);
    for (const std::uint8_t field :
         {depth, colourType, std::uint8_t{0}, std::uint8_t{0}, interlace}) {
        data.push_back(field);
    }
    return data;
}

Bytes zlibCompress(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

Bytes assemblePng(std::initializer_list<Bytes> chunks) {
    Bytes out{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    for (const Bytes& chunk : chunks) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

Bytes simplePng(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                std::uint8_t colourType, const Bytes& scanlines,
                std::initializer_list<Bytes> extraChunks, std::uint8_t interlace) {
    Bytes out =
        assemblePng({pngChunk("IHDR", ihdrData(width, height, depth, colourType, interlace))});
    for (const Bytes& chunk : extraChunks) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    const Bytes idat = pngChunk("IDAT", zlibCompress(scanlines));
    const Bytes iend = pngChunk("IEND", {});
    out.insert(out.end(), idat.begin(), idat.end());
    out.insert(out.end(), iend.begin(), iend.end());
    return out;
}

} // namespace zr::imaging::test
