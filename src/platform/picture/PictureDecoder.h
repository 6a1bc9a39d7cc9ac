#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zr::platform {

// Picture type codes, as the platform's picture objects report them.
namespace PictureType {
inline constexpr std::int32_t Bitmap = 1;
inline constexpr std::int32_t Metafile = 2;
inline constexpr std::int32_t Icon = 3;
inline constexpr std::int32_t EnhancedMetafile = 4;
} // namespace PictureType

// The formats the platform's picture loader is asked to read: the caller decides which from
// the file's signature, and only that format's decoder runs.
enum class PictureFormat { Bmp, Jpeg };

// A picture decoded by the platform: straight (not premultiplied) B, G, R, A pixels, rows
// top-down, no padding. `sourceBits` is the depth the data had in its file.
struct DecodedPicture {
    std::int32_t type = PictureType::Bitmap;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t sourceBits = 0;
    std::vector<std::uint8_t> bgra;
};

// Decodes `bytes` as `format` with the platform's decoder for that format alone. Nothing when
// the data is not such a picture, cannot be decoded, or would need more than maxPixelBytes of
// B, G, R, A pixels (checked on the declared size before decoding, and enforced on the
// decoder's own allocations). Never throws.
std::optional<DecodedPicture> decodePicture(std::span<const std::uint8_t> bytes,
                                            PictureFormat format, std::size_t maxPixelBytes);

} // namespace zr::platform
