#include "imaging/png/PngPixels.h"

#include "imaging/ByteView.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zr::imaging {

namespace {

inline std::uint8_t premultiply(unsigned colour, unsigned alpha) {
    return static_cast<std::uint8_t>(colour * alpha / 255u);
}

// c × a div 255 is c itself at alpha 255 and 0 at alpha 0, so one branch-free formula covers
// opaque, transparent and partial pixels alike.
inline void storePixel(std::uint8_t* out, unsigned red, unsigned green, unsigned blue,
                       unsigned alpha) {
    out[0] = premultiply(blue, alpha);
    out[1] = premultiply(green, alpha);
    out[2] = premultiply(red, alpha);
    out[3] = static_cast<std::uint8_t>(alpha);
}

// RGBA 8 to premultiplied BGRA, four pixels at a time; returns how many pixels it did (a
// multiple of 4; the caller finishes the rest). Exact: for x = c × a ≤ 65025,
// x div 255 = (x + 1 + (x >> 8)) >> 8.
std::int32_t premultiplyRgba8Fast(const std::uint8_t* samples, std::int32_t width,
                                  std::uint8_t* out) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaLane255 = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const auto premultiplyTwo = [&](__m128i rgba) {
        __m128i alpha = _mm_shufflelo_epi16(rgba, _MM_SHUFFLE(3, 3, 3, 3));
        alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
        const __m128i factor = _mm_or_si128(_mm_and_si128(alpha, colourLanes), alphaLane255);
        const __m128i product = _mm_mullo_epi16(rgba, factor);
        const __m128i rounded =
            _mm_add_epi16(_mm_add_epi16(product, one), _mm_srli_epi16(product, 8));
        const __m128i quotient = _mm_srli_epi16(rounded, 8);
        const __m128i swapped = _mm_shufflelo_epi16(quotient, _MM_SHUFFLE(3, 0, 1, 2));
        return _mm_shufflehi_epi16(swapped, _MM_SHUFFLE(3, 0, 1, 2));
    };
    std::int32_t x = 0;
    for (; x + 4 <= width; x += 4, samples += 16, out += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples));
        const __m128i low = premultiplyTwo(_mm_unpacklo_epi8(pixels, zero));
        const __m128i high = premultiplyTwo(_mm_unpackhi_epi8(pixels, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
    }
    return x;
#else
    (void)samples;
    (void)width;
    (void)out;
    return 0;
#endif
}

} // namespace

PngPixelConverter::PngPixelConverter(const PngChunks& chunks)
    : header_(chunks.header), colourKey_(chunks.colourKey) {
    const std::uint8_t type = header_.colourType;
    hasAlpha_ = type == PngColourType::Rgb || type == PngColourType::GreyAlpha ||
                type == PngColourType::Rgba || colourKey_.has_value() ||
                (type == PngColourType::Palette && chunks.paletteAlpha.has_value());
    if (type == PngColourType::Palette) {
        // Without PLTE every index is black (with its tRNS alpha, if any).
        const bool black = chunks.palette.empty();
        lookupEntries_ = black ? lookup_.size() : chunks.palette.size() / 3;
        for (std::size_t i = 0; i < lookupEntries_; ++i) {
            const unsigned alpha = chunks.paletteAlpha ? (*chunks.paletteAlpha)[i] : 255u;
            if (black) {
                storePixel(lookup_[i].data(), 0, 0, 0, alpha);
            } else {
                storePixel(lookup_[i].data(), chunks.palette[3 * i], chunks.palette[3 * i + 1],
                           chunks.palette[3 * i + 2], alpha);
            }
        }
    } else if (type == PngColourType::Grey && header_.bitDepth <= 8) {
        lookupEntries_ = std::size_t{1} << header_.bitDepth;
        const unsigned step = 255u / static_cast<unsigned>(lookupEntries_ - 1);
        for (std::size_t i = 0; i < lookupEntries_; ++i) {
            const unsigned grey = static_cast<unsigned>(i) * step;
            const bool keyed = colourKey_ && (*colourKey_)[0] == i;
            storePixel(lookup_[i].data(), grey, grey, grey, keyed ? 0u : 255u);
        }
    }
}

