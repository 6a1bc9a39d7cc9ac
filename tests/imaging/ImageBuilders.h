#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zr::imaging::test {

using Bytes = std::vector<std::uint8_t>;

void putLe16(Bytes& out, std::uint32_t value);
void putLe32(Bytes& out, std::uint32_t value);

// A BMP file with a 40-byte information header and the given pixel rows (in file order).
Bytes bmpFile(std::int32_t width, std::int32_t height, std::uint16_t bitCount, const Bytes& rows,
              std::uint32_t compression = 0);

// A 16- or 32-bit bit-field BMP with a header of `headerBytes`: the masks (red, green, blue,
// alpha) stand in a header of 52 bytes or more, else after the 40-byte one (three of them,
// four with the alpha bit-fields compression 6).
Bytes bmpBitFieldsFile(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                       std::uint32_t headerBytes, const std::array<std::uint32_t, 4>& masks,
                       const Bytes& rows, std::uint32_t compression = 3);
// The icon image of a BMP file: its headers and rows without the file header, the height
// doubled, the AND mask rows appended.
Bytes icoBitmapFromBmp(const Bytes& bmp, const Bytes& maskRows);

// An icon or cursor bitmap image: 40-byte header (height doubled), colour table, colour rows
// and AND mask rows as given (bottom-up, padded by the caller).
Bytes icoBitmap(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                const Bytes& palette, const Bytes& colourRows, const Bytes& maskRows);
// A 32-bit icon image of one colour with an all-clear mask.
Bytes icoBitmap32(std::int32_t width, std::int32_t height, std::uint32_t bgra);

struct IcoImage {
    std::uint8_t widthByte = 0;
    std::uint8_t heightByte = 0;
    std::uint16_t bitCount = 0; // the directory's own field
    Bytes image;
};

// A directory (type 1 icon, 2 cursor) followed by the images in order.
Bytes icoFile(std::uint16_t type, const std::vector<IcoImage>& images);

struct GifImage {
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    Bytes localTable; // red, green, blue triplets (a power of two of them), or none
    bool controlExtension = false;
    std::uint8_t controlFlags = 0;
    std::uint8_t transparentIndex = 0;
    std::uint8_t minimumCodeSize = 2;
    Bytes indices; // width × height colour indices, LZW-coded by the builder
};

// A GIF with the given signature, logical screen, global table (may be empty) and images.
Bytes gifFile(const std::string& signature, std::uint16_t screenWidth, std::uint16_t screenHeight,
              const Bytes& globalTable, const std::vector<GifImage>& images);

// LZW codes (sub-blocks and terminator not included) that spell `indices`, every index a
// literal and a clear code before the code size would grow.
Bytes gifLzwLiterals(const Bytes& indices, std::uint8_t minimumCodeSize);

// LZW codes packed least significant bit first, as a GIF image's data holds them.
class GifCodeWriter {
  public:
    void put(std::uint32_t code, std::uint32_t bits);
    // The packed bytes, the last partial byte included.
    Bytes finish();

  private:
    Bytes out_;
    std::uint32_t buffer_ = 0;
    std::uint32_t held_ = 0;
};
// Appends `data` as GIF sub-blocks of at most 255 bytes, then the empty block that ends them.
void appendGifSubBlocks(Bytes& file, const Bytes& data);

} // namespace zr::imaging::test
