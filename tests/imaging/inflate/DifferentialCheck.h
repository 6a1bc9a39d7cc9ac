#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zr::imaging::test {

// Treats `input` as a fuzzer case: two bytes choose the output room, the rest is raw deflate
// data given to both the own inflater (behind a zlib header) and linked zlib. Returns an empty
// string when they agree (both fail, or both succeed with the same bytes), else what differs.
std::string compareWithZlib(std::span<const std::uint8_t> input);

} // namespace zr::imaging::test
