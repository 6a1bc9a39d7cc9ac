#pragma once

#include <optional>
#include <string>
#include <utility>

// Group and card codes as zr-register's options and the live page's parameters give them.
namespace zr::tools {

// A code from 0 to 65535.
std::optional<int> parseCode(const std::string& text);
// FROM-TO (or one code) with FROM <= TO, both codes.
std::optional<std::pair<int, int>> parseCardRange(const std::string& text);

} // namespace zr::tools
