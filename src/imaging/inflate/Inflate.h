#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zr::imaging {

enum class InflateStatus {
    Ok,
    Truncated,       // input ended before the final block did
    BadBlockType,    // block type 3
    BadStoredLength, // stored block length does not match its complement
    BadCodeLengths,  // dynamic block describes an impossible Huffman code
    BadSymbol,       // an unused code, or a length or distance symbol out of range
    BadDistance,     // a back-reference before the start of the output
    OutputOverflow,  // the data inflates to more than the output buffer holds
    TooManyBlocks,   // more deflate blocks than the caller allows
};

struct InflateResult {
    InflateStatus status = InflateStatus::Ok;
    std::size_t written = 0; // bytes written to the output
};

// Decodes a zlib stream (two-byte header skipped unchecked, Adler-32 not verified) into
// `output`, whose size is the most the data may inflate to. Never writes outside `output`.
// A stream of more than `maxBlocks` deflate blocks fails (TooManyBlocks) when its next block
// starts, so the work done stays bounded by the output it may produce.
InflateResult inflateZlib(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                          std::size_t maxBlocks = SIZE_MAX);

} // namespace zr::imaging
