#pragma once

#include <cstddef>
#include <cstdint>

namespace zr::imaging::limits {

// Loads shorter than this are refused before any reader sees them.
inline constexpr std::size_t kMinimumImageBytes = 57;

// The largest surface any load may create. Button icons are tiny; the bound only has to keep a
// hostile header from asking for gigabytes. 16384 × 16384 × 4 = 1 GiB would be too much for the
// machines this runs on, so the pixel store is capped at 256 MiB (e.g. 8192 × 8192).
inline constexpr std::int32_t kMaxSurfaceDimension = 65535;
inline constexpr std::size_t kMaxSurfaceBytes = std::size_t{256} << 20;

// Deflate cannot expand better than 1032:1 (a 258-byte match coded in two bits), so compressed
// data that claims to inflate to more than this ratio (plus one maximal match of slack) is
// refused before the inflate buffer is allocated.
inline constexpr std::size_t kMaxInflateRatio = 1032;
inline constexpr std::size_t kInflateSlackBytes = 258;

// Whole files are read into memory before decoding; anything larger is not an icon.
inline constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

} // namespace zr::imaging::limits
