#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// Reads the first image of a GIF87a / GIF89a file into a c32bppDIB at the image's own size
// (image kind 9). Indices map through the image's own colour table (local, else global); the
// transparent index of its graphic control extension becomes 0, 0, 0, 0 and sets the alpha
// flag. Later frames are ignored.
class cGIFparser {
  public:
    // True when the signature matches in any letter case, whether or not the image decodes;
    // a damaged, truncated or missing image leaves the surface empty.
    bool LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                    std::int32_t streamStart = 0, std::int32_t streamLength = 0);
};

} // namespace zr::imaging
