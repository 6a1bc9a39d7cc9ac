#include "imaging/png/PngUnfilter.h"

#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zr::imaging {

namespace {

enum : std::uint8_t {
    FilterNone = 0,
    FilterSub = 1,
    FilterUp = 2,
    FilterAverage = 3,
    FilterPaeth = 4
};

// Written with selects rather than branches: the choice is data-dependent and mispredicts.
inline std::uint8_t paethPredictor(int left, int above, int aboveLeft) {
    const int distanceLeft = std::abs(above - aboveLeft);
    const int distanceAbove = std::abs(left - aboveLeft);
    const int distanceAboveLeft = std::abs(left + above - 2 * aboveLeft);
    const int nearerOfAboveTwo = distanceAbove <= distanceAboveLeft ? above : aboveLeft;
    const bool leftWins = distanceLeft <= distanceAbove && distanceLeft <= distanceAboveLeft;
    return static_cast<std::uint8_t>(leftWins ? left : nearerOfAboveTwo);
}

void unfilterSub(std::uint8_t* row, std::size_t length, std::size_t stride) {
    for (std::size_t i = stride; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + row[i - stride]);
    }
}

void unfilterUp(std::uint8_t* row, const std::uint8_t* above, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + above[i]);
    }
}

void unfilterAverage(std::uint8_t* row, const std::uint8_t* above, std::size_t length,
                     std::size_t stride) {
    if (above == nullptr) {
        for (std::size_t i = stride; i < length; ++i) {
            row[i] = static_cast<std::uint8_t>(row[i] + (row[i - stride] >> 1));
        }
        return;
    }
    for (std::size_t i = 0; i < stride && i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + (above[i] >> 1));
    }
    for (std::size_t i = stride; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - stride] + above[i]) >> 1));
    }
}

// The stride is a template parameter so that the left and upper-left bytes of each channel
// stay in registers; this loop dominates decoding of photographic images.
template <std::size_t Stride>
void unfilterPaethStride(std::uint8_t* row, const std::uint8_t* above, std::size_t length) {
    for (std::size_t i = 0; i < Stride && i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(row[i] + above[i]);
    }
    for (std::size_t i = Stride; i < length; ++i) {
        row[i] = static_cast<std::uint8_t>(
            row[i] + paethPredictor(row[i - Stride], above[i], above[i - Stride]));
    }
}

#if defined(__SSE2__)
// Paeth for 3- and 4-byte pixels (8-bit RGB and RGBA), one pixel per step with every channel
// in a 16-bit lane; the predictor is chosen by comparing against the smallest distance, which
// keeps the left-above-upper-left preference order of the scalar version.
template <std::size_t Stride>
void unfilterPaethPixels(std::uint8_t* row, const std::uint8_t* above, std::size_t length) {
    const __m128i zero = _mm_setzero_si128();
    const auto load = [zero](const std::uint8_t* bytes) {
        std::uint32_t word = 0;
        std::memcpy(&word, bytes, Stride);
        return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(word)), zero);
    };
    const auto absolute = [zero](__m128i value) {
        return _mm_max_epi16(value, _mm_sub_epi16(zero, value));
    };
    const auto select = [](__m128i mask, __m128i ifSet, __m128i otherwise) {
        return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
    };
    __m128i left = zero;
    __m128i aboveLeft = zero;
    for (std::size_t i = 0; i + Stride <= length; i += Stride) {
        const __m128i up = load(above + i);
        const __m128i fromLeft = _mm_sub_epi16(up, aboveLeft);
        const __m128i fromUp = _mm_sub_epi16(left, aboveLeft);
        const __m128i distanceLeft = absolute(fromLeft);
        const __m128i distanceUp = absolute(fromUp);
        const __m128i distanceAboveLeft = absolute(_mm_add_epi16(fromLeft, fromUp));
        const __m128i smallest =
            _mm_min_epi16(distanceLeft, _mm_min_epi16(distanceUp, distanceAboveLeft));
        __m128i predictor = select(_mm_cmpeq_epi16(distanceUp, smallest), up, aboveLeft);
        predictor = select(_mm_cmpeq_epi16(distanceLeft, smallest), left, predictor);
        const __m128i value =
            _mm_and_si128(_mm_add_epi16(load(row + i), predictor), _mm_set1_epi16(0xFF));
        const auto packed =
            static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(value, zero)));
        std::memcpy(row + i, &packed, Stride);
        left = value;
        aboveLeft = up;
    }
}
#endif

void unfilterPaeth(std::uint8_t* row, const std::uint8_t* above, std::size_t length,
                   std::size_t stride) {
    if (above == nullptr) {
        // With zeros above, the predictor is always the left neighbour.
        unfilterSub(row, length, stride);
        return;
    }
    switch (stride) {
    case 1:
        return unfilterPaethStride<1>(row, above, length);
    case 2:
        return unfilterPaethStride<2>(row, above, length);
#if defined(__SSE2__)
    case 3:
        return unfilterPaethPixels<3>(row, above, length);
    case 4:
        return unfilterPaethPixels<4>(row, above, length);
#else
    case 3:
        return unfilterPaethStride<3>(row, above, length);
    case 4:
        return unfilterPaethStride<4>(row, above, length);
#endif
    case 6:
        return unfilterPaethStride<6>(row, above, length);
    default:
        return unfilterPaethStride<8>(row, above, length);
    }
}

} // namespace

bool unfilterRow(std::uint8_t* row, const std::uint8_t* above, std::size_t rowBytes,
                 std::size_t stride) {
    std::uint8_t* bytes = row + 1;
    switch (row[0]) {
    case FilterNone:
        return true;
    case FilterSub:
        unfilterSub(bytes, rowBytes, stride);
        return true;
    case FilterUp:
        if (above != nullptr) {
            unfilterUp(bytes, above, rowBytes);
        }
        return true;
    case FilterAverage:
        unfilterAverage(bytes, above, rowBytes, stride);
        return true;
    case FilterPaeth:
        unfilterPaeth(bytes, above, rowBytes, stride);
        return true;
    default:
        return false;
    }
}

} // namespace zr::imaging
