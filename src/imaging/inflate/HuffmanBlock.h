#pragma once

#include "imaging/inflate/BitReader.h"
#include "imaging/inflate/Inflate.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace zr::imaging::detail {

// The output written so far: everything before `written` is the back-reference window.
struct OutputWindow {
    std::span<std::uint8_t> buffer;
    std::size_t written = 0;
};

// Decodes one entry of `table` (root width `rootBits`, sub-tables followed) and consumes its
// bits. Fails with Truncated when the code runs past the input, BadSymbol on an unused or
// forbidden code.
InflateStatus decodeEntry(BitReader& bits, const std::uint32_t* table, unsigned rootBits,
                          std::uint32_t& entry);

// Decodes the symbols of one Huffman-coded block up to and including its end-of-block code.
InflateStatus decodeHuffmanBlock(BitReader& bits, OutputWindow& output,
                                 const std::uint32_t* litLenTable,
                                 const std::uint32_t* distanceTable);

} // namespace zr::imaging::detail
