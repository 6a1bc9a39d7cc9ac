#pragma once

#include "platform/picture/PictureDecoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zr::imaging::mdlGDI {

// True when the byte array holds nothing (the readers test this before indexing).
bool ArrayIsEmpty(std::span<const std::uint8_t> bytes);

// Bytes of one scan line of `width` pixels at `bitCount` bits, padded to a multiple of 4;
// 0 when the size does not fit in 32 bits or an argument is negative.
std::int32_t ScanlineBytes(std::uint8_t bitCount, std::int32_t width);

// Reverses the byte order of a 32-bit value, sign bit included.
std::int32_t SwapLong(std::int32_t value);

// A picture decoded by the platform's picture loader: straight 8-bit B, G, R, A rows, top-down.
using Picture = platform::DecodedPicture;

using PictureFormat = platform::PictureFormat;

using PictureLoader = std::optional<Picture> (*)(std::span<const std::uint8_t> bytes,
                                                 PictureFormat format);

// The format the file's signature names among those the picture loader is given (BMP, JPEG);
// nothing for any other data, whatever decoders the platform has installed.
std::optional<PictureFormat> PictureFormatOf(std::span<const std::uint8_t> bytes);

// Replaces the platform picture loader (tests use this to stand for a platform without one);
// nullptr puts the platform's own back.
void SetPictureLoader(PictureLoader loader);

// Asks the picture loader to decode `bytes` as the format their signature names, within half
// the load budget (the picture and the surface made from it exist at once); nothing for data
// of any other format or that the loader does not accept.
std::optional<Picture> PictureFromBytes(std::span<const std::uint8_t> bytes);

} // namespace zr::imaging::mdlGDI
