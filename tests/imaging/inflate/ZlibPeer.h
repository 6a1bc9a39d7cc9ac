#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The linked zlib as the reference peer of the own inflater, plus the sample data the tests
// and the benchmark feed to both.
namespace zr::imaging::test {

using Bytes = std::vector<std::uint8_t>;

// A zlib stream of `data` made by deflate with the given level and strategy.
Bytes zlibCompress(std::span<const std::uint8_t> data, int level, int strategy);

// Raw deflate data inflated by zlib into at most `capacity` bytes; nothing unless zlib reaches
// the end of the final block within that room.
std::optional<Bytes> zlibInflateRaw(std::span<const std::uint8_t> deflateData,
                                    std::size_t capacity);

Bytes randomBytes(std::size_t size, unsigned seed);
Bytes textLike(std::size_t size, unsigned seed);
Bytes longRuns(std::size_t size, unsigned seed);
// Bytes of very unequal frequency with the odd short repeat: long literal codes.
Bytes skewedBytes(std::size_t size, unsigned seed);
// Short matches whose distances spread over every distance code with very unequal
// frequency: long distance codes.
Bytes skewedDistances(std::size_t size, unsigned seed);
// Filtered rows of an RGB image with gradients plus a little noise, as PNG would deflate them.
Bytes imageRows(std::size_t width, std::size_t height, unsigned seed);

} // namespace zr::imaging::test
