#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

// Decodes GIF's variable-length LZW codes (least significant bits first, code size growing to
// 12 bits, clear and end codes) into exactly pixels.size() colour indices, in stored order.
// Codes after the last pixel are ignored. False when the code size is outside 1 .. 11, a code
// is not an index (above 255) or refers to a table entry that does not exist, or the data ends
// before every pixel is there.
bool decodeGifLzw(std::span<const std::uint8_t> codes, std::uint8_t minimumCodeSize,
                  std::span<std::uint8_t> pixels);

} // namespace zr::imaging
