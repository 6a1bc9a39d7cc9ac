// The BMP reader alone: the own 32-bit and bit-field paths with their alpha classification,
// and the platform picture loader for everything else.
#include "imaging/bmp/cBMPparser.h"
#include "imaging/c32bppDIB.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::imaging::c32bppDIB surface;
    const bool loaded = zr::imaging::cBMPparser().LoadStream(std::span(data, size), surface);
    if (loaded != surface.hasImage() ||
        (loaded && surface.Bits().size() !=
                       static_cast<std::size_t>(surface.Width()) * 4 * surface.Height())) {
        __builtin_trap();
    }
    return 0;
}
