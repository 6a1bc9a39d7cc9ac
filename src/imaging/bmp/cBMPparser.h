#pragma once

#include "imaging/mdlGDI.h"

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// Reads uncompressed 32-bit BMP, and 16- and 32-bit bit fields that name an alpha mask,
// itself, working out what the alpha means (image kind 1, 6 or 7); hands every other input
// (other depths, compressed BMP, JPEG, ...) to the platform picture loader. The last reader
// the surface tries.
class cBMPparser {
  public:
    // True when it produced an image, or the result of ConvertstdPicTo32bpp on the platform
    // route. A BMP with a width below 1 or a height of 0 is False.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                    std::int32_t streamStart = 0, std::int32_t streamLength = 0);

    // Makes the surface from a bitmap picture; False for nothing, a metafile or a bad picture.
    bool ConvertstdPicTo32bpp(const mdlGDI::Picture* stdPic, c32bppDIB& cHost);
};

} // namespace zr::imaging
