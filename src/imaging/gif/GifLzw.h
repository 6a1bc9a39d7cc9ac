#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zr::imaging {

// Decodes GIF's variable-length LZW codes (least significant bits first, code size growing to
// 12 bits, clear and end codes) into exactly pixelCount colour indices, in stored order, into
// `pixels`. The buffer grows with what the codes actually produce, so a header that promises
// a huge image over a few codes costs no more than the codes. Codes after the last pixel are
// ignored. False when the code size is outside 1 .. 11, a code
// is not an index (above 255) or refers to a table entry that does not exist, or the data ends
// before every pixel is there.
bool decodeGifLzw(std::span<const std::uint8_t> codes, std::uint8_t minimumCodeSize,
                  std::size_t pixelCount, std::vector<std::uint8_t>& pixels);

} // namespace zr::imaging
