#include "ImageBuilders.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace zr::imaging::test {

void putLe16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putLe32(Bytes& out, std::uint32_t value) {
    putLe16(out, value & 0xFFFFU);
    putLe16(out, value >> 16);
}

namespace {

Bytes infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                 std::uint32_t compression, std::uint32_t imageBytes, std::uint32_t colours) {
    Bytes header;
    putLe32(header, 40);
    putLe32(header, static_cast<std::uint32_t>(width));
    putLe32(header, static_cast<std::uint32_t>(height));
    putLe16(header, 1);
    putLe16(header, bitCount);
    putLe32(header, compression);
    putLe32(header, imageBytes);
    putLe32(header, 2835);
    putLe32(header, 2835);
    putLe32(header, colours);
    putLe32(header, 0);
    return header;
}

std::uint8_t tableSizeField(const Bytes& table) {
    const auto entries = static_cast<unsigned>(table.size() / 3);
    return static_cast<std::uint8_t>(std::max(2U, std::bit_width(entries)) - 2U);
}

} // namespace

Bytes bmpFile(std::int32_t width, std::int32_t height, std::uint16_t bitCount, const Bytes& rows,
              std::uint32_t compression) {
    Bytes file{'B', 'M'};
    putLe32(file, static_cast<std::uint32_t>(54 + rows.size()));
    putLe32(file, 0);
    putLe32(file, 54);
    const Bytes header = infoHeader(width, height, bitCount, compression,
                                    static_cast<std::uint32_t>(rows.size()), 0);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

Bytes bmpBitFieldsFile(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                       std::uint32_t headerBytes, const std::array<std::uint32_t, 4>& masks,
                       const Bytes& rows, std::uint32_t compression) {
    Bytes file = bmpFile(width, height, bitCount, rows, compression);
    Bytes extra;
    const std::size_t named = headerBytes == 52 || (headerBytes == 40 && compression != 6) ? 3 : 4;
    for (std::size_t i = 0; i < named; ++i) {
        putLe32(extra, masks[i]);
    }
    extra.resize(std::max<std::size_t>(extra.size(), headerBytes - 40), 0);
    file.insert(file.begin() + 54, extra.begin(), extra.end());
    file[10] = static_cast<std::uint8_t>(54 + extra.size());
    file[14] = static_cast<std::uint8_t>(headerBytes);
    return file;
}

Bytes icoBitmapFromBmp(const Bytes& bmp, const Bytes& maskRows) {
    Bytes image(bmp.begin() + 14, bmp.end());
    image[8] = static_cast<std::uint8_t>(image[8] * 2);
    image.insert(image.end(), maskRows.begin(), maskRows.end());
    return image;
}

Bytes icoBitmap(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                const Bytes& palette, const Bytes& colourRows, const Bytes& maskRows) {
    Bytes image = infoHeader(width, height * 2, bitCount, 0,
                             static_cast<std::uint32_t>(colourRows.size() + maskRows.size()),
                             static_cast<std::uint32_t>(palette.size() / 4));
    image.insert(image.end(), palette.begin(), palette.end());
    image.insert(image.end(), colourRows.begin(), colourRows.end());
    image.insert(image.end(), maskRows.begin(), maskRows.end());
    return image;
}

Bytes icoBitmap32(std::int32_t width, std::int32_t height, std::uint32_t bgra) {
    Bytes colour;
    for (std::int32_t i = 0; i < width * height; ++i) {
        putLe32(colour, bgra);
    }
    const auto maskStride = static_cast<std::size_t>((width + 31) / 32 * 4);
    return icoBitmap(width, height, 32, {}, colour,
                     Bytes(maskStride * static_cast<std::size_t>(height), 0));
}

Bytes icoFile(std::uint16_t type, const std::vector<IcoImage>& images) {
    Bytes file;
    putLe16(file, 0);
    putLe16(file, type);
    putLe16(file, static_cast<std::uint32_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IcoImage& image : images) {
        file.push_back(image.widthByte);
        file.push_back(image.heightByte);
        file.push_back(0);
        file.push_back(0);
        putLe16(file, 1);
        putLe16(file, image.bitCount);
        putLe32(file, static_cast<std::uint32_t>(image.image.size()));
        putLe32(file, offset);
        offset += static_cast<std::uint32_t>(image.image.size());
    }
    for (const IcoImage& image : images) {
        file.insert(file.end(), image.image.begin(), image.image.end());
    }
    return file;
}

Bytes gifLzwLiterals(const Bytes& indices, std::uint8_t minimumCodeSize) {
    const std::uint32_t clear = 1U << minimumCodeSize;
    const std::uint32_t bits = minimumCodeSize + 1U;
    const std::uint32_t literalsPerClear = clear - 2;
    GifCodeWriter codes;
    const auto put = [&](std::uint32_t code) { codes.put(code, bits); };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % literalsPerClear == 0) {
            put(clear);
        }
        put(indices[i]);
    }
    put(clear + 1);
    return codes.finish();
}

void GifCodeWriter::put(std::uint32_t code, std::uint32_t bits) {
    buffer_ |= code << held_;
    held_ += bits;
    while (held_ >= 8) {
        out_.push_back(static_cast<std::uint8_t>(buffer_));
        buffer_ >>= 8;
        held_ -= 8;
    }
}

Bytes GifCodeWriter::finish() {
    if (held_ > 0) {
        out_.push_back(static_cast<std::uint8_t>(buffer_));
        buffer_ = 0;
        held_ = 0;
    }
    return std::move(out_);
}

Bytes gifFile(const std::string& signature, std::uint16_t screenWidth, std::uint16_t screenHeight,
              const Bytes& globalTable, const std::vector<GifImage>& images) {
    Bytes file(signature.begin(), signature.end());
    putLe16(file, screenWidth);
    putLe16(file, screenHeight);
    file.push_back(
        globalTable.empty() ? 0 : static_cast<std::uint8_t>(0x80 | tableSizeField(globalTable)));
    file.push_back(0);
    file.push_back(0);
    file.insert(file.end(), globalTable.begin(), globalTable.end());
    for (const GifImage& image : images) {
        if (image.controlExtension) {
            file.insert(file.end(),
                        {0x21, 0xF9, 0x04, image.controlFlags, 0, 0, image.transparentIndex, 0x00});
        }
        file.push_back(0x2C);
        putLe16(file, image.left);
        putLe16(file, image.top);
        putLe16(file, image.width);
        putLe16(file, image.height);
        file.push_back(image.localTable.empty()
                           ? 0
                           : static_cast<std::uint8_t>(0x80 | tableSizeField(image.localTable)));
        file.insert(file.end(), image.localTable.begin(), image.localTable.end());
        file.push_back(image.minimumCodeSize);
        const Bytes codes = gifLzwLiterals(image.indices, image.minimumCodeSize);
        appendGifSubBlocks(file, codes);
    }
    file.push_back(0x3B);
    return file;
}

void appendGifSubBlocks(Bytes& file, const Bytes& data) {
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t count = std::min<std::size_t>(255, data.size() - at);
        file.push_back(static_cast<std::uint8_t>(count));
        file.insert(file.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                    data.begin() + static_cast<std::ptrdiff_t>(at + count));
    }
    file.push_back(0);
}

} // namespace zr::imaging::test
