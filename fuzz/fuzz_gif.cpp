// The GIF reader alone: block walk, LZW decoding and colour mapping.
#include "imaging/c32bppDIB.h"
#include "imaging/gif/cGIFparser.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::imaging::c32bppDIB surface;
    const bool recognised = zr::imaging::cGIFparser().LoadStream(std::span(data, size), surface);
    if (surface.hasImage() && (!recognised || surface.ImageType() != zr::imaging::ImageKind::Gif ||
                               surface.Bits().size() != static_cast<std::size_t>(surface.Width()) *
                                                            4 * surface.Height())) {
        __builtin_trap();
    }
    return 0;
}
