#pragma once

#include "imaging/png/PngChunks.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace zr::imaging {

// Turns unfiltered PNG rows into premultiplied B, G, R, A pixels. 16-bit samples count by
// their high byte, except that colour keys compare the full samples. Premultiplication
// truncates (c × a div 255); a pixel with alpha 0 becomes four zero bytes.
class PngPixelConverter {
  public:
    explicit PngPixelConverter(const PngChunks& chunks);

    // False when a palette index lies beyond the palette.
    bool convertRow(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;

    // Whether the surface's alpha flag is set for this image.
    bool hasAlpha() const { return hasAlpha_; }

  private:
    bool convertIndexed(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;
    void convertGrey16(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;
    void convertRgb(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;
    void convertGreyAlpha(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;
    void convertRgba(const std::uint8_t* samples, std::int32_t width, std::uint8_t* out) const;

    PngHeader header_;
    // Palette images and grey images of up to 8 bits: sample value to finished pixel.
    std::array<std::array<std::uint8_t, 4>, 256> lookup_{};
    std::size_t lookupEntries_ = 0;
    std::optional<std::array<std::uint16_t, 3>> colourKey_;
    bool hasAlpha_ = false;
};

} // namespace zr::imaging
