#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zr::imaging {

// Undoes one row's filter in place. `row` is the filter byte followed by rowBytes filtered
// bytes; `above` is the previous row of the same pass, already unfiltered (without its filter
// byte), or null for the first row, which has zeros above it. False on a filter byte other
// than 0 to 4.
bool unfilterRow(std::uint8_t* row, const std::uint8_t* above, std::size_t rowBytes,
                 std::size_t stride);

} // namespace zr::imaging
