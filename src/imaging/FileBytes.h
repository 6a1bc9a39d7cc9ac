#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zr::imaging {

// The whole content of a regular file, or nothing when it cannot be read or is larger than
// maxBytes. Never throws.
std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& fileName,
                                                       std::size_t maxBytes);

// Writes `bytes` to a new file (replacing nothing: the caller removes an old one first).
bool writeFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes);

} // namespace zr::imaging
