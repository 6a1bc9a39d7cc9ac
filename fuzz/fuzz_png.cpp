// The PNG reader alone, run on each input twice: with zlib (CRC checks, zlib's inflate) and
// with the own inflater (no CRC checks), so both routes see every shape of input.
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const bool disableZlib : {false, true}) {
        zr::imaging::ZlibRuntime::setZlibDisabled(disableZlib);
        zr::imaging::c32bppDIB surface;
        zr::imaging::cPNGparser parser;
        parser.LoadStream(std::span(data, size), surface);
        if (surface.hasImage() &&
            surface.Bits().size() !=
                static_cast<std::size_t>(surface.Width()) * 4 * surface.Height()) {
            __builtin_trap();
        }
    }
    return 0;
}
