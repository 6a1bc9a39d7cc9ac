#pragma once

#include "imaging/CheckedMath.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace zr::imaging::limits {

// Loads shorter than this are refused before any reader sees them.
inline constexpr std::size_t kMinimumImageBytes = 57;

// Everything one load may hold at the same time: its surface and every buffer it decodes
// through (the joined compressed data, the inflate buffer, the GIF index buffer, the platform
// decoder's picture). Each reader adds up what it would allocate from the header values and
// refuses the file before allocating anything when the sum passes the budget. The input
// itself (a file read whole, or a caller's slice) may not be larger either. 128 MiB holds a
// 2000 × 1500 photograph several times over (a 12 MB surface) and keeps a hostile header from
// asking for more than the machines this runs on can spare.
inline constexpr std::size_t kLoadBudgetBytes = std::size_t{128} << 20;

// The pixel store's own dimension limit, whatever the budget.
inline constexpr std::int32_t kMaxSurfaceDimension = 65535;

// Deflate cannot expand better than 1032:1 (a 258-byte match coded in two bits), so compressed
// data that claims to inflate to more than this ratio (plus one maximal match of slack) is
// refused before the inflate buffer is allocated.
inline constexpr std::size_t kMaxInflateRatio = 1032;
inline constexpr std::size_t kInflateSlackBytes = 258;

// Setting up a deflate block costs far more than decoding a byte: a stream of empty blocks
// would rebuild its code tables millions of times for no output. Real encoders end a block
// after thousands of symbols (or at a flush, at most one per row), so a stream may hold at most
// this many blocks plus one per kOutputBytesPerBlock bytes of output.
inline constexpr std::size_t kFreeInflateBlocks = 64;
inline constexpr std::size_t kOutputBytesPerBlock = 256;

inline std::size_t maxInflateBlocks(std::size_t outputBytes) {
    return kFreeInflateBlocks + outputBytes / kOutputBytesPerBlock;
}

// True when the parts, all held at once, fit in the load budget.
inline bool fitsLoadBudget(std::initializer_list<std::size_t> parts) {
    std::size_t total = 0;
    for (const std::size_t part : parts) {
        if (!checkedAdd(total, part, total)) {
            return false;
        }
    }
    return total <= kLoadBudgetBytes;
}

// The bytes of a width × height surface (4 per pixel), or nothing when a side is below 1 or
// above kMaxSurfaceDimension, or the surface alone passes the load budget. The one surface
// check every reader and InitializeDIB go through.
inline std::optional<std::size_t> surfaceBytes(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1 || width > kMaxSurfaceDimension || height > kMaxSurfaceDimension) {
        return std::nullopt;
    }
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4U;
    return fitsLoadBudget({bytes}) ? std::optional<std::size_t>(bytes) : std::nullopt;
}

} // namespace zr::imaging::limits
