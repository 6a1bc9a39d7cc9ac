#include "imaging/png/PngUnfilter.h"

#include <cstdlib>

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
    case 3:
        return unfilterPaethStride<3>(row, above, length);
    case 4:
        return unfilterPaethStride<4>(row, above, length);
    case 6:
        return unfilterPaethStride<6>(row, above, length);
    default:
        return unfilterPaethStride<8>(row, above, length);
    }
}

} // namespace

bool unfilterRows(std::span<std::uint8_t> rows, std::size_t rowBytes, std::size_t rowCount,
                  std::size_t stride) {
    const std::uint8_t* above = nullptr;
    std::uint8_t* filterByte = rows.data();
    for (std::size_t y = 0; y < rowCount; ++y, filterByte += rowBytes + 1) {
        std::uint8_t* row = filterByte + 1;
        switch (*filterByte) {
        case FilterNone:
            break;
        case FilterSub:
            unfilterSub(row, rowBytes, stride);
            break;
        case FilterUp:
            if (above != nullptr) {
                unfilterUp(row, above, rowBytes);
            }
            break;
        case FilterAverage:
            unfilterAverage(row, above, rowBytes, stride);
            break;
        case FilterPaeth:
            unfilterPaeth(row, above, rowBytes, stride);
            break;
        default:
            return false;
        }
        above = row;
    }
    return true;
}

} // namespace zr::imaging