bool PngPixelConverter::convertRow(const std::uint8_t* samples, std::int32_t width,
                                   std::uint8_t* out) const {
    switch (header_.colourType) {
    case PngColourType::Palette:
        return convertIndexed(samples, width, out);
    case PngColourType::Grey:
        if (header_.bitDepth == 16) {
            convertGrey16(samples, width, out);
            return true;
        }
        return convertIndexed(samples, width, out);
    case PngColourType::Rgb:
        convertRgb(samples, width, out);
        return true;
    case PngColourType::GreyAlpha:
        convertGreyAlpha(samples, width, out);
        return true;
    default:
        convertRgba(samples, width, out);
        return true;
    }
}

bool PngPixelConverter::convertIndexed(const std::uint8_t* samples, std::int32_t width,
                                       std::uint8_t* out) const {
    const unsigned depth = header_.bitDepth;
    const unsigned mask = (1u << depth) - 1u;
    for (std::int32_t x = 0; x < width; ++x, out += 4) {
        unsigned index = 0;
        if (depth == 8) {
            index = samples[x];
        } else {
            const std::size_t bit = static_cast<std::size_t>(x) * depth;
            const unsigned shift = 8u - depth - static_cast<unsigned>(bit % 8);
            index = (samples[bit / 8] >> shift) & mask;
        }
        if (index >= lookupEntries_) {
            return false;
        }
        std::memcpy(out, lookup_[index].data(), 4);
    }
    return true;
}

void PngPixelConverter::convertGrey16(const std::uint8_t* samples, std::int32_t width,
                                      std::uint8_t* out) const {
    for (std::int32_t x = 0; x < width; ++x, samples += 2, out += 4) {
        const bool keyed = colourKey_ && (*colourKey_)[0] == ByteView::be16(samples);
        storePixel(out, samples[0], samples[0], samples[0], keyed ? 0u : 255u);
    }
}

void PngPixelConverter::convertRgb(const std::uint8_t* samples, std::int32_t width,
                                   std::uint8_t* out) const {
    const std::size_t step = header_.bitDepth == 16 ? 2 : 1;
    for (std::int32_t x = 0; x < width; ++x, samples += 3 * step, out += 4) {
        const std::uint8_t* red = samples;
        const std::uint8_t* green = samples + step;
        const std::uint8_t* blue = samples + 2 * step;
        bool keyed = false;
        if (colourKey_) {
            const auto& key = *colourKey_;
            keyed = step == 2 ? key[0] == ByteView::be16(red) && key[1] == ByteView::be16(green) &&
                                    key[2] == ByteView::be16(blue)
                              : key[0] == *red && key[1] == *green && key[2] == *blue;
        }
        if (keyed) {
            std::memset(out, 0, 4);
        } else {
            out[0] = *blue;
            out[1] = *green;
            out[2] = *red;
            out[3] = 255;
        }
    }
}

void PngPixelConverter::convertGreyAlpha(const std::uint8_t* samples, std::int32_t width,
                                         std::uint8_t* out) const {
    const std::size_t step = header_.bitDepth == 16 ? 2 : 1;
    for (std::int32_t x = 0; x < width; ++x, samples += 2 * step, out += 4) {
        storePixel(out, samples[0], samples[0], samples[0], samples[step]);
    }
}

void PngPixelConverter::convertRgba(const std::uint8_t* samples, std::int32_t width,
                                    std::uint8_t* out) const {
    if (header_.bitDepth == 16) {
        for (std::int32_t x = 0; x < width; ++x, samples += 8, out += 4) {
            storePixel(out, samples[0], samples[2], samples[4], samples[6]);
        }
        return;
    }
    const std::int32_t done = premultiplyRgba8Fast(samples, width, out);
    samples += static_cast<std::size_t>(done) * 4;
    out += static_cast<std::size_t>(done) * 4;
    for (std::int32_t x = done; x < width; ++x, samples += 4, out += 4) {
        storePixel(out, samples[0], samples[1], samples[2], samples[3]);
    }
}

} // namespace zr::imaging
