#pragma once

#include <string_view>

namespace zr::sim {

// A line on stdout, flushed at once so that a parent process reading the pipe sees it.
void announce(std::string_view line);

// A diagnostic line on stderr, prefixed with the program's name.
void complain(std::string_view line);

} // namespace zr::sim
