#pragma once

#include <cstddef>
#include <cstdint>

namespace zr::sim {

// Runs one fuzz input through the frame cutter and the programmer: the first bytes choose how
// the rest is cut into arrivals. Traps when an invariant breaks.
void runFrameFuzzInput(const std::uint8_t* data, std::size_t size);

} // namespace zr::sim
