#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>

namespace zr::imaging {

// The readers' slice rule: a start below 0 is raised to 0, a length of 0 means "to the end",
// and a slice that does not lie inside the array is nothing.
inline std::optional<std::span<const std::uint8_t>>
streamSlice(std::span<const std::uint8_t> stream, std::int32_t start, std::int32_t length) {
    const auto first = static_cast<std::size_t>(std::max(start, 0));
    if (length < 0 || first >= stream.size()) {
        return std::nullopt;
    }
    const std::size_t count =
        length == 0 ? stream.size() - first : static_cast<std::size_t>(length);
    if (count > stream.size() - first) {
        return std::nullopt;
    }
    return stream.subspan(first, count);
}

} // namespace zr::imaging
