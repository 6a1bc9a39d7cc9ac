#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zr::imaging {

// Undoes the per-row filters of one pass in place. `rows` holds `rowCount` rows of
// 1 + rowBytes bytes (filter byte first); each row's unfiltered bytes replace its filtered
// ones, the previous row of the pass serving as the row above and zeros above the first.
// False on a filter byte other than 0 to 4.
bool unfilterRows(std::span<std::uint8_t> rows, std::size_t rowBytes, std::size_t rowCount,
                  std::size_t stride);

} // namespace zr::imaging
