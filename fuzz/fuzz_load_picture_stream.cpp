// The surface loader with every reader it has, as the button calls it, on both inflate
// routes (zlib, and the own inflater as when zlib is absent).
#include "imaging/c32bppDIB.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const bool disableZlib : {false, true}) {
        zr::imaging::ZlibRuntime::setZlibDisabled(disableZlib);
        zr::imaging::c32bppDIB surface;
        const bool loaded = surface.LoadPicture_Stream(std::span(data, size), 32, 32);
        if (loaded != surface.hasImage()) {
            __builtin_trap();
        }
        if (loaded) {
            std::int32_t width = 0;
            zr::imaging::PixelSurface destination(8, 8);
            surface.Render(&destination, -2, 1, width, 5, 70);
        }
    }
    return 0;
}
